// trenov5x-screenshots OUTPUT_FOLDER: starts the real window over a
// demonstration program folder and saves a PNG of every page in English and
// of the menu and the Date & Time page in the other languages. Run it on a
// display (for example under xvfb-run) to see what installers see.
#include "app/Settings.h"
#include "config/ConfigurationFile.h"
#include "ui/AboutBox.h"
#include "ui/MainWindow.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

struct Language
{
    int code;
    const char *tag;
    bool allPages;
};

constexpr Language kLanguages[] = {{1, "eng", true}, {2, "ita", false}, {3, "ger", false}, {4, "spa", false}};

constexpr const char *kPages[] = {"menu",        "new",   "load",  "save",   "update",
                                  "preferences", "phone", "input", "output", "datetime"};

// Menu entries by page, as the user clicks them.
constexpr const char *kMenuCaptions[] = {nullptr,           "TntL_New_Menu",    "TntL_Load_Menu",
                                         "TntL_Save_Menu",  "TntL_Update_Menu", "TntL_Preference_Menu",
                                         "TntL_Phone_Menu", "TntL_Input_Menu",  "TntL_Output_Menu",
                                         "TntL_Date_Menu"};

void prepareFolder(const QString &folder, int language)
{
    QDir().mkpath(folder + QStringLiteral("/Language"));
    const QDir source(QCoreApplication::applicationDirPath() + QStringLiteral("/Language"));
    for (const QString &name : source.entryList({QStringLiteral("*.xml")}, QDir::Files))
        QFile::copy(source.filePath(name), folder + QStringLiteral("/Language/") + name);
    QDir().mkpath(folder + QStringLiteral("/Projects/Plant_A"));
    QDir().mkpath(folder + QStringLiteral("/Projects/Warehouse North"));
    QDir().mkpath(folder + QStringLiteral("/Setting"));
    config::Configuration c;
    c.pin = QStringLiteral("1234");
    c.dst = true;
    config::writeConfigurationFile(c, folder + QStringLiteral("/Projects/Plant_A/Configuration.xml"));
    writeSettings(folder + QStringLiteral("/Setting/setting.xml"), {language, QStringLiteral("Plant_A")});
}

bool save(QWidget *w, const QString &path)
{
    QApplication::processEvents();
    QTest::qWait(50);
    return w->grab().save(path);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc < 2) {
        err << "Usage: trenov5x-screenshots OUTPUT_FOLDER\n";
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    int failures = 0;
    for (const Language &language : kLanguages) {
        QTemporaryDir folder;
        prepareFolder(folder.path(), language.code);
        ui::MainWindow window({folder.path(), nullptr});
        window.show();
        QTest::qWaitForWindowExposed(&window);
        for (int page = 0; page < 10; ++page) {
            if (!language.allPages && page != 0 && page != 9)
                continue;
            if (kMenuCaptions[page])
                emit window.findChild<ui::ClickLabel *>(QLatin1String(kMenuCaptions[page]))->clicked();
            const QString file = QStringLiteral("%1/%2_%3.png")
                                     .arg(out, QLatin1String(language.tag), QLatin1String(kPages[page]));
            failures += save(&window, file) ? 0 : 1;
        }
        if (language.allPages) {
            window.aboutBox()->show();
            failures += save(window.aboutBox(), out + QStringLiteral("/eng_about.png")) ? 0 : 1;
            window.aboutBox()->hide();
        }
        window.session().clearChanged();
    }
    return failures == 0 ? 0 : 1;
}
