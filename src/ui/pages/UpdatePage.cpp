#include "UpdatePage.h"

#include "link/PortList.h"
#include "ui/PageFactory.h"
#include "ui/SvgPicture.h"
#include "ui/Theme.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QVBoxLayout>

namespace ui {

UpdatePage::UpdatePage(PageContext &context, QWidget *parent) : Page(PageId::Update, context, parent)
{
    QVBoxLayout *content = buildFrame(QStringLiteral("P_UpDate"), QStringLiteral("TntL_Title_UpdateDevice"));
    content->addWidget(makeSubTitle(QStringLiteral("TntL_SubTitle_ComPort"), this).bar);
    m_ports = new QComboBox(this);
    m_ports->setObjectName(QStringLiteral("CB_COMPort_List"));
    m_ports->setMinimumWidth(160);
    content->addWidget(m_ports, 0, Qt::AlignLeft);

    // Port and boot controls that this layout keeps hidden; they still get their texts.
    for (const char *name : {"TntBtn_OpenComPort", "TntBtn_CloseComPort", "TntBtn_Set_BootMode"})
        (new ThemedButton(QLatin1String(name), builtinCaption(QLatin1String(name)), this))->hide();
    makeLabel(QStringLiteral("TntL_ComPortOpen"), QStringLiteral("Disconnected"), this)->hide();
    makeLabel(QStringLiteral("TntL_SubTitle_SetBoot"), this)->hide();
    for (const char *name : {"CB_ReadFW", "CB_ReadConf"}) {
        auto *c = new QCheckBox(builtinCaption(QLatin1String(name)), this);
        c->setObjectName(QLatin1String(name));
        c->hide();
    }

    content->addSpacing(12);
    content->addWidget(makeSubTitle(QStringLiteral("TntL_SubTitle_UpdateDev"), this).bar);
    auto *grid = new QGridLayout;
    int row = 0;
    for (const char *name : {"CB_WriteFW", "CB_WriteConf"}) {
        auto *c = new QCheckBox(builtinCaption(QLatin1String(name)), this);
        c->setObjectName(QLatin1String(name));
        grid->addWidget(c, row++, 0);
    }
    auto *busy = new SvgPicture(QStringLiteral("Image2"), QStringLiteral(":/misc/busy.svg"), QSize(48, 48), this);
    busy->hide();
    grid->addWidget(busy, 0, 1, 2, 1);
    grid->setColumnStretch(2, 1);
    content->addLayout(grid);
    content->addWidget(new ThemedButton(QStringLiteral("TntBtn_UpdateDevice"),
                                        builtinCaption(u"TntBtn_UpdateDevice"), this),
                       0, Qt::AlignLeft);
    content->addStretch(1);
}

void UpdatePage::pageShown()
{
    const devlink::PortList ports =
        devlink::FillPortList(devlink::ListSerialPorts(), m_context.link().lastPortName());
    m_ports->clear();
    m_ports->addItems(ports.items);
    m_ports->setCurrentIndex(ports.current);
}

} // namespace ui
