// A small host for one component in the benchmark's own process: a page
// window, a site window that answers the component's requests, and one
// stream whose bytes come from memory. It speaks the host protocol the
// way qpmhost does, without curl, a page or an output in between, so a
// benchmark measures the component, the framework and the Win32 layer.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

using Attributes = std::vector<std::pair<std::string, std::string>>;

class ComponentHost {
public:
    // Loads the component library and registers its window class.
    explicit ComponentHost(const char* libraryPath);
    ~ComponentHost();
    ComponentHost(const ComponentHost&) = delete;
    ComponentHost& operator=(const ComponentHost&) = delete;

    bool Loaded() const { return init_ != nullptr; }

    // Creates and starts a component of width x height: its window, or
    // null when it did not start. Any earlier component is stopped first.
    HWND Start(const Attributes& attributes, int width, int height);
    // Stops the component (1027) and drops the messages posted meanwhile.
    void Stop();

    // The next opened stream delivers `total` bytes: `pattern` again and
    // again (the host keeps a pointer). A small pattern stays in the cache
    // as a host's receive buffer does, whatever the stream's length.
    void SetStreamBytes(const std::string* pattern, size_t total) {
        bytes_ = pattern;
        total_ = total;
    }
    // Announces the stream's data (1034): the component pulls it all.
    void AnnounceStream();
    // True once the component has read the end of the stream.
    bool StreamEnded() const { return ended_; }
    // Delivers every posted message (the stream-ready notices, above all).
    void DeliverPosted();

    HWND component() const { return component_; }

private:
    static LRESULT CALLBACK SiteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Answer(UINT message, WPARAM wParam, LPARAM lParam);

    HMODULE library_ = nullptr;
    using InitFn = HWND(WINAPI*)(HWND, void*);
    InitFn init_ = nullptr;
    HWND page_ = nullptr;
    HWND site_ = nullptr;
    HWND component_ = nullptr;
    std::vector<std::string> names_, values_;
    const std::string* bytes_ = nullptr;
    size_t total_ = 0;
    size_t position_ = 0;
    bool open_ = false;
    bool ended_ = false;
};
