#include "PageParts.h"

#include "lang/KeyTable.h"
#include "ui/LanguageApplier.h"
#include "ui/widgets/SvgPicture.h"
#include "ui/widgets/Theme.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

namespace ui {

QString builtinCaption(QStringView key)
{
    return withoutMnemonics(lang::builtinText(key));
}

QLabel *makeLabel(const QString &name, QWidget *parent)
{
    return makeLabel(name, builtinCaption(name), parent);
}

QLabel *makeLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QLabel *makeHeadingLabel(const QString &name, QWidget *parent)
{
    QLabel *label = makeLabel(name, parent);
    label->setFont(theme::baseFont(9, true));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, theme::kMain);
    label->setPalette(p);
    return label;
}

QCheckBox *makeCheckBox(const QString &name, QWidget *parent)
{
    auto *box = new QCheckBox(builtinCaption(name), parent);
    box->setObjectName(name);
    return box;
}

QLineEdit *makeEdit(const QString &name, int width, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    if (width > 0)
        edit->setFixedWidth(width);
    return edit;
}

QWidget *makeIcon(const QString &resource, int size, QWidget *parent)
{
    auto *icon = new SvgPicture({}, resource, QSize(size, size), parent);
    icon->unsetCursor();
    return icon;
}

QHBoxLayout *makeUnitLine(const QString &captionName, QLineEdit *edit, const QString &unitName,
                          QWidget *parent)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(6);
    QLabel *before = makeLabel(captionName, parent);
    before->setBuddy(edit);
    row->addWidget(before);
    row->addWidget(edit);
    row->addWidget(makeLabel(unitName, parent));
    row->addStretch(1);
    return row;
}

ClickPanel::ClickPanel(const QString &objectName, QWidget *parent) : QWidget(parent)
{
    setObjectName(objectName);
    setClickable(true);
}

void ClickPanel::setClickable(bool clickable)
{
    m_clickable = clickable;
    setCursor(clickable ? Qt::PointingHandCursor : Qt::ArrowCursor);
    // Tab only, as the menu captions: a mouse click leaves the focus where it was.
    setFocusPolicy(clickable ? Qt::TabFocus : Qt::NoFocus);
}

void ClickPanel::mousePressEvent(QMouseEvent *event)
{
    // Accepted, so the release comes here even when it started on the caption.
    event->setAccepted(m_clickable && event->button() == Qt::LeftButton);
}

void ClickPanel::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_clickable && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void ClickPanel::keyPressEvent(QKeyEvent *event)
{
    if (m_clickable && isClickKey(event)) {
        emit clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ClickPanel::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    drawFocusMark(this);
}

SubTitle makeSubTitle(const QString &captionName, QWidget *parent, const QString &linkPanelName,
                      const QString &linkName)
{
    SubTitle made;
    made.bar = new QWidget(parent);
    paintBackground(made.bar, theme::kMain);
    auto *row = new QHBoxLayout(made.bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(makeBar(captionName, builtinCaption(captionName), 12, made.bar), 1);
    if (!linkName.isEmpty()) {
        made.link = new ClickPanel(linkPanelName, made.bar);
        paintBackground(made.link, theme::kHeader);
        auto *linkRow = new QHBoxLayout(made.link);
        linkRow->setContentsMargins(12, 0, 12, 0);
        auto *label = makeLabel(linkName, made.link);
        label->setFont(theme::baseFont(8, true));
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, theme::kMain);
        label->setPalette(p);
        linkRow->addWidget(label);
        setHintSource(made.link, label);
        row->addWidget(made.link);
    }
    return made;
}

namespace {

QString tabPicture(TabLook look)
{
    return look == TabLook::Selected ? QStringLiteral(":/tabs/marker.svg") : QStringLiteral(":/tabs/go.svg");
}

} // namespace

TabStrip::TabStrip(std::span<const TabDef> tabs, QWidget *parent) : QWidget(parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    for (const TabDef &def : tabs) {
        auto *tab = new ClickPanel(QLatin1String(def.panel), this);
        tab->setFixedHeight(22);
        tab->setMinimumWidth(90);
        auto *inside = new QHBoxLayout(tab);
        inside->setContentsMargins(6, 0, 6, 0);
        inside->setSpacing(6);
        auto *caption = makeLabel(QLatin1String(def.caption), tab);
        auto *picture = new SvgPicture({}, tabPicture(def.look), QSize(14, 14), tab);
        picture->unsetCursor();
        setHintSource(tab, caption);
        m_tabs.append({tab, caption, picture});
        setLook(int(m_tabs.size()) - 1, def.look);
        row->addWidget(tab);
    }
    row->addStretch(1);
}

void TabStrip::setLook(int index, TabLook look)
{
    const Tab &tab = m_tabs.at(index);
    const bool selected = look == TabLook::Selected;
    paintBackground(tab.panel, selected                   ? theme::kMain
                               : look == TabLook::Sibling ? theme::kUnselected
                                                          : theme::kHeader);
    tab.caption->setFont(theme::baseFont(8, selected));
    QPalette p = tab.caption->palette();
    p.setColor(QPalette::WindowText, selected ? QColor(Qt::white) : theme::kMain);
    tab.caption->setPalette(p);
    tab.picture->setResource(tabPicture(look));
    // The marker sits at the right end of the selected tab, the picture at
    // the left end of the others.
    auto *inside = static_cast<QHBoxLayout *>(tab.panel->layout());
    inside->removeWidget(tab.caption);
    inside->removeWidget(tab.picture);
    if (selected) {
        inside->addWidget(tab.caption, 1);
        inside->addWidget(tab.picture);
    } else {
        inside->addWidget(tab.picture);
        inside->addWidget(tab.caption, 1);
    }
    tab.panel->setClickable(!selected);
}

} // namespace ui

namespace ui {

TabStrip *makeTabPair(const QString &panel1, const QString &caption1, const QString &panel2,
                      const QString &caption2, int selected, QWidget *parent)
{
    const QByteArray names[4] = {panel1.toLatin1(), caption1.toLatin1(), panel2.toLatin1(),
                                 caption2.toLatin1()};
    const TabDef tabs[] = {
        {names[0].constData(), names[1].constData(), selected == 0 ? TabLook::Selected : TabLook::Other},
        {names[2].constData(), names[3].constData(), selected == 1 ? TabLook::Selected : TabLook::Other},
    };
    return new TabStrip(tabs, parent);
}

} // namespace ui
