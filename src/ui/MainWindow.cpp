#include "MainWindow.h"

#include "link/PortList.h"
#include "ui/AboutBox.h"
#include "ui/DateTimePage.h"
#include "ui/LanguageApplier.h"
#include "ui/PageFactory.h"
#include "ui/Resources.h"
#include "ui/SvgPicture.h"
#include "ui/Theme.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScreen>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace ui {

namespace {

struct MenuEntry
{
    const char *caption;     // caption control
    const char *captionText; // built-in English
    const char *icon;        // icon control
    const char *resource;
    int page;
};

// The menu in screen order; entries 1-5 form "Main Functions", 6-9 "Alarm Setting".
constexpr MenuEntry kMenu[] = {
    {"TntL_New_Menu", "New Configuration", "I_New", ":/icons/new.svg", 1},
    {"TntL_Load_Menu", "Load Configuration", "I_load", ":/icons/load.svg", 2},
    {"TntL_Save_Menu", "Save Configuration", "I_Save", ":/icons/save.svg", 3},
    {"TntL_Update_Menu", "Update Device", "I_Update", ":/icons/update.svg", 4},
    {"TntL_Preference_Menu", "Software Preferences", "I_Preferences", ":/icons/preferences.svg", 5},
    {"TntL_Phone_Menu", "Phone Setting", "I_Phone", ":/icons/phone.svg", 6},
    {"TntL_Input_Menu", "Input Setting", "I_Input", ":/icons/input.svg", 7},
    {"TntL_Output_Menu", "Output Setting", "I_Output", ":/icons/output.svg", 8},
    {"TntL_Date_Menu", "Date & Time Setting", "I_Date", ":/icons/date.svg", 9},
};

struct LanguageChoice
{
    const char *radio;
    const char *caption;
    const char *flag;
    const char *resource;
    int code;
};

constexpr LanguageChoice kLanguages[] = {
    {"TntRB_Leng_English", "English", "TntI_Lang_Eng", ":/flags/eng.svg", 1},
    {"TntRB_Leng_Italian", "Italiano", "TntI_Lang_Ita", ":/flags/ita.svg", 2},
    {"TntRB_Leng_German", "Deutsch", "TntI_Lang_Ger", ":/flags/ger.svg", 3},
    {"TntRB_Leng_Spanish", "Espa\u00f1ol", "TntI_Lang_Spa", ":/flags/spa.svg", 4},
};

QFrame *makeLine(QWidget *parent, Qt::Orientation orientation)
{
    auto *line = new QFrame(parent);
    paintBackground(line, theme::kMain);
    if (orientation == Qt::Horizontal)
        line->setFixedHeight(1);
    else
        line->setFixedWidth(1);
    return line;
}

} // namespace

MainWindow::MainWindow(const Options &options)
    : m_options(options), m_session(options.programFolder), m_link(new devlink::DeviceLink(this))
{
    if (!m_options.messages)
        m_ownPresenter = std::make_unique<DialogMessagePresenter>();
    m_messages = m_options.messages ? m_options.messages : m_ownPresenter.get();
    initResources();
    setObjectName(QStringLiteral("TFMain"));
    buildWindow();
    start();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildWindow()
{
    setFont(theme::baseFont());
    auto *central = new QWidget(this);
    paintBackground(central, Qt::white);
    setCentralWidget(central);
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 5);
    outer->setSpacing(5);
    outer->addWidget(buildTitlePanel());
    auto *body = new QHBoxLayout;
    body->setSpacing(0);
    body->addWidget(buildMenu());
    body->addWidget(makeLine(central, Qt::Vertical));
    m_pages = new QStackedWidget(central);
    m_pages->addWidget(new QWidget); // index 0: no page
    body->addWidget(m_pages, 1);
    outer->addLayout(body, 1);
    buildPages();
    m_about = new AboutBox(this);
    connect(m_link, &devlink::DeviceLink::polled, this,
            [this](const devlink::LinkOutcome &outcome) { m_dateTimePage->showOutcome(outcome); });
}

