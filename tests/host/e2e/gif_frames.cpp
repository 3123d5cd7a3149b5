// Composing a GIF's frames with giflib's reader.
#include "host/e2e/gif_frames.h"

#include <gif_lib.h>

#include <cstring>

namespace {

void Compose(const SavedImage& image, const ColorMapObject* table, int transparent, GifMovie* movie,
             GifFrame* frame) {
    const GifImageDesc& d = image.ImageDesc;
    for (int y = 0; y < d.Height; ++y) {
        for (int x = 0; x < d.Width; ++x) {
            const int index = image.RasterBits[size_t(y) * d.Width + x];
            const int sx = d.Left + x, sy = d.Top + y;
            if (index == transparent || sx >= movie->width || sy >= movie->height) continue;
            const GifColorType c = table->Colors[index];
            frame->screen[size_t(sy) * movie->width + sx] =
                uint32_t(c.Red) << 16 | uint32_t(c.Green) << 8 | c.Blue;
        }
    }
}

}  // namespace

bool ReadGif(const std::string& path, GifMovie* movie, std::string* error) {
    int code = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &code);
    if (gif == nullptr) {
        *error = GifErrorString(code);
        return false;
    }
    if (DGifSlurp(gif) != GIF_OK) {
        *error = GifErrorString(gif->Error);
        DGifCloseFile(gif, &code);
        return false;
    }
    movie->width = gif->SWidth;
    movie->height = gif->SHeight;
    movie->globalColours = gif->SColorMap ? gif->SColorMap->ColorCount : 0;
    std::vector<uint32_t> screen(size_t(gif->SWidth) * gif->SHeight, 0);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        for (int e = 0; e < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock& block = image.ExtensionBlocks[e];
            if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
                memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0)
                movie->loops = true;
        }
        GraphicsControlBlock control{};
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, i, &control);
        GifFrame frame;
        frame.delayHundredths = control.DelayTime;
        frame.localPalette = image.ImageDesc.ColorMap != nullptr;
        frame.x = image.ImageDesc.Left;
        frame.y = image.ImageDesc.Top;
        frame.width = image.ImageDesc.Width;
        frame.height = image.ImageDesc.Height;
        frame.screen = screen;
        const ColorMapObject* table =
            frame.localPalette ? image.ImageDesc.ColorMap : gif->SColorMap;
        if (table) Compose(image, table, control.TransparentColor, movie, &frame);
        // Disposal "none" or "do not dispose" keeps the picture for the next frame.
        if (control.DisposalMode <= DISPOSE_DO_NOT) screen = frame.screen;
        movie->frames.push_back(std::move(frame));
    }
    DGifCloseFile(gif, &code);
    return true;
}
