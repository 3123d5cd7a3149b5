// Painting a component on screen, off screen, and on a printer.
#include <qpm/component.h>

#include "window_proc.h"

namespace {

void CallPaint(InstanceRecord* record, HDC dc) {
    if (Component* c = record->component) {
        c->instance = record;
        c->Paint(dc);
    }
}

void PrepareDC(HDC dc, const InstanceRecord* record, const RECT& client, HBRUSH brush) {
    if (brush) FillRect(dc, &client, brush);
    SetTextColor(dc, record->textColor);
    SetBkColor(dc, record->backColor);
}

// The off-screen bitmap has the window's client size: a window resized
// since the bitmap was made would otherwise show nothing beyond the old
// edge. Remade when the sizes differ; an empty window or a bitmap that
// cannot be made keeps the one there is.
void FitOffscreenBitmap(InstanceRecord* record, HDC dc, const RECT& client) {
    BITMAP current{};
    if (GetObjectA(record->offscreenBitmap, sizeof current, &current) == int(sizeof current) &&
        current.bmWidth == client.right && current.bmHeight == client.bottom)
        return;
    if (client.right <= 0 || client.bottom <= 0) return;
    HBITMAP fitted = CreateCompatibleBitmap(dc, client.right, client.bottom);
    if (fitted == nullptr) return;
    DeleteObject(record->offscreenBitmap);
    record->offscreenBitmap = fitted;
}

}  // namespace

void PaintComponent(InstanceRecord* record, HDC dc) {
    RECT client{};
    GetClientRect(record->window, &client);
    HBRUSH brush = CreateSolidBrush(record->backColor);
    if (brush) UnrealizeObject(brush);
    if (record->offscreenBitmap) FitOffscreenBitmap(record, dc, client);
    if (record->offscreenBitmap) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, record->offscreenBitmap);
        PrepareDC(memory, record, client, brush);
        CallPaint(record, memory);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    } else {
        PrepareDC(dc, record, client, brush);
        CallPaint(record, dc);
    }
    if (brush) DeleteObject(brush);
}

void RepaintNow(InstanceRecord* record) {
    HDC dc = GetDC(record->window);
    PaintComponent(record, dc);
    ReleaseDC(record->window, dc);
}

// No background and no off-screen bitmap: the component paints straight
// onto the printer's DC, white behind the text.
LRESULT PrintComponent(InstanceRecord* record, PrintRecord* print) {
    Component* c = record->component;
    SetTextColor(print->hdc, record->textColor);
    SetBkColor(print->hdc, RGB(255, 255, 255));
    record->printing = 1;
    if (c) c->instance = record;
    if (c && !c->Print(print)) {
        record->printRecord = *print;
        POINT old{};
        SetWindowOrgEx(print->hdc, print->originX, print->originY, &old);
        CallPaint(record, print->hdc);
        SetWindowOrgEx(print->hdc, old.x, old.y, nullptr);
    }
    record->printing = 0;
    return 1;
}