QWidget *MainWindow::buildTitlePanel()
{
    auto *panel = new QWidget;
    panel->setObjectName(QStringLiteral("Title_Panel"));
    panel->setFixedHeight(73);
    paintBackground(panel, theme::kMain);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(4, 12, 12, 13);
    row->setSpacing(0);
    row->addWidget(new SvgPicture(QStringLiteral("Image1"), QStringLiteral(":/logo/corvantis.svg"),
                                  QSize(209, 48), panel),
                   0, Qt::AlignTop);
    row->addSpacing(7); // the title starts at 220
    auto *title = makeLabel(QStringLiteral("TntL_Title"), QStringLiteral("Telvarin"), panel);
    title->setFont(theme::baseFont(20, true));
    QPalette white = title->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    title->setPalette(white);
    row->addWidget(title, 0, Qt::AlignBottom);
    auto *hidden = new QLabel(panel);
    hidden->setObjectName(QStringLiteral("Image3"));
    hidden->hide();
    row->addStretch(1);
    auto *about =
        new SvgPicture(QStringLiteral("I_About"), QStringLiteral(":/icons/about.svg"), QSize(48, 48), panel);
    about->setCursor(Qt::PointingHandCursor);
    connect(about, &ClickLabel::clicked, this, [this, about] { menuClick(about); });
    row->addWidget(about, 0, Qt::AlignTop);
    return panel;
}

QWidget *MainWindow::buildMenu()
{
    auto *menu = new QWidget;
    menu->setObjectName(QStringLiteral("Pan_Menu"));
    menu->setFixedWidth(216);
    paintBackground(menu, Qt::white);
    auto *column = new QVBoxLayout(menu);
    column->setContentsMargins(7, 0, 8, 0);
    column->setSpacing(2);

    auto addHeader = [&](const char *panel, const char *caption, const char *text) {
        auto *header = new QWidget(menu);
        header->setObjectName(QLatin1String(panel));
        header->setFixedSize(201, 22);
        paintBackground(header, theme::kMain);
        auto *l = new QHBoxLayout(header);
        l->setContentsMargins(0, 0, 0, 0);
        auto *bar = makeBar(QLatin1String(caption), QLatin1String(text), 12, header);
        bar->setContentsMargins(6, 0, 6, 0);
        bar->setMinimumHeight(0);
        l->addWidget(bar);
        column->addWidget(header);
        column->addSpacing(2);
    };

    addHeader("P_Main_Functions", "TntL_MainFun", "Main Functions");
    for (const MenuEntry &entry : kMenu) {
        if (entry.page == 6) {
            column->addSpacing(8);
            addHeader("P_Alarm_Setting", "TntL_AlarmSetting", "Alarm Setting");
        }
        auto *row = new QHBoxLayout;
        row->setSpacing(8);
        auto *icon =
            new SvgPicture(QLatin1String(entry.icon), QLatin1String(entry.resource), QSize(48, 48), menu);
        icon->setCursor(Qt::PointingHandCursor);
        auto *caption = new MenuCaption(QLatin1String(entry.caption), menu);
        caption->setText(QString::fromUtf8(entry.captionText));
        caption->setWordWrap(true);
        row->addWidget(icon);
        row->addWidget(caption, 1);
        if (entry.page == 4) {
            auto *led = new QFrame(menu);
            led->setObjectName(QStringLiteral("TntS_Led_ComPort"));
            paintBackground(led, Qt::red);
            led->setFixedSize(12, 12);
            led->hide();
            row->addWidget(led);
        }
        column->addLayout(row);
        connect(icon, &ClickLabel::clicked, this, [this, icon] { menuClick(icon); });
        connect(caption, &ClickLabel::clicked, this, [this, caption] { menuClick(caption); });
        if (entry.page == 3)
            column->addWidget(makeLine(menu, Qt::Horizontal));
    }
    column->addStretch(1);
    return menu;
}

