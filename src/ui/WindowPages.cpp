#include "WindowPages.h"

#include "ui/ProjectCommands.h"
#include "ui/pages/DateTimePage.h"
#include "ui/pages/InputPage.h"
#include "ui/pages/OutputPage.h"
#include "ui/pages/PhonePage.h"
#include "ui/pages/PreferencesPage.h"
#include "ui/pages/ProjectPages.h"
#include "ui/pages/UpdatePage.h"

namespace ui {

namespace {

template <typename P> Page *make(PageContext &context, QWidget *parent)
{
    return new P(context, parent);
}

Page *makeUpdatePage(PageContext &context, QWidget *parent)
{
    // An update starts only from a saved configuration.
    auto *page = new UpdatePage(
        context, [&context] { return context.commands().saveConfiguration(true); }, parent);
    QObject::connect(page, &UpdatePage::nameNeeded, &context.commands(), &ProjectCommands::askForName);
    return page;
}

const MenuEntry kEntries[] = {
    {PageId::New, "TntL_New_Menu", "New Configuration", "I_New", ":/icons/new.svg", MenuGroup::Projects,
     make<NewPage>},
    {PageId::Load, "TntL_Load_Menu", "Load Configuration", "I_load", ":/icons/load.svg", MenuGroup::Projects,
     make<LoadPage>},
    {PageId::Save, "TntL_Save_Menu", "Save Configuration", "I_Save", ":/icons/save.svg", MenuGroup::Projects,
     make<SavePage>},
    {PageId::Update, "TntL_Update_Menu", "Update Device", "I_Update", ":/icons/update.svg", MenuGroup::Device,
     makeUpdatePage, true},
    {PageId::Preferences, "TntL_Preference_Menu", "Software Preferences", "I_Preferences",
     ":/icons/preferences.svg", MenuGroup::Device, make<PreferencesPage>},
    {PageId::Phone, "TntL_Phone_Menu", "Phone Setting", "I_Phone", ":/icons/phone.svg", MenuGroup::Alarm,
     make<PhonePage>},
    {PageId::Input, "TntL_Input_Menu", "Input Setting", "I_Input", ":/icons/input.svg", MenuGroup::Alarm,
     make<InputPage>},
    {PageId::Output, "TntL_Output_Menu", "Output Setting", "I_Output", ":/icons/output.svg", MenuGroup::Alarm,
     make<OutputPage>},
    {PageId::DateTime, "TntL_Date_Menu", "Date & Time Setting", "I_Date", ":/icons/date.svg",
     MenuGroup::Alarm, make<DateTimePage>},
};

const MenuGroupDef kGroups[] = {
    {MenuGroup::Projects, "P_Main_Functions", "TntL_MainFun", "Main Functions", 0, false},
    {MenuGroup::Device, nullptr, nullptr, nullptr, 0, true},
    {MenuGroup::Alarm, "P_Alarm_Setting", "TntL_AlarmSetting", "Alarm Setting", 8, false},
};

} // namespace

std::span<const MenuEntry> menuEntries()
{
    return kEntries;
}

QKeySequence menuShortcut(std::size_t position)
{
    return QKeySequence(Qt::ALT | Qt::Key(Qt::Key_1 + int(position)));
}

const MenuGroupDef &menuGroup(MenuGroup group)
{
    return kGroups[int(group)];
}

} // namespace ui
