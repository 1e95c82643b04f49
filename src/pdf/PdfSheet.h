// The configuration sheet as a PDF through Qt's PDF writer: text stays text
// (selectable, searchable), tables and slot grids are drawn as vector shapes,
// a table never leaves its header alone at a page's foot and repeats it on
// the next page, and every page's footer names the configuration and says
// "n / N".
#pragma once

#include "report/PdfRenderer.h"

namespace report {

// A PdfRenderer. Needs a QGuiApplication (fonts); it shows nothing, so the
// offscreen platform is enough.
QByteArray renderPdf(const Report &report, Paper paper);

} // namespace report