void MainWindow::buildPages()
{
    m_pages->addWidget(buildNewConfPage());
    m_pages->addWidget(buildLoadConfPage());
    m_pages->addWidget(buildSaveConfPage());
    m_pages->addWidget(buildUpdatePage());
    m_pages->addWidget(buildPreferencesPage());
    m_pages->addWidget(buildPhonePage());
    m_pages->addWidget(buildInputPage());
    m_pages->addWidget(buildOutputPage());
    m_dateTimePage = new DateTimePage(*m_link, this);
    connect(m_dateTimePage, &DateTimePage::message, this,
            [this](MessageKind kind, const QString &key, const QString &text) {
                if (key.isEmpty())
                    showText(kind, text);
                else
                    showMessage(kind, key);
            });
    m_pages->addWidget(m_dateTimePage);
}

QWidget *MainWindow::buildNewConfPage()
{
    PageFrame page = makePage(QStringLiteral("P_New_Conf"), QStringLiteral("TntL_Title_NewConf"),
                              QStringLiteral("New Configuration"));
    auto *label = makeLabel(QStringLiteral("TntL_NewConf_Name"),
                            QStringLiteral("Insert the Name of New Configuration"), page.panel);
    m_newName = new QLineEdit(page.panel);
    m_newName->setObjectName(QStringLiteral("TntE_NewConf"));
    label->setBuddy(m_newName);
    auto *row = new QHBoxLayout;
    row->addWidget(m_newName, 1);
    row->addWidget(new ThemedButton(QStringLiteral("TntB_NewConf"), QStringLiteral("OK"), page.panel));
    page.content->addWidget(label);
    page.content->addLayout(row);
    page.content->addStretch(1);
    return page.panel;
}

QWidget *MainWindow::buildLoadConfPage()
{
    PageFrame page = makePage(QStringLiteral("P_Load_Conf"), QStringLiteral("TntL_Title_LoadConf"),
                              QStringLiteral("Load Configuration"));
    auto *label = makeLabel(QStringLiteral("TntL_LoadConf_Select"),
                            QStringLiteral("Select one of available configuration"), page.panel);
    m_projectList = new QListWidget(page.panel);
    m_projectList->setObjectName(QStringLiteral("TntLB_LoadConf"));
    label->setBuddy(m_projectList);
    page.content->addWidget(label);
    page.content->addWidget(m_projectList, 1);
    page.content->addWidget(
        new ThemedButton(QStringLiteral("TntB_LoadConf"), QStringLiteral("OK"), page.panel), 0,
        Qt::AlignRight);
    return page.panel;
}

QWidget *MainWindow::buildSaveConfPage()
{
    PageFrame page = makePage(QStringLiteral("P_Save_Conf"), QStringLiteral("TntL_Title_SaveConf"),
                              QStringLiteral("Save Configuration"));
    page.content->addWidget(makeSubTitle(QStringLiteral("TntL_SaveConf_Save"),
                                         QStringLiteral("Save Current Configuration"), page.panel));
    auto *save = new ThemedButton(QStringLiteral("TntB_SaveConf"), QStringLiteral("Save"), page.panel);
    connect(save, &QPushButton::clicked, this, [this] {
        if (!m_session.configurationName().isEmpty())
            saveConfiguration();
    });
    page.content->addWidget(save, 0, Qt::AlignLeft);
    page.content->addSpacing(12);
    page.content->addWidget(makeSubTitle(QStringLiteral("TntL_SaveConf_Save_As"),
                                         QStringLiteral("Save Current Configuration As..."), page.panel));
    auto *label = makeLabel(QStringLiteral("TntL_SaveAsConf_Name"),
                            QStringLiteral("Insert New Name of Configuration"), page.panel);
    auto *name = new QLineEdit(page.panel);
    name->setObjectName(QStringLiteral("TntE_SaveAsConf"));
    label->setBuddy(name);
    auto *row = new QHBoxLayout;
    row->addWidget(name, 1);
    row->addWidget(
        new ThemedButton(QStringLiteral("TntB_SaveAsConf"), QStringLiteral("Save As..."), page.panel));
    page.content->addWidget(label);
    page.content->addLayout(row);
    page.content->addStretch(1);
    return page.panel;
}

