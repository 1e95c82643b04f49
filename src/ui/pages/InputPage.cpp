#include "InputPage.h"

#include "ui/PageFactory.h"
#include "ui/pages/InputPanels.h"

#include <QStackedWidget>
#include <QVBoxLayout>

namespace ui {
namespace {

// One half of the page: its sub-title bar with the link to the other half, then its panels.
QWidget *makeHalf(const QString &name, const SubTitle &title, QWidget *panels, QWidget *parent)
{
    auto *half = new QWidget(parent);
    half->setObjectName(name);
    auto *column = new QVBoxLayout(half);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    title.bar->setParent(half);
    column->addWidget(title.bar);
    column->addWidget(panels, 1);
    return half;
}

} // namespace

InputPage::InputPage(PageContext &context, QWidget *parent)
    : Page(PageId::Input, context, parent), m_binder(context)
{
    QVBoxLayout *content = buildFrame(QStringLiteral("P_Input"), QStringLiteral("TntL_Title_Input"));
    config::Configuration &c = context.configuration();

    m_halves = new QStackedWidget(this);

    m_digitalInputs = new QStackedWidget;
    for (int i = 0; i < config::kDigitalInputs; ++i) {
        auto *panel = new DigitalInputPanel(i, m_digitalInputs);
        panel->bind(m_binder, c.digitalInputs[i]);
        m_digitalInputs->addWidget(panel);
        connect(panel->otherInputTab(), &ClickPanel::clicked, this, [this, i] { showDigitalInput(1 - i); });
    }
    const SubTitle toAnalog = makeSubTitle(QStringLiteral("TntL_SubT_Input_Digital"), m_halves,
                                           QStringLiteral("P_SubT_Go_AnaDig"), QStringLiteral("TntL_SubT_Go_AnaDig"));
    m_halves->addWidget(makeHalf(QStringLiteral("P_Dig_Input_Set"), toAnalog, m_digitalInputs, m_halves));
    connect(toAnalog.link, &ClickPanel::clicked, this, [this] { showAnalog(true); });

    auto *analog = new AnalogInputPanel;
    analog->bind(m_binder, c.analogInput);
    const SubTitle toDigital = makeSubTitle(QStringLiteral("TntL_SubT_Input_Analog"), m_halves,
                                            QStringLiteral("P_SubT_Go_InpDig"), QStringLiteral("TntL_SubT_Go_InpDig"));
    m_halves->addWidget(makeHalf(QStringLiteral("P_Ana_Input_Set"), toDigital, analog, m_halves));
    connect(toDigital.link, &ClickPanel::clicked, this, [this] { showAnalog(false); });

    content->addWidget(m_halves, 1);
}

void InputPage::pageShown()
{
    showAnalog(false);
    showDigitalInput(0);
}

void InputPage::showAnalog(bool analog)
{
    m_halves->setCurrentIndex(analog ? 1 : 0);
}

void InputPage::showDigitalInput(int input)
{
    m_digitalInputs->setCurrentIndex(input);
}

} // namespace ui
