// Internal functions of the layer are hidden from component libraries;
// those the layer's own tests call are marked QPM_INTERNAL to stay
// reachable from the test programs.
#pragma once

#define QPM_INTERNAL __attribute__((visibility("default")))
