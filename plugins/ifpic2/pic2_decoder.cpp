#include "plugins/ifpic2/pic2_decoder.h"

#include <array>

#include "plugins/ifpic/expand_component.h"
#include "plugins/ifpic2/pic2_blocks.h"

namespace pic2 {

namespace {

int32_t DecodeBlock(const Block& block, int componentBits, const RowSink& sink) {
    switch (block.coding) {
    case Coding::Arithmetic:
        return DecodeArithmeticBlock(block, componentBits, sink);
    case Coding::Fast:
        return DecodeFastBlock(block, componentBits, sink);
    case Coding::RawBigEndian:
    case Coding::RawLittleEndian:
        return DecodeRawBlock(block, componentBits, sink);
    }
    return SPI_INTERNAL_ERROR;
}

// Draws a block's rows at its place, clipped to the canvas, leaving its transparent value out.
class Compositor {
public:
    Compositor(const Layout& layout, spi::DibOutput& out) : layout_(layout), out_(out) {
        for (uint32_t v = 0; v < widen_.size(); ++v)
            widen_[v] = pic::ExpandComponent(v, layout.componentBits);
    }

    void Draw(const Block& block, uint32_t y, const uint32_t* values) {
        const int64_t canvasY = int64_t(block.top) + y;
        if (canvasY < 0 || canvasY >= int64_t(layout_.canvasHeight)) return;
        const int64_t firstX = block.left < 0 ? -int64_t(block.left) : 0;
        const int64_t endX =
            std::min<int64_t>(block.width, int64_t(layout_.canvasWidth) - block.left);
        const int cb = layout_.componentBits;
        const uint32_t m = (1u << cb) - 1;
        uint8_t* row = out_.row(int32_t(canvasY));
        for (int64_t x = firstX; x < endX; ++x) {
            const uint32_t v = values[x];
            if (block.hasTransparent && v == block.transparent) continue;
            uint8_t* p = row + 3 * (block.left + x);
            p[0] = widen_[v & m];
            p[1] = widen_[(v >> cb) & m];
            p[2] = widen_[(v >> (2 * cb)) & m];
        }
    }

private:
    const Layout& layout_;
    spi::DibOutput& out_;
    std::array<uint8_t, 256> widen_{};
};

} // namespace

int32_t ReadInfo(Bytes file, SpiPictureInfo& info) {
    Layout layout;
    if (const int32_t rc = ParseLayout(file, layout); rc != SPI_OK) return rc;
    info = SpiPictureInfo{};
    info.width = int32_t(layout.canvasWidth);
    info.height = int32_t(layout.canvasHeight);
    // Densities are the inverse of the pixel shape.
    if (layout.xAspect && layout.yAspect) {
        info.xDensity = layout.yAspect;
        info.yDensity = layout.xAspect;
    } else {
        info.xDensity = info.yDensity = 1;
    }
    info.bitsPerPixel = 24;
    return SPI_OK;
}

int32_t Decode(Bytes file, spi::DibOutput& out) {
    Layout layout;
    if (const int32_t rc = ParseLayout(file, layout); rc != SPI_OK) return rc;
    if (const int32_t rc =
            out.Allocate(int32_t(layout.canvasWidth), int32_t(layout.canvasHeight), 24, 0);
        rc != SPI_OK)
        return rc;
    Compositor compositor(layout, out);
    for (const Block& block : layout.blocks) {
        const int32_t rc =
            DecodeBlock(block, layout.componentBits, [&](uint32_t y, const uint32_t* values) {
                compositor.Draw(block, y, values);
            });
        if (rc != SPI_OK) return rc;
    }
    return SPI_OK;
}

} // namespace pic2
