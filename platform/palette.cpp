#include "platform/palette.h"

#include <atomic>
#include <mutex>

namespace platform {
namespace {

std::atomic<size_t> livePalettes{0};

struct Log {
    std::mutex mutex;
    std::vector<PaletteEvent> events;
};

Log& TheLog() {
    static Log log;
    return log;
}

void Record(PaletteEvent event) {
    std::lock_guard lock(TheLog().mutex);
    TheLog().events.push_back(std::move(event));
}

} // namespace

Palette::Palette(std::vector<PaletteEntry> entries) : entries_(std::move(entries)) {
    ++livePalettes;
}

Palette::~Palette() {
    --livePalettes;
}

HPALETTE CreatePalette(const LogPalette& logPalette) {
    if (logPalette.palVersion != kLogPaletteVersion) return nullptr;
    if (logPalette.palPalEntry.empty() || logPalette.palPalEntry.size() > kMaxPaletteEntries)
        return nullptr;
    return std::make_shared<Palette>(logPalette.palPalEntry);
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, bool forceBackground) {
    if (!dc) return nullptr;
    HPALETTE displaced = dc->SelectedPalette();
    Record(
        {PaletteEvent::Select, dc->Label(), dc, palette.get(), displaced.get(), forceBackground});
    dc->SetSelectedPalette(std::move(palette));
    return displaced;
}

uint32_t RealizePalette(HDC dc) {
    if (!dc) return 0;
    const HPALETTE& selected = dc->SelectedPalette();
    const auto entries = selected ? static_cast<uint32_t>(selected->Entries().size()) : 0u;
    dc->SetRealizedEntries(entries);
    Record({PaletteEvent::Realize, dc->Label(), dc, selected.get(), nullptr, false});
    return entries;
}

bool DeleteObject(HPALETTE& palette) {
    if (!palette) return false;
    palette.reset();
    return true;
}

size_t LivePalettes() {
    return livePalettes.load();
}

const std::vector<PaletteEvent>& PaletteLog() {
    return TheLog().events;
}

void ClearPaletteLog() {
    std::lock_guard lock(TheLog().mutex);
    TheLog().events.clear();
}

} // namespace platform
