// What the window tests share: a program folder in a temporary place, a
// message presenter that answers in advance and records what was shown, and
// the simulated modem on a pseudo-terminal.
#pragma once

#include "ui/MessageBoxes.h"

#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

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

private:
    QTemporaryDir m_dir;
};

// trenov5x-devsim with the given options; its device path once it runs.
class SimulatedModem
{
public:
    explicit SimulatedModem(const QStringList &options = {});
    ~SimulatedModem();
    QString devicePath() const { return m_path; }
    void toggleSilent() const; // SIGUSR1

private:
    std::unique_ptr<QProcess> m_process;
    QString m_path;
};
