// QpmCountObjects: the live objects of each kind, for leak checks.
#include "internal/object_counts.h"

#include <qpm_platform.h>

UINT QpmCountObjects(QpmObjectKind kind) {
    switch (kind) {
        case QPM_OBJECTS_GLOBALMEMORY:
            return UINT(qpm::CountGlobalBlocks());
        case QPM_OBJECTS_FILES:
            return UINT(qpm::CountOpenFiles());
        case QPM_OBJECTS_WINDOWS:
            return UINT(qpm::CountWindows());
        case QPM_OBJECTS_GDI:
            return UINT(qpm::CountGdiObjects() + qpm::CountDeviceContexts());
        case QPM_OBJECTS_MODULES:
            return UINT(qpm::CountLoadedModules());
        default:
            return 0;
    }
}
