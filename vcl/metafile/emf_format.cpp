#include "vcl/metafile/format.h"

#include "vcl/metafile/byte_reader.h"
#include "vcl/metafile/limits.h"
#include "vcl/metafile/records.h"

namespace vcl::metafile {
namespace {

// The header record up to and including the reference device's size in millimetres.
constexpr size_t kMinHeaderBytes = 88;
constexpr size_t kSignatureOffset = 40;
constexpr size_t kRecordHeaderBytes = 8;

LoadStatus Fail(LoadStatus status, std::string& reason, std::string text) {
    reason = std::move(text);
    return status;
}

QRect ReadInclusiveRect(ByteReader& in) {
    const int32_t left = in.I32(), top = in.I32(), right = in.I32(), bottom = in.I32();
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

LoadStatus ParseEmf(std::span<const uint8_t> file, EmfHeader& header,
                    std::vector<RecordRef>& records, std::string& reason) {
    header = {};
    if (file.size() >= kSignatureOffset + 4 &&
        ByteReader(file, kSignatureOffset).U32() != kEmfSignature)
        return Fail(LoadStatus::Invalid, reason, "not an enhanced metafile");
    if (file.size() < kMinHeaderBytes)
        return Fail(LoadStatus::Truncated, reason, "the file ends inside the metafile header");

    ByteReader in(file);
    const uint32_t type = in.U32();
    const uint32_t headerBytes = in.U32();
    if (type != emf::kHeader)
        return Fail(LoadStatus::Invalid, reason, "the first record is not a header");
    if (headerBytes < kMinHeaderBytes || headerBytes % 4 != 0)
        return Fail(LoadStatus::Invalid, reason, "the header record has an impossible size");
    if (headerBytes > file.size())
        return Fail(LoadStatus::Truncated, reason, "the file ends inside the metafile header");
    header.bounds = ReadInclusiveRect(in);
    header.frame = ReadInclusiveRect(in);
    in.Skip(4 + 4); // signature, version
    const uint32_t declaredBytes = in.U32();
    in.Skip(4); // record count: the chain decides
    header.handleCount = in.U16();
    in.Skip(2 + 4 + 4 + 4);
    header.devicePixelsX = in.I32();
    header.devicePixelsY = in.I32();
    header.deviceMillimetersX = in.I32();
    header.deviceMillimetersY = in.I32();

    // A declared size shorter than the file ends the chain early (trailing bytes are not ours);
    // a larger one is common and harmless, the file's end decides.
    const size_t end =
        declaredBytes >= headerBytes && declaredBytes < file.size() ? declaredBytes : file.size();
    records.clear();
    size_t pos = headerBytes;
    while (pos < end) {
        if (end - pos < kRecordHeaderBytes)
            return Fail(LoadStatus::Invalid, reason, "the last record is cut off");
        ByteReader rec(file, pos);
        const uint32_t recordType = rec.U32();
        const uint32_t bytes = rec.U32();
        if (bytes < kRecordHeaderBytes || bytes % 4 != 0)
            return Fail(LoadStatus::Invalid, reason, "a record has an impossible size");
        if (bytes > end - pos)
            return Fail(LoadStatus::Invalid, reason, "a record runs past the end of the file");
        if (records.size() >= kMaxRecords)
            return Fail(LoadStatus::Invalid, reason, "the metafile has too many records");
        records.push_back({recordType, static_cast<uint32_t>(pos + kRecordHeaderBytes),
                           bytes - static_cast<uint32_t>(kRecordHeaderBytes)});
        pos += bytes;
        if (recordType == emf::kEof) break;
    }
    return LoadStatus::Ok;
}

} // namespace vcl::metafile
