// Where a page element whose type is not installed goes: to the
// installer component, which fetches and installs what the element
// names (its TYPE, QPMSRC, QPMPLATFORMS) and then runs it.
#pragma once

#include <string>

struct Host;
struct ComponentSlot;

// Runs the slot under the installer instead of its own type's library.
// False with `why` set when nothing can run it.
bool RunInstallerFor(Host& host, ComponentSlot& slot, std::string* why);