QWidget *MainWindow::buildUpdatePage()
{
    PageFrame page = makePage(QStringLiteral("P_UpDate"), QStringLiteral("TntL_Title_UpdateDevice"),
                              QStringLiteral("Update Device"));
    QWidget *p = page.panel;
    page.content->addWidget(
        makeSubTitle(QStringLiteral("TntL_SubTitle_ComPort"), QStringLiteral("Select COMport"), p));
    m_updatePorts = new QComboBox(p);
    m_updatePorts->setObjectName(QStringLiteral("CB_COMPort_List"));
    m_updatePorts->setMinimumWidth(160);
    page.content->addWidget(m_updatePorts, 0, Qt::AlignLeft);

    // Port and boot controls that this layout keeps hidden; they still get their texts.
    for (auto [name, text] :
         {std::pair{"TntBtn_OpenComPort", "Open Port"}, std::pair{"TntBtn_CloseComPort", "Close Port"},
          std::pair{"TntBtn_Set_BootMode", "Set BOOT Mode"}}) {
        auto *b = new ThemedButton(QLatin1String(name), QLatin1String(text), p);
        b->hide();
    }
    for (auto [name, text] : {std::pair{"TntL_ComPortOpen", "Disconnected"},
                              std::pair{"TntL_SubTitle_SetBoot", "Set in Boot Device"}})
        makeLabel(QLatin1String(name), QLatin1String(text), p)->hide();
    for (auto [name, text] :
         {std::pair{"CB_ReadFW", "Read Firmware"}, std::pair{"CB_ReadConf", "Read Configuration"}}) {
        auto *c = new QCheckBox(QLatin1String(text), p);
        c->setObjectName(QLatin1String(name));
        c->hide();
    }

    page.content->addSpacing(12);
    page.content->addWidget(
        makeSubTitle(QStringLiteral("TntL_SubTitle_UpdateDev"), QStringLiteral("Update Device"), p));
    auto *grid = new QGridLayout;
    auto *writeFw = new QCheckBox(QStringLiteral("Write Firmware"), p);
    writeFw->setObjectName(QStringLiteral("CB_WriteFW"));
    auto *writeConf = new QCheckBox(QStringLiteral("Write Configuration"), p);
    writeConf->setObjectName(QStringLiteral("CB_WriteConf"));
    grid->addWidget(writeFw, 0, 0);
    grid->addWidget(writeConf, 1, 0);
    auto *busy =
        new SvgPicture(QStringLiteral("Image2"), QStringLiteral(":/misc/busy.svg"), QSize(48, 48), p);
    busy->hide();
    grid->addWidget(busy, 0, 1, 2, 1);
    grid->setColumnStretch(2, 1);
    page.content->addLayout(grid);
    page.content->addWidget(
        new ThemedButton(QStringLiteral("TntBtn_UpdateDevice"), QStringLiteral("Update Device"), p), 0,
        Qt::AlignLeft);
    page.content->addStretch(1);
    return p;
}

QWidget *MainWindow::buildPreferencesPage()
{
    PageFrame page = makePage(QStringLiteral("P_Soft_Pref"), QStringLiteral("TntL_Title_SoftPref"),
                              QStringLiteral("Software Preferences"));
    page.content->addWidget(
        makeSubTitle(QStringLiteral("TntL_Leng_Sel"), QStringLiteral("Select Language"), page.panel));
    m_languageGroup = new QButtonGroup(this);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);
    int row = 0;
    for (const LanguageChoice &choice : kLanguages) {
        auto *flag = new SvgPicture(QLatin1String(choice.flag), QLatin1String(choice.resource), QSize(36, 24),
                                    page.panel);
        flag->setCursor(Qt::PointingHandCursor);
        auto *radio = new QRadioButton(QString::fromUtf8(choice.caption), page.panel);
        radio->setObjectName(QLatin1String(choice.radio));
        m_languageGroup->addButton(radio, choice.code);
        radio->setChecked(choice.code == 1); // the window's initial state: English selected
        connect(flag, &ClickLabel::clicked, radio, [radio] { radio->setChecked(true); });
        connect(radio, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                languageChosen();
        });
        grid->addWidget(flag, row, 0);
        grid->addWidget(radio, row, 1);
        ++row;
    }
    grid->setColumnStretch(2, 1);
    page.content->addLayout(grid);
    page.content->addStretch(1);
    return page.panel;
}

