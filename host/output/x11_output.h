// The live X11 output: a window of the page's size showing each new
// picture with XPutImage, redrawn on Expose; closing the window, 'q' or
// Escape quits.
#pragma once

#include <X11/Xlib.h>

#include <vector>

#include "output/page_output.h"

class X11Output : public PageOutput {
public:
    X11Output() = default;
    ~X11Output() override;

    bool Available(std::string* error) override;
    bool Open(int width, int height, const std::string& title, std::string* error) override;
    void Show(const QpmPixels& pixels) override;
    bool Close(std::string* error) override;

    bool Live() const override { return true; }
    std::vector<int> EventDescriptors() const override;
    bool HandleEvents() override;

private:
    bool OpenDisplay(std::string* error);
    bool MakeImage(int width, int height);
    void Redraw();

    ::Display* display_ = nullptr;
    Window window_ = 0;
    GC gc_ = nullptr;
    Atom deleteWindow_ = 0;
    XImage* image_ = nullptr;
    int width_ = 0, height_ = 0;
};
