// Which names can be a configuration: each is the name of a folder under
// Projects/, so a name must be one folder there on every system the
// configurations travel to, and never lead outside it.
#pragma once

#include <QStringView>

namespace app {

// The longest name, in UTF-16 code units.
inline constexpr qsizetype kMaxConfigurationName = 100;

// False for an empty name, "." and "..", a leading dot (a hidden folder), a
// path separator, a control character, any of : * ? " < > |, a leading or
// trailing blank, a trailing dot, a device name (CON, PRN, AUX, NUL, COM1-9,
// LPT1-9, in any case, with or without an extension), and a name longer than
// kMaxConfigurationName.
bool isSafeConfigurationName(QStringView name);

} // namespace app
