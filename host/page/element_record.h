// The creation record of one page element: the element's attributes as
// the InitRecord's name/value pairs, its data file, size and colours.
// The object owns every string the record points to, so it must outlive
// the QPMCalcSize and QPMInit calls that read the record.
#pragma once

#include <qpm/records.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "page/page.h"

// What the page gives an element that does not say for itself.
struct ElementDefaults {
    std::string pageDirectory;  // data files are relative to it
    COLORREF background = RGB(255, 255, 255);
    COLORREF text = RGB(0, 0, 0);
};

class ElementRecord {
public:
    ElementRecord(const PageElement& element, const ElementDefaults& defaults);
    ElementRecord(const ElementRecord&) = delete;
    ElementRecord& operator=(const ElementRecord&) = delete;

    InitRecord* record() { return &record_; }
    const std::string& type() const { return type_; }
    // Whether the page fixed the width or the height itself.
    bool hasWidth() const { return hasWidth_; }
    bool hasHeight() const { return hasHeight_; }
    // Fills in the size the page left open, from `width`/`height`.
    void SetSizeDefaults(int width, int height);
    // Attributes the record could not use ("width=\"50%\" is not a size
    // ...; ignored"), for the host to tell the user.
    const std::vector<std::string>& warnings() const { return warnings_; }

private:
    void CopyAttributes(const PageElement& element);
    void ReadSize(const PageElement& element);
    void ReadColours(const PageElement& element, const ElementDefaults& defaults);
    void ReadColour(const PageElement& element, std::initializer_list<const char*> names,
                    COLORREF* out);
    bool ReadPixels(const PageElement& element, const char* name, int32_t* out);

    InitRecord record_{};
    std::string type_;
    std::vector<std::string> names_;
    std::vector<std::string> values_;
    std::vector<char*> namePointers_;
    std::vector<char*> valuePointers_;
    std::string dataFile_;
    bool hasWidth_ = false;
    bool hasHeight_ = false;
    std::vector<std::string> warnings_;
};

// A pixel count from an attribute ("400", "400px"); false for anything
// else, percentages included, and for values outside 1..16384.
bool ParsePixels(const std::string& text, int* out);
