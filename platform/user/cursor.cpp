// LoadCursorA: there is no pointer to shape, but code keeps the handle of
// a system cursor (IDC_ARROW and its neighbours, ids 32512 to 32651) in
// its window class, so each gets a stable non-null handle. Cursor
// resources of a module are not supported.
#include <windows.h>

namespace {

constexpr uintptr_t kFirstSystemCursor = 32512;
constexpr uintptr_t kLastSystemCursor = 32651;
constexpr uintptr_t kCursorHandleBase = 0x00010000;  // below every table handle
constexpr DWORD kErrorResourceNameNotFound = 1814;

}  // namespace

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    uintptr_t id = reinterpret_cast<uintptr_t>(name);
    if (instance || id < kFirstSystemCursor || id > kLastSystemCursor) {
        SetLastError(kErrorResourceNameNotFound);
        return nullptr;
    }
    return reinterpret_cast<HCURSOR>(kCursorHandleBase + id);
}
