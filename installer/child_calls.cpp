// The count of calls into installed components and the libraries that
// wait for it to reach zero.
#include "child_calls.h"

#include <string>
#include <vector>

namespace {

struct PendingRelease {
    HMODULE library;
    HWND window;
    std::string fileToDelete;
};

int depth = 0;
// The outermost call is a component's request: the component's own code
// is still running below it when it returns.
bool outermostFromChild = false;

std::vector<PendingRelease>& Pending() {
    static std::vector<PendingRelease> pending;
    return pending;
}

void Release(const PendingRelease& r) {
    if (r.window && IsWindow(r.window)) DestroyWindow(r.window);
    if (r.library) FreeLibrary(r.library);
    if (!r.fileToDelete.empty()) DeleteFileA(r.fileToDelete.c_str());
}

// Releasing may call into a component again (its window's teardown), so
// it runs as a counted call itself; what that queues is taken in turn.
void ReleasePending() {
    ++depth;
    outermostFromChild = false;
    while (!Pending().empty()) {
        PendingRelease next = Pending().front();
        Pending().erase(Pending().begin());
        Release(next);
    }
    --depth;
}

}  // namespace

ChildLibraryCall::ChildLibraryCall(Direction direction) {
    if (depth++ == 0) outermostFromChild = direction == kUp;
}

// A library released while the outermost call was a component's request
// stays loaded until a later outermost call from the host side ends: the
// component that made the request has not returned yet.
ChildLibraryCall::~ChildLibraryCall() {
    if (--depth == 0 && !outermostFromChild) ReleasePending();
}

void ReleaseChildLibrary(HMODULE library, HWND window, const char* fileToDelete) {
    Pending().push_back(PendingRelease{library, window, fileToDelete ? fileToDelete : ""});
    if (depth == 0) ReleasePending();
}
