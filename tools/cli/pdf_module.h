// Finds and loads trenov5x-pdf.so, the PDF writer, before the application
// object exists (the module makes it: a GUI one).
#pragma once

#include "pdf/PdfModule.h"

#include <QString>

namespace cli {

struct LoadedPdfModule
{
    const report::PdfModule *module = nullptr;
    QString error; // why there is none: the places looked in and the loader's reason
};

// Looks beside the program (a build folder), in its lib/ (the portable
// folder) and in the installed library folder, in that order; loads the
// first found, once. argv0 is the fallback when /proc/self/exe cannot be read.
const LoadedPdfModule &loadPdfModule(const char *argv0);

// What loadPdfModule gave, or nothing if it was not called.
const LoadedPdfModule &pdfModule();

} // namespace cli
