#include "vcl/graphics/ico_reader.h"

#include <algorithm>
#include <vector>

namespace vcl::imageio {
namespace {

constexpr size_t kDirectoryHeaderBytes = 6;
constexpr size_t kEntryBytes = 16;
constexpr uint16_t kTypeIcon = 1;
constexpr uint16_t kTypeCursor = 2;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kPngIhdrEnd = 8 + 8 + 13; // signature, chunk length and type, IHDR data
constexpr size_t kDibProbeBytes = 16;      // header size, width, height, planes, bit count
// Entries tried before giving up: a hostile directory may point thousands of entries at one
// large broken image.
constexpr size_t kMaxEntriesTried = 8;

using Bytes = std::span<const uint8_t>;

uint16_t U16(Bytes b, size_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}
uint32_t U32(Bytes b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}
uint32_t U32BigEndian(Bytes b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

ReadStatus Fail(ReadStatus status, std::string* reason, const char* text) {
    if (reason) *reason = text;
    return status;
}

ReadStatus ReadDirectory(Bytes file, uint16_t& count, std::string* reason) {
    if (file.size() < kDirectoryHeaderBytes) {
        // Even a cut directory must begin like one.
        const uint8_t start[4] = {0, 0, 0, 0};
        for (size_t i = 0; i < file.size() && i < 3; ++i)
            if (i != 2 && file[i] != start[i])
                return Fail(ReadStatus::Invalid, reason, "not an icon or cursor file");
        return Fail(ReadStatus::Truncated, reason, "the file ends before its directory");
    }
    const uint16_t type = U16(file, 2);
    if (U16(file, 0) != 0 || (type != kTypeIcon && type != kTypeCursor))
        return Fail(ReadStatus::Invalid, reason, "not an icon or cursor file");
    count = U16(file, 4);
    if (count == 0) return Fail(ReadStatus::Invalid, reason, "the icon has no images");
    if (file.size() < kDirectoryHeaderBytes + size_t(count) * kEntryBytes)
        return Fail(ReadStatus::Truncated, reason, "the file ends inside its directory");
    return ReadStatus::Ok;
}

// An entry's bytes: from its offset to the end of the file. The size the directory gives is
// not trusted (writers get it wrong); each image format knows where it ends.
ReadStatus EntryBytes(Bytes file, size_t index, Bytes& data, std::string* reason) {
    const uint32_t offset = U32(file, kDirectoryHeaderBytes + index * kEntryBytes + 12);
    if (offset >= file.size())
        return Fail(ReadStatus::Truncated, reason, "an icon image lies beyond the end of the file");
    data = file.subspan(offset);
    return ReadStatus::Ok;
}

bool IsPng(Bytes data) {
    return data.size() >= sizeof kPngSignature &&
           std::equal(std::begin(kPngSignature), std::end(kPngSignature), data.begin());
}

ReadStatus ReadEntry(Bytes file, size_t index, QImage& out, std::string* reason) {
    Bytes data;
    if (const ReadStatus s = EntryBytes(file, index, data, reason); s != ReadStatus::Ok) return s;
    if (IsPng(data)) {
        QImage image = DecodeEmbedded(data, "PNG");
        if (image.isNull())
            return Fail(ReadStatus::Invalid, reason, "a PNG icon image does not decode");
        out = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                            : QImage::Format_RGB32);
        return ReadStatus::Ok;
    }
    return ReadDib(data, DibOptions{.iconMask = true}, out, reason);
}

// How an entry ranks when choosing what to show; unreadable ones rank last.
struct Candidate {
    size_t index;
    uint64_t pixels = 0;
    uint32_t depth = 0;
};

Candidate Probe(Bytes file, size_t index) {
    Candidate c{index};
    Bytes data;
    if (EntryBytes(file, index, data, nullptr) != ReadStatus::Ok) return c;
    if (IsPng(data)) {
        if (data.size() < kPngIhdrEnd) return c;
        static constexpr uint32_t kChannels[7] = {1, 0, 3, 1, 2, 0, 4}; // by PNG colour type
        const uint8_t colourType = data[25];
        c.pixels = uint64_t(U32BigEndian(data, 16)) * U32BigEndian(data, 20);
        c.depth = colourType < 7 ? data[24] * kChannels[colourType] : 0;
        return c;
    }
    if (data.size() < kDibProbeBytes) return c;
    const auto width = int32_t(U32(data, 4));
    const auto height = int32_t(U32(data, 8));
    if (width > 0 && height > 0) c.pixels = uint64_t(width) * uint64_t(height / 2);
    c.depth = U16(data, 14);
    return c;
}

} // namespace

size_t IcoEntryCount(std::span<const uint8_t> file) {
    uint16_t count = 0;
    return ReadDirectory(file, count, nullptr) == ReadStatus::Ok ? count : 0;
}

ReadStatus ReadIcoEntry(std::span<const uint8_t> file, size_t index, QImage& out,
                        std::string* reason) {
    uint16_t count = 0;
    if (const ReadStatus s = ReadDirectory(file, count, reason); s != ReadStatus::Ok) return s;
    if (index >= count) return Fail(ReadStatus::Invalid, reason, "no such icon image");
    return ReadEntry(file, index, out, reason);
}

ReadStatus ReadIco(std::span<const uint8_t> file, QImage& out, std::string* reason) {
    uint16_t count = 0;
    if (const ReadStatus s = ReadDirectory(file, count, reason); s != ReadStatus::Ok) return s;
    std::vector<Candidate> candidates;
    for (size_t i = 0; i < count; ++i)
        candidates.push_back(Probe(file, i));
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) {
                         return a.pixels != b.pixels ? a.pixels > b.pixels : a.depth > b.depth;
                     });
    // The best entry's failure is the one reported when none can be read.
    ReadStatus first = ReadStatus::Invalid;
    std::string firstReason;
    for (size_t i = 0; i < candidates.size() && i < kMaxEntriesTried; ++i) {
        std::string why;
        const ReadStatus s = ReadEntry(file, candidates[i].index, out, &why);
        if (s == ReadStatus::Ok) return s;
        if (i == 0) {
            first = s;
            firstReason = why;
        }
    }
    if (reason) *reason = firstReason;
    return first;
}

} // namespace vcl::imageio
