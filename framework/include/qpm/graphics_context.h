// GraphicsContext: the drawing object of one paint.
//
// It wraps the device context a paint was given (the window's, an
// off-screen bitmap's or a printer's), remembers every GDI object it
// selects into it and puts the displaced objects back when destroyed, so
// the DC leaves the paint with the objects it came with. On it rest the
// operations that give the components their look: bevelled frames,
// centred text, a font from a face name and a size.
#pragma once

#include <qpm/component.h>

#include <windows.h>

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kLightGrey = 0xC0C0C0;
constexpr COLORREF kDarkGrey = 0x808080;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kBackgroundColour = COLORREF(-1);  // "use the background colour"

class GraphicsContext {
public:
    GraphicsContext(Component* owner, HDC dc);
    virtual ~GraphicsContext();

    // Light grey without a record; white while printing; else the record's backColor.
    COLORREF BackgroundColour() const;

    // A raised or sunken frame `width` pixels wide, optionally with a black
    // outline and a fill; `colour` kBackgroundColour fills with the background.
    void DrawBevel(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t width,
                   int32_t raised, int32_t outline, int32_t fill, COLORREF colour);
    void DrawBevelRect(const RECT& rect, int32_t width, int32_t raised, int32_t outline,
                       int32_t fill, COLORREF colour);

    // The extent of the first `count` characters in the selected font.
    bool MeasureText(const char* text, int32_t count, int32_t* width, int32_t* height);

    // Text centred in the rectangle; `wrap` breaks it into centred lines.
    // count -1 means the whole string.
    void DrawTextCentred(int32_t left, int32_t top, int32_t right, int32_t bottom, const char* text,
                         int32_t wrap, int32_t count);
    void DrawTextCentredRect(const RECT& rect, const char* text, int32_t wrap, int32_t count);

    // Makes and selects a font; `height` is the character height.
    bool SelectFont(const char* face, int32_t height, BYTE italic, int32_t bold, BYTE underline,
                    int32_t charset);

private:
    struct Selection {
        HGDIOBJ displaced = nullptr;
        HGDIOBJ created = nullptr;
    };
    struct BorrowedSelection {
        HGDIOBJ displaced = nullptr;
        HGDIOBJ selected = nullptr;
        bool borrowed = false;
    };
    struct Offscreen {
        HGDIOBJ displacedBitmap = nullptr;
        HBITMAP bitmap = nullptr;
        HDC memoryDC = nullptr;
    };

    const InstanceRecord* Record() const { return owner_ ? owner_->instance : nullptr; }
    void Empty(Selection& slot);
    void Empty(BorrowedSelection& slot);
    void Empty(Offscreen& slot);

    Selection first_;           // filled by no operation yet; emptied by the destructor
    BorrowedSelection second_;  // likewise
    Selection font_;
    Offscreen offscreen_;
    bool ownsDC_ = false;
    Component* owner_;
    HDC dc_;

    GraphicsContext(const GraphicsContext&) = delete;
    GraphicsContext& operator=(const GraphicsContext&) = delete;
};
