// The drawing objects a metafile creates and selects, and the tables that hold them.
#pragma once

#include "vcl/metafile/limits.h"

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QString>

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <variant>
#include <vector>

namespace vcl::metafile {

enum PenStyle : int {
    kPsSolid = 0,
    kPsDash = 1,
    kPsDot = 2,
    kPsDashDot = 3,
    kPsDashDotDot = 4,
    kPsNull = 5,
    kPsInsideFrame = 6,
    kPsUserStyle = 7,
    kPsAlternate = 8
};
inline constexpr uint32_t kPsStyleMask = 0x0F;
inline constexpr uint32_t kPsEndCapMask = 0x0F00;
inline constexpr uint32_t kPsEndCapSquare = 0x0100;
inline constexpr uint32_t kPsEndCapFlat = 0x0200;
inline constexpr uint32_t kPsJoinMask = 0xF000;
inline constexpr uint32_t kPsJoinBevel = 0x1000;
inline constexpr uint32_t kPsJoinMiter = 0x2000;

struct Pen {
    uint32_t style = kPsSolid; // style, end cap and join bits
    double width = 0;          // logical units; 0 is one device pixel
    QColor color = Qt::black;
    std::vector<double> dashes; // user style, in logical units
};

enum BrushStyle : int { kBsSolid = 0, kBsNull = 1, kBsHatched = 2, kBsPattern = 3 };

struct Brush {
    int style = kBsSolid;
    QColor color = Qt::white;
    int hatch = 0;
    QImage pattern; // pattern brushes
};

struct Font {
    int height = 0; // logical units: negative = character height, positive = cell height
    int width = 0;
    int escapement = 0; // tenths of a degree, counter-clockwise
    int weight = 400;
    bool italic = false, underline = false, strikeOut = false;
    uint8_t charset = 1;
    QString face;
};

// A region in logical units (WMF) or page units (EMF); stored as a path.
struct Region {
    QPainterPath area;
};

struct Palette {};

using GdiObject = std::variant<Pen, Brush, Font, Region, Palette>;

// Stock objects that EMF records select by index with the high bit set.
std::optional<GdiObject> StockObject(uint32_t index);
inline constexpr uint32_t kStockObjectFlag = 0x80000000u;

// A WMF table: every new object takes the lowest free slot.
class WmfObjectTable {
public:
    explicit WmfObjectTable(size_t declared) { slots_.reserve(std::min(declared, size_t{256})); }
    void Create(GdiObject object) {
        for (auto& slot : slots_)
            if (!slot) {
                slot = std::move(object);
                return;
            }
        // Files that under-declare their object count are common; grow up to the format's limit.
        if (slots_.size() < kMaxWmfObjects) slots_.push_back(std::move(object));
    }
    const GdiObject* Find(size_t index) const {
        return index < slots_.size() && slots_[index] ? &*slots_[index] : nullptr;
    }
    void Delete(size_t index) {
        if (index < slots_.size()) slots_[index].reset();
    }

private:
    std::vector<std::optional<GdiObject>> slots_;
};

// An EMF table: objects live at the index their record names; 0 is reserved.
class EmfObjectTable {
public:
    void Create(uint32_t index, GdiObject object) {
        if (index == 0 || index >= kMaxEmfHandles) return;
        objects_.insert_or_assign(index, std::move(object));
    }
    std::optional<GdiObject> Find(uint32_t index) const {
        if (index & kStockObjectFlag) return StockObject(index & ~kStockObjectFlag);
        auto it = objects_.find(index);
        if (it == objects_.end()) return std::nullopt;
        return it->second;
    }
    void Delete(uint32_t index) { objects_.erase(index); }

private:
    std::unordered_map<uint32_t, GdiObject> objects_;
};

} // namespace vcl::metafile
