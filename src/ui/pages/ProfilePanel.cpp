#include "ProfilePanel.h"

#include "lang/KeyTable.h"
#include "lang/LanguageTexts.h"
#include "ui/LanguageApplier.h"
#include "ui/Page.h"
#include "ui/PageContext.h"
#include "ui/widgets/PageParts.h"
#include "ui/widgets/SlotGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace ui {
namespace {

enum Panel { Weekly, Daily, Date };

constexpr QStringView kProfileNumbersKey = u"Mes_Profile_Numbers";

constexpr int kWeeklyTabs = config::kWeeklyProfiles;
constexpr int kDailyTab = kWeeklyTabs;
constexpr int kDateTab = kWeeklyTabs + 1;

// The three strips, in panel order; each names its tabs with its own prefix.
// On the weekly strip the tab of the profile on screen is drawn selected and
// the other weekly tabs as its silver siblings.
constexpr TabDef kStrips[3][5] = {
    {{"P_Pro_Week1_Week1", "TntL_Pro_Week1_Week1", TabLook::Selected},
     {"P_Pro_Week1_Week2", "TntL_Pro_Week1_Week2", TabLook::Sibling},
     {"P_Pro_Week1_Week3", "TntL_Pro_Week1_Week3", TabLook::Sibling},
     {"P_Pro_Week1_Day", "TntL_Pro_Week1_Day", TabLook::Other},
     {"P_Pro_Week1_Date", "TntL_Pro_Week1_Date", TabLook::Other}},
    {{"P_Pro_Day_Week1", "TntL_Pro_Day_Week1", TabLook::Other},
     {"P_Pro_Day_Week2", "TntL_Pro_Day_Week2", TabLook::Other},
     {"P_Pro_Day_Week3", "TntL_Pro_Day_Week3", TabLook::Other},
     {"P_Pro_Day_Day", "TntL_Pro_Day_Day", TabLook::Selected},
     {"P_Pro_Day_Date", "TntL_Pro_Day_Date", TabLook::Other}},
    {{"P_Pro_Date_Week1", "TntL_Pro_Date_Week1", TabLook::Other},
     {"P_Pro_Date_Week2", "TntL_Pro_Date_Week2", TabLook::Other},
     {"P_Pro_Date_Week3", "TntL_Pro_Date_Week3", TabLook::Other},
     {"P_Pro_Date_Day", "TntL_Pro_Date_Day", TabLook::Other},
     {"P_Pro_Date_Date", "TntL_Pro_Date_Date", TabLook::Selected}},
};

QVBoxLayout *panelColumn(QWidget *panel)
{
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    return column;
}

} // namespace