QWidget *MainWindow::buildPhonePage()
{
    PageFrame page = makePage(QStringLiteral("P_Phone_Set"), QStringLiteral("TntL_Title_PhoneSet"),
                              QStringLiteral("Phone Setting"));
    page.content->addWidget(
        makeSubTitle(QStringLiteral("TntL_SubTitle_PhoneSet_Pin"), QStringLiteral("PIN Code"), page.panel));
    m_pin = new QLineEdit(page.panel);
    m_pin->setObjectName(QStringLiteral("TntE_PIN"));
    m_pin->setFixedWidth(120);
    page.content->addWidget(m_pin);
    page.content->addSpacing(8);
    m_dst = new QCheckBox(
        QStringLiteral("Enable automatic switch in \"daylight saving time\" and beck (Only for Europe)"),
        page.panel);
    m_dst->setObjectName(QStringLiteral("CB_PS_DST"));
    page.content->addWidget(m_dst);
    page.content->addStretch(1);
    connect(m_pin, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_session.configuration().pin = text;
        m_session.setChanged();
    });
    connect(m_dst, &QCheckBox::toggled, this, [this](bool on) {
        m_session.configuration().dst = on;
        m_session.setChanged();
    });
    return page.panel;
}

QWidget *MainWindow::buildInputPage()
{
    PageFrame page = makePage(QStringLiteral("P_Input"), QStringLiteral("TntL_Title_Input"),
                              QStringLiteral("Digital & Analog Input"));
    page.content->addWidget(makeSubTitle(QStringLiteral("TntL_SubT_Input_Digital"),
                                         QStringLiteral("Digital Setting"), page.panel,
                                         QStringLiteral("P_SubT_Go_AnaDig"),
                                         QStringLiteral("TntL_SubT_Go_AnaDig"), QStringLiteral("Analog...")));
    page.content->addStretch(1);
    return page.panel;
}

QWidget *MainWindow::buildOutputPage()
{
    PageFrame page = makePage(QStringLiteral("P_Output"), QStringLiteral("TntL_Title_Output"),
                              QStringLiteral("Digital Output"));
    page.content->addWidget(makeSubTitle(QStringLiteral("TntL_SubT_Output_Digital"),
                                         QStringLiteral("Digital Setting"), page.panel));
    page.content->addStretch(1);
    return page.panel;
}

void MainWindow::start()
{
    m_session.clearChanged();
    m_link->closeLink();
    // Workspace folders and settings.
    if (const QString failed = m_session.prepare(); !failed.isEmpty()) {
        m_startFailed = true;
        applyLanguage(1);
        showMessage(MessageKind::Error, QStringLiteral("Error_Create_Folder"), MessageButtons::Ok,
                    QDir::toNativeSeparators(failed));
        return;
    }
    applyLanguage(m_session.languageCode());
    showPage(0);
    const config::LoadResult loaded = m_session.openLastConfiguration();
    updateTitle();
    showConfigurationOnPages();
    m_session.clearChanged();
    resize(kSize);
    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());
    if (loaded.status == config::LoadStatus::Failed)
        showMessage(MessageKind::Error, QStringLiteral("Error_Load_Conf"), MessageButtons::Ok, loaded.error);
}

int MainWindow::currentPage() const
{
    return m_pages->currentIndex();
}

