// The installer hand-over. The installer component is not part of this
// build yet, so an element of an unknown type cannot run.
#include "session/installer_seam.h"

#include "session/host.h"

bool RunInstallerFor(Host&, ComponentSlot& slot, std::string* why) {
    *why = "no component installed for type " + slot.element->type();
    return false;
}
