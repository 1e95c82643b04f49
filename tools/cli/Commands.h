// The commands of trenov5x-cli, each declared in its own file.
#pragma once

#include "Command.h"

namespace cli {

Command checkCommand();
Command buildCommand();
Command inspectCommand();
Command portsCommand();
Command statusCommand();
Command setClockCommand();
Command updateCommand();
Command historyCommand();
Command restoreCommand();
Command reportCommand();
Command diffCommand();
Command tableCommand();

} // namespace cli
