// Every message the window shows goes through one presenter, so tests can
// answer the boxes in advance and read what was shown.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QWidget;

namespace ui {

enum class MessageKind { Information, Warning, Error };
enum class MessageButtons { Ok, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

class MessagePresenter
{
public:
    virtual ~MessagePresenter() = default;
    // Shows a modal box and returns the answer; closing the box answers Cancel
    // (or Ok for a box with only OK).
    virtual MessageAnswer show(QWidget *parent, MessageKind kind, const QString &text,
                               MessageButtons buttons) = 0;
    // A box with three buttons of the given captions, answered Yes, No and
    // Cancel in their order; presenters without own buttons show it as a
    // Yes/No/Cancel box.
    virtual MessageAnswer choose(QWidget *parent, MessageKind kind, const QString &text,
                                 const QStringList &captions)
    {
        Q_UNUSED(captions);
        return show(parent, kind, text, MessageButtons::YesNoCancel);
    }
};

// The real boxes.
class DialogMessagePresenter : public MessagePresenter
{
public:
    MessageAnswer show(QWidget *parent, MessageKind kind, const QString &text,
                       MessageButtons buttons) override;
    MessageAnswer choose(QWidget *parent, MessageKind kind, const QString &text,
                         const QStringList &captions) override;
};

// For a platform that shows nothing (offscreen, minimal), where a modal box
// would wait for ever: the text goes to standard error, one line per box
// after its kind, and the answer is that of a closed box.
class StderrMessagePresenter : public MessagePresenter
{
public:
    MessageAnswer show(QWidget *parent, MessageKind kind, const QString &text,
                       MessageButtons buttons) override;
};

// The real boxes, or the standard error on a platform that shows nothing.
std::unique_ptr<MessagePresenter> platformMessagePresenter();

} // namespace ui
