#include "InputPage.h"

#include "ui/pages/InputPanels.h"
#include "ui/widgets/PageParts.h"

#include <QStackedWidget>
#include <QVBoxLayout>

namespace ui {
namespace {

// One half of the page: a sub-title bar with the link to the other half, then
// its panels. The link comes first in the tab order, as on screen.
struct Half
{
    QWidget *widget;
    QVBoxLayout *column;
    ClickPanel *link;
};

Half makeHalf(const QString &name, const QString &caption, const QString &linkPanel, const QString &link,
              QWidget *parent)
{
    auto *half = new QWidget(parent);
    half->setObjectName(name);
    auto *column = new QVBoxLayout(half);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    const SubTitle title = makeSubTitle(caption, half, linkPanel, link);
    column->addWidget(title.bar);
    return {half, column, title.link};
}

} // namespace

InputPage::InputPage(PageContext &context, QWidget *parent)
    : Page(PageId::Input, context, parent), m_binder(context)
{
    QVBoxLayout *content = buildFrame(QStringLiteral("P_Input"), QStringLiteral("TntL_Title_Input"));
    config::Configuration &c = context.configuration();
    m_halves = new QStackedWidget(this);

    const Half digital =
        makeHalf(QStringLiteral("P_Dig_Input_Set"), QStringLiteral("TntL_SubT_Input_Digital"),
                 QStringLiteral("P_SubT_Go_AnaDig"), QStringLiteral("TntL_SubT_Go_AnaDig"), m_halves);
    m_digitalInputs = new QStackedWidget(digital.widget);
    for (int i = 0; i < config::kDigitalInputs; ++i) {
        auto *panel = new DigitalInputPanel(i, m_digitalInputs);
        panel->bind(m_binder, c.digitalInputs[i]);
        m_digitalInputs->addWidget(panel);
        connect(panel->otherInputTab(), &ClickPanel::clicked, this, [this, i] { showDigitalInput(1 - i); });
    }
    digital.column->addWidget(m_digitalInputs, 1);
    connect(digital.link, &ClickPanel::clicked, this, [this] { showAnalog(true); });
    m_halves->addWidget(digital.widget);

    const Half analog =
        makeHalf(QStringLiteral("P_Ana_Input_Set"), QStringLiteral("TntL_SubT_Input_Analog"),
                 QStringLiteral("P_SubT_Go_InpDig"), QStringLiteral("TntL_SubT_Go_InpDig"), m_halves);
    auto *panel = new AnalogInputPanel(analog.widget);
    panel->bind(m_binder, c.analogInput);
    analog.column->addWidget(panel, 1);
    connect(analog.link, &ClickPanel::clicked, this, [this] { showAnalog(false); });
    m_halves->addWidget(analog.widget);

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
