// The X11 output.
#include "output/x11_output.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>

#include <cstdlib>
#include <cstring>

#include "output/quit_signals.h"

X11Output::~X11Output() {
    std::string ignored;
    Close(&ignored);
}

bool X11Output::Available(std::string* error) {
    if (!OpenDisplay(error)) return false;
    XCloseDisplay(display_);
    display_ = nullptr;
    return true;
}

bool X11Output::OpenDisplay(std::string* error) {
    display_ = XOpenDisplay(nullptr);
    if (display_ != nullptr) return true;
    const char* name = getenv("DISPLAY");
    *error = std::string("cannot open the X display ") +
             (name && *name ? name : "($DISPLAY is not set)");
    return false;
}

bool X11Output::Open(int width, int height, const std::string& title, std::string* error) {
    if (!OpenDisplay(error)) return false;
    const int screen = DefaultScreen(display_);
    Visual* visual = DefaultVisual(display_, screen);
    // The page's pixels are 0x00RRGGBB words: they go to the server as they are.
    if (DefaultDepth(display_, screen) < 24 || visual->red_mask != 0xFF0000 ||
        visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF) {
        *error = "the X display is not 24-bit true colour";
        return false;
    }
    window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0, unsigned(width),
                                  unsigned(height), 0, BlackPixel(display_, screen),
                                  WhitePixel(display_, screen));
    XStoreName(display_, window_, title.empty() ? "qpmhost" : title.c_str());
    deleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display_, window_, &deleteWindow_, 1);
    XSelectInput(display_, window_, ExposureMask | KeyPressMask | StructureNotifyMask);
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    if (!MakeImage(width, height)) {
        *error = "cannot make an X image of the page's size";
        return false;
    }
    XMapWindow(display_, window_);
    XFlush(display_);
    // Ctrl-C and SIGTERM end the run in order, as in the terminal.
    InstallQuitSignals();
    return true;
}

bool X11Output::MakeImage(int width, int height) {
    if (image_) XDestroyImage(image_);  // frees the pixels too
    const int screen = DefaultScreen(display_);
    // The image owns `bits` once made (XDestroyImage frees them), which the
    // analyzer cannot know of a library function.
    // NOLINTBEGIN(clang-analyzer-unix.Malloc)
    char* bits = static_cast<char*>(calloc(size_t(width) * height, 4));
    image_ = XCreateImage(display_, DefaultVisual(display_, screen),
                          unsigned(DefaultDepth(display_, screen)), ZPixmap, 0, bits,
                          unsigned(width), unsigned(height), 32, width * 4);
    if (image_ == nullptr) free(bits);
    width_ = image_ ? width : 0;
    height_ = image_ ? height : 0;
    return image_ != nullptr;
    // NOLINTEND(clang-analyzer-unix.Malloc)
}

void X11Output::Show(const QpmPixels& pixels) {
    if (image_ == nullptr) return;
    // A component that asked for another size may have resized the page.
    if (pixels.width != width_ || pixels.height != height_) {
        if (!MakeImage(pixels.width, pixels.height)) return;
        XResizeWindow(display_, window_, unsigned(width_), unsigned(height_));
    }
    const int w = std::min(width_, pixels.width), h = std::min(height_, pixels.height);
    for (int y = 0; y < h; ++y)
        memcpy(image_->data + size_t(y) * image_->bytes_per_line,
               pixels.bgrx + size_t(y) * pixels.stride, size_t(w) * 4);
    Redraw();
}

void X11Output::Redraw() {
    if (image_ == nullptr) return;
    XPutImage(display_, window_, gc_, image_, 0, 0, 0, 0, unsigned(width_), unsigned(height_));
    XFlush(display_);
}

std::vector<int> X11Output::EventDescriptors() const {
    return {display_ ? ConnectionNumber(display_) : -1, QuitSignalDescriptor()};
}

bool X11Output::HandleEvents() {
    bool resized = false;
    bool keepGoing = !DrainQuitSignals(&resized);
    while (display_ && XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == Expose && event.xexpose.count == 0) {
            Redraw();
        } else if (event.type == ClientMessage && Atom(event.xclient.data.l[0]) == deleteWindow_) {
            keepGoing = false;
        } else if (event.type == KeyPress) {
            KeySym key = XLookupKeysym(&event.xkey, 0);
            if (key == XK_q || key == XK_Q || key == XK_Escape) keepGoing = false;
        }
    }
    return keepGoing;
}

bool X11Output::Close(std::string*) {
    if (display_ == nullptr) return true;
    RemoveQuitSignals();
    if (image_) XDestroyImage(image_);  // frees the pixels too
    if (gc_) XFreeGC(display_, gc_);
    if (window_) XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
    image_ = nullptr;
    gc_ = nullptr;
    window_ = 0;
    display_ = nullptr;
    return true;
}
