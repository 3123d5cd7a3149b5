// Page and site windows.
#include "session/page_windows.h"

#include <qpm/protocol.h>
#include <qpm_platform.h>

#include "page/page_painter.h"
#include "session/host.h"
#include "session/installer_status.h"
#include "session/requests.h"
#include "session/stream_notices.h"

namespace {

const char kPageClass[] = "QpmHostPage";
const char kSiteClass[] = "QpmHostSite";

template <typename T>
T* WindowData(HWND window) {
    return reinterpret_cast<T*>(GetWindowLongPtrA(window, 0));
}

void FillBackground(HWND window, HDC dc, COLORREF colour) {
    RECT client;
    GetClientRect(window, &client);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
}

// Every live component gets 1029 now and then to sweep its finished streams.
void IdleComponents(Host& host) {
    for (const auto& slot : host.slots) {
        if (slot->window == nullptr) continue;
        if (!IsWindow(slot->window)) {
            // It destroyed itself: its streams go with it.
            for (LONG_PTR handle : host.streams.ForgetOwner(slot->window))
                host.transport->Abort(handle);
            slot->window = nullptr;
            continue;
        }
        CallingSlot calling(host, slot.get());
        SendMessageA(slot->window, QPMM_IDLE, 0, 0);
    }
    WatchInstallers(host);
}

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Host* host = WindowData<Host>(window);
    if (host == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_ERASEBKGND:
            FillBackground(window, reinterpret_cast<HDC>(wParam), host->page.background);
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            if (HDC dc = BeginPaint(window, &paint)) {
                PaintTextBlocks(dc, host->page, host->layout);
                EndPaint(window, &paint);
            }
            return 0;
        }
        case WM_TIMER:
            if (wParam == kPageIdleTimer) IdleComponents(*host);
            return 0;
        case kStreamsDueMessage:
            SendDueStreamNotices(*host);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK SiteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ComponentSlot* slot = WindowData<ComponentSlot>(window);
    Host* host = WindowData<Host>(GetParent(window));
    if (slot == nullptr || host == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    if (message >= kFirstRequest && message <= kLastRequest)
        return HandleComponentRequest(*host, *slot, message, wParam, lParam);
    switch (message) {
        case WM_ERASEBKGND:
            FillBackground(window, reinterpret_cast<HDC>(wParam), host->page.background);
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            if (BeginPaint(window, &paint)) EndPaint(window, &paint);
            return 0;
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

void RegisterHostClasses() {
    WNDCLASSA wc{};
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpfnWndProc = &PageProc;
    wc.lpszClassName = kPageClass;
    RegisterClassA(&wc);
    wc.lpfnWndProc = &SiteProc;
    wc.lpszClassName = kSiteClass;
    RegisterClassA(&wc);
}

int TextHeight(Host& host, HDC dc, size_t index, int width) {
    return MeasureTextBlock(dc, host.page.blocks[index], width);
}

}  // namespace

bool CreatePageWindow(Host& host) {
    RegisterHostClasses();
    host.pageWindow = CreateWindowExA(0, kPageClass, host.page.title.c_str(),
                                      WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1, 1, nullptr,
                                      nullptr, nullptr, nullptr);
    if (host.pageWindow == nullptr) return false;
    SetWindowLongPtrA(host.pageWindow, 0, reinterpret_cast<LONG_PTR>(&host));
    SetTimer(host.pageWindow, kPageIdleTimer, kIdlePeriodMs, nullptr);
    return true;
}

void RelayoutPage(Host& host) {
    std::vector<LayoutBlock> blocks(host.page.blocks.size());
    for (const auto& slot : host.slots)
        if (!slot->failed) blocks[slot->block] = LayoutBlock{true, slot->width, slot->height};
    for (size_t i = 0; i < host.page.blocks.size(); ++i)
        if (host.page.blocks[i].kind == BlockKind::kComponent) blocks[i].component = true;
    HDC dc = GetDC(host.pageWindow);
    host.layout = LayoutPage(
        blocks, [&](size_t index, int width) { return TextHeight(host, dc, index, width); },
        host.metrics);
    ReleaseDC(host.pageWindow, dc);
    MoveWindow(host.pageWindow, 0, 0, host.layout.width, host.layout.height, TRUE);
    for (const auto& slot : host.slots) {
        if (slot->site == nullptr) continue;
        const Placement& p = host.layout.blocks[slot->block];
        MoveWindow(slot->site, p.x, p.y, p.width, p.height, TRUE);
    }
    InvalidateRect(host.pageWindow, nullptr, TRUE);
}

HWND CreateSite(Host& host, ComponentSlot& slot) {
    const Placement& p = host.layout.blocks[slot.block];
    slot.site = CreateWindowExA(0, kSiteClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, p.x,
                                p.y, p.width, p.height, host.pageWindow, nullptr, nullptr, nullptr);
    if (slot.site) SetWindowLongPtrA(slot.site, 0, reinterpret_cast<LONG_PTR>(&slot));
    return slot.site;
}
