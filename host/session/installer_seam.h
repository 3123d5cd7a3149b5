// Where a page element whose type is not installed goes: to the
// installer component (libvarnoq.so), which fetches and installs what
// the element names (its TYPE, QPMSRC, QPMPLATFORMS) and then runs it
// inside its own window. The host treats the installer like any other
// component: the installed component's requests reach the host through
// the installer's window, and the host's messages reach the component
// through it.
#pragma once

#include <string>

struct Host;
struct ComponentSlot;
struct TypeLookup;

// The library that runs the slot instead of its own type's: the
// installer's copy in the components folder, for an element that has
// "QPMSRC" to install from. "" with `why` set when nothing can run it.
std::string InstallerLibraryFor(Host& host, ComponentSlot& slot, const TypeLookup& lookup,
                                std::string* why);
