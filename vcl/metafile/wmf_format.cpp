#include "vcl/metafile/format.h"

#include "vcl/metafile/byte_reader.h"
#include "vcl/metafile/limits.h"
#include "vcl/metafile/records.h"

namespace vcl::metafile {
namespace {

constexpr size_t kPlaceableBytes = 22;
constexpr size_t kStandardHeaderBytes = 18;
constexpr uint16_t kStandardHeaderWords = 9;
constexpr size_t kRecordHeaderBytes = 6;

LoadStatus Fail(LoadStatus status, std::string& reason, std::string text) {
    reason = std::move(text);
    return status;
}

} // namespace

LoadStatus ParseWmf(std::span<const uint8_t> file, WmfHeader& header,
                    std::vector<RecordRef>& records, std::string& reason) {
    ByteReader in(file);
    size_t start = 0;
    header = {};
    if (file.size() >= 4 && ByteReader(file).U32() == kPlaceableKey) {
        if (file.size() < kPlaceableBytes + kStandardHeaderBytes)
            return Fail(LoadStatus::Truncated, reason, "the file ends inside the metafile header");
        uint16_t checksum = 0;
        ByteReader words(file);
        for (int i = 0; i < 10; ++i)
            checksum ^= words.U16();
        in.Skip(6);
        const int16_t left = in.I16(), top = in.I16(), right = in.I16(), bottom = in.I16();
        header.unitsPerInch = in.U16();
        in.Skip(4);
        if (in.U16() != checksum)
            return Fail(LoadStatus::Invalid, reason, "the placeable header's checksum is wrong");
        if (header.unitsPerInch == 0)
            return Fail(LoadStatus::Invalid, reason,
                        "the placeable header gives no units per inch");
        if (right == left || bottom == top)
            return Fail(LoadStatus::Invalid, reason, "the placeable header's bounds are empty");
        header.placeable = true;
        header.bounds = QRect(QPoint(std::min(left, right), std::min(top, bottom)),
                              QSize(std::abs(right - left), std::abs(bottom - top)));
        start = kPlaceableBytes;
    } else if (file.size() < kStandardHeaderBytes) {
        return Fail(LoadStatus::Truncated, reason, "the file ends inside the metafile header");
    }

    in.Seek(start);
    const uint16_t type = in.U16();
    const uint16_t headerWords = in.U16();
    const uint16_t version = in.U16();
    in.Skip(4); // total size in words: often wrong in real files, the chain decides
    header.objectCount = in.U16();
    if ((type != 1 && type != 2) || headerWords != kStandardHeaderWords ||
        (version != 0x0100 && version != 0x0300))
        return Fail(LoadStatus::Invalid, reason, "not a Windows metafile header");

    records.clear();
    size_t pos = start + kStandardHeaderBytes;
    while (pos < file.size()) {
        if (file.size() - pos < kRecordHeaderBytes)
            return Fail(LoadStatus::Invalid, reason, "the last record is cut off");
        ByteReader rec(file, pos);
        const uint64_t bytes = uint64_t{rec.U32()} * 2;
        const uint16_t function = rec.U16();
        if (bytes < kRecordHeaderBytes)
            return Fail(LoadStatus::Invalid, reason, "a record is shorter than its own header");
        if (bytes > file.size() - pos)
            return Fail(LoadStatus::Invalid, reason, "a record runs past the end of the file");
        if (records.size() >= kMaxRecords)
            return Fail(LoadStatus::Invalid, reason, "the metafile has too many records");
        if (function == wmf::kEof) break;
        records.push_back({function, static_cast<uint32_t>(pos + kRecordHeaderBytes),
                           static_cast<uint32_t>(bytes - kRecordHeaderBytes)});
        pos += bytes;
    }
    return LoadStatus::Ok;
}

} // namespace vcl::metafile
