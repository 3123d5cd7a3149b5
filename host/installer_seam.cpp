// The installer hand-over. The installer component is not part of this
// build yet, so an element of an unknown type cannot run.
#include "installer_seam.h"

#include "host.h"

bool RunInstallerFor(Host&, ComponentSlot& slot, std::string* why) {
    *why = "no component installed for type " + slot.element->type();
    return false;
}
