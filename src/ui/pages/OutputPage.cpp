#include "OutputPage.h"

#include "ui/pages/OutputPanels.h"
#include "ui/widgets/PageParts.h"

#include <QStackedWidget>
#include <QVBoxLayout>

namespace ui {

OutputPage::OutputPage(PageContext &context, QWidget *parent)
    : Page(PageId::Output, context, parent), m_binder(context)
{
    QVBoxLayout *content = buildFrame(QStringLiteral("P_Output"), QStringLiteral("TntL_Title_Output"));
    auto *digital = new QWidget(this);
    digital->setObjectName(QStringLiteral("P_Dig_Out_Set"));
    auto *column = new QVBoxLayout(digital);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    column->addWidget(makeSubTitle(QStringLiteral("TntL_SubT_Output_Digital"), digital).bar);
    m_outputs = new QStackedWidget(digital);
    for (int o = 0; o < config::kDigitalOutputs; ++o) {
        m_panels[o] = new OutputPanel(o, m_outputs);
        m_panels[o]->bind(m_binder, context.configuration().digitalOutputs[o]);
        m_outputs->addWidget(m_panels[o]);
        connect(m_panels[o]->otherOutputTab(), &ClickPanel::clicked, this,
                [this, o] { m_outputs->setCurrentIndex(1 - o); });
    }
    column->addWidget(m_outputs, 1);
    content->addWidget(digital, 1);
}

void OutputPage::pageShown()
{
    for (OutputPanel *panel : m_panels)
        panel->showCall(false);
    m_outputs->setCurrentIndex(0);
}

} // namespace ui
