#include "PageFactory.h"

#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace ui {

PageFrame makePage(const QString &panelName, const QString &titleName, const QString &title)
{
    PageFrame frame;
    frame.panel = new QWidget;
    frame.panel->setObjectName(panelName);
    paintBackground(frame.panel, Qt::white);
    auto *outer = new QVBoxLayout(frame.panel);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(makeBar(titleName, title, 12, frame.panel));
    frame.content = new QVBoxLayout;
    frame.content->setContentsMargins(12, 10, 12, 10);
    frame.content->setSpacing(8);
    outer->addLayout(frame.content, 1);
    return frame;
}

QWidget *makeSubTitle(const QString &captionName, const QString &caption, QWidget *parent,
                      const QString &linkPanelName, const QString &linkName, const QString &linkText,
                      QLabel **link)
{
    auto *bar = new QWidget(parent);
    paintBackground(bar, theme::kMain);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(makeBar(captionName, caption, 12, bar), 1);
    if (!linkName.isEmpty()) {
        auto *linkPanel = new QWidget(bar);
        linkPanel->setObjectName(linkPanelName);
        paintBackground(linkPanel, theme::kHeader);
        linkPanel->setCursor(Qt::PointingHandCursor);
        auto *linkRow = new QHBoxLayout(linkPanel);
        linkRow->setContentsMargins(12, 0, 12, 0);
        auto *label = new ClickLabel(linkName, linkPanel);
        label->setText(linkText);
        label->setFont(theme::baseFont(8, true));
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, theme::kMain);
        label->setPalette(p);
        linkRow->addWidget(label);
        row->addWidget(linkPanel);
        if (link)
            *link = label;
    }
    return bar;
}

QLabel *makeLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace ui
