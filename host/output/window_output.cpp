// The SDL2 window.
#include "output/window_output.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "output/quit_signals.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#endif
#if defined(SDL_VIDEO_DRIVER_WAYLAND)
#include <wayland-client.h>
#endif

namespace {

// The pixel density the page's pixels were made for.
constexpr float kPageDpi = 96.0f;

#if defined(SDL_VIDEO_DRIVER_X11)
// The X screen's dots per inch: the Xft.dpi resource, which desktops set
// for a HiDPI screen, else what the screen's size in millimetres gives.
float X11Dpi() {
    ::Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return 0;
    float dpi = 0;
    if (const char* resources = XResourceManagerString(display)) {
        XrmInitialize();
        XrmDatabase database = XrmGetStringDatabase(resources);
        char* type = nullptr;
        XrmValue value{};
        if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
            dpi = float(atof(value.addr));
        XrmDestroyDatabase(database);
    }
    const int screen = DefaultScreen(display);
    if (dpi <= 0 && DisplayWidthMM(display, screen) > 0)
        dpi = float(DisplayWidth(display, screen)) * 25.4f / float(DisplayWidthMM(display, screen));
    XCloseDisplay(display);
    return dpi;
}
#else
float X11Dpi() { return 0; }
#endif

std::string WindowError(const char* what) {
    return std::string(what) + ": " + SDL_GetError() + "; use --terminal, --png FILE or --null";
}

}  // namespace

WindowOutput::~WindowOutput() {
    std::string ignored;
    Close(&ignored);
}

bool WindowOutput::StartVideo(std::string* error) {
    if (videoStarted_) return true;
    // Ctrl-C and SIGTERM are ours (an orderly quit through the self-pipe).
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A page is no film: the screen saver may come, as for any window.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // A window on the user's display, X11 or Wayland: never SDL's other
    // drivers (its "offscreen" one would run on with nothing to see),
    // unless the user names one in SDL_VIDEODRIVER. On Wayland a native
    // window, which a HiDPI screen shows sharp, rather than one through
    // XWayland.
    const char* wayland = getenv("WAYLAND_DISPLAY");
    const char* x11 = getenv("DISPLAY");
    const bool haveWayland = wayland && *wayland, haveX11 = x11 && *x11;
    const char* driver = getenv("SDL_VIDEODRIVER");
    if (!driver || !*driver) {
        if (!haveWayland && !haveX11) {
            *error =
                "no display to open a window on ($WAYLAND_DISPLAY and $DISPLAY are not set); "
                "use --terminal, --png FILE or --null";
            return false;
        }
        // Over an empty SDL_VIDEODRIVER too, which SDL would read as "any".
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, haveWayland ? "wayland,x11" : "x11",
                                SDL_HINT_OVERRIDE);
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        *error = WindowError("cannot open a window");
        return false;
    }
    videoStarted_ = true;
    return true;
}

bool WindowOutput::Available(std::string* error) { return StartVideo(error); }

// The whole factor the page is shown at on an X11 screen of more than
// 96 dots per inch, the nearest to the screen's density (Wayland scales
// the window itself), as long as the window still fits the screen.
int WindowOutput::ScaleFor(int width, int height) const {
    if (std::string(SDL_GetCurrentVideoDriver()) != "x11") return 1;
    int scale = std::max(1, int(std::lround(X11Dpi() / kPageDpi)));
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0)
        while (scale > 1 && (width * scale > usable.w || height * scale > usable.h)) --scale;
    return scale;
}

bool WindowOutput::MakeTexture(int width, int height) {
    if (texture_) SDL_DestroyTexture(texture_);
    // The layer's pixels are 32-bit words 0x00RRGGBB: SDL's RGB888.
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                 width, height);
    width_ = texture_ ? width : 0;
    height_ = texture_ ? height : 0;
    if (texture_) SDL_RenderSetLogicalSize(renderer_, width, height);
    return texture_ != nullptr;
}

