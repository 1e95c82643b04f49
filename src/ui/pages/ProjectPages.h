// The three project pages: New, Load and Save Configuration. Their buttons
// are the project commands, which the main window runs.
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

signals:
    void newRequested(const QString &name);

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

signals:
    // The selected line, or an empty name with none selected.
    void loadRequested(const QString &name);

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

signals:
    void saveRequested();
    void saveAsRequested(const QString &name);

private:
    QLineEdit *m_saveAsName = nullptr;
};

} // namespace ui
