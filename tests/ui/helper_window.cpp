#include "helper_window.h"

#include "config/ConfigurationFile.h"
#include "lang/KeyTable.h"
#include "lang/LanguageTexts.h"
#include "ui/LanguageApplier.h"
#include "ui/MainWindow.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <csignal>

ui::MessageAnswer RecordingPresenter::show(QWidget *, ui::MessageKind kind, const QString &text,
                                           ui::MessageButtons buttons)
{
    shown.append({kind, text});
    if (!answers.isEmpty())
        return answers.takeFirst();
    return buttons == ui::MessageButtons::Ok ? ui::MessageAnswer::Ok : ui::MessageAnswer::Cancel;
}

QStringList RecordingPresenter::texts() const
{
    QStringList list;
    for (const Shown &s : shown)
        list << s.text;
    return list;
}

QString englishMessage(QStringView key)
{
    static const lang::LanguageTexts english = [] {
        lang::LanguageTexts texts;
        if (!texts.loadLanguageFile(QStringLiteral(TRENOV5X_SOURCE_DIR "/Language/Lang_ENG.xml")))
            qFatal("cannot read the English language file");
        return texts;
    }();
    return english.messageText(key);
}

ProgramFolder::ProgramFolder()
{
    QDir().mkpath(m_dir.filePath(QStringLiteral("Language")));
    const QDir source(QStringLiteral(TRENOV5X_SOURCE_DIR "/Language"));
    for (const QString &name : source.entryList({QStringLiteral("*.xml")}, QDir::Files))
        QFile::copy(source.filePath(name), m_dir.filePath(QStringLiteral("Language/") + name));
}

void ProgramFolder::writeSettings(int language, const QString &configuration) const
{
    writeFile(QStringLiteral("Setting/setting.xml"),
              QStringLiteral("<General_Setting><Language>%1</Language><Configuration>%2</Configuration>"
                             "</General_Setting>")
                  .arg(language)
                  .arg(configuration)
                  .toUtf8());
}

void ProgramFolder::writeFile(const QString &relativePath, const QByteArray &bytes) const
{
    const QString path = m_dir.filePath(relativePath);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray ProgramFolder::readFile(const QString &relativePath) const
{
    QFile f(m_dir.filePath(relativePath));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

SimulatedModem::SimulatedModem(const QStringList &options, Plug plug)
    : m_process(std::make_unique<QProcess>())
{
    QStringList arguments = options;
    if (plug == Plug::Pullable) {
        m_pulledPath = m_linkDir.filePath(QStringLiteral("ttyPULL"));
        arguments << QStringLiteral("--link") << m_pulledPath;
    }
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    m_process->setStandardErrorFile(QProcess::nullDevice());
    m_process->start(QStringLiteral(TRENOV5X_PROGRAM_DIR "/trenov5x-devsim"), arguments);
    if (!m_process->waitForStarted(5000))
        qFatal("trenov5x-devsim did not start");
    QTRY_VERIFY_WITH_TIMEOUT(m_process->canReadLine() || m_process->waitForReadyRead(100), 5000);
    m_path = QString::fromUtf8(m_process->readLine()).trimmed();
    if (!m_pulledPath.isEmpty() && !m_path.isEmpty())
        m_path = m_pulledPath;
    // The fake update programs restart the device last started when they end
    // well, as a real update does.
    qputenv("TRENOV5X_TEST_DEVICE_PID", QByteArray::number(m_process->processId()));
}

SimulatedModem::~SimulatedModem()
{
    m_process->terminate();
    if (!m_process->waitForFinished(3000))
        m_process->kill();
}

void SimulatedModem::toggleSilent() const
{
    ::kill(pid_t(m_process->processId()), SIGUSR1);
}

void SimulatedModem::vanish()
{
    m_process->kill();
    m_process->waitForFinished(3000);
    if (!m_pulledPath.isEmpty())
        QFile::remove(m_pulledPath);
}

void ProgramFolder::writeConfiguration(const QString &name, const config::Configuration &c) const
{
    writeFile(QStringLiteral("Projects/%1/Configuration.xml").arg(name), config::serializeConfiguration(c));
}

bool activated(QWidget &window)
{
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

void clickAt(QWidget *control)
{
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(4, control->height() / 2));
}

void clickMenu(ui::MainWindow &w, const char *name)
{
    clickAt(child<QWidget>(&w, name));
}

void addLanguageRows()
{
    QTest::addColumn<int>("language");
    QTest::newRow("English") << 1;
    QTest::newRow("Italiano") << 2;
    QTest::newRow("Deutsch") << 3;
    QTest::newRow("Espanol") << 4;
}

QStringList captionFaults(ui::MainWindow &w, std::initializer_list<lang::Group> groups, int *checked)
{
    QStringList faults;
    QHash<QString, QList<QWidget *>> named;
    for (QWidget *widget : w.findChildren<QWidget *>()) {
        const QString name = widget->objectName();
        // The About box is a window of its own with its own names.
        if (widget->window() == &w && !name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
            named[name].append(widget);
    }
    for (auto it = named.cbegin(); it != named.cend(); ++it) {
        if (it.value().size() > 1)
            faults << it.key() + QStringLiteral(" names %1 controls").arg(it.value().size());
    }
    int count = 0;
    for (const lang::KeyDef &key : lang::keys()) {
        if (std::find(groups.begin(), groups.end(), key.group) == groups.end() ||
            key.kind == lang::KeyKind::Message)
            continue;
        ++count;
        const QString text = w.texts().text(key.key);
        const QString name =
            key.kind == lang::KeyKind::Header ? key.key.chopped(3).toString() : key.key.toString();
        const QList<QWidget *> controls = named.value(name);
        if (controls.size() != 1) {
            faults << name + QStringLiteral(" names %1 controls").arg(controls.size());
            continue;
        }
        QString shown;
        if (key.kind == lang::KeyKind::Header) {
            auto *view = qobject_cast<QAbstractItemView *>(controls[0]);
            const int column = key.key.back().digitValue() - 1;
            shown = view && view->model() ? view->model()->headerData(column, Qt::Horizontal).toString()
                                          : QString();
            if (shown != ui::headerText(text))
                faults << key.key.toString() + QStringLiteral(" shows ") + shown;
        } else {
            shown = controls[0]->property("text").toString();
            if (shown != text && shown != ui::withoutMnemonics(text))
                faults << key.key.toString() + QStringLiteral(" shows ") + shown;
        }
    }
    if (checked)
        *checked = count;
    return faults;
}

void checkCaptions(ui::MainWindow &w, std::initializer_list<lang::Group> groups, int &checked)
{
    int count = 0;
    const QStringList faults = captionFaults(w, groups, &count);
    checked += count;
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
}

OpenConfiguration::OpenConfiguration(const config::Configuration &c, int language,
                                     ui::MainWindow::Options::Pages pages)
{
    folder.writeConfiguration(kName, c);
    folder.writeSettings(language, kName);
    window = std::make_unique<ui::MainWindow>(ui::MainWindow::Options{folder.path(), &boxes, {}, pages});
    window->show();
}

OpenConfiguration::~OpenConfiguration() = default;

config::Configuration OpenConfiguration::stored() const
{
    config::Configuration c;
    const config::LoadResult r =
        config::loadConfigurationFile(projectFolder() + QStringLiteral("/Configuration.xml"), c);
    if (r.status != config::LoadStatus::Loaded)
        qFatal("stored configuration not loaded");
    return c;
}

void OpenConfiguration::save()
{
    clickMenu(*window, "TntL_Save_Menu");
    child<QPushButton>(window.get(), "TntB_SaveConf")->click();
}
