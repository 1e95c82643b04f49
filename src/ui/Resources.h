// Registers the pictures compiled into the window library.
#pragma once

namespace ui {
void initResources();
}
