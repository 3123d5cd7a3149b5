// Xvfb as a child process, windows read with Xlib.
#include "host/e2e/xvfb_display.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace {

// Xvfb writes its display number here once it accepts connections.
constexpr int kDisplayFd = 3;
constexpr int kStartSeconds = 30;

std::string ReadLineWithin(int fd, int seconds) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (line.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, int(left.count())) <= 0) return "";
        char buffer[64];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) return "";
        line.append(buffer, size_t(n));
    }
    return line.substr(0, line.find('\n'));
}

}  // namespace

bool XvfbDisplay::Available() { return system("command -v Xvfb >/dev/null 2>&1") == 0; }

XvfbDisplay::XvfbDisplay(int dpi) {
    int fds[2];
    if (pipe(fds) != 0) return;
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_adddup2(&files, fds[1], kDisplayFd);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    const std::string dpiText = std::to_string(dpi);
    const char* argv[] = {"Xvfb",      "-displayfd",   "3",        "-screen",
                          "0",         "1600x1200x24", "-dpi",     dpiText.c_str(),
                          "-nolisten", "tcp",          "-noreset", nullptr};
    const int spawned =
        posix_spawnp(&pid_, "Xvfb", &files, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&files);
    close(fds[1]);
    if (spawned != 0) {
        pid_ = -1;
        close(fds[0]);
        return;
    }
    const std::string number = ReadLineWithin(fds[0], kStartSeconds);
    close(fds[0]);
    if (!number.empty()) name_ = ":" + number;
}

XvfbDisplay::~XvfbDisplay() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
}

bool XvfbDisplay::Capture(Window* window) {
    ::Display* display = XOpenDisplay(name_.c_str());
    if (display == nullptr) return false;
    XWindowAttributes attributes;
    XImage* image = nullptr;
    if (XGetWindowAttributes(display, window->id, &attributes) &&
        attributes.map_state == IsViewable)
        image = XGetImage(display, window->id, 0, 0, unsigned(attributes.width),
                          unsigned(attributes.height), AllPlanes, ZPixmap);
    if (image != nullptr) {
        window->width = attributes.width;
        window->height = attributes.height;
        window->pixels.resize(size_t(window->width) * window->height);
        for (int y = 0; y < window->height; ++y)
            for (int x = 0; x < window->width; ++x)
                window->pixels[size_t(y) * window->width + x] =
                    uint32_t(XGetPixel(image, x, y)) & 0xFFFFFF;
        XDestroyImage(image);
        char* title = nullptr;
        window->title = XFetchName(display, window->id, &title) && title ? title : "";
        if (title) XFree(title);
    }
    XCloseDisplay(display);
    return image != nullptr;
}

bool XvfbDisplay::WaitForWindow(Window* window, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        ::Display* display = XOpenDisplay(name_.c_str());
        if (display == nullptr) return false;
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        unsigned long found = 0;
        if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
            for (unsigned i = 0; i < count && found == 0; ++i) {
                XWindowAttributes attributes;
                if (XGetWindowAttributes(display, children[i], &attributes) &&
                    attributes.map_state == IsViewable)
                    found = children[i];
            }
            if (children) XFree(children);
        }
        XCloseDisplay(display);
        window->id = found;
        if (found != 0 && Capture(window)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

bool XvfbDisplay::WaitUntil(Window* window, const std::function<bool(const Window&)>& done,
                            int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!(Capture(window) && done(*window))) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

bool XvfbDisplay::AskToClose(const Window& window) {
    ::Display* display = XOpenDisplay(name_.c_str());
    if (display == nullptr) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window.id;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, window.id, False, NoEventMask, &event) != 0;
    XCloseDisplay(display);
    return sent;
}

bool XvfbDisplay::PressKey(const Window& window, unsigned long keysym) {
    ::Display* display = XOpenDisplay(name_.c_str());
    if (display == nullptr) return false;
    XSetInputFocus(display, window.id, RevertToParent, CurrentTime);
    XEvent event{};
    event.xkey.display = display;
    event.xkey.window = window.id;
    event.xkey.root = DefaultRootWindow(display);
    event.xkey.time = CurrentTime;
    event.xkey.same_screen = True;
    event.xkey.keycode = XKeysymToKeycode(display, KeySym(keysym));
    bool sent = true;
    for (int type : {KeyPress, KeyRelease}) {
        event.xkey.type = type;
        sent = XSendEvent(display, window.id, True,
                          type == KeyPress ? KeyPressMask : KeyReleaseMask, &event) &&
               sent;
    }
    XCloseDisplay(display);
    return sent;
}
