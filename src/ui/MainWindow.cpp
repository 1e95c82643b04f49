#include "MainWindow.h"

#include "config/XmlText.h"
#include "ui/AboutBox.h"
#include "ui/CheckedFields.h"
#include "ui/CompareDialog.h"
#include "ui/LanguageApplier.h"
#include "ui/MenuPanel.h"
#include "ui/PageContext.h"
#include "ui/ProjectCommands.h"
#include "ui/Resources.h"
#include "ui/UndoController.h"
#include "ui/WindowPages.h"
#include "ui/pages/ProjectPages.h"
#include "ui/pages/UpdatePage.h"
#include "ui/widgets/PageParts.h"
#include "ui/widgets/SvgPicture.h"
#include "ui/widgets/Theme.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace ui {

namespace {

// The scroll area around the whole window's content. Its size hint is the
// window's: asking the content for one would lay out every page each time.
class WindowScroll : public QScrollArea
{
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override { return MainWindow::kSize; }
};

} // namespace

MainWindow::MainWindow(const Options &options)
    : m_options(options), m_session(options.programFolder, options.workspaceFolder),
      m_link(new devlink::DeviceLink(this)), m_dialogTexts(std::make_unique<DialogTranslations>())
{
    if (!m_options.messages)
        m_ownPresenter = platformMessagePresenter();
    m_messages = m_options.messages ? m_options.messages : m_ownPresenter.get();
    m_context = std::make_unique<PageContext>(m_session, *m_link, m_texts, *m_messages, this);
    m_undo = new UndoController(m_session, this,
                                {[this](Page *page) {
                                     if (currentPage() != page->id())
                                         openPage(page->id());
                                 },
                                 [this] {
                                     for (const auto &[id, page] : m_pages)
                                         page->recordRestored();
                                     m_checkedFields->updateMarks();
                                 }});
    m_context->setUndo(m_undo);
    ProjectCommands &commands = m_context->commands();
    connect(&commands, &ProjectCommands::configurationReplaced, this, &MainWindow::showConfigurationOnPages);
    connect(&commands, &ProjectCommands::titleChanged, this, &MainWindow::updateTitle);
    connect(&commands, &ProjectCommands::nameNeeded, this, &MainWindow::askForName);
    connect(&commands, &ProjectCommands::saved, m_undo, &UndoController::markClean);
    connect(m_undo, &UndoController::changedStateChanged, this, &MainWindow::updateTitle);
    connect(m_context.get(), &PageContext::languageChosen, this, &MainWindow::languageChosen);
    connect(&commands, &ProjectCommands::refused, this, &MainWindow::showRefusal);
    initResources();
    setObjectName(QStringLiteral("TFMain"));
    buildWindow();
    m_checkedFields = new CheckedFields(this, *m_context);
    if (m_options.pages == Options::Pages::AllAtStart)
        buildAllPages();
    // Every edit, typed or not, judges the fields again: a return level
    // follows its trigger level, a command text its box.
    connect(m_context.get(), &PageContext::configurationEdited, m_checkedFields, &CheckedFields::updateMarks);
    start();
}

MainWindow::~MainWindow()
{
    // The undo controller's application hooks go first: a focus change while
    // the children are destroyed must not reach it.
    delete m_undo;
    m_undo = nullptr;
    m_context->setUndo(nullptr);
    // The pages go while the context they write through is still there: a
    // table cell being edited commits its text when it is destroyed.
    delete takeCentralWidget();
}

ProjectCommands &MainWindow::commands()
{
    return m_context->commands();
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
    m_menu = new MenuPanel(menuEntries(), central);
    body->addWidget(m_menu);
    auto *line = new QFrame(central);
    paintBackground(line, theme::kMain);
    line->setFixedWidth(1);
    body->addWidget(line);
    m_stack = new QStackedWidget(central);
    m_stack->addWidget(new QWidget); // no page
    body->addWidget(m_stack, 1);
    outer->addLayout(body, 1);
    const std::span<const MenuEntry> entries = menuEntries();
    for (std::size_t i = 0; i < entries.size(); ++i)
        addMenuEntry(entries[i], i);
    m_about = new AboutBox(this);

    auto add = [this](const QKeySequence &keys, const QString &name, auto slot) {
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setObjectName(name);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_S), QStringLiteral("SaveShortcut"),
        [this] { m_context->commands().saveOrAskForName(); });
    add(kAboutShortcut, QStringLiteral("AboutShortcut"), [this] { openAbout(); });
}

