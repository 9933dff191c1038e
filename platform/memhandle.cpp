// The handle table. A handle packs a slot index (low 20 bits) and a generation count (high 12
// bits, never 0), so a freed or forged handle is told apart from a live one.
#include "platform/memhandle.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

constexpr uint32_t kIndexBits = 20;
constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;
constexpr uint32_t kGenerationMask = 0xFFFu;
constexpr size_t kMaxBlockBytes = size_t(2) << 30; // 2 GiB per block
constexpr uint32_t kErrorInvalidHandle = 6;

struct Slot {
    void* block = nullptr;
    size_t bytes = 0;
    int locks = 0;
    uint32_t generation = 1;
    bool live = false;
};

struct Table {
    std::mutex mutex;
    std::vector<Slot> slots{1}; // slot 0 is never used, so no handle is 0
    std::vector<uint32_t> freeSlots;
    size_t live = 0;
};

Table& table() {
    static Table* t = new Table; // never destroyed: plug-ins may free after static teardown began
    return *t;
}

thread_local uint32_t lastError = 0;

Slot* find(Table& t, HGLOBAL32 h) {
    const uint32_t index = h & kIndexMask;
    const uint32_t generation = h >> kIndexBits;
    if (index == 0 || index >= t.slots.size()) return nullptr;
    Slot& s = t.slots[index];
    if (!s.live || s.generation != generation) return nullptr;
    return &s;
}

void* failInvalid() {
    lastError = kErrorInvalidHandle;
    return nullptr;
}

} // namespace

extern "C" {

HGLOBAL32 GlobalAlloc(uint32_t flags, size_t bytes) {
    lastError = 0;
    if (bytes > kMaxBlockBytes) return 0;
    // Never hand out a null block, even for 0 bytes, so a lock of a live handle always succeeds.
    void* block = (flags & GMEM_ZEROINIT_FLAG) ? std::calloc(1, bytes ? bytes : 1)
                                               : std::malloc(bytes ? bytes : 1);
    if (!block) return 0;
    Table& t = table();
    std::lock_guard lock(t.mutex);
    uint32_t index;
    if (!t.freeSlots.empty()) {
        index = t.freeSlots.back();
        t.freeSlots.pop_back();
    } else {
        if (t.slots.size() > kIndexMask) {
            std::free(block);
            return 0;
        }
        index = static_cast<uint32_t>(t.slots.size());
        t.slots.emplace_back();
    }
    Slot& s = t.slots[index];
    s.block = block;
    s.bytes = bytes;
    s.locks = 0;
    s.live = true;
    ++t.live;
    return (s.generation << kIndexBits) | index;
}

void* GlobalLock(HGLOBAL32 handle) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    Slot* s = find(t, handle);
    if (!s) return failInvalid();
    lastError = 0;
    ++s->locks;
    return s->block;
}

int GlobalUnlock(HGLOBAL32 handle) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    Slot* s = find(t, handle);
    if (!s) {
        failInvalid();
        return 0;
    }
    lastError = 0;
    if (s->locks > 0) --s->locks;
    return s->locks;
}

HGLOBAL32 GlobalFree(HGLOBAL32 handle) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    Slot* s = find(t, handle);
    if (!s) {
        failInvalid();
        return handle;
    }
    lastError = 0;
    std::free(s->block);
    s->block = nullptr;
    s->bytes = 0;
    s->locks = 0;
    s->live = false;
    s->generation = (s->generation % kGenerationMask) + 1; // 1..4095, never 0
    t.freeSlots.push_back(handle & kIndexMask);
    --t.live;
    return 0;
}

size_t GlobalSize(HGLOBAL32 handle) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    Slot* s = find(t, handle);
    if (!s) {
        failInvalid();
        return 0;
    }
    lastError = 0;
    return s->bytes;
}

int GlobalLockCount(HGLOBAL32 handle) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    Slot* s = find(t, handle);
    return s ? s->locks : -1;
}

size_t GlobalLiveHandles(void) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    return t.live;
}

uint32_t GlobalLastError(void) {
    return lastError;
}

} // extern "C"
