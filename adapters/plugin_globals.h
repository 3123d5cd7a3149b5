// The plug-in adapter's module globals.
#pragma once

#include <qpm/records.h>

#include "npapi.h"

// The browser's function table, stored by NP_Initialize; null when there
// is no browser (before NP_Initialize, after NP_Shutdown).
extern NPNetscapeFuncs* browserFuncs;