Page *MainWindow::page(PageId id)
{
    if (const auto found = m_pages.find(id); found != m_pages.end())
        return found->second;
    const std::span<const MenuEntry> entries = menuEntries();
    const auto entry =
        std::find_if(entries.begin(), entries.end(), [id](const MenuEntry &e) { return e.page == id; });
    if (entry == entries.end())
        return nullptr;
    // Built inside the stack, so it takes the window's font as it is built.
    Page *page = entry->make(*m_context, m_stack);
    m_stack->addWidget(page);
    m_pages[id] = page;
    if (id == PageId::Load)
        connect(static_cast<LoadPage *>(page), &LoadPage::differenceChosen, this,
                &MainWindow::showDifference);
    // A page built later catches up with what the window has done so far:
    // the language, the record on show, the marks of refused values.
    if (m_languageApplied) {
        putTextsOn(page);
        page->languageApplied();
    }
    if (m_configurationShown)
        page->configurationShown();
    if (m_checkedFields)
        m_checkedFields->pageBuilt(page);
    return page;
}

void MainWindow::buildAllPages()
{
    for (const MenuEntry &entry : menuEntries())
        page(entry.page);
    // A check whose control was renamed would lead nowhere.
    if (const QStringList missing = m_checkedFields->missingControls(); !missing.isEmpty())
        qWarning("No control for the checks of %s", qPrintable(missing.join(QStringLiteral(", "))));
}

void MainWindow::buildNextPageWhenIdle()
{
    for (const MenuEntry &entry : menuEntries()) {
        if (!isPageBuilt(entry.page)) {
            page(entry.page);
            // One page per turn: a click or a key in between is not kept waiting.
            QTimer::singleShot(0, this, &MainWindow::buildNextPageWhenIdle);
            return;
        }
    }
}

void MainWindow::addMenuEntry(const MenuEntry &entry, std::size_t position)
{
    const PageId id = entry.page;
    const MenuPanel::Row row = m_menu->row(id);
    connect(row.icon, &ClickLabel::clicked, this, [this, id] { openPage(id); });
    // Only Tab gives a menu caption the focus: it has it when the keyboard
    // opened the entry, and the keyboard goes on in the page.
    connect(row.caption, &ClickLabel::clicked, this,
            [this, id, caption = row.caption] { openPage(id, caption->hasFocus()); });
    auto *shortcut = new QShortcut(menuShortcut(position), this);
    shortcut->setObjectName(QStringLiteral("MenuShortcut%1").arg(position + 1));
    connect(shortcut, &QShortcut::activated, this, [this, id] { openPage(id, true); });
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
    m_aboutIcon =
        new SvgPicture(QStringLiteral("I_About"), QStringLiteral(":/icons/about.svg"), QSize(48, 48), panel);
    m_aboutIcon->setCursor(Qt::PointingHandCursor);
    m_aboutIcon->setKeyboardClickable(true);
    // Its name and tooltip follow the language (applyLanguage).
    connect(m_aboutIcon, &ClickLabel::clicked, this, &MainWindow::openAbout);
    row->addWidget(m_aboutIcon, 0, Qt::AlignTop);
    return panel;
}

void MainWindow::start()
{
    m_link->closeLink();
    // Workspace folders and settings.
    if (const QString failed = m_session.prepare(); !failed.isEmpty()) {
        m_startFailed = true;
        applyLanguage(1);
        m_context->showMessage(MessageKind::Error, QStringLiteral("Error_Create_Folder"), MessageButtons::Ok,
                               QDir::toNativeSeparators(failed));
        return;
    }
    if (const app::FolderLock::Result held = m_session.lockFolder();
        held == app::FolderLock::Result::HeldElsewhere || held == app::FolderLock::Result::HeldOnOtherHost) {
        // The running window keeps the folder; this one ends before it reads
        // or writes anything else.
        m_startFailed = true;
        applyLanguage(m_session.languageCode());
        if (held == app::FolderLock::Result::HeldElsewhere) {
            m_context->showMessage(MessageKind::Warning, QStringLiteral("Mes_Already_Running"));
        } else {
            const app::FolderLock &lock = m_session.folderLock();
            m_context->showText(
                MessageKind::Warning,
                m_texts.messageText(u"Mes_Lock_Other_Host").arg(config::quoted(lock.holder().host)) +
                    QLatin1Char('\n') + QDir::toNativeSeparators(lock.fileName()));
        }
        return;
    }
    applyLanguage(m_session.languageCode());
    showPage(PageId::None);
    const config::LoadResult loaded = m_session.openLastConfiguration();
    updateTitle();
    showConfigurationOnPages();
    const QRect available = screen() ? screen()->availableGeometry() : QRect(QPoint(), kSize);
    const QRect placed = placement(kSize, available);
    resize(placed.size());
    move(placed.topLeft() - QPoint(kFrame.left(), kFrame.top()));
    if (m_options.pages == Options::Pages::WhenFirstShown)
        QTimer::singleShot(kIdleBuildDelayMs, this, &MainWindow::buildNextPageWhenIdle);
    if (loaded.status == config::LoadStatus::Failed)
        m_context->showMessage(MessageKind::Error, QStringLiteral("Error_Load_Conf"), MessageButtons::Ok,
                               loaded.error);
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
    Page *shown = page(id);
    if (!shown) {
        m_stack->setCurrentIndex(0);
        return;
    }
    m_stack->setCurrentWidget(shown);
    shown->pageShown();
}

