#include "tests/picture/script/spi_script.h"

#include <cstring>
#include <deque>
#include <map>

namespace spiscript {
namespace {

struct Script {
    std::map<std::string, std::deque<InfoReply>> infos;
    std::map<std::string, std::deque<PictureReply>> pictures;
    std::vector<Call> calls;
    std::function<void(const Call&)> during;
};

Script& TheScript() {
    static Script script;
    return script;
}

HGLOBAL32 AllocFilled(size_t bytes, const void* data) {
    HGLOBAL32 handle = GlobalAlloc(GMEM_MOVEABLE_FLAG, bytes);
    if (!handle) return 0;
    void* block = GlobalLock(handle);
    if (block && bytes) std::memcpy(block, data, bytes);
    GlobalUnlock(handle);
    return handle;
}

void Deliver(const PictureReply& reply, HGLOBAL32* bitmapInfo, HGLOBAL32* bits) {
    const uint32_t implied =
        reply.bitCount <= 8 ? (reply.clrUsed ? reply.clrUsed : 1u << reply.bitCount) : 0;
    const uint32_t entries =
        reply.tableEntries >= 0 ? reply.tableEntries : std::min<uint32_t>(implied, 256);
    std::vector<uint8_t> info(sizeof(DibInfoHeader) + entries * sizeof(DibRgbQuad));
    DibInfoHeader header{};
    header.biSize = sizeof(DibInfoHeader);
    header.biWidth = reply.width;
    header.biHeight = reply.height;
    header.biPlanes = 1;
    header.biBitCount = reply.bitCount;
    header.biClrUsed = reply.clrUsed;
    std::memcpy(info.data(), &header, sizeof header);
    for (uint32_t i = 0; i < entries; ++i) {
        // Entry i is grey level i, so a palette's entries can be checked by their index.
        DibRgbQuad quad{static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i),
                        0};
        std::memcpy(info.data() + sizeof header + i * sizeof quad, &quad, sizeof quad);
    }
    if (reply.infoBytes > 0) info.resize(reply.infoBytes);

    const uint32_t width = reply.width > 0 ? reply.width : 0;
    const uint32_t rows = reply.height < 0 ? -int64_t{reply.height} : reply.height;
    const uint64_t stride = DibRowStride(width, reply.bitCount);
    std::vector<uint8_t> data(stride * rows);
    for (uint32_t y = 0; y < rows; ++y) {
        uint8_t* row = data.data() + y * stride;
        for (uint32_t x = 0; x < width; ++x) {
            switch (reply.bitCount) {
            case 24:
                row[3 * x] = reply.pixel & 0xFF;
                row[3 * x + 1] = (reply.pixel >> 8) & 0xFF;
                row[3 * x + 2] = (reply.pixel >> 16) & 0xFF;
                break;
            case 32:
                std::memcpy(row + 4 * x, &reply.pixel, 4);
                break;
            case 8:
                row[x] = reply.pixel & 0xFF;
                break;
            case 4:
                row[x / 2] |= (reply.pixel & 0xF) << (x % 2 ? 0 : 4);
                break;
            case 1:
                row[x / 8] |= (reply.pixel & 1) << (7 - x % 8);
                break;
            default:
                break;
            }
        }
    }
    *bitmapInfo = reply.infoHandle ? reply.infoHandle : AllocFilled(info.size(), info.data());
    *bits = reply.bitsHandle ? reply.bitsHandle : AllocFilled(data.size(), data.data());
}

} // namespace

void Reset() {
    Script& s = TheScript();
    s.infos.clear();
    s.pictures.clear();
    s.calls.clear();
    s.during = nullptr;
}

void QueueInfo(const std::string& plugin, InfoReply reply) {
    TheScript().infos[plugin].push_back(reply);
}

void QueuePicture(const std::string& plugin, const std::string& entry, PictureReply reply) {
    TheScript().pictures[plugin + "/" + entry].push_back(reply);
}

const std::vector<Call>& Calls() {
    return TheScript().calls;
}

void SetDuringCall(std::function<void(const Call&)> hook) {
    TheScript().during = std::move(hook);
}

int32_t OnGetPictureInfo(const char* plugin, const char* source, int32_t offset, uint32_t flag,
                         SpiPictureInfo* info) {
    Script& s = TheScript();
    s.calls.push_back({plugin, "GetPictureInfo", source, offset, flag, true, 0});
    if (s.during) s.during(s.calls.back());
    auto& queue = s.infos[plugin];
    if (queue.empty()) return SPI_INTERNAL_ERROR;
    const InfoReply reply = queue.front();
    queue.pop_front();
    if (reply.result != SPI_OK) return reply.result;
    *info = SpiPictureInfo{};
    info->width = reply.width;
    info->height = reply.height;
    info->xDensity = reply.xDensity;
    info->yDensity = reply.yDensity;
    info->bitsPerPixel = 24;
    if (reply.withTextInfo) info->textInfo = AllocFilled(6, "hello");
    return SPI_OK;
}

int32_t OnGetPicture(const char* plugin, const char* entry, const char* source, int32_t offset,
                     uint32_t flag, HGLOBAL32* bitmapInfo, HGLOBAL32* bits,
                     SpiProgressCallback progress, int32_t data) {
    Script& s = TheScript();
    s.calls.push_back({plugin, entry, source, offset, flag, progress == nullptr, data});
    if (s.during) s.during(s.calls.back());
    auto& queue = s.pictures[std::string(plugin) + "/" + entry];
    if (queue.empty()) return SPI_INTERNAL_ERROR;
    const PictureReply reply = queue.front();
    queue.pop_front();
    if (reply.result != SPI_OK) return reply.result;
    Deliver(reply, bitmapInfo, bits);
    return SPI_OK;
}

void OnLibraryEvent(const char* plugin, const char* event) {
    TheScript().calls.push_back({plugin, event, "", 0, 0, true, 0});
}

} // namespace spiscript
