#include "MessageBoxes.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

namespace ui {

MessageAnswer DialogMessagePresenter::show(QWidget *parent, MessageKind kind, const QString &text,
                                           MessageButtons buttons)
{
    QMessageBox box(parent);
    box.setWindowTitle(parent ? parent->window()->windowTitle() : QString());
    box.setIcon(kind == MessageKind::Information ? QMessageBox::Information
                : kind == MessageKind::Warning   ? QMessageBox::Warning
                                                 : QMessageBox::Critical);
    box.setTextFormat(Qt::PlainText); // a name or a system text must not turn into markup
    box.setText(text);
    if (buttons == MessageButtons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return MessageAnswer::Ok;
    }
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return MessageAnswer::Cancel;
    }
}

MessageAnswer DialogMessagePresenter::choose(QWidget *parent, MessageKind kind, const QString &text,
                                             const QStringList &captions)
{
    QMessageBox box(parent);
    box.setWindowTitle(parent ? parent->window()->windowTitle() : QString());
    box.setIcon(kind == MessageKind::Information ? QMessageBox::Information
                : kind == MessageKind::Warning   ? QMessageBox::Warning
                                                 : QMessageBox::Critical);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    const QMessageBox::ButtonRole roles[] = {QMessageBox::YesRole, QMessageBox::NoRole,
                                             QMessageBox::RejectRole};
    const MessageAnswer answers[] = {MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Cancel};
    QList<QAbstractButton *> buttons;
    for (int i = 0; i < 3; ++i)
        buttons.append(box.addButton(captions.value(i), roles[i]));
    box.setEscapeButton(buttons[2]);
    box.exec();
    const int chosen = buttons.indexOf(box.clickedButton());
    return chosen < 0 ? MessageAnswer::Cancel : answers[chosen];
}

MessageAnswer StderrMessagePresenter::show(QWidget *, MessageKind kind, const QString &text,
                                           MessageButtons buttons)
{
    const char *label = kind == MessageKind::Information ? "Information"
                        : kind == MessageKind::Warning   ? "Warning"
                                                         : "Error";
    std::fprintf(stderr, "%s: %s\n", label, text.toUtf8().constData());
    std::fflush(stderr);
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

std::unique_ptr<MessagePresenter> platformMessagePresenter()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return std::make_unique<StderrMessagePresenter>();
    return std::make_unique<DialogMessagePresenter>();
}

} // namespace ui
