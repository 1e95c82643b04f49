// The Software Preferences page: the four languages, each a radio button with
// its flag, and the workspace's folder with a button that opens it.
#pragma once

#include "ui/Page.h"

#include <functional>

class QButtonGroup;
class QLabel;
class QUrl;

namespace ui {

class PreferencesPage : public Page
{
    Q_OBJECT
public:
    PreferencesPage(PageContext &context, QWidget *parent = nullptr);
    // Selects the current language; a code of no language selects none.
    void pageShown() override;
    // What opens a folder in the file manager; QDesktopServices::openUrl
    // unless a test sets another.
    void setFolderOpener(std::function<bool(const QUrl &)> opener) { m_openFolder = std::move(opener); }

protected:
    // In the language list the arrow keys move only the focus; Space, Enter
    // and a click choose the focused language.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void openWorkspace();

    QButtonGroup *m_group = nullptr;
    QLabel *m_workspace = nullptr;
    std::function<bool(const QUrl &)> m_openFolder;
};

} // namespace ui
