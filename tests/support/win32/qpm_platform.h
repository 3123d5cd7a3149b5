/*
 * The Windows builds of the test programs put this folder on their
 * include path instead of platform/include, whose windows.h would hide
 * the system's. The extensions are declared once, in the layer's header;
 * the files beside this one implement them with plain Win32 calls.
 */
#include "../../../platform/include/qpm_platform.h"
