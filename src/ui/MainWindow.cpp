#include "MainWindow.h"

#include "ui/AboutBox.h"
#include "ui/LanguageApplier.h"
#include "ui/PageContext.h"
#include "ui/ProjectCommands.h"
#include "ui/Resources.h"
#include "ui/pages/DateTimePage.h"
#include "ui/pages/InputPage.h"
#include "ui/pages/OutputPage.h"
#include "ui/pages/PhonePage.h"
#include "ui/pages/PreferencesPage.h"
#include "ui/pages/ProjectPages.h"
#include "ui/pages/UpdatePage.h"
#include "ui/widgets/PageParts.h"
#include "ui/widgets/SvgPicture.h"
#include "ui/widgets/Theme.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStackedWidget>
#include <QTranslator>
#include <QVBoxLayout>

namespace ui {

namespace {

struct MenuEntry
{
    const char *caption;     // caption control
    const char *captionText; // built-in English
    const char *icon;        // icon control
    const char *resource;
    PageId page;
};

// The menu in screen order; entries 1-5 form "Main Functions", 6-9 "Alarm Setting".
constexpr MenuEntry kMenu[] = {
    {"TntL_New_Menu", "New Configuration", "I_New", ":/icons/new.svg", PageId::New},
    {"TntL_Load_Menu", "Load Configuration", "I_load", ":/icons/load.svg", PageId::Load},
    {"TntL_Save_Menu", "Save Configuration", "I_Save", ":/icons/save.svg", PageId::Save},
    {"TntL_Update_Menu", "Update Device", "I_Update", ":/icons/update.svg", PageId::Update},
    {"TntL_Preference_Menu", "Software Preferences", "I_Preferences", ":/icons/preferences.svg",
     PageId::Preferences},
    {"TntL_Phone_Menu", "Phone Setting", "I_Phone", ":/icons/phone.svg", PageId::Phone},
    {"TntL_Input_Menu", "Input Setting", "I_Input", ":/icons/input.svg", PageId::Input},
    {"TntL_Output_Menu", "Output Setting", "I_Output", ":/icons/output.svg", PageId::Output},
    {"TntL_Date_Menu", "Date & Time Setting", "I_Date", ":/icons/date.svg", PageId::DateTime},
};

// The scroll area around the whole window's content. Its size hint is the
// window's: asking the content for one would lay out every page each time.
class WindowScroll : public QScrollArea
{
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override { return MainWindow::kSize; }
};

// Qt's own translations (the buttons of the message boxes) per language code.
constexpr const char *kQtTranslations[] = {nullptr, nullptr, "qtbase_it", "qtbase_de", "qtbase_es"};

bool isUndoKey(const QKeyEvent *event)
{
    return event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
           event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
           event->keyCombination() == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

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
    : m_options(options), m_session(options.programFolder, options.workspaceFolder),
      m_link(new devlink::DeviceLink(this))
{
    if (!m_options.messages)
        m_ownPresenter = platformMessagePresenter();
    m_messages = m_options.messages ? m_options.messages : m_ownPresenter.get();
    m_context = std::make_unique<PageContext>(m_session, *m_link, m_texts, *m_messages, this);
    m_commands = new ProjectCommands(*m_context,
                                     {[this] { storePages(); }, [this] { showConfigurationOnPages(); },
                                      [this] { updateTitle(); },
                                      [this] {
                                          showPage(PageId::Save);
                                          m_savePage->askForName();
                                      }},
                                     this);
    initResources();
    setObjectName(QStringLiteral("TFMain"));
    buildWindow();
    start();
}

MainWindow::~MainWindow()
{
    // The pages and the context go before QObject ends these connections:
    // a focus change while the children are destroyed must not reach them.
    qApp->removeEventFilter(this);
    disconnect(qApp, nullptr, this, nullptr);
    // The pages go while the context they write through is still there: a
    // table cell being edited commits its text when it is destroyed.
    delete takeCentralWidget();
    if (m_qtTranslator)
        QCoreApplication::removeTranslator(m_qtTranslator.get());
}

void MainWindow::buildWindow()
{
    setFont(theme::baseFont());
    // On a screen smaller than the window the content scrolls.
    auto *scroll = new WindowScroll(this);
    scroll->setObjectName(QStringLiteral("WindowScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    // Not a stop of its own for Tab: it scrolls to the control that has the
    // focus.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    setCentralWidget(scroll);
    auto *central = new QWidget(scroll);
    paintBackground(central, Qt::white);
    central->setMinimumSize(kSize);
    scroll->setWidget(central);
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 5);
    outer->setSpacing(5);
    outer->addWidget(buildTitlePanel());
    auto *body = new QHBoxLayout;
    body->setSpacing(0);
    body->addWidget(buildMenu());
    body->addWidget(makeLine(central, Qt::Vertical));
    m_stack = new QStackedWidget(central);
    m_stack->addWidget(new QWidget); // no page
    body->addWidget(m_stack, 1);
    outer->addLayout(body, 1);
    buildPages();
    m_about = new AboutBox(this);
    connect(m_link, &devlink::DeviceLink::polled, this,
            [this](const devlink::LinkOutcome &outcome) { m_dateTimePage->showOutcome(outcome); });
    buildShortcuts();
}

void MainWindow::buildShortcuts()
{
    auto add = [this](const QKeySequence &keys, const QString &name, auto slot) {
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setObjectName(name);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_S), QStringLiteral("SaveShortcut"), [this] { saveShortcut(); });
    add(QKeySequence(Qt::Key_F1), QStringLiteral("AboutShortcut"), [this] { openAbout(); });
    add(QKeySequence(Qt::CTRL | Qt::Key_Z), QStringLiteral("UndoShortcut"), [this] { undo(); });
    add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QStringLiteral("RedoShortcut"), [this] { redo(); });
    add(QKeySequence(Qt::CTRL | Qt::Key_Y), QStringLiteral("RedoShortcutY"), [this] { redo(); });
    int number = 1;
    for (const MenuEntry &entry : kMenu) {
        add(QKeySequence(Qt::ALT | Qt::Key(Qt::Key_0 + number)), QStringLiteral("MenuShortcut%1").arg(number),
            [this, &entry] {
                openPage(entry.page);
                focusFirstControl();
            });
        ++number;
    }
    // A line edit undoes its own typing on Ctrl+Z before any shortcut sees
    // the key; the window's history is the one undo, across fields and pages.
    qApp->installEventFilter(this);
    // Typing in one field is one undo step until the focus moves on.
    connect(qApp, &QApplication::focusChanged, this, [this] { m_context->history().closeStep(); });
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
        static_cast<QWidget *>(watched)->window() == this && isUndoKey(static_cast<QKeyEvent *>(event))) {
        // Left unaccepted, the key goes to the window's shortcuts.
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
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
    about->setKeyboardClickable(true);
    // The About box is not translated; nor is its icon's hint.
    about->setToolTip(QStringLiteral("About (F1)"));
    about->setAccessibleName(QStringLiteral("About"));
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
        if (entry.page == PageId::Phone) {
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
        caption->setKeyboardClickable(true);
        // Room between the caption and its focus mark.
        caption->setContentsMargins(4, 2, 4, 2);
        setHintSource(caption, caption);
        setHintSource(icon, caption);
        row->addWidget(icon);
        row->addWidget(caption, 1);
        if (entry.page == PageId::Update) {
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
        if (entry.page == PageId::Save)
            column->addWidget(makeLine(menu, Qt::Horizontal));
    }
    column->addStretch(1);
    return menu;
}

void MainWindow::buildPages()
{
    auto *newPage = new NewPage(*m_context);
    connect(newPage, &NewPage::newRequested, m_commands, &ProjectCommands::newConfiguration);
    addPage(newPage);
    auto *load = new LoadPage(*m_context);
    connect(load, &LoadPage::loadRequested, m_commands, &ProjectCommands::load);
    addPage(load);
    m_savePage = new SavePage(*m_context);
    connect(m_savePage, &SavePage::saveRequested, m_commands, &ProjectCommands::save);
    connect(m_savePage, &SavePage::saveAsRequested, m_commands, &ProjectCommands::saveAs);
    addPage(m_savePage);
    auto *update = new UpdatePage(*m_context, [this] { return m_commands->saveConfiguration(); });
    connect(update, &UpdatePage::nameNeeded, this, [this] {
        showPage(PageId::Save);
        m_savePage->askForName();
    });
    addPage(update);
    auto *preferences = new PreferencesPage(*m_context);
    connect(preferences, &PreferencesPage::languageChosen, this, &MainWindow::languageChosen);
    addPage(preferences);
    addPage(new PhonePage(*m_context));
    addPage(new InputPage(*m_context));
    addPage(new OutputPage(*m_context));
    m_dateTimePage = new DateTimePage(*m_context);
    addPage(m_dateTimePage);
}

void MainWindow::addPage(Page *page)
{
    m_stack->addWidget(page);
    m_pages[page->id()] = page;
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
    if (m_session.lockFolder() == app::FolderLock::Result::HeldElsewhere) {
        // The running window keeps the folder; this one ends before it reads
        // or writes anything else.
        m_startFailed = true;
        applyLanguage(m_session.languageCode());
        showMessage(MessageKind::Warning, QStringLiteral("Mes_Already_Running"));
        return;
    }
    applyLanguage(m_session.languageCode());
    showPage(PageId::None);
    const config::LoadResult loaded = m_session.openLastConfiguration();
    updateTitle();
    showConfigurationOnPages();
    m_session.clearChanged();
    const QRect available = screen() ? screen()->availableGeometry() : QRect(QPoint(), kSize);
    const QRect placed = placement(kSize, available);
    resize(placed.size());
    move(placed.topLeft() - QPoint(kFrame.left(), kFrame.top()));
    if (loaded.status == config::LoadStatus::Failed)
        showMessage(MessageKind::Error, QStringLiteral("Error_Load_Conf"), MessageButtons::Ok, loaded.error);
}

QRect MainWindow::placement(QSize wanted, const QRect &available, const QMargins &frame)
{
    const QRect inside = available.marginsRemoved(frame);
    const QSize size = wanted.boundedTo(inside.size()).expandedTo(QSize(1, 1));
    QRect placed(QPoint(), size);
    placed.moveCenter(inside.center());
    // Never above or left of the free area, so the title bar can be reached.
    placed.moveTopLeft(QPoint(std::max(placed.left(), inside.left()), std::max(placed.top(), inside.top())));
    return placed;
}

PageId MainWindow::currentPage() const
{
    auto *page = qobject_cast<Page *>(m_stack->currentWidget());
    return page ? page->id() : PageId::None;
}

void MainWindow::showPage(PageId id)
{
    const auto found = m_pages.find(id);
    if (found == m_pages.end()) {
        m_stack->setCurrentIndex(0);
        return;
    }
    m_stack->setCurrentWidget(found->second);
    found->second->pageShown();
}

void MainWindow::menuClick(QWidget *sender)
{
    const QString name = sender->objectName();
    if (name == QLatin1String("I_About")) {
        openAbout();
        return;
    }
    // Only Tab gives a menu caption the focus: it has it when the keyboard
    // opened the entry, and the keyboard goes on in the page.
    const bool fromKeyboard = sender->hasFocus();
    for (const MenuEntry &entry : kMenu) {
        if (name == QLatin1String(entry.caption) || name == QLatin1String(entry.icon)) {
            openPage(entry.page);
            if (fromKeyboard)
                focusFirstControl();
            return;
        }
    }
}

void MainWindow::focusFirstControl()
{
    QWidget *page = m_stack->currentWidget();
    for (QWidget *w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void MainWindow::openAbout()
{
    storePages();
    m_link->closeLink();
    m_about->exec();
}

void MainWindow::openPage(PageId id)
{
    storePages();
    m_link->closeLink();
    showPage(id);
}

void MainWindow::languageChosen(int code)
{
    m_session.setLanguageCode(code);
    const QString missing = applyLanguage(m_session.languageCode());
    if (!missing.isEmpty())
        showMessage(MessageKind::Error, QStringLiteral("Error_Language_File_Missing"), MessageButtons::Ok,
                    QDir::toNativeSeparators(missing));
    if (const app::SettingsWriteResult r = m_session.writeSettings(); !r.ok)
        showMessage(MessageKind::Error, QStringLiteral("Error_Write_File"), MessageButtons::Ok, r.error);
}

QString MainWindow::applyLanguage(int code)
{
    const QString missing = m_texts.applyLanguage(code, m_session.workspace().languageFolder());
    for (const QString &key : applyLanguageTexts(this, m_texts))
        qWarning("Language key %s names more than one control", qPrintable(key));
    refreshHints(this);
    installQtTranslations(code);
    return missing;
}

void MainWindow::installQtTranslations(int code)
{
    if (m_qtTranslator) {
        QCoreApplication::removeTranslator(m_qtTranslator.get());
        m_qtTranslator.reset();
    }
    const char *file = code >= 0 && code < int(std::size(kQtTranslations)) ? kQtTranslations[code] : nullptr;
    if (!file)
        return;
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QLatin1String(file), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator.get()))
        m_qtTranslator = std::move(translator);
}

void MainWindow::saveShortcut()
{
    storePages();
    if (m_session.configurationName().isEmpty()) {
        showPage(PageId::Save);
        m_savePage->askForName();
        return;
    }
    m_commands->saveConfiguration();
}

void MainWindow::undo()
{
    if (auto step = m_context->history().undo())
        showStep(step->record, step->origin);
}

void MainWindow::redo()
{
    if (auto step = m_context->history().redo())
        showStep(step->record, step->origin);
}

void MainWindow::showStep(const config::Configuration &record, const EditOrigin &origin)
{
    QWidget *control = origin.control;
    Page *page = nullptr;
    for (QWidget *w = control; w && !page; w = w->parentWidget())
        page = qobject_cast<Page *>(w);
    if (page && currentPage() != page->id())
        openPage(page->id());
    m_session.configuration() = record;
    m_session.setChanged();
    for (const auto &[id, shown] : m_pages)
        shown->recordRestored();
    if (!page)
        return;
    page->reveal(control, origin.variant);
    if (control->isEnabled())
        control->setFocus(Qt::OtherFocusReason);
}

void MainWindow::updateTitle()
{
    setWindowTitle(m_session.title());
}

void MainWindow::showConfigurationOnPages()
{
    m_context->history().reset(m_session.configuration());
    for (const auto &[id, page] : m_pages)
        page->configurationShown();
}

void MainWindow::storePages()
{
    for (const auto &[id, page] : m_pages)
        page->storePage();
}

MessageAnswer MainWindow::showMessage(MessageKind kind, const QString &key, MessageButtons buttons,
                                      const QString &detail)
{
    return m_context->showMessage(kind, key, buttons, detail);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_commands->closeQuery())
        event->accept();
    else
        event->ignore();
}

} // namespace ui
