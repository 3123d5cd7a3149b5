// The component window's procedure and the painting services it offers.
#pragma once

#include <qpm/records.h>

#include "reentrant_calls.h"

#include <windows.h>

// Paints the component on `dc`: background, colours and Paint, through
// the off-screen bitmap when the window has one.
void PaintComponent(InstanceRecord* record, HDC dc);

// Message 1030: prints the component on the PrintRecord's DC. Returns 1.
LRESULT PrintComponent(InstanceRecord* record, PrintRecord* print);

// WM_DESTROY with a record: the component sees WM_DESTROY and is deleted,
// then the bitmap, the string block and the record are freed (put off
// until the outermost call when the window procedure is nested).
LRESULT TearDown(WindowProcCall& call, InstanceRecord* record, HGLOBAL block, WPARAM wParam,
                 LPARAM lParam);

// Frees what a record-less WM_DESTROY still finds in window long 0.
void FreeOrphanBlock(HWND window);
