#include "plugins/common/msb_bit_reader.h"
#include "plugins/ifxld4/xld4_format.h"

namespace xld4 {

// Codes are read with a width that only an escape code widens. Entry c of the dictionary is the
// output of step c followed by the first symbol of step c + 1, so a step's output is found from
// where the steps began in the output.
LzwDecoder::LzwDecoder() : stepStart_(kCodeLimit + 1) {
    out_.reserve(kMaxChunkSymbols);
}

const std::vector<uint8_t>& LzwDecoder::Symbols(std::span<const uint8_t> data) {
    constexpr uint32_t kEndCode = 0;
    constexpr uint32_t kWidenCode = 1;
    constexpr uint32_t kCodeBias = 2;

    std::vector<uint8_t>& out = out_;
    std::vector<uint32_t>& stepStart = stepStart_;
    out.clear();
    spi::MsbBitReader bits(data.data(), data.size());
    unsigned width = kFirstCodeBits;
    for (uint32_t next = kFirstCode; next < kCodeLimit; ++next) {
        uint32_t value = bits.Read(width);
        while (value == kWidenCode && !bits.PastEnd()) {
            if (++width > kMaxCodeBits) return out;
            value = bits.Read(width);
        }
        if (value == kEndCode || bits.PastEnd()) break;
        const uint32_t code = value - kCodeBias;
        if (code >= next) break;
        stepStart[next] = uint32_t(out.size());
        if (code < kFirstCode) {
            if (out.size() >= kMaxChunkSymbols) break;
            out.push_back(uint8_t(code));
            continue;
        }
        const uint32_t from = stepStart[code];
        const uint32_t length = stepStart[code + 1] - from + 1; // the last one may be written now
        if (out.size() + length > kMaxChunkSymbols) break;
        for (uint32_t k = 0; k < length; ++k) {
            const uint8_t symbol = out[from + k];
            out.push_back(symbol);
        }
    }
    return out;
}

} // namespace xld4
