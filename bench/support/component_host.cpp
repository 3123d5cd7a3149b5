// The benchmark's host: requests answered from memory.
#include "support/component_host.h"

#include <qpm/protocol.h>
#include <qpm/records.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr LONG_PTR kStreamHandle = 1;
ComponentHost* current = nullptr;  // one host per process: the site procedure finds it here

template <typename Fn>
Fn Export(HMODULE library, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

void RegisterClasses() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    WNDCLASSA wc{};
    wc.lpfnWndProc = &DefWindowProcA;
    wc.lpszClassName = "QpmBenchPage";
    RegisterClassA(&wc);
}

}  // namespace

ComponentHost::ComponentHost(const char* libraryPath) {
    current = this;
    RegisterClasses();
    WNDCLASSA site{};
    site.lpfnWndProc = &ComponentHost::SiteProc;
    site.lpszClassName = "QpmBenchSite";
    RegisterClassA(&site);
    library_ = LoadLibraryA(libraryPath);
    if (library_ == nullptr) return;
    using SetInstanceFn = void(WINAPI*)(HINSTANCE);
    if (auto setInstance = Export<SetInstanceFn>(library_, "QPMSetInstance"))
        setInstance(reinterpret_cast<HINSTANCE>(library_));
    init_ = Export<InitFn>(library_, "QPMInit");
}

ComponentHost::~ComponentHost() {
    Stop();
    if (page_) DestroyWindow(page_);
    if (library_) FreeLibrary(library_);
    current = nullptr;
}

HWND ComponentHost::Start(const Attributes& attributes, int width, int height) {
    Stop();
    if (init_ == nullptr) return nullptr;
    if (page_ == nullptr) {
        page_ = CreateWindowExA(0, "QpmBenchPage", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                nullptr, nullptr, nullptr, nullptr);
        site_ = CreateWindowExA(0, "QpmBenchSite", "", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                                page_, nullptr, nullptr, nullptr);
    }
    names_.clear();
    values_.clear();
    for (const auto& a : attributes) {
        names_.push_back(a.first);
        values_.push_back(a.second);
    }
    std::vector<char*> names, values;
    for (size_t i = 0; i < names_.size(); ++i) {
        names.push_back(names_[i].data());
        values.push_back(values_[i].data());
    }
    InitRecord record{};
    record.size = int32_t(sizeof record);
    record.attrCount = int32_t(names.size());
    record.attrNames = names.data();
    record.attrValues = values.data();
    record.width = width;
    record.height = height;
    record.backColor = RGB(255, 255, 224);
    record.textColor = RGB(0, 0, 128);
    record.fixedSize = 1;
    position_ = 0;
    open_ = ended_ = false;
    component_ = init_(site_, &record);
    if (component_ == nullptr) return nullptr;
    if (SendMessageA(component_, QPMM_START, 0, reinterpret_cast<LPARAM>(&record)) == 0) {
        Stop();
        return nullptr;
    }
    return component_;
}

void ComponentHost::Stop() {
    if (component_ && IsWindow(component_)) SendMessageA(component_, QPMM_STOP, 0, 0);
    component_ = nullptr;
    DeliverPosted();
}

void ComponentHost::AnnounceStream() {
    if (component_ && open_) SendMessageA(component_, QPMM_STREAMREADY, 0, kStreamHandle);
}

void ComponentHost::DeliverPosted() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

LRESULT CALLBACK ComponentHost::SiteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (current && message >= kFirstRequest && message <= kLastRequest)
        return current->Answer(message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT ComponentHost::Answer(UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case QPMR_OPENSTREAM:
            if (bytes_ == nullptr || bytes_->empty() || open_) return kNoStream;
            open_ = true;
            return kStreamHandle;
        case QPMR_READSTREAM: {
            auto* request = reinterpret_cast<ReadRequest*>(lParam);
            if (!open_ || request->handle != kStreamHandle) return -1;
            const size_t offset = position_ % bytes_->size();
            const size_t n =
                std::min({total_ - position_, size_t(request->size), bytes_->size() - offset});
            if (n == 0) {
                ended_ = true;
                return -1;
            }
            memcpy(request->buffer, bytes_->data() + offset, n);
            position_ += n;
            return LRESULT(n);
        }
        case QPMR_CLOSESTREAM:
            open_ = false;
            return 0;
        case QPMR_HOSTINFO:
            reinterpret_cast<char*>(lParam)[0] = '\0';
            return 0;
        default:
            return 0;
    }
}
