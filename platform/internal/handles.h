// A table of objects reached through opaque handles.
//
// A handle is never an address: it packs a type tag, a generation count
// and a slot index into a positive 31-bit value, so a stale handle (its
// slot reused since) or a handle of another type is recognised and
// refused instead of followed. Values start above 0x10000000, so every
// handle is above 32 and fits in a 32-bit field as Win32 handles do.
#pragma once

#include <qpm_check.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace qpm {

enum class HandleTag : uint32_t {
    Window = 1,
    GdiObject = 2,
    DeviceContext = 3,
    GlobalMemory = 4,
    Module = 5,
    File = 6,
};

template <class T>
class HandleTable {
public:
    explicit HandleTable(HandleTag tag) : tag_(static_cast<uint32_t>(tag)) {}

    // Stores the object and returns its handle value (never 0).
    uintptr_t Add(std::unique_ptr<T> object) {
        uint32_t index;
        if (!free_.empty()) {
            index = free_.back();
            free_.pop_back();
            QPM_CHECK(!slots_[index].object, "a free handle slot still holds an object");
        } else {
            index = static_cast<uint32_t>(slots_.size());
            QPM_CHECK(index < kIndexMask, "more handles than a table can number");
            slots_.push_back(Slot{});
        }
        Slot& slot = slots_[index];
        slot.object = std::move(object);
        return Encode(index, slot.generation);
    }

    // The live object of that handle, or nullptr when the handle is
    // null, of another type, stale or out of range.
    T* Get(uintptr_t handle) const {
        uint32_t index;
        if (!Decode(handle, &index)) return nullptr;
        return slots_[index].object.get();
    }

    // Takes the object out; the handle is dead from now on.
    std::unique_ptr<T> Remove(uintptr_t handle) {
        uint32_t index;
        if (!Decode(handle, &index) || !slots_[index].object) return nullptr;
        Slot& slot = slots_[index];
        std::unique_ptr<T> object = std::move(slot.object);
        slot.generation = (slot.generation + 1) & kGenerationMask;
        free_.push_back(index);
        return object;
    }

    // Calls fn(handle, object&) for every live object, in slot order.
    template <class Fn>
    void ForEach(Fn&& fn) const {
        for (uint32_t i = 0; i < slots_.size(); ++i)
            if (slots_[i].object) fn(Encode(i, slots_[i].generation), *slots_[i].object);
    }

    size_t Count() const { return slots_.size() - free_.size(); }

    static bool HasTag(uintptr_t handle, HandleTag tag) {
        return (handle >> kTagShift) == static_cast<uint32_t>(tag) && (handle & kIndexMask) != 0;
    }

private:
    static constexpr uint32_t kIndexBits = 20;
    static constexpr uint32_t kGenerationBits = 8;
    static constexpr uint32_t kTagShift = kIndexBits + kGenerationBits;
    static constexpr uintptr_t kIndexMask = (1u << kIndexBits) - 1;
    static constexpr uint32_t kGenerationMask = (1u << kGenerationBits) - 1;

    struct Slot {
        std::unique_ptr<T> object;
        uint32_t generation = 0;
    };

    uintptr_t Encode(uint32_t index, uint32_t generation) const {
        return (uintptr_t(tag_) << kTagShift) | (uintptr_t(generation) << kIndexBits) |
               uintptr_t(index + 1);
    }

    bool Decode(uintptr_t handle, uint32_t* index) const {
        if ((handle >> kTagShift) != tag_) return false;
        uintptr_t slot = handle & kIndexMask;
        if (slot == 0 || slot > slots_.size()) return false;
        *index = static_cast<uint32_t>(slot - 1);
        uint32_t generation = (handle >> kIndexBits) & kGenerationMask;
        return slots_[*index].generation == generation;
    }

    uint32_t tag_;
    std::vector<Slot> slots_;
    std::vector<uint32_t> free_;
};

}  // namespace qpm
