#include "OutputPage.h"

#include "ui/PageFactory.h"

#include <QVBoxLayout>

namespace ui {

OutputPage::OutputPage(PageContext &context, QWidget *parent)
    : Page(PageId::Output, context, parent), m_binder(context)
{
    QVBoxLayout *content = buildFrame(QStringLiteral("P_Output"), QStringLiteral("TntL_Title_Output"));
    content->addWidget(makeSubTitle(QStringLiteral("TntL_SubT_Output_Digital"), this).bar);
    content->addStretch(1);
}

} // namespace ui