void MainWindow::openPage(PageId id, bool fromKeyboard)
{
    m_link->closeLink();
    showPage(id);
    if (fromKeyboard)
        focusFirstControl();
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
    m_link->closeLink();
    m_about->exec();
}

void MainWindow::askForName()
{
    showPage(PageId::Save);
    static_cast<SavePage *>(page(PageId::Save))->askForName();
}

void MainWindow::languageChosen(int code)
{
    const QString missing = applyLanguage(code);
    if (!missing.isEmpty())
        m_context->showMessage(MessageKind::Error, QStringLiteral("Error_Language_File_Missing"),
                               MessageButtons::Ok, QDir::toNativeSeparators(missing));
}

QString MainWindow::applyLanguage(int code)
{
    const QString missing = m_texts.applyLanguage(code, m_session.workspace().languageFolder());
    putTextsOn(this);
    for (const auto &[id, page] : m_pages)
        page->languageApplied();
    m_languageApplied = true;
    setNamedHint(m_aboutIcon, m_texts.messageText(u"Hint_About"), kAboutShortcut);
    if (m_checkedFields)
        m_checkedFields->updateMarks(); // the marks' texts in the new language
    m_dialogTexts->install(code);
    return missing;
}

void MainWindow::putTextsOn(QWidget *root)
{
    for (const QString &key : applyLanguageTexts(root, m_texts))
        qWarning("Language key %s names more than one control", qPrintable(key));
    refreshHints(root);
    applyExplanations(root, m_texts);
}

void MainWindow::updateTitle()
{
    // A star after the name says something is unsaved, as most editors do.
    setWindowTitle(m_session.title() + (isChanged() ? QStringLiteral("*") : QString()));
}

void MainWindow::showControl(QWidget *control, int variant)
{
    Page *page = pageOf(control);
    if (!page)
        return;
    if (currentPage() != page->id())
        openPage(page->id());
    page->reveal(control, variant);
    // On a screen smaller than the window the content scrolls.
    if (auto *scroll = qobject_cast<QScrollArea *>(centralWidget()))
        scroll->ensureWidgetVisible(control);
    control->setFocus(Qt::OtherFocusReason);
}

void MainWindow::showRefusal(const config::CheckFailure &failure)
{
    buildAllPages(); // the refused control may be on a page not shown yet
    QWidget *control = m_checkedFields->control(failure.check);
    if (!control)
        return;
    showControl(control);
    auto *view = qobject_cast<QAbstractItemView *>(control);
    if (!view || !view->model() || failure.row < 1)
        return;
    const QModelIndex cell = view->model()->index(failure.row - 1, failure.column);
    view->setCurrentIndex(cell);
    view->scrollTo(cell);
}

void MainWindow::showDifference(const app::Difference &difference)
{
    const DifferenceControl where = differenceControl(difference);
    buildAllPages(); // the control may be on a page not shown yet
    auto *control = where.name.isEmpty() ? nullptr : findChild<QWidget *>(where.name);
    if (!control)
        return;
    showControl(control, where.variant);
    auto *view = qobject_cast<QAbstractItemView *>(control);
    if (!view || !view->model() || difference.row < 0 || difference.row >= view->model()->rowCount())
        return;
    const QModelIndex cell = view->model()->index(difference.row, 0);
    view->setCurrentIndex(cell);
    view->scrollTo(cell);
}

bool MainWindow::isChanged() const
{
    return m_context->isChanged();
}

void MainWindow::showConfigurationOnPages()
{
    m_undo->reset();
    m_configurationShown = true;
    for (const auto &[id, page] : m_pages)
        page->configurationShown();
    m_checkedFields->updateMarks();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Closing does not stop an update program that is writing the device:
    // the user decides, knowing it.
    const auto found = m_pages.find(PageId::Update);
    const auto *update = found == m_pages.end() ? nullptr : static_cast<UpdatePage *>(found->second);
    if (update && (update->updateRunning() || update->updaterRunning()) &&
        m_context->showMessage(MessageKind::Warning, QStringLiteral("Mes_Close_While_Updating"),
                               MessageButtons::YesNoCancel) != MessageAnswer::Yes) {
        event->ignore();
        return;
    }
    if (m_context->commands().closeQuery())
        event->accept();
    else
        event->ignore();
}

} // namespace ui
