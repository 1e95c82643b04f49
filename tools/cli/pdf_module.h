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

// Whether the command line is 'report ... --pdf FILE' (or --pdf=FILE): read
// before the application object exists, which depends on it.
bool asksForPdfSheet(int argc, char **argv);

// Looks beside the program (a build folder), in its lib/ (the portable
// folder) and in the installed library folder, in that order; loads the
// first found, once. argv0 is the fallback when /proc/self/exe cannot be read.
const LoadedPdfModule &loadPdfModule(const char *argv0);

// What loadPdfModule gave; neither a module nor an error if it was not called.
const LoadedPdfModule &pdfModule();

} // namespace cli
