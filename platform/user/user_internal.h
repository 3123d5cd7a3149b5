// State of the window half of the layer, shared by the files of platform/user.
//
// A window is a Window object in a handle table; everything else refers
// to windows by HWND and looks them up again after every message it sends,
// because any window procedure may destroy any window. An object whose
// handle died while a procedure frame was still running inside it is kept
// (as a "zombie") until that frame returns, so the frame never touches
// freed memory; the handle itself stops being a window at once.
#pragma once

#include "internal/handles.h"
#include "internal/kernel_internal.h"
#include "internal/region.h"
#include "internal/surface.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace qpm {

// ------------------------------------------------------------ constants
// Screen and non-client metrics of the reference system (1024x768).
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr int kCaptionHeight = 19;  // SM_CYCAPTION
constexpr int kFrameWidth = 4;      // SM_CXFRAME, a WS_THICKFRAME border
constexpr int kDlgFrameWidth = 3;   // SM_CXDLGFRAME
constexpr int kBorderWidth = 1;     // SM_CXBORDER
constexpr int kEdgeWidth = 2;       // SM_CXEDGE, WS_EX_CLIENTEDGE
constexpr int kMinimizedPos = -32000;

// SetWindowPos flags (WINDOWPOS.flags); the public header has no
// SetWindowPos, but WM_WINDOWPOSCHANGING/CHANGED carry these values.
constexpr UINT kSwpNoSize = 0x0001;
constexpr UINT kSwpNoMove = 0x0002;
constexpr UINT kSwpNoZOrder = 0x0004;
constexpr UINT kSwpNoRedraw = 0x0008;
constexpr UINT kSwpNoActivate = 0x0010;
constexpr UINT kSwpFrameChanged = 0x0020;
constexpr UINT kSwpShowWindow = 0x0040;
constexpr UINT kSwpHideWindow = 0x0080;
constexpr UINT kSwpNoClientSize = 0x0800;
constexpr UINT kSwpNoClientMove = 0x1000;
constexpr UINT kSwpStateChanged = 0x8000;

// Win32 layouts of WM_GETMINMAXINFO's and WM_NCCALCSIZE(TRUE)'s lParam.
struct MinMaxInfo {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};
struct NcCalcSizeParams {
    RECT rgrc[3];
    WINDOWPOS* lppos;
};

// --------------------------------------------------------------- objects
struct WindowClass {
    std::string name;
    ATOM atom = 0;
    WNDCLASSA wc{};   // lpszClassName and lpszMenuName are not kept
    int windows = 0;  // windows of the class not yet freed
};

struct Window {
    HWND hwnd = nullptr;
    WindowClass* cls = nullptr;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;       // WS_CHILD windows only
    HWND owner = nullptr;        // top-level windows only
    std::vector<HWND> children;  // Z order, topmost first
    RECT rect{};                 // in the parent's client coordinates; screen for top-levels
    RECT client{};               // relative to rect's top-left corner
    RECT restoreRect{};          // the normal rect while maximized or minimized
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    HINSTANCE instance = nullptr;
    std::string text;
    std::vector<BYTE> extra;
    Region update;                  // invalid part of the client area, client coordinates
    bool erase = false;             // WM_ERASEBKGND due at the next BeginPaint
    bool unerased = false;          // an early WM_ERASEBKGND was answered 0: fErase at BeginPaint
    SurfacePtr surface;             // top-level windows only
    bool sizePending = false;       // top-level: creation's WM_SIZE/WM_MOVE wait for ShowWindow
    bool restoreMaximized = false;  // minimized from maximized: SW_RESTORE maximizes again
    bool destroying = false;        // DestroyWindow has started on this window
    bool freed = false;             // the handle is dead; kept only while inUse > 0
    int inUse = 0;                  // window procedure frames running for this window
};

// -------------------------------------------------- classes (classes.cpp)
// `key` is a class name or an atom (MAKEINTATOM); a class registered with
// `instance` is preferred, then any class of that name.
WindowClass* FindClass(LPCSTR key, HINSTANCE instance);

// ------------------------------------------ window lifetime (window_table.cpp)
Window* LookupWindow(HWND hwnd);        // nullptr when not a window
Window* LookupWindowOrFail(HWND hwnd);  // same, with ERROR_INVALID_WINDOW_HANDLE
HWND InsertWindow(std::unique_ptr<Window> window);
// Kills the handle; the object goes when the last frame inside it returns.
void ReleaseWindow(Window* window);

// Counts a procedure frame running for a window, so the object outlives it.
class WindowPin {
public:
    explicit WindowPin(Window* window);
    ~WindowPin();
    WindowPin(const WindowPin&) = delete;
    WindowPin& operator=(const WindowPin&) = delete;

private:
    Window* window_;
};

// ------------------------------------------------ the tree (window_tree.cpp)
std::vector<HWND>& TopLevelWindows();  // Z order, topmost first
void LinkWindow(Window* window);       // child: bottom of its siblings; top-level: top
void UnlinkWindow(Window* window);
std::vector<HWND> ChildrenOf(HWND hwnd);  // a copy, safe to walk while sending
bool IsVisibleChain(const Window* window);
bool IsDescendant(HWND ancestor, HWND hwnd);
Window* RootWindow(Window* window);

