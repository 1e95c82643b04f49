// trenov5x-pdf.so: the PDF layout of the configuration sheet for
// trenov5x-cli, which loads it only for 'report --pdf'.
#include "pdf/PdfModule.h"

#include "pdf/PdfSheet.h"

#include <QGuiApplication>

namespace {

QCoreApplication *makeApplication(int &argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QGuiApplication(argc, argv);
}

const report::PdfModule kModule{report::kPdfModuleAbi, &makeApplication, &report::renderPdf};

} // namespace

extern "C" Q_DECL_EXPORT const report::PdfModule *trenov5x_pdf_module()
{
    return &kModule;
}