void MainWindow::showPage(int index)
{
    m_pages->setCurrentIndex(index);
    switch (index) {
    case 1:
        m_newName->setText(m_session.configurationName());
        break;
    case 2:
        refreshProjectList();
        break;
    case 4: {
        const devlink::PortList ports =
            devlink::FillPortList(devlink::ListSerialPorts(), m_link->lastPortName());
        m_updatePorts->clear();
        m_updatePorts->addItems(ports.items);
        m_updatePorts->setCurrentIndex(ports.current);
        break;
    }
    case 5: {
        QAbstractButton *radio = m_languageGroup->button(m_session.languageCode());
        if (radio) {
            radio->setChecked(true); // reacts only when it was not selected
        } else {
            m_languageGroup->setExclusive(false);
            for (QAbstractButton *b : m_languageGroup->buttons()) {
                const QSignalBlocker block(b);
                b->setChecked(false);
            }
            m_languageGroup->setExclusive(true);
        }
        break;
    }
    case 9:
        m_dateTimePage->pageShown();
        break;
    default:
        break;
    }
}

void MainWindow::menuClick(QWidget *sender)
{
    m_link->closeLink();
    const QString name = sender->objectName();
    if (name == QLatin1String("I_About")) {
        m_about->exec();
        return;
    }
    for (const MenuEntry &entry : kMenu) {
        if (name == QLatin1String(entry.caption) || name == QLatin1String(entry.icon)) {
            showPage(entry.page);
            return;
        }
    }
}

void MainWindow::languageChosen()
{
    m_session.setLanguageCode(m_languageGroup->checkedId());
    applyLanguage(m_session.languageCode());
    if (const SettingsWriteResult r = m_session.writeSettings(); !r.ok)
        showMessage(MessageKind::Error, QStringLiteral("Error_Write_File"), MessageButtons::Ok, r.error);
}

void MainWindow::applyLanguage(int code)
{
    m_texts.applyLanguage(code, m_session.workspace().languageFolder());
    applyLanguageTexts(this, m_texts);
}

void MainWindow::updateTitle()
{
    setWindowTitle(m_session.title());
}

void MainWindow::showConfigurationOnPages()
{
    const config::Configuration c = m_session.configuration();
    m_pin->setText(c.pin);
    m_dst->setChecked(c.dst);
}

void MainWindow::refreshProjectList()
{
    m_projectList->clear();
    // The sub-folders of Projects/, in the order the listing gives them.
    m_projectList->addItems(QDir(m_session.workspace().projectsFolder())
                                .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted));
    m_projectList->setCurrentRow(-1);
}

bool MainWindow::saveConfiguration()
{
    if (m_session.configurationName().isEmpty())
        return false;
    const QString path = m_session.workspace().configurationFile(m_session.configurationName());
    if (const config::WriteResult r = config::writeConfigurationFile(m_session.configuration(), path);
        !r.ok) {
        showMessage(MessageKind::Error, QStringLiteral("Error_Write_File"), MessageButtons::Ok, r.error);
        return false;
    }
    m_session.setChanged();
    showMessage(MessageKind::Information, QStringLiteral("Mes_Configuration_Saved"));
    return true;
}

MessageAnswer MainWindow::showMessage(MessageKind kind, const QString &key, MessageButtons buttons,
                                      const QString &detail)
{
    QString text = m_texts.messageText(key);
    if (!detail.isEmpty())
        text += QLatin1Char('\n') + detail;
    return showText(kind, text, buttons);
}

MessageAnswer MainWindow::showText(MessageKind kind, const QString &text, MessageButtons buttons)
{
    return m_messages->show(this, kind, text, buttons);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_session.isChanged()) {
        event->accept();
        return;
    }
    switch (showMessage(MessageKind::Warning, QStringLiteral("On_CLose_Save_Conf"),
                        MessageButtons::YesNoCancel)) {
    case MessageAnswer::Yes:
        if (saveConfiguration()) {
            event->accept();
        } else {
            showMessage(MessageKind::Error, QStringLiteral("Error_Save_On_Close"));
            event->ignore();
        }
        break;
    case MessageAnswer::No:
        event->accept();
        break;
    default:
        event->ignore();
        break;
    }
}

} // namespace ui