// ------------------------------------------------ geometry (geometry.cpp)
int ClientWidth(const Window& w);
int ClientHeight(const Window& w);
RECT ClientArea(const Window& w);             // (0, 0, width, height)
POINT ClientOriginInParent(const Window& w);  // screen for top-levels
POINT ClientOriginInRoot(Window* w);          // relative to the top-level's client
RECT WindowRectInRoot(Window* w);
RECT NonClientInsets(DWORD style, DWORD exStyle);  // thickness of each side
// The client rect, relative to `window`, from WM_NCCALCSIZE's answer
// `calculated`, kept inside the window.
RECT ClampedClient(const RECT& calculated, const RECT& window);
WPARAM SizeKind(const Window& w);  // SIZE_RESTORED, _MINIMIZED, _MAXIMIZED
// WM_MOVE's and WM_SIZE's lParam: two 16-bit values in a LONG, widened
// with its sign as Windows does (a minimized window's (-32000,-32000) is
// 0xFFFFFFFF83008300 on 64-bit). LOWORD and HIWORD read the same either way.
inline LPARAM PackedLParam(int low, int high) { return LPARAM(MAKELONG(low, high)); }

// ----------------------------------------------- positions (winpos.cpp, show.cpp)
BOOL SetWindowPosInternal(HWND hwnd, int x, int y, int cx, int cy, UINT flags);
// Limits a top-level's size by its WM_GETMINMAXINFO answer (minmax.cpp).
void ApplyMinMaxInfo(HWND hwnd, int* cx, int* cy);
MinMaxInfo DefaultMinMaxInfo(const Window& w);
// Sizing frames and overlapped windows ask WM_GETMINMAXINFO; others do not.
bool AsksMinMaxInfo(DWORD style);

// ------------------------------------------------- messages (messages.cpp)
// Calls the window's current procedure, keeping the object alive meanwhile.
LRESULT CallWindow(Window* w, UINT message, WPARAM wParam, LPARAM lParam);
// SendMessageA without touching the last error when hwnd is gone.
LRESULT SendIfWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// One "msg" trace line: "send WM_SIZE to 0x10000001 w=0 l=0x320064".
void TraceMessage(const char* verb, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// ----------------------------------------- posted queue (message_queue.cpp)
// The first posted message that matches, optionally removed.
bool TakePostedMessage(MSG* msg, HWND filter, UINT first, UINT last, bool remove);
bool TakeQuitMessage(MSG* msg, UINT first, UINT last, bool remove);
void PurgePostedMessages(HWND hwnd);
bool MessageMatches(HWND filter, HWND hwnd, UINT first, UINT last, UINT message);

// -------------------------------------------------------- timers (timers.cpp)
// A WM_TIMER for the timer due first, if it was due at tick `asOf`.
bool TakeDueTimer(MSG* msg, HWND filter, DWORD asOf, bool remove);
DWORD MsUntilNextTimer();  // INFINITE when there is no timer
void RemoveWindowTimers(HWND hwnd);
// The procedure of a live timer when `proc` is it, so DispatchMessageA
// never calls an arbitrary lParam.
TIMERPROC RegisteredTimerProc(HWND hwnd, UINT_PTR id, TIMERPROC proc);

// ------------------------------------------------------ painting (paint.cpp)
// Adds `rect` (client coordinates; nullptr = all) to the update region of
// a visible window, and to its children's when it lacks WS_CLIPCHILDREN
// or `allChildren` is set.
void InvalidateClient(Window* w, const RECT* rect, bool erase, bool allChildren);
void ValidateClient(Window* w, const RECT* rect, bool allChildren);
HWND FindWindowToPaint(HWND filter);  // parents before children
// Sends the window's pending WM_ERASEBKGND now rather than at BeginPaint
// (paint_dc.cpp), as Windows does for a parent when a child is hidden.
void EraseNow(HWND hwnd);
// Adds `rect` to `region`, both inside `universe` (update_region.cpp).
void AddRectToRegion(Region* region, const RECT& rect, const RECT& universe);

// ----------------------------------------------- activation (activation.cpp)
// Makes `hwnd` (a top-level window, or none) the active window.
void ActivateWindow(HWND hwnd);
// When `hwnd` is the active window (it is being hidden or destroyed),
// activation passes to its owner or the next shown top-level window.
void PassActivationFrom(HWND hwnd);
// Drops the activation silently when it is on a window that is being freed.
void ForgetActive(HWND hwnd);

// --------------------------------------------------------- focus (focus.cpp)
// Moves the focus out of a window that is being hidden (to its parent).
void RevertFocusFrom(HWND hwnd);
// Drops the focus silently when it is on a window that is being freed.
void ForgetFocus(HWND hwnd);

// --------------------------------------------------------- text (window_text.cpp)
LRESULT DefaultGetText(Window* w, WPARAM size, LPARAM buffer);
LRESULT DefaultSetText(Window* w, LPARAM text);

// ------------------------------------------------------ destroy (destroy.cpp)
// WM_NCDESTROY to the window's children, then to it, freeing each.
void NcDestroyTree(HWND hwnd);

}  // namespace qpm
