#include "MessageBoxes.h"

#include <QMessageBox>

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

} // namespace ui
