// The main window: title panel, menu, the nine pages, and the start sequence
// that brings up the last configuration in the chosen language.
#pragma once

#include "app/Session.h"
#include "lang/LanguageTexts.h"
#include "link/DeviceLink.h"
#include "ui/MessageBoxes.h"

#include <QMainWindow>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QStackedWidget;

namespace ui {

class AboutBox;
class DateTimePage;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    struct Options
    {
        QString programFolder;
        // Shows the message boxes; the real dialogs when null.
        MessagePresenter *messages = nullptr;
    };

    explicit MainWindow(const Options &options);
    ~MainWindow() override;

    static constexpr QSize kSize{876, 672};

    // The start could not create Projects/ or Setting/; the program ends.
    bool startFailed() const { return m_startFailed; }

    Session &session() { return m_session; }
    devlink::DeviceLink &deviceLink() { return *m_link; }
    const lang::LanguageTexts &texts() const { return m_texts; }
    AboutBox *aboutBox() const { return m_about; }

    // 0 while no page is shown.
    int currentPage() const;
    void showPage(int index);

    // Shows a message text by key.
    MessageAnswer showMessage(MessageKind kind, const QString &key,
                              MessageButtons buttons = MessageButtons::Ok, const QString &detail = {});
    MessageAnswer showText(MessageKind kind, const QString &text,
                           MessageButtons buttons = MessageButtons::Ok);

    void applyLanguage(int code);
    void updateTitle();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWindow();
    QWidget *buildTitlePanel();
    QWidget *buildMenu();
    void buildPages();
    QWidget *buildNewConfPage();
    QWidget *buildLoadConfPage();
    QWidget *buildSaveConfPage();
    QWidget *buildUpdatePage();
    QWidget *buildPreferencesPage();
    QWidget *buildPhonePage();
    QWidget *buildInputPage();
    QWidget *buildOutputPage();
    void start();

    void menuClick(QWidget *sender);
    void languageChosen();
    void showConfigurationOnPages();
    void refreshProjectList();
    bool saveConfiguration();

    Options m_options;
    std::unique_ptr<MessagePresenter> m_ownPresenter;
    MessagePresenter *m_messages = nullptr;
    Session m_session;
    lang::LanguageTexts m_texts;
    devlink::DeviceLink *m_link = nullptr;
    AboutBox *m_about = nullptr;
    bool m_startFailed = false;

    QStackedWidget *m_pages = nullptr;
    DateTimePage *m_dateTimePage = nullptr;
    QButtonGroup *m_languageGroup = nullptr;
    QLineEdit *m_pin = nullptr;
    QCheckBox *m_dst = nullptr;
    QLineEdit *m_newName = nullptr;
    QListWidget *m_projectList = nullptr;
    QComboBox *m_updatePorts = nullptr;
};

} // namespace ui
