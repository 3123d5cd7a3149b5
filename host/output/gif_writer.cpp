// GIF89a frames through giflib.
#include "output/gif_writer.h"

#include <algorithm>

namespace {

// The most colours a palette gets: one entry stays free for transparency.
constexpr int kMostColours = 255;
// The global colour table has every entry from the start (the last one
// transparent), after "GIF89a" and the logical screen descriptor.
constexpr int kGlobalTableSize = 256;
constexpr uint64_t kGlobalTableOffset = 6 + 7;
// New colours are reduced to what this quality needs (libimagequant's
// 0 to 100) rather than to every free entry, so that colours of later
// frames still find some.
constexpr int kExtensionQuality = 95;
// A frame whose colours are this near to the shared palette (squared RGB
// distance: 8 in each channel) fits it, however exact the first frame was.
constexpr int kLeastTolerance = 3 * 8 * 8;

int WriteToFile(GifFileType* gif, const GifByteType* data, int size) {
    auto* file = static_cast<StagedFile*>(gif->UserData);
    return file->Write(data, size_t(size)) ? size : 0;
}

// A colour table of 2^n entries (at least `least`) holding the palette
// and a spare entry after it; the last is the frame's transparent one.
ColorMapObject* MakeColourTable(const std::vector<uint32_t>& colours, int* transparent,
                                int least = 2) {
    int size = least;
    while (size < int(colours.size()) + 1) size *= 2;
    ColorMapObject* table = GifMakeMapObject(size, nullptr);
    if (table == nullptr) return nullptr;
    for (int i = 0; i < size; ++i) {
        const uint32_t c = i < int(colours.size()) ? colours[size_t(i)] : 0;
        table->Colors[i] = GifColorType{GifByteType(c >> 16), GifByteType(c >> 8), GifByteType(c)};
    }
    *transparent = size - 1;
    return table;
}

// NETSCAPE2.0 application extension: loop for ever.
bool PutLoopForEver(GifFileType* gif) {
    const GifByteType loop[] = {1, 0, 0};
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof loop, loop) == GIF_OK &&
           EGifPutExtensionTrailer(gif) == GIF_OK;
}

}  // namespace

GifWriter::~GifWriter() {
    if (gif_ != nullptr) EGifCloseFile(gif_, nullptr);
}

bool GifWriter::Failed(std::string* error) {
    // A failed write is the likelier cause, and the file knows its reason.
    if (file_->failed())
        *error = file_->Error();
    else
        *error = "cannot encode the GIF " + file_->path() +
                 (gif_ ? std::string(": ") + GifErrorString(gif_->Error) : std::string());
    return false;
}

bool GifWriter::BeginFile(const RgbImage& first, std::string* error) {
    int code = 0;
    gif_ = EGifOpen(file_, &WriteToFile, &code);
    if (gif_ == nullptr) {
        *error = std::string("cannot start the GIF ") + file_->path() + ": " + GifErrorString(code);
        return false;
    }
    EGifSetGifVersion(gif_, true);
    const PixelRect whole{0, 0, first.width, first.height};
    if (!shared_.Quantize(first, whole, kMostColours)) {
        *error = "cannot reduce the colours of the first frame for " + file_->path();
        return false;
    }
    int transparent = 0;
    ColorMapObject* table = MakeColourTable(shared_.colours(), &transparent, kGlobalTableSize);
    const bool begun = table != nullptr &&
                       EGifPutScreenDesc(gif_, first.width, first.height, 8, 0, table) == GIF_OK &&
                       PutLoopForEver(gif_);
    GifFreeMapObject(table);
    if (!begun) return Failed(error);
    // The quantizer's own error on the first frame is what later frames may have too.
    sharedTolerance_ = kLeastTolerance;
    for (int y = 0; y < first.height; ++y) {
        for (int x = 0; x < first.width; ++x) {
            int distance = 0;
            shared_.Nearest(first.At(x, y), &distance);
            sharedTolerance_ = std::max(sharedTolerance_, distance);
        }
    }
    return true;
}

bool GifWriter::FitsSharedPalette(const RgbImage& frame, const PixelRect& rect) {
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
        for (int x = rect.x; x < rect.x + rect.width; ++x) {
            int distance = 0;
            shared_.Nearest(frame.At(x, y), &distance);
            if (distance > sharedTolerance_) return false;
        }
    }
    return true;
}

