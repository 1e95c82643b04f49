// The configuration sheet as one self-contained HTML file: inline style, no
// script, nothing loaded from elsewhere, laid out for the browser's print.
#pragma once

#include "report/Report.h"

#include <QByteArray>

namespace report {

// UTF-8 bytes of the page.
QByteArray renderHtml(const Report &report);

} // namespace report
