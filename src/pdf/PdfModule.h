// The PDF writer as a loadable module. trenov5x-cli loads it only for a PDF
// sheet: the GUI libraries it needs double the start-up time and add a third
// to the memory of every other command.
#pragma once

#include "report/PdfRenderer.h"

class QCoreApplication;

namespace report {

struct PdfModule
{
    int abi;
    // A QGuiApplication on the offscreen platform: the layout needs fonts,
    // the command line no display.
    QCoreApplication *(*makeApplication)(int &argc, char **argv);
    PdfRenderer render;
};

// Raised whenever PdfModule changes, so that a stale module is refused.
constexpr int kPdfModuleAbi = 1;
constexpr char kPdfModuleFile[] = "trenov5x-pdf.so";
constexpr char kPdfModuleEntry[] = "trenov5x_pdf_module";
using PdfModuleEntry = const PdfModule *(*)();

} // namespace report
