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

    QLineEdit *nameEdit() const { return m_name; }
    QPushButton *okButton() const { return m_ok; }

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

    QListWidget *projectList() const { return m_list; }
    QPushButton *okButton() const { return m_ok; }

private:
    QListWidget *m_list = nullptr;
    QPushButton *m_ok = nullptr;
};

class SavePage : public Page
{
    Q_OBJECT
public:
    SavePage(PageContext &context, QWidget *parent = nullptr);

    QLineEdit *saveAsName() const { return m_saveAsName; }

signals:
    void saveRequested();
    void saveAsRequested();

private:
    QLineEdit *m_saveAsName = nullptr;
};

} // namespace ui
