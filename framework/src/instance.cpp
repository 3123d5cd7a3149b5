// Instance set-up: the per-window record and the copy of the attributes.
#include "instance.h"

#include <qpm/component.h>
#include <qpm/module.h>
#include <qpm/plugin_bridge.h>

#include <cstdint>
#include <cstring>

namespace {

// The largest string block made: what a 32-bit size can hold. Counted
// the same way in every build, so no count makes the size wrap (on 32-bit
// an attrCount of 0x1FFFFFFF did) and none asks for a block that large.
constexpr uint64_t kLargestStringBlock = 0xFFFFFFFFu;

// The string block holds the strings first and then the two pointer
// arrays at offset S. On 32-bit S is used exactly; on 64-bit it is
// rounded up so the arrays are aligned for pointer reads.
uint64_t PointerArrayOffset(uint64_t stringBytes) {
    const uint64_t align = sizeof(void*) == 4 ? 1 : alignof(char*);
    return (stringBytes + align - 1) / align * align;
}

// How many leading pairs can be copied: up to the first null name or value.
int32_t CountCopyablePairs(const InitRecord* record, int32_t count) {
    if (record->attrNames == nullptr || record->attrValues == nullptr) return 0;
    int32_t n = 0;
    while (n < count && record->attrNames[n] != nullptr && record->attrValues[n] != nullptr) ++n;
    return n;
}

void CopyAttributes(InstanceRecord* out, const InitRecord* record, int32_t count) {
    const int32_t pairs = CountCopyablePairs(record, count);
    uint64_t stringBytes = 0;
    for (int32_t i = 0; i < pairs; ++i)
        stringBytes += strlen(record->attrNames[i]) + strlen(record->attrValues[i]) + 2;
    if (record->dataFile != nullptr) stringBytes += strlen(record->dataFile) + 1;

    const uint64_t arrays = PointerArrayOffset(stringBytes);
    const uint64_t blockSize = arrays + 2 * (uint64_t(count) + 1) * sizeof(char*);
    // A block too large to make counts as one that could not be made.
    HGLOBAL block = blockSize <= kLargestStringBlock
                        ? GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size_t(blockSize))
                        : nullptr;
    char* base = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
    if (base == nullptr) {
        if (block) GlobalFree(block);
        // Without a string block the component runs without attributes.
        out->attrCount = 0;
        out->attrNames = nullptr;
        out->attrValues = nullptr;
        out->dataFile = nullptr;
        out->stringBlock = nullptr;
        return;
    }
    out->stringBlock = base;
    out->attrNames = reinterpret_cast<char**>(base + size_t(arrays));
    out->attrValues = out->attrNames + (size_t(count) + 1);
    char* p = base;
    for (int32_t i = 0; i < pairs; ++i) {
        out->attrNames[i] = lstrcpyA(p, record->attrNames[i]);
        p += strlen(p) + 1;
        out->attrValues[i] = lstrcpyA(p, record->attrValues[i]);
        p += strlen(p) + 1;
    }
    out->attrNames[pairs] = nullptr;
    out->attrValues[pairs] = nullptr;
    out->attrCount = pairs;
    out->dataFile = record->dataFile ? lstrcpyA(p, record->dataFile) : nullptr;
}

HBITMAP MakeOffscreenBitmap(HWND window) {
    HDC dc = GetDC(window);
    RECT client{};
    GetClientRect(window, &client);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    ReleaseDC(window, dc);
    return bitmap;
}

}  // namespace

void SetUpInstance(InstanceRecord* out, HWND window, InitRecord* record, bool wantsOffscreen) {
    memset(out, 0, sizeof *out);
    out->window = window;
    if (record->mode >= kAltHostMark) {
        record->mode -= kAltHostMark;
        out->altHost = 1;
    }
    static_cast<InitRecord&>(*out) = *record;
    // A creation record cannot promise a negative number of pairs.
    const int32_t count = record->attrCount > 0 ? record->attrCount : 0;
    CopyAttributes(out, record, count);
    if (wantsOffscreen) out->offscreenBitmap = MakeOffscreenBitmap(window);
}

#if QPM_WITH_PLUGIN
void SetUpDetachedInstance(InstanceRecord* out, InitRecord* record) {
    SetUpInstance(out, nullptr, record, false);
}

void ReleaseInstanceStrings(InstanceRecord* record) { ReleaseStringBlock(record); }
#endif

void ReleaseStringBlock(InstanceRecord* record) {
    if (record->stringBlock == nullptr) return;
    HGLOBAL block = GlobalHandle(record->stringBlock);
    GlobalUnlock(block);
    GlobalFree(block);
    record->stringBlock = nullptr;
}

int32_t CreateInstance(HWND window, InitRecord* record) {
    Component* component = CreateComponent(record);
    if (component == nullptr) return 0;

    InstanceRecord local;
    SetUpInstance(&local, window, record, component->wantsOffscreen);
    local.component = component;

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(InstanceRecord));
    void* address = block ? GlobalLock(block) : nullptr;
    if (address == nullptr) {
        if (block) GlobalFree(block);
        ReleaseStringBlock(&local);
        // Nothing may outlive a failed creation: the component and its bitmap go too.
        if (local.offscreenBitmap) DeleteObject(local.offscreenBitmap);
        delete component;
        return 0;
    }
    memcpy(address, &local, sizeof local);
    GlobalUnlock(block);
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(block));
    return 1;
}

HGLOBAL InstanceBlock(HWND window) {
    return reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(window, 0));
}
