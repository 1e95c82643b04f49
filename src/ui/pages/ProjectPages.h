// The three project pages: New, Load and Save Configuration. Their buttons
// run the project commands.
#pragma once

#include "app/ConfigurationCompare.h"
#include "ui/Page.h"

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

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
    // The open configuration may have changed: Restore follows it.
    void configurationShown() override;

signals:
    // A line of the comparison was chosen: the window shows its field.
    void differenceChosen(const app::Difference &difference);

private:
    // The differences from the selected configuration's file to the open
    // record, unsaved edits included; the open record is not touched.
    void compareWithOpen();
    // The selected configuration, or empty.
    QString selectedName() const;
    // The selected configuration's history, newest first.
    void showHistory();
    void updateRestore();
    // The selected entry's configuration becomes the open record, as an edit.
    void restoreEntry();

    QListWidget *m_list = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_compare = nullptr;
    QLabel *m_historyTitle = nullptr;
    QTreeWidget *m_history = nullptr;
    QPushButton *m_restore = nullptr;
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
    // The captions of the sheet's button and check box in the window's
    // language, which may have changed since the page was last shown.
    void pageShown() override;

    // Asks where to write the configuration sheet: (folder to start in, file
    // name to suggest, filters, the filter chosen) -> the file, or empty.
    using SheetFileChooser =
        std::function<QString(QWidget *parent, const QString &title, const QString &suggested,
                              const QString &filters, QString *chosenFilter)>;
    // Tests answer the file dialog with a chooser of their own.
    void setSheetFileChooser(SheetFileChooser chooser) { m_chooseSheetFile = std::move(chooser); }

private:
    // Saves unsaved edits first, so the sheet shows what the device would
    // get, then asks for the file and writes it.
    void writeSheet();

    QLineEdit *m_saveAsName = nullptr;
    QPushButton *m_sheet = nullptr;
    QCheckBox *m_sheetSecrets = nullptr;
    SheetFileChooser m_chooseSheetFile;
};

} // namespace ui
