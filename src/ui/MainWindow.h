// The main window: title panel, menu, the stacked pages, and the start
// sequence that brings up the last configuration in the chosen language.
#pragma once

#include "app/Session.h"
#include "lang/LanguageTexts.h"
#include "link/DeviceLink.h"
#include "ui/MessageBoxes.h"
#include "ui/Page.h"

#include <QMainWindow>
#include <map>
#include <memory>

class QStackedWidget;
class QTranslator;

namespace ui {

class AboutBox;
class DateTimePage;
class PageContext;
class ProjectCommands;
class SavePage;

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
    };

    explicit MainWindow(const Options &options);
    ~MainWindow() override;

    static constexpr QSize kSize{876, 672};

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

    // PageId::None while no page is shown.
    PageId currentPage() const;
    void showPage(PageId id);

    ProjectCommands &commands() { return *m_commands; }

    // Shows a message text by key.
    MessageAnswer showMessage(MessageKind kind, const QString &key,
                              MessageButtons buttons = MessageButtons::Ok, const QString &detail = {});

    // Applies the language of the code, Qt's own dialog texts included.
    // Returns the language file when it is missing (built-in English is shown).
    QString applyLanguage(int code);
    void updateTitle();

    // Undo and redo of the edits of the configuration (Ctrl+Z; Ctrl+Shift+Z
    // or Ctrl+Y): the record of the step is shown, on the page and panel
    // where the edit was made.
    void undo();
    void redo();
    // Ctrl+S: saves the open configuration, or asks for a name.
    void saveShortcut();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    QWidget *buildTitlePanel();
    QWidget *buildMenu();
    void buildPages();
    void addPage(Page *page);
    void start();

    void buildShortcuts();
    void menuClick(QWidget *sender);
    // What a menu entry does: the pages keep what they hold, the device link
    // closes, the page is shown.
    void openPage(PageId id);
    void openAbout();
    // The keyboard goes on at the first control of the page shown.
    void focusFirstControl();
    void languageChosen(int code);
    void installQtTranslations(int code);
    // After the record was replaced: every page shows it; the undo history
    // starts again from it.
    void showConfigurationOnPages();
    void showStep(const config::Configuration &record, const EditOrigin &origin);
    // Every page copies what it holds outside its bindings into the record.
    void storePages();

    Options m_options;
    std::unique_ptr<MessagePresenter> m_ownPresenter;
    MessagePresenter *m_messages = nullptr;
    app::Session m_session;
    lang::LanguageTexts m_texts;
    devlink::DeviceLink *m_link = nullptr;
    std::unique_ptr<PageContext> m_context;
    ProjectCommands *m_commands = nullptr;
    AboutBox *m_about = nullptr;
    std::unique_ptr<QTranslator> m_qtTranslator;
    bool m_startFailed = false;

    QStackedWidget *m_stack = nullptr;
    std::map<PageId, Page *> m_pages;
    DateTimePage *m_dateTimePage = nullptr;
    SavePage *m_savePage = nullptr;
};

} // namespace ui