// New colours of the frame's changed pixels, reduced to the free entries.
bool GifWriter::ExtendSharedPalette(const RgbImage& frame, const PixelRect& rect) {
    const int free = kMostColours - int(shared_.colours().size());
    if (free <= 0) return false;
    RgbImage far;
    far.height = 1;
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
        for (int x = rect.x; x < rect.x + rect.width; ++x) {
            int distance = 0;
            shared_.Nearest(frame.At(x, y), &distance);
            if (distance <= sharedTolerance_) continue;
            const uint8_t* p = frame.Pixel(x, y);
            far.rgb.insert(far.rgb.end(), p, p + 3);
        }
    }
    far.width = int(far.rgb.size() / 3);
    GifPalette more;
    if (far.width == 0 ||
        !more.Quantize(far, PixelRect{0, 0, far.width, 1}, std::max(2, free), kExtensionQuality))
        return false;
    std::vector<uint32_t> added = more.colours();
    if (int(added.size()) > free) added.resize(size_t(free));
    shared_.Extend(added);
    return WriteSharedPalette() && FitsSharedPalette(frame, rect);
}

bool GifWriter::WriteSharedPalette() {
    std::vector<uint8_t> table(size_t(kGlobalTableSize) * 3, 0);
    for (size_t i = 0; i < shared_.colours().size(); ++i) {
        const uint32_t c = shared_.colours()[i];
        table[i * 3] = uint8_t(c >> 16), table[i * 3 + 1] = uint8_t(c >> 8),
                  table[i * 3 + 2] = uint8_t(c);
    }
    return file_->WriteAt(kGlobalTableOffset, table.data(), table.size());
}

bool GifWriter::PutFrame(const RgbImage& frame, const PixelRect& rect, GifPalette& palette,
                         bool localPalette, std::string* error) {
    int transparent = kGlobalTableSize - 1;
    ColorMapObject* table = nullptr;
    if (localPalette) {
        table = MakeColourTable(palette.colours(), &transparent);
        if (table == nullptr) return Failed(error);
    }
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;                 // the next frame is drawn over this one
    control.DelayTime = std::max(1, (frameMs_ + 5) / 10);  // hundredths of a second
    control.TransparentColor = frames_ > 0 ? transparent : NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    bool written = EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK &&
                   EGifPutImageDesc(gif_, rect.x, rect.y, rect.width, rect.height, false,
                                    localPalette ? table : nullptr) == GIF_OK;
    if (table) GifFreeMapObject(table);
    std::vector<GifPixelType> row(size_t(rect.width));
    for (int y = rect.y; written && y < rect.y + rect.height; ++y) {
        for (int x = rect.x; x < rect.x + rect.width; ++x) {
            const uint32_t rgb = frame.At(x, y);
            const bool unchanged = frames_ > 0 && previous_.At(x, y) == rgb;
            row[size_t(x - rect.x)] = unchanged ? GifPixelType(transparent) : palette.Nearest(rgb);
        }
        written = EGifPutLine(gif_, row.data(), rect.width) == GIF_OK;
    }
    return written || Failed(error);
}

bool GifWriter::AddFrame(const RgbImage& frame, std::string* error) {
    if (frames_ == 0 && !BeginFile(frame, error)) return false;
    PixelRect rect{0, 0, frame.width, frame.height};
    if (frames_ > 0) {
        rect = ChangedRect(previous_, frame);
        // A frame must cover a pixel at least: an unchanged, transparent one will do.
        if (rect.Empty()) rect = PixelRect{0, 0, 1, 1};
    }
    bool written;
    if (FitsSharedPalette(frame, rect) || ExtendSharedPalette(frame, rect)) {
        written = PutFrame(frame, rect, shared_, false, error);
    } else {
        GifPalette own;
        if (!own.Quantize(frame, rect, kMostColours)) {
            *error = "cannot reduce the colours of a frame for " + file_->path();
            return false;
        }
        written = PutFrame(frame, rect, own, true, error);
    }
    if (!written) return false;
    ++frames_;
    previous_ = frame;
    return true;
}

bool GifWriter::Finish(std::string* error) {
    if (gif_ == nullptr) return Failed(error);
    int code = 0;
    const bool closed = EGifCloseFile(gif_, &code) == GIF_OK;
    gif_ = nullptr;
    if (closed) return true;
    if (file_->failed()) {
        *error = file_->Error();
        return false;
    }
    *error = std::string("cannot finish the GIF ") + file_->path() + ": " + GifErrorString(code);
    return false;
}