bool WindowOutput::Open(int width, int height, const std::string& title, std::string* error) {
    if (!StartVideo(error)) return false;
    title_ = titleShown_ = title.empty() ? "qpmhost" : title;
    width = std::max(1, width);
    height = std::max(1, height);
    const int scale = ScaleFor(width, height);
    window_ = SDL_CreateWindow(title_.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                               width * scale, height * scale,
                               SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE);
    if (window_ == nullptr) {
        *error = WindowError("cannot open a window");
        return false;
    }
    // The page is small and changes a few times a second: drawing it on
    // the CPU is cheap and exact. X11 shows the result itself, with no GL
    // driver; SDL has Wayland show it through EGL.
    if (std::string(SDL_GetCurrentVideoDriver()) == "x11")
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (renderer_ == nullptr) {
        *error = WindowError("cannot draw in the window");
        return false;
    }
    // Whole factors and nearest pixels: the page's pixels stay sharp.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    SDL_RenderSetIntegerScale(renderer_, SDL_TRUE);
    if (!MakeTexture(width, height)) {
        *error = WindowError("cannot make a picture of the page's size");
        return false;
    }
    // Keys are read as keys; no input method is needed.
    SDL_StopTextInput();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window_, &info)) {
#if defined(SDL_VIDEO_DRIVER_X11)
        if (info.subsystem == SDL_SYSWM_X11) connection_ = ConnectionNumber(info.info.x11.display);
#endif
#if defined(SDL_VIDEO_DRIVER_WAYLAND)
        if (info.subsystem == SDL_SYSWM_WAYLAND)
            connection_ = wl_display_get_fd(info.info.wl.display);
#endif
    }
    InstallQuitSignals();
    return true;
}

void WindowOutput::Show(const QpmPixels& pixels) {
    if (renderer_ == nullptr) return;
    // A component that asked for another size may have resized the page.
    if (pixels.width != width_ || pixels.height != height_) {
        if (!MakeTexture(pixels.width, pixels.height)) return;
        int shownWidth = 0, shownHeight = 0;
        SDL_GetWindowSize(window_, &shownWidth, &shownHeight);
        if (shownWidth < width_ || shownHeight < height_)
            SDL_SetWindowSize(window_, std::max(shownWidth, width_),
                              std::max(shownHeight, height_));
    }
    SDL_UpdateTexture(texture_, nullptr, pixels.bgrx, pixels.stride);
    const unsigned char* corner = pixels.bgrx;
    border_ = uint32_t(corner[2]) << 16 | uint32_t(corner[1]) << 8 | corner[0];
    Present();
}

void WindowOutput::Present() {
    if (renderer_ == nullptr || texture_ == nullptr) return;
    SDL_SetRenderDrawColor(renderer_, Uint8(border_ >> 16), Uint8(border_ >> 8), Uint8(border_),
                           255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
}

std::vector<int> WindowOutput::EventDescriptors() const {
    return {connection_, QuitSignalDescriptor()};
}

bool WindowOutput::HandleEvents() {
    bool keepGoing = !DrainSignals().quit;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) {
            keepGoing = false;
        } else if (event.type == SDL_KEYDOWN) {
            const SDL_Keycode key = event.key.keysym.sym;
            if (key == SDLK_q || key == SDLK_ESCAPE) keepGoing = false;
        } else if (event.type == SDL_WINDOWEVENT) {
            switch (event.window.event) {
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                case SDL_WINDOWEVENT_SHOWN:
                case SDL_WINDOWEVENT_RESTORED:
                    Present();
                    break;
                default:
                    break;
            }
        }
    }
    return keepGoing;
}

void WindowOutput::ShowTransfers(const std::vector<TransferStatus>& transfers) {
    const std::string text = DescribeTransfers(transfers);
    const std::string title = text.empty() ? title_ : title_ + " - " + text;
    if (window_ == nullptr || title == titleShown_) return;
    SDL_SetWindowTitle(window_, title.c_str());
    titleShown_ = title;
}

bool WindowOutput::Close(std::string*) {
    if (!videoStarted_) return true;
    if (window_) RemoveQuitSignals();
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
    videoStarted_ = false;
    return true;
}
