// What the window tests share: a program folder in a temporary place, a
// message presenter that answers in advance and records what was shown, and
// the simulated modem on a pseudo-terminal.
#pragma once

#include "config/Configuration.h"
#include "lang/KeyTable.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"

#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

// The control of that name under window; ends the test run when there is none.
template <typename T> T *child(QWidget *window, const char *name)
{
    T *w = window->template findChild<T *>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

namespace lang {
enum class Group : int;
}

// What is wrong with the captions of a window: object names that two of its
// controls share, and caption or header keys of the given groups that do not
// name exactly one control showing the current language's text. `checked`
// counts the keys looked at.
QStringList captionFaults(ui::MainWindow &w, std::initializer_list<lang::Group> groups,
                          int *checked = nullptr);

// The message text a window in English shows for key: the shipped English
// file's, which is proofread and so differs from the built-in text.
QString englishMessage(QStringView key);

// Makes the window the active one, so that its shortcuts take the keys;
// false when it did not become active.
bool activated(QWidget &window);

// A click on a menu entry, a tab or a link, near its left edge.
void clickAt(QWidget *control);
void clickMenu(ui::MainWindow &w, const char *name);

// The four languages as data rows of an int column "language" (the code).
void addLanguageRows();
// Every name in the window names one control, and every caption and header
// key of the groups names a control that shows the key's text in the current
// language; checked counts the keys looked at.
void checkCaptions(ui::MainWindow &w, std::initializer_list<lang::Group> groups, int &checked);

class RecordingPresenter : public ui::MessagePresenter
{
public:
    struct Shown
    {
        ui::MessageKind kind;
        QString text;
    };

    ui::MessageAnswer show(QWidget *parent, ui::MessageKind kind, const QString &text,
                           ui::MessageButtons buttons) override;

    QList<ui::MessageAnswer> answers; // taken in order; OK (or Cancel) when empty
    QList<Shown> shown;
    QStringList texts() const;
};

// A program folder with the shipped language files in Language/.
class ProgramFolder
{
public:
    ProgramFolder();
    QString path() const { return m_dir.path(); }
    void writeSettings(int language, const QString &configuration) const;
    void writeFile(const QString &relativePath, const QByteArray &bytes) const;
    QByteArray readFile(const QString &relativePath) const;
    // Projects/<name>/Configuration.xml holding c.
    void writeConfiguration(const QString &name, const config::Configuration &c) const;

private:
    QTemporaryDir m_dir;
};

// trenov5x-devsim with the given options; its device path once it runs.
class SimulatedModem
{
public:
    // A device a test unplugs while the program may still open its port is
    // reached through a link of its own: once unplugged the path is gone for
    // good, where a pseudo-terminal number can come back at once for a
    // device another test starts.
    enum class Plug { Fixed, Pullable };

    explicit SimulatedModem(const QStringList &options = {}, Plug plug = Plug::Fixed);
    ~SimulatedModem();
    QString devicePath() const { return m_path; }
    void toggleSilent() const; // SIGUSR1
    // Ends the simulator at once: the line hangs up, as when the device is
    // unplugged; a pullable device's path goes too.
    void vanish();

private:
    std::unique_ptr<QProcess> m_process;
    QTemporaryDir m_linkDir;
    QString m_path;
    QString m_pulledPath;
};

// The window started over a program folder whose last configuration,
// Plant_A, holds c; message boxes are answered by boxes.
struct OpenConfiguration
{
    static inline const QString kName = QStringLiteral("Plant_A");

    explicit OpenConfiguration(
        const config::Configuration &c, int language = 1,
        ui::MainWindow::Options::Pages pages = ui::MainWindow::Options::Pages::AllAtStart);
    ~OpenConfiguration();
    ui::MainWindow &w() { return *window; }
    QString projectFolder() const { return folder.path() + QStringLiteral("/Projects/") + kName; }
    // Plant_A's Configuration.xml as it was saved.
    config::Configuration stored() const;
    // The Save Configuration page's Save button.
    void save();

    ProgramFolder folder;
    RecordingPresenter boxes;
    std::unique_ptr<ui::MainWindow> window;
};
