// ColourBars: a component that paints the colours of its COLOURS
// attribute as vertical bars of equal width inside a raised frame. A
// complete component library in one file, built outside the QPM tree
// against the installed SDK (see CMakeLists.txt).
#include <qpm/attributes.h>
#include <qpm/component.h>
#include <qpm/graphics_context.h>
#include <qpm/module.h>

#include <cctype>
#include <cstdlib>
#include <new>

namespace {

constexpr int kMaxBars = 16;
constexpr int kFrameWidth = 2;
constexpr int kDefaultBarWidth = 40;
constexpr int kDefaultHeight = 40;
const char kDefaultColours[] = "#ff0000 #00ff00 #0000ff";

bool IsHexDigit(char c) { return isxdigit(static_cast<unsigned char>(c)) != 0; }

// "#rrggbb" entries, separated by anything else; up to kMaxBars of them.
int ParseColours(const char* list, COLORREF* colours) {
    int count = 0;
    for (const char* p = list; *p != '\0' && count < kMaxBars; ++p) {
        if (*p != '#') continue;
        int digits = 0;
        while (digits < 7 && IsHexDigit(p[1 + digits])) ++digits;
        if (digits != 6) continue;
        const unsigned long rgb = strtoul(p + 1, nullptr, 16);
        colours[count++] = RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF);
        p += 6;
    }
    return count;
}

// The bars' colours: COLOURS when it names any, else red, green and blue.
int ReadColours(const InstanceRecord* record, COLORREF* colours) {
    char list[256];
    int count = 0;
    if (GetAttribute(record, "COLOURS", list, sizeof list)) count = ParseColours(list, colours);
    return count > 0 ? count : ParseColours(kDefaultColours, colours);
}

class ColourBars : public Component {
public:
    void Paint(HDC dc) override {
        RECT client{};
        GetClientRect(instance->window, &client);
        GraphicsContext graphics(this, dc);
        graphics.DrawBevelRect(client, kFrameWidth, /*raised=*/1, /*outline=*/0, /*fill=*/0,
                               kBackgroundColour);

        COLORREF colours[kMaxBars];
        const int count = ReadColours(instance, colours);
        const int left = client.left + kFrameWidth, right = client.right - kFrameWidth;
        for (int i = 0; i < count; ++i) {
            // Integer edges, so the bars meet exactly and the last one ends at the frame.
            RECT bar{left + (right - left) * i / count, client.top + kFrameWidth,
                     left + (right - left) * (i + 1) / count, client.bottom - kFrameWidth};
            HBRUSH brush = CreateSolidBrush(colours[i]);
            FillRect(dc, &bar, brush);
            DeleteObject(brush);
        }
    }
};

}  // namespace

// The framework's three hooks: the window class's name, the component
// object, and the size the component asks for when the page gives none.
const char ComponentName[] = "ColourBars";

Component* CreateComponent(InitRecord*) { return new (std::nothrow) ColourBars; }

int32_t CalcComponentSize(InitRecord* record) {
    InstanceRecord view;
    ViewInitRecord(&view, record);
    COLORREF colours[kMaxBars];
    record->width = ReadColours(&view, colours) * kDefaultBarWidth + 2 * kFrameWidth;
    record->height = kDefaultHeight;
    return 1;
}
