// The live window, with SDL2 (on X11 or Wayland, whichever the session
// has). The page's pixels are scaled by a whole factor only, so they
// stay sharp: the screen's scale on a HiDPI screen, and the largest
// factor that fits when the user makes the window bigger, the rest
// filled with the page's corner colour. The window is drawn again only
// when the page changed or the window was uncovered or resized. Its
// title names the page and the URL transfers running. Closing it, 'q'
// or Escape quits.
#pragma once

#include <string>
#include <vector>

#include "output/page_output.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

class WindowOutput : public PageOutput {
public:
    WindowOutput() = default;
    ~WindowOutput() override;
    WindowOutput(const WindowOutput&) = delete;
    WindowOutput& operator=(const WindowOutput&) = delete;

    bool Available(std::string* error) override;
    bool Open(int width, int height, const std::string& title, std::string* error) override;
    void Show(const QpmPixels& pixels) override;
    bool Close(std::string* error) override;

    bool Live() const override { return true; }
    std::vector<int> EventDescriptors() const override;
    bool HandleEvents() override;
    void ShowTransfers(const std::vector<TransferStatus>& transfers) override;

private:
    bool StartVideo(std::string* error);
    int ScaleFor(int width, int height) const;
    bool MakeTexture(int width, int height);
    void Present();

    bool videoStarted_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int width_ = 0, height_ = 0;  // the page's, in pixels
    uint32_t border_ = 0;         // 0xRRGGBB around the page when the window is larger
    int connection_ = -1;         // the display server's socket
    std::string title_, titleShown_;
};
