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
    };

    explicit MainWindow(const Options &options);
    ~MainWindow() override;

    static constexpr QSize kSize{876, 672};

    // The start could not create Projects/ or Setting/, or another window
    // runs on the same program folder; the program ends.
    bool startFailed() const { return m_startFailed; }

    Session &session() { return m_session; }
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

    void applyLanguage(int code);
    void updateTitle();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWindow();
    QWidget *buildTitlePanel();
    QWidget *buildMenu();
    void buildPages();
    void addPage(Page *page);
    void start();

    void menuClick(QWidget *sender);
    void languageChosen(int code);
    // After the record was replaced: every page shows it.
    void showConfigurationOnPages();
    // Every page copies what it holds outside its bindings into the record.
    void storePages();

    Options m_options;
    std::unique_ptr<MessagePresenter> m_ownPresenter;
    MessagePresenter *m_messages = nullptr;
    Session m_session;
    lang::LanguageTexts m_texts;
    devlink::DeviceLink *m_link = nullptr;
    std::unique_ptr<PageContext> m_context;
    ProjectCommands *m_commands = nullptr;
    AboutBox *m_about = nullptr;
    bool m_startFailed = false;

    QStackedWidget *m_stack = nullptr;
    std::map<PageId, Page *> m_pages;
    DateTimePage *m_dateTimePage = nullptr;
    SavePage *m_savePage = nullptr;
};

} // namespace ui
