#pragma once
// How files dropped on the desktop window reach the program's AppWindows.

#include <string>
#include <vector>

namespace tessella::workbench {

// Sends one AppMessage with the files (Linux paths, UTF-8) to the AppWindow that takes the drop.
// Paths the program's Latin-1 text cannot spell are left out, with a beep; false when nothing
// was sent.
bool DeliverDrop(const std::vector<std::string>& paths);

}  // namespace tessella::workbench
