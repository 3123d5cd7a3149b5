// How many objects each table of the layer holds, for QpmCountObjects.
#pragma once

#include "internal/visibility.h"

#include <cstddef>

namespace qpm {

QPM_INTERNAL size_t CountGlobalBlocks();
QPM_INTERNAL size_t CountOpenFiles();
QPM_INTERNAL size_t CountWindows();
QPM_INTERNAL size_t CountGdiObjects();
QPM_INTERNAL size_t CountDeviceContexts();
QPM_INTERNAL size_t CountLoadedModules();

}  // namespace qpm
