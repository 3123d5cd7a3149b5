// QpmWritePng for the Windows builds of the tests: a plain PNG writer
// (8-bit RGB, the image data in stored, uncompressed deflate blocks), so
// the tests need no image library there.
#include <qpm_platform.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

uint32_t Adler32(const std::string& bytes) {
    uint32_t a = 1, b = 0;
    for (unsigned char c : bytes) {
        a = (a + c) % 65521u;
        b = (b + a) % 65521u;
    }
    return (b << 16) | a;
}

void PutBig32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += char((v >> shift) & 0xFF);
}

void PutChunk(std::string& file, const char type[4], const std::string& data) {
    PutBig32(file, uint32_t(data.size()));
    std::string typed = std::string(type, 4) + data;
    file += typed;
    PutBig32(file, Crc32(typed));
}

// The zlib stream of `raw` in stored blocks of at most 65535 bytes.
std::string StoredZlib(const std::string& raw) {
    std::string out("\x78\x01", 2);
    size_t at = 0;
    do {
        size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        bool last = at + n == raw.size();
        out += char(last ? 1 : 0);
        out += char(n & 0xFF), out += char(n >> 8);
        out += char(~n & 0xFF), out += char((~n >> 8) & 0xFF);
        out.append(raw, at, n);
        at += n;
    } while (at < raw.size());
    PutBig32(out, Adler32(raw));
    return out;
}

// Each row: filter byte 0, then R, G, B per pixel.
std::string Scanlines(const QpmPixels& px) {
    std::string raw;
    raw.reserve(size_t(px.height) * (1 + size_t(px.width) * 3));
    for (int y = 0; y < px.height; ++y) {
        raw += '\0';
        const unsigned char* row = px.bgrx + size_t(y) * px.stride;
        for (int x = 0; x < px.width; ++x)
            raw += char(row[x * 4 + 2]), raw += char(row[x * 4 + 1]), raw += char(row[x * 4]);
    }
    return raw;
}

}  // namespace

BOOL QpmWritePng(const QpmPixels* pixels, LPCSTR path) {
    if (!pixels || !pixels->bgrx || pixels->width <= 0 || pixels->height <= 0 || !path)
        return FALSE;
    std::string header;
    PutBig32(header, uint32_t(pixels->width));
    PutBig32(header, uint32_t(pixels->height));
    header +=
        std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
    std::string file("\x89PNG\r\n\x1a\n", 8);
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", StoredZlib(Scanlines(*pixels)));
    PutChunk(file, "IEND", "");
    FILE* f = fopen(path, "wb");
    if (!f) return FALSE;
    bool written = fwrite(file.data(), 1, file.size(), f) == file.size();
    return fclose(f) == 0 && written;
}
