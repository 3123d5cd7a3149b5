// MessageTicker: one line of text moving right to left across its
// window, again and again, in a chosen font, with an optional sunken
// border. The text comes from the "TEXT" attribute, from a data file, or
// from the "SRC" URL delivered as a stream.
#pragma once

#include <qpm/component.h>

#include <cstdint>

class MessageTicker : public Component {
public:
    static constexpr UINT_PTR kScrollTimer = 1;
    static constexpr UINT kScrollPeriod = 150;  // ms
    static constexpr int32_t kSlideStep = 8;    // pixels per tick while sliding in
    static constexpr int32_t kStartGap = 8;     // from the right edge; doubled with a border
    static constexpr int32_t kBorderInset = 4;  // text area inset on each side with a border
    static constexpr int32_t kBevelWidth = 2;
    static constexpr int32_t kTextAttributeSize = 512;
    static constexpr int32_t kFaceNameLength = 31;
    static constexpr int32_t kDefaultFontSize = 12;
    // "SIZE" counts from 0 to this many pixels. A ticker shows one line:
    // 1000 pixels is taller than any screen it is shown on, keeps the
    // default window (at most 1008 high) and every position the paint
    // works out far inside 32 bits, and bounds the glyphs that each paint
    // rasterises anew (a font is made for every tick).
    static constexpr int32_t kLargestFontSize = 1000;
    // The most text a ticker holds: 16 MiB. A data file larger than this
    // is refused, and a stream is closed once the text has reached it;
    // either way with a warning (OutputDebugStringA). At one character
    // per tick, 16 MiB take a month to scroll by.
    static constexpr int32_t kLargestText = 16 << 20;

    MessageTicker();
    ~MessageTicker() override;

    int32_t Start() override;
    void Reset() override;
    void Stop() override;
    void OnTimer(UINT_PTR id) override;
    DataStream* CreateStream(const char* url) override;
    void Paint(HDC dc) override;

    // Appends `count` bytes (0: the NUL-terminated string), white space
    // becoming spaces. 1 on success, 0 when not all of them could be
    // added: no memory (the text then stays as it was), or the text
    // reached kLargestText (what fitted was added).
    int32_t AppendText(const char* bytes, int32_t count);
    bool TextFull() const { return textLength >= kLargestText; }
    // Replaces the text by a file's content; true when there is a text.
    bool LoadTextFile(const char* path);
    // Asks for the "SRC" URL as a stream; true when the text will arrive on one.
    bool RequestSource();
    // Starts the cycle again from the right edge and (re)arms the timer.
    void Restart();
    // The end or failure of the text's stream: start showing what arrived.
    void OnTextComplete();

    int32_t firstChar;   // byte index of the first character drawn
    int32_t textLength;  // bytes of text, terminator not counted
    HGLOBAL textBlock;   // movable block of textLength + 2 bytes
    char* text;          // textBlock's locked address; non-null exactly while there is text
    int32_t offsetX;     // pixels from the text area's left edge to the first character
    bool active;         // false while the text is still arriving on a stream
    char faceName[64];
    int32_t fontSize;  // character height in pixels, 0 to kLargestFontSize
    bool showBorder;

    // The "SIZE" attribute: kDefaultFontSize when missing or empty, else
    // its value counted from 0 up to kLargestFontSize.
    static int32_t ReadFontSize(const InstanceRecord* record);

private:
    void ReadSettings();
    void WarnOfClampedSize() const;
    int32_t StartOffset() const;
    void FreeText();
};
