#include "pdf_module.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

namespace cli {

namespace {

LoadedPdfModule &loaded()
{
    static LoadedPdfModule module;
    return module;
}

QString programFolder(const char *argv0)
{
    const QString self = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    if (!self.isEmpty())
        return QFileInfo(self).absolutePath();
    return QFileInfo(QFile::decodeName(argv0)).absolutePath();
}

} // namespace

bool asksForPdfSheet(int argc, char **argv)
{
    if (argc < 2 || qstrcmp(argv[1], "report") != 0)
        return false;
    for (int i = 2; i < argc; ++i) {
        if (qstrcmp(argv[i], "--pdf") == 0 || qstrncmp(argv[i], "--pdf=", 6) == 0)
            return true;
    }
    return false;
}

const LoadedPdfModule &loadPdfModule(const char *argv0)
{
    LoadedPdfModule &result = loaded();
    if (result.module || !result.error.isEmpty())
        return result;
    const QDir folder(programFolder(argv0));
    const QString file = QString::fromLatin1(report::kPdfModuleFile);
    const QStringList places = {
        folder.filePath(file), folder.filePath(QStringLiteral("lib/") + file),
        QDir::cleanPath(folder.filePath(QStringLiteral(TRENOV5X_PDF_MODULE_DIR "/") + file))};
    for (const QString &path : places) {
        if (!QFileInfo(path).isFile())
            continue;
        QLibrary library(path);
        const auto entry = reinterpret_cast<report::PdfModuleEntry>(library.resolve(report::kPdfModuleEntry));
        if (!entry) {
            result.error = QDir::toNativeSeparators(path) + QStringLiteral(": ") + library.errorString();
            return result;
        }
        const report::PdfModule *module = entry();
        if (!module || module->abi != report::kPdfModuleAbi) {
            result.error =
                QDir::toNativeSeparators(path) +
                QStringLiteral(": belongs to another version of trenov5x-cli; reinstall the program");
            return result;
        }
        // The library stays loaded: QLibrary unloads only when asked.
        result.module = module;
        return result;
    }
    QStringList shown;
    for (const QString &path : places)
        shown << QDir::toNativeSeparators(path);
    result.error = QStringLiteral("not found in ") + shown.join(QStringLiteral(", "));
    return result;
}

const LoadedPdfModule &pdfModule()
{
    return loaded();
}

} // namespace cli
