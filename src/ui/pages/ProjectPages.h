// The three project pages: New, Load and Save Configuration. Their buttons
// run the project commands.
#pragma once

#include "ui/Page.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace ui {

class NewPage : public Page
{
    Q_OBJECT
public:
    NewPage(PageContext &context, QWidget *parent = nullptr);
    // Shows the open configuration's name, whatever was typed before.
    void pageShown() override;
    // The new-configuration values empty the name field.
    void configurationShown() override;

private:
    QLineEdit *m_name = nullptr;
    QPushButton *m_ok = nullptr;
};

class LoadPage : public Page
{
    Q_OBJECT
public:
    LoadPage(PageContext &context, QWidget *parent = nullptr);
    // Lists the configurations again, none selected.
    void pageShown() override;
    void refreshProjectList();

private:
    QListWidget *m_list = nullptr;
    QPushButton *m_ok = nullptr;
};

class SavePage : public Page
{
    Q_OBJECT
public:
    SavePage(PageContext &context, QWidget *parent = nullptr);
    // The new-configuration values empty the name field.
    void configurationShown() override;
    // Puts the keyboard in the Save As name field.
    void askForName();

private:
    QLineEdit *m_saveAsName = nullptr;
};

} // namespace ui
