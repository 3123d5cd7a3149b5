// The layer's PNG encoder into a StagedFile.
#include "output/png_file.h"

#include "output/staged_file.h"

namespace {

BOOL WriteToStagedFile(void* file, const void* data, size_t size) {
    return static_cast<StagedFile*>(file)->Write(data, size);
}

}  // namespace

bool WritePngFile(const QpmPixels& pixels, const std::string& path, std::string* error) {
    if (pixels.bgrx == nullptr || pixels.width <= 0 || pixels.height <= 0) {
        *error = "the page has no pixels (" + std::to_string(pixels.width) + " x " +
                 std::to_string(pixels.height) + ") to write to " + path;
        return false;
    }
    StagedFile file(path);
    if (!file.Open(error)) return false;
    if (!QpmEncodePng(&pixels, &WriteToStagedFile, &file) && !file.failed()) {
        *error = "cannot write " + path + ": the PNG encoder failed";
        return false;
    }
    return file.Commit(error);
}
