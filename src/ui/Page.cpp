#include "Page.h"

#include "ui/widgets/PageParts.h"
#include "ui/widgets/Theme.h"

#include <QStackedWidget>
#include <QVBoxLayout>

namespace ui {

void showInStacks(QWidget *control, const QWidget *top)
{
    for (QWidget *w = control; w && w != top; w = w->parentWidget()) {
        if (auto *stack = qobject_cast<QStackedWidget *>(w->parentWidget()))
            stack->setCurrentWidget(w);
    }
}

Page *pageOf(QWidget *control)
{
    for (QWidget *w = control; w; w = w->parentWidget()) {
        if (auto *page = qobject_cast<Page *>(w))
            return page;
    }
    return nullptr;
}

void Page::reveal(QWidget *control, int)
{
    showInStacks(control, this);
}

Page::Page(PageId id, PageContext &context, QWidget *parent) : QWidget(parent), m_context(context), m_id(id)
{
}

QVBoxLayout *Page::buildFrame(const QString &panelName, const QString &titleName)
{
    setObjectName(panelName);
    paintBackground(this, Qt::white);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(makeBar(titleName, builtinCaption(titleName), 12, this));
    auto *content = new QVBoxLayout;
    content->setContentsMargins(12, 10, 12, 10);
    content->setSpacing(8);
    outer->addLayout(content, 1);
    return content;
}

} // namespace ui
