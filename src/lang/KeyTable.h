// The complete list of language keys: the group tree of a language file, every
// caption, table header and message key in load order, and its built-in English.
#pragma once

#include <QString>
#include <QStringView>
#include <span>

namespace lang {

// Groups under FMain in load order (a group's own keys come before its child
// groups). FMain itself is the parent of the top-level groups.
enum class Group : int {
    FMain = -1,
    Title_Panel,
    Pan_Menu,
    P_New_Conf,
    P_Load_Conf,
    P_Save_Conf,
    P_UpDate,
    P_Soft_Pref,
    P_Input,
    P_Dig_Input_Set,
    P_DigIn_1,
    P_DigIn_2,
    P_Ana_Input_Set,
    P_AnaIn_1,
    P_Output,
    P_Dig_Out_Set,
    P_DigOut_1,
    P_DO1_SMS,
    P_DO1_CALL,
    P_DigOut_2,
    P_DO2_SMS,
    P_DO2_CALL,
    P_Phone_Set,
    P_Date_Time_Set,
    P_DT_PRO_DateTime,
    P_DT_PRO_Profile,
    P_ProfileWeek,
    P_ProfileDay,
    P_ProfileDate,
    Messages_Errors,
};

struct GroupDef
{
    QStringView name;
    Group parent;
};

enum class KeyKind {
    Caption, // the caption of the control of that name (Telvarin: of TntL_Title)
    Header,  // <table>_T1.._T3: header cell 0..2 of that table
    Message, // a message or status text shown by the program
};

struct KeyDef
{
    QStringView key;
    QStringView text; // built-in English
    Group group;
    KeyKind kind;
};

// Indexed by the value of Group.
std::span<const GroupDef> groups();
const GroupDef &groupDef(Group group);

// Every key in load order.
std::span<const KeyDef> keys();

// Position of the key in keys(), or -1 for a key the program does not know.
int keyIndex(QStringView key);

// The built-in English text of a key as a language file's missing entry gets it;
// empty for an unknown key.
QString builtinText(QStringView key);

} // namespace lang
