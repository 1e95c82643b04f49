// The main window: title panel, menu, the stacked pages, and the start
// sequence that brings up the last configuration in the chosen language.
#pragma once

#include "app/ConfigurationCompare.h"
#include "app/Session.h"
#include "config/ConfigurationChecks.h"
#include "lang/LanguageTexts.h"
#include "link/DeviceLink.h"
#include "ui/MessageBoxes.h"
#include "ui/Page.h"

#include <QKeySequence>
#include <QMainWindow>
#include <map>
#include <memory>

class QStackedWidget;

namespace ui {

class AboutBox;
class ClickLabel;
class CheckedFields;
class DialogTranslations;
class MenuPanel;
class PageContext;
class ProjectCommands;
class SavePage;
class UndoController;
struct MenuEntry;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    struct Options
    {
        QString programFolder;
        // Shows the message boxes; when null, the real dialogs (standard
        // error on a platform that shows nothing).
        MessagePresenter *messages = nullptr;
        // Holds Projects/ and Setting/; empty: the program folder.
        QString workspaceFolder = {};
        // The program builds a page when it is first shown, so the window
        // paints at once, and the rest when the event loop is idle after
        // the start; OnlyWhenShown leaves out the idle building; AllAtStart
        // builds every page in the constructor (what a caller that looks up
        // controls by name before showing their page needs).
        enum class Pages { WhenFirstShown, OnlyWhenShown, AllAtStart };
        Pages pages = Pages::AllAtStart;
    };

    explicit MainWindow(const Options &options);
    ~MainWindow() override;

    static constexpr QSize kSize{876, 672};
    // Opens the About box; the About icon's tooltip names it.
    static inline const QKeySequence kAboutShortcut{Qt::Key_F1};

    // Where a window of `wanted` size opens on a screen whose free area is
    // `available`, `frame` being the room the window's frame takes around
    // it: centred, shrunk to fit, its title bar never above or left of the
    // free area.
    static QRect placement(QSize wanted, const QRect &available, const QMargins &frame = kFrame);
    // The frame a window manager draws around the window, as assumed before
    // the real one is known.
    static constexpr QMargins kFrame{4, 30, 4, 4};

    // The start could not create Projects/ or Setting/, or another window
    // runs on the same program folder; the program ends.
    bool startFailed() const { return m_startFailed; }

    app::Session &session() { return m_session; }
    devlink::DeviceLink &deviceLink() { return *m_link; }
    const lang::LanguageTexts &texts() const { return m_texts; }
    AboutBox *aboutBox() const { return m_about; }
    ProjectCommands &commands();
    UndoController &undo() { return *m_undo; }
    // Something is unsaved: the undo history is away from the point where
    // the configuration was last saved, loaded or created.
    bool isChanged() const;

    // PageId::None while no page is shown.
    PageId currentPage() const;
    void showPage(PageId id);

    // The page, built now if it was not yet.
    Page *page(PageId id);
    // Builds every page not built yet.
    void buildAllPages();
    // With Pages::WhenFirstShown, the pages not shown yet are built one per
    // turn of the event loop from this long after the start on, so that
    // opening one later costs nothing.
    static constexpr int kIdleBuildDelayMs = 300;
    // Whether the page has been built (see Options::pages).
    bool isPageBuilt(PageId id) const { return m_pages.count(id) > 0; }

    // Applies the language of the code, Qt's own dialog texts included.
    // Returns the language file when it is missing (built-in English is shown).
    QString applyLanguage(int code);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWindow();
    QWidget *buildTitlePanel();
    void addMenuEntry(const MenuEntry &entry, std::size_t position);
    void buildNextPageWhenIdle();
    // The current language's texts, hints and explanations on the named
    // controls under root (the window, or a page built later).
    void putTextsOn(QWidget *root);
    void start();

    // What a menu entry does: the device link closes, the page is shown;
    // from the keyboard, the keyboard goes on at the page's first control.
    void openPage(PageId id, bool fromKeyboard = false);
    void openAbout();
    void focusFirstControl();
    void askForName();
    void languageChosen(int code);
    void updateTitle();
    // Leads the user to a control: its page, sub-pages and panel are shown,
    // it scrolls into view and gets the focus.
    void showControl(QWidget *control, int variant = -1);
    // Shows the field of a line of a comparison; for a table row, that row.
    void showDifference(const app::Difference &difference);
    // Shows the value a check refused; for a table row, its refused cell.
    void showRefusal(const config::CheckFailure &failure);
    // After the record was replaced: every page shows it; the undo history
    // starts again from it.
    void showConfigurationOnPages();

    Options m_options;
    std::unique_ptr<MessagePresenter> m_ownPresenter;
    MessagePresenter *m_messages = nullptr;
    app::Session m_session;
    lang::LanguageTexts m_texts;
    devlink::DeviceLink *m_link = nullptr;
    std::unique_ptr<PageContext> m_context;
    UndoController *m_undo = nullptr;
    CheckedFields *m_checkedFields = nullptr;
    AboutBox *m_about = nullptr;
    ClickLabel *m_aboutIcon = nullptr;
    std::unique_ptr<DialogTranslations> m_dialogTexts;
    bool m_startFailed = false;
    bool m_languageApplied = false;
    bool m_configurationShown = false;

    MenuPanel *m_menu = nullptr;
    QStackedWidget *m_stack = nullptr;
    std::map<PageId, Page *> m_pages;
};

} // namespace ui
