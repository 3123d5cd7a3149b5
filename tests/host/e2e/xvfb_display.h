// An X server of the test's own: Xvfb, started on a display number it
// picks itself (-displayfd), at a given resolution in dots per inch, and
// stopped with the test. Reads back the pixels of the windows shown on it.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class XvfbDisplay {
public:
    static bool Available();  // Xvfb is installed
    explicit XvfbDisplay(int dpi = 96);
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    bool started() const { return !name_.empty(); }
    std::string name() const { return name_; }  // ":N", for $DISPLAY

    struct Window {
        unsigned long id = 0;
        int width = 0, height = 0;
        std::string title;
        std::vector<uint32_t> pixels;  // 0x00RRGGBB, row by row
    };
    // The first top-level window shown (mapped and viewable), waited for
    // up to `seconds`; false when none came.
    bool WaitForWindow(Window* window, int seconds = 30);
    // The window's pixels and title now.
    bool Capture(Window* window);
    // Captures the window again and again (every 100 ms) until `done`
    // holds for it or `seconds` pass.
    bool WaitUntil(Window* window, const std::function<bool(const Window&)>& done,
                   int seconds = 20);
    // What a window manager sends when the user closes the window.
    bool AskToClose(const Window& window);
    // A press and release of the key with this X keysym, sent to the window.
    bool PressKey(const Window& window, unsigned long keysym);

private:
    pid_t pid_ = -1;
    std::string name_;
};
