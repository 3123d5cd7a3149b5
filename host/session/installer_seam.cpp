// The installer hand-over.
#include "session/installer_seam.h"

#include "session/components_folder.h"
#include "session/host.h"
#include "session/log.h"
#include "session/type_table.h"

std::string InstallerLibraryFor(Host& host, ComponentSlot& slot, const TypeLookup& lookup,
                                std::string* why) {
    const std::string& type = slot.element->type();
    if (host.page.blocks[slot.block].element.Find("qpmsrc") == nullptr) {
        *why = "no component installed for type " + type +
               " (and the element has no QPMSRC to install one from)";
        return "";
    }
    // One copy serves every element of the run.
    if (host.installerCopy.empty()) {
        const std::string built = FindLibraryFile(kInstallerLibrary, lookup);
        if (built.empty()) {
            *why = "type " + type + " is not installed, and the installer " +
                   NotFoundDetail(kInstallerLibrary, lookup);
            return "";
        }
        host.installerCopy = PlaceInstallerCopy(built, host.componentsDirectory, why);
        if (host.installerCopy.empty()) return "";
    }
    LogVerbose("%s: type %s is not installed: the installer runs it", slot.label.c_str(),
               type.c_str());
    slot.runsInstaller = true;
    return host.installerCopy;
}
