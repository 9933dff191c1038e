#include "tests/plugins_mag/q4_encoder.h"

#include <stdexcept>
#include <unordered_map>

#include "tests/support/bit_writer.h"

namespace magtest {

using testsupport::Append;
using testsupport::BitWriter;
using testsupport::PutLe16;
using testsupport::PutText;

namespace {

constexpr uint8_t kRun = 16;
constexpr size_t kMaxRun = 16 * 17 + 16;
constexpr uint32_t kFirstCode = 17;
constexpr uint32_t kCodeLimit = 16384;

} // namespace

std::vector<uint8_t> Q4RunSymbols(const uint8_t* pixels, size_t count, size_t minRun) {
    std::vector<uint8_t> symbols;
    uint8_t runValue = 0; // every chunk starts with run value 0
    for (size_t i = 0; i < count;) {
        size_t run = 1;
        while (i + run < count && run < kMaxRun && pixels[i + run] == pixels[i])
            ++run;
        if (run < minRun) {
            symbols.push_back(pixels[i++]);
            continue;
        }
        const auto high = uint8_t(run / 17), low = uint8_t(run % 17);
        symbols.push_back(kRun);
        if (pixels[i] != runValue ||
            high == 0) { // a high digit 0 is the escape that sets the value
            runValue = pixels[i];
            symbols.insert(symbols.end(), {0, runValue});
        }
        symbols.insert(symbols.end(), {high, low});
        i += run;
    }
    return symbols;
}

std::vector<uint8_t> Q4Lzw(const std::vector<uint8_t>& symbols) {
    BitWriter out;
    unsigned width = 3;
    auto emit = [&](uint32_t code) {
        const uint32_t value = code + 2;
        while (value >> width) {
            out.Put(1, width); // wider codes from here on
            ++width;
        }
        out.Put(value, width);
    };
    std::unordered_map<uint32_t, uint32_t> dictionary; // (prefix code, symbol) -> code
    uint32_t next = kFirstCode;
    if (!symbols.empty()) {
        uint32_t prefix = symbols[0];
        for (size_t i = 1; i < symbols.size(); ++i) {
            const uint32_t key = prefix * 32 + symbols[i];
            if (const auto found = dictionary.find(key); found != dictionary.end()) {
                prefix = found->second;
                continue;
            }
            emit(prefix);
            if (++next >= kCodeLimit) throw std::length_error("Q4 chunk needs too many codes");
            dictionary.emplace(key, next - 1);
            prefix = symbols[i];
        }
        emit(prefix);
    }
    out.Put(0, width); // end of the chunk
    return out.bytes();
}

std::vector<uint8_t> Q4Chunk(const std::vector<uint8_t>& data, size_t pixels) {
    if (data.size() > 0xFFFF || pixels / 2 > 0xFFFF) throw std::length_error("Q4 chunk too large");
    std::vector<uint8_t> chunk;
    PutLe16(chunk, uint32_t(data.size()));
    PutLe16(chunk, 0);
    PutLe16(chunk, uint32_t(pixels / 2));
    Append(chunk, data);
    return chunk;
}

std::vector<uint8_t> Q4Header(size_t fileSize) {
    std::vector<uint8_t> header(8, 0);
    PutLe16(header, uint32_t(fileSize & 0xFFFF));
    header.push_back(0);
    PutText(header, "MAJYO");
    return header;
}

std::vector<uint8_t> EncodeQ4(const Q4Image& image) {
    std::vector<uint8_t> paletteSymbols;
    for (unsigned i = 0; i < 16; ++i) {
        const unsigned value = (i & 8) | (i & 1) << 2 | (i >> 1 & 3); // file entry i's pixel value
        for (const uint8_t level : image.levels[value])
            paletteSymbols.insert(paletteSymbols.end(), {0, level});
    }
    std::vector<uint8_t> body = Q4Chunk(Q4Lzw(paletteSymbols), 0);
    for (size_t at = 0; at < image.indices.size(); at += image.pixelsPerChunk) {
        const size_t count = std::min(image.pixelsPerChunk, image.indices.size() - at);
        Append(body,
               Q4Chunk(Q4Lzw(Q4RunSymbols(image.indices.data() + at, count, image.minRun)), count));
    }
    std::vector<uint8_t> file = Q4Header(16 + body.size());
    Append(file, body);
    return file;
}

} // namespace magtest
