// Building an InitRecord from a page element.
#include "page/element_record.h"

#include <cctype>
#include <cstdlib>

#include "page/colour.h"
#include "page/url.h"

namespace {

constexpr int kMaxPixels = 16384;

std::string UpperCase(std::string s) {
    for (char& c : s) c = char(toupper(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

void ElementRecord::ReadColour(const PageElement& element, std::initializer_list<const char*> names,
                               COLORREF* out) {
    for (const char* name : names) {
        const std::string* value = element.Find(name);
        if (value == nullptr) continue;
        if (ParseColour(*value, out)) return;
        warnings_.push_back(ShownAttribute(name, *value) + " is not a colour; ignored");
    }
}

bool ParsePixels(const std::string& text, int* out) {
    size_t i = 0;
    while (i < text.size() && isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i == text.size() || !isdigit(static_cast<unsigned char>(text[i]))) return false;
    long value = 0;
    while (i < text.size() && isdigit(static_cast<unsigned char>(text[i]))) {
        value = value * 10 + (text[i] - '0');
        if (value > kMaxPixels) return false;
        ++i;
    }
    std::string rest = text.substr(i);
    while (!rest.empty() && isspace(static_cast<unsigned char>(rest.back()))) rest.pop_back();
    if (!rest.empty() && rest != "px") return false;
    if (value < 1) return false;
    *out = int(value);
    return true;
}

ElementRecord::ElementRecord(const PageElement& element, const ElementDefaults& defaults) {
    record_.size = 48;
    if (const std::string* type = element.Find("type")) type_ = *type;
    CopyAttributes(element);
    ReadSize(element);
    ReadColours(element, defaults);
    if (const std::string* dataFile = element.Find("datafile")) {
        if (!dataFile->empty()) {
            dataFile_ = ResolvePath(defaults.pageDirectory, *dataFile);
            record_.dataFile = dataFile_.data();
        }
    }
    record_.typeName = type_.empty() ? nullptr : type_.data();
    record_.mode = 0;
}

// Names go upper-case, as the components' own documentation writes them;
// the components compare them without regard to case anyway.
void ElementRecord::CopyAttributes(const PageElement& element) {
    for (const PageAttribute& attribute : element.attributes) {
        names_.push_back(UpperCase(attribute.name));
        values_.push_back(attribute.value);
    }
    for (size_t i = 0; i < names_.size(); ++i) {
        namePointers_.push_back(names_[i].data());
        valuePointers_.push_back(values_[i].data());
    }
    // A null entry after the last pair, as the framework's own copies have.
    namePointers_.push_back(nullptr);
    valuePointers_.push_back(nullptr);
    record_.attrCount = int32_t(names_.size());
    record_.attrNames = namePointers_.data();
    record_.attrValues = valuePointers_.data();
}

bool ElementRecord::ReadPixels(const PageElement& element, const char* name, int32_t* out) {
    const std::string* text = element.Find(name);
    if (text == nullptr) return false;
    int value = 0;
    if (ParsePixels(*text, &value)) {
        *out = value;
        return true;
    }
    warnings_.push_back(ShownAttribute(name, *text) + " is not a size in whole pixels from 1 to " +
                        std::to_string(kMaxPixels) + "; ignored");
    return false;
}

void ElementRecord::ReadSize(const PageElement& element) {
    hasWidth_ = ReadPixels(element, "width", &record_.width);
    hasHeight_ = ReadPixels(element, "height", &record_.height);
    // A size the page fixed is final: the component may not ask for another.
    record_.fixedSize = hasWidth_ && hasHeight_ ? 1 : 0;
}

void ElementRecord::ReadColours(const PageElement& element, const ElementDefaults& defaults) {
    record_.backColor = defaults.background;
    record_.textColor = defaults.text;
    ReadColour(element, {"bgcolor", "backcolor", "background"}, &record_.backColor);
    ReadColour(element, {"textcolor", "color", "fgcolor"}, &record_.textColor);
}

void ElementRecord::SetSizeDefaults(int width, int height) {
    if (!hasWidth_) record_.width = width;
    if (!hasHeight_) record_.height = height;
}
