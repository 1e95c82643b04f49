// The Software Preferences page: the four languages, each a radio button with
// its flag.
#pragma once

#include "ui/Page.h"

class QButtonGroup;

namespace ui {

class PreferencesPage : public Page
{
    Q_OBJECT
public:
    PreferencesPage(PageContext &context, QWidget *parent = nullptr);
    // Selects the current language; a code of no language selects none.
    void pageShown() override;

private:
    QButtonGroup *m_group = nullptr;
};

} // namespace ui
