// The alternate host's entry points: thin wrappers that turn its
// fixed-layout AltInitRecord into an InitRecord and call the framework's
// own entry points. The component then reads its attributes in the
// packed form (the alternate-host mark is on its record).
#include <qpm/attributes.h>

#include "entry_points.h"

namespace {

// The alternate host's record as the conversion may read it: its three
// strings cut to 511 bytes and terminated, whatever the host put there.
AltInitRecord BoundedCopy(const AltInitRecord* record) {
    AltInitRecord copy = *record;
    copy.type[sizeof copy.type - 1] = '\0';
    copy.subtype[sizeof copy.subtype - 1] = '\0';
    copy.dataFile[sizeof copy.dataFile - 1] = '\0';
    return copy;
}

}  // namespace

extern "C" HWND WINAPI DRXInit(HWND parent, AltInitRecord* record) {
    if (record == nullptr) return nullptr;
    AltInitRecord copy = BoundedCopy(record);
    InitRecord init;
    char* names[4];
    char* values[4];
    ConvertAltInitRecord(&copy, &init, names, values);
    // The window keeps the size the alternate host gave it.
    init.fixedSize = 1;
    // The strings are copied into the window's own block during the call.
    return QPMInit(parent, &init);
}

extern "C" WORD WINAPI DRXGetVersion(WORD lowest, WORD highest) {
    return QPMGetVersion(lowest, highest);
}

extern "C" int32_t WINAPI DRXCalcSize(AltInitRecord* record) {
    if (record == nullptr) return 0;
    AltInitRecord copy = BoundedCopy(record);
    InitRecord init;
    char* names[4];
    char* values[4];
    ConvertAltInitRecord(&copy, &init, names, values);
    init.fixedSize = 0;
    const int32_t result = QPMCalcSize(&init);
    // Only the size goes back; the rest of the host's record stays as it was.
    if (result != 0) {
        record->width = init.width;
        record->height = init.height;
    }
    return result;
}
