// Writes the configuration sheet of a saved Configuration.xml to a PDF or
// HTML file: the one path the window and the command line share.
#pragma once

#include "report/PdfRenderer.h"
#include "report/SheetBuilder.h"

#include <QString>

namespace report {

enum class Format { Pdf, Html };

struct SheetFileResult
{
    enum class Status { Written, NoConfiguration, Failed };
    Status status = Status::Failed;
    QString error; // the file and the reason, when not written
    bool written() const { return status == Status::Written; }
};

// The sheet's bytes in the given format; pdf lays out a PDF (the window
// passes renderPdf, the command line its module's).
QByteArray renderSheet(const Report &report, Format format, Paper paper, PdfRenderer pdf);

// Reads the configuration file, builds its sheet (options.configurationXml
// is taken from the file) and replaces outputPath atomically: a failed write
// leaves an earlier file whole. The configuration file itself is never
// overwritten.
SheetFileResult writeSheetFile(const QString &configurationPath, const QString &outputPath,
                               const lang::LanguageTexts &texts, SheetOptions options, Format format,
                               Paper paper, PdfRenderer pdf);

// The paper of the system's measurement habits: Letter in the United
// States, A4 elsewhere.
Paper systemPaper();

} // namespace report
