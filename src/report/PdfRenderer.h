// How a sheet becomes PDF. The layout needs the GUI libraries, so it lives
// apart (pdf/PdfSheet): the window links it, the command line loads it only
// when a PDF is asked for (pdf/PdfModule.h).
#pragma once

#include "report/Report.h"

#include <QByteArray>

namespace report {

enum class Paper { A4, Letter };

// Lays the sheet out as a PDF document; an empty result is a failure.
using PdfRenderer = QByteArray (*)(const Report &report, Paper paper);

} // namespace report
