#include "PhonePage.h"

#include "ui/widgets/PageParts.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace ui {

PhonePage::PhonePage(PageContext &context, QWidget *parent)
    : Page(PageId::Phone, context, parent), m_binder(context)
{
    QVBoxLayout *content = buildFrame(QStringLiteral("P_Phone_Set"), QStringLiteral("TntL_Title_PhoneSet"));
    content->addWidget(makeSubTitle(QStringLiteral("TntL_SubTitle_PhoneSet_Pin"), this).bar);
    auto *pin = new QLineEdit(this);
    pin->setObjectName(QStringLiteral("TntE_PIN"));
    pin->setFixedWidth(120);
    content->addWidget(pin);
    content->addSpacing(8);
    auto *dst = new QCheckBox(builtinCaption(u"CB_PS_DST"), this);
    dst->setObjectName(QStringLiteral("CB_PS_DST"));
    content->addWidget(dst);
    content->addStretch(1);

    config::Configuration &c = context.configuration();
    m_binder.text(pin, c.pin);
    m_binder.flag(dst, c.dst);
}

} // namespace ui