ProfilePanel::ProfilePanel(PageContext &context, QWidget *parent)
    : QWidget(parent), m_context(context), m_binder(context)
{
    m_binder.setVariant([this] { return m_week; });
    setObjectName(QStringLiteral("P_DT_PRO_Profile"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(12, 10, 12, 10);
    column->setSpacing(8);
    const SubTitle title =
        makeSubTitle(QStringLiteral("TntL_SubT_Profile"), this, QStringLiteral("P_SubT_Go_DateTime"),
                     QStringLiteral("TntL_SubT_Go_DateTime"));
    column->addWidget(title.bar);
    connect(title.link, &ClickPanel::clicked, this, &ProfilePanel::dateTimeRequested);
    // Which profile numbers of the output tables select these profiles.
    auto *numbers = new QLabel(lang::builtinText(kProfileNumbersKey), this);
    numbers->setObjectName(QStringLiteral("TntL_Profile_Numbers"));
    numbers->setWordWrap(true);
    setTextKey(numbers, kProfileNumbersKey);
    column->addWidget(numbers);

    m_panels = new QStackedWidget(this);
    m_panels->addWidget(buildWeekly());
    m_panels->addWidget(buildDaily());
    m_panels->addWidget(buildDate());
    column->addWidget(m_panels, 1);
    showWeekly(0);
}

TabStrip *ProfilePanel::addStrip(QWidget *panel, int strip)
{
    auto *tabs = new TabStrip(kStrips[strip], panel);
    for (int i = 0; i < kWeeklyTabs; ++i)
        connect(tabs->tab(i), &ClickPanel::clicked, this, [this, i] { showWeekly(i); });
    connect(tabs->tab(kDailyTab), &ClickPanel::clicked, this, [this] { showPanel(Daily); });
    connect(tabs->tab(kDateTab), &ClickPanel::clicked, this, [this] { showPanel(Date); });
    panel->layout()->addWidget(tabs);
    return tabs;
}

QWidget *ProfilePanel::buildWeekly()
{
    auto *panel = new QWidget(m_panels);
    panel->setObjectName(QStringLiteral("P_ProfileWeek"));
    QVBoxLayout *column = panelColumn(panel);
    m_weekStrip = addStrip(panel, Weekly);
    m_weekEnable = new QCheckBox(panel);
    m_weekEnable->setObjectName(QStringLiteral("CB_Week_Enable"));
    column->addWidget(m_weekEnable);
    auto *grid = new SlotGrid(QStringLiteral("Grid_Pro_Week"), QStringLiteral("TntL_Pro_Week_"),
                              config::kDaysPerWeek, panel);
    column->addWidget(grid, 0, Qt::AlignLeft);
    column->addStretch(1);

    config::Configuration &c = m_context.configuration();
    m_binder.flag(m_weekEnable, [this, &c]() -> bool & { return c.weeklyProfiles[m_week].enabled; });
    m_binder.timeSlots(grid, [this, &c] { return std::span(c.weeklyProfiles[m_week].days); });
    m_weekGrid = grid;
    m_firstControls.append(m_weekEnable);
    return panel;
}

QWidget *ProfilePanel::buildDaily()
{
    auto *panel = new QWidget(m_panels);
    panel->setObjectName(QStringLiteral("P_ProfileDay"));
    QVBoxLayout *column = panelColumn(panel);
    addStrip(panel, Daily);
    config::Configuration &c = m_context.configuration();
    for (int k = 0; k < config::kDailyProfiles; ++k) {
        const QString number = QString::number(k + 1);
        auto *enable = new QCheckBox(builtinCaption(QStringLiteral("CB_En_Daily") + number), panel);
        enable->setObjectName(QStringLiteral("CB_En_Daily") + number);
        auto *grid = new SlotGrid(QStringLiteral("Grid_Pro_Day") + number,
                                  QStringLiteral("TntL_Pro_Day%1_").arg(number), 1, panel);
        if (k > 0)
            column->addSpacing(8);
        column->addWidget(enable);
        column->addWidget(grid, 0, Qt::AlignLeft);
        config::DailyProfile &profile = c.dailyProfiles[k];
        m_binder.flag(enable, profile.enabled);
        m_binder.timeSlots(grid, [&profile] { return std::span(&profile.timeSlots, 1); });
        if (k == 0)
            m_firstControls.append(enable);
    }
    column->addStretch(1);
    return panel;
}

QWidget *ProfilePanel::buildDate()
{
    auto *panel = new QWidget(m_panels);
    panel->setObjectName(QStringLiteral("P_ProfileDate"));
    QVBoxLayout *column = panelColumn(panel);
    TabStrip *strip = addStrip(panel, Date);
    column->addStretch(1);
    m_firstControls.append(strip->tab(0));
    return panel;
}

void ProfilePanel::showWeekly(int profile)
{
    m_week = profile;
    for (int i = 0; i < kWeeklyTabs; ++i)
        m_weekStrip->setLook(i, i == profile ? TabLook::Selected : TabLook::Sibling);
    showWeekCaption();
    // Puts the profile on the grid and its flag on the box, outside the funnel.
    m_binder.refresh();
    showPanel(Weekly);
}

void ProfilePanel::showWeekCaption()
{
    m_weekEnable->setText(m_context.texts().messageText(QStringLiteral("En_Profile_Week%1").arg(m_week + 1)));
}

void ProfilePanel::reveal(QWidget *control, int variant)
{
    if ((control == m_weekGrid || control == m_weekEnable) && variant >= 0 && variant != m_week)
        showWeekly(variant);
    else
        showInStacks(control, this);
}

void ProfilePanel::showPanel(int index)
{
    // A tab chosen with the focus on it is hidden now, or no longer takes the
    // focus: the keyboard goes on at the first control of the panel shown.
    const QWidget *focus = QApplication::focusWidget();
    const bool fromTab = qobject_cast<const ClickPanel *>(focus) && m_panels->isAncestorOf(focus);
    m_panels->setCurrentIndex(index);
    if (fromTab)
        m_firstControls.at(index)->setFocus(Qt::TabFocusReason);
}

} // namespace ui
