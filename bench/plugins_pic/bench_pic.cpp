// Decoding throughput of ifpic.spi and ifpic2.spi, called as the host calls them (bytes in
// memory, handles delivered and freed), in megapixels per second, best of several runs.
//  - PIC: the 1600 x 1200 benchmark picture of the sample collection, when present. The only
//    reference figure is the one recorded with the collection (an independent decoder as a whole
//    process, decoding and writing PNG); no PIC decoder is installed here to run side by side.
//  - PIC2: 1600 x 1200 pictures written by the tests' PIC2 writer in every block coding; the
//    uncoded big-endian block is the reference the coded ones are measured against.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/dynlib.h"
#include "plugins/spi.h"
#include "tests/plugins_pic/pic2_encoder.h"
#include "tests/plugins_pic/pic2_images.h"

namespace {

constexpr int kRuns = 9;
constexpr double kRecordedIndependentMs = 817; // samples/README.md, whole process with PNG

struct Result {
    double bestMs = 0;
    int32_t width = 0, height = 0;
    int32_t rc = 0;
};

Result Time(SpiGetPictureFn getPicture, const std::vector<uint8_t>& bytes) {
    Result result;
    for (int run = 0; run < kRuns; ++run) {
        HGLOBAL32 info = 0, bits = 0;
        const auto start = std::chrono::steady_clock::now();
        result.rc = getPicture(reinterpret_cast<const char*>(bytes.data()), int32_t(bytes.size()),
                               SPI_INPUT_MEMORY, &info, &bits, nullptr, 0);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (result.rc != SPI_OK) return result;
        const auto* header = static_cast<const DibInfoHeader*>(GlobalLock(info));
        result.width = header->biWidth;
        result.height = header->biHeight;
        GlobalUnlock(info);
        GlobalFree(info);
        GlobalFree(bits);
        if (run == 0 || ms < result.bestMs) result.bestMs = ms;
    }
    return result;
}

double Megapixels(const Result& r) {
    return double(r.width) * r.height / 1e6;
}

void Print(const char* what, size_t bytes, const Result& r) {
    if (r.rc != SPI_OK) {
        std::printf("%-34s failed with result %d\n", what, r.rc);
        return;
    }
    std::printf("%-34s %5d x %-5d %9zu bytes %8.1f ms %8.1f Mpixel/s\n", what, r.width, r.height,
                bytes, r.bestMs, Megapixels(r) / (r.bestMs / 1000));
}

} // namespace

int main() {
    platform::ScopedLibrary picPlugin("ifpic.spi"), pic2Plugin("ifpic2.spi");
    if (!picPlugin || !pic2Plugin) {
        std::fprintf(stderr, "plug-ins not found: %s\n", platform::LastLibraryError().c_str());
        return 1;
    }
    const auto pic = picPlugin.entry<SpiGetPictureFn>("GetPicture");
    const auto pic2 = pic2Plugin.entry<SpiGetPictureFn>("GetPicture");

    const std::filesystem::path benchPic =
        std::filesystem::path(ZORVANE_SAMPLES_DIR) / "bench" / "BENCH-1600x1200.PIC";
    std::ifstream in(benchPic, std::ios::binary);
    if (in) {
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        const Result r = Time(pic, bytes);
        Print("PIC 15-bit (sample collection)", bytes.size(), r);
        if (r.rc == SPI_OK)
            std::printf("  recorded independent decoder, whole process: %.0f ms; ratio %.1fx\n",
                        kRecordedIndependentMs, kRecordedIndependentMs / r.bestMs);
    } else {
        std::printf("PIC: %s absent, skipped\n", benchPic.string().c_str());
    }

    const uint32_t w = 1600, h = 1200;
    struct Coding {
        const char* name;
        pictest::Pic2Coding coding;
    } codings[] = {{"PIC2 24-bit raw (P2BM)", pictest::Pic2Coding::RawBigEndian},
                   {"PIC2 24-bit fast (P2SF)", pictest::Pic2Coding::Fast},
                   {"PIC2 24-bit arithmetic (P2SS)", pictest::Pic2Coding::Arithmetic}};
    double rawMs = 0;
    for (const Coding& c : codings) {
        pictest::Pic2File file;
        file.componentBits = 8;
        file.width = w;
        file.height = h;
        file.blocks.push_back(
            {c.coding, 0, 0, w, h, pictest::MakeValues(pictest::Pattern::Shapes, w, h, 8, 5), {}});
        const std::vector<uint8_t> bytes = pictest::EncodePic2(file);
        const Result r = Time(pic2, bytes);
        Print(c.name, bytes.size(), r);
        if (c.coding == pictest::Pic2Coding::RawBigEndian)
            rawMs = r.bestMs;
        else if (r.rc == SPI_OK && rawMs > 0)
            std::printf("  %.1fx the time of the uncoded block\n", r.bestMs / rawMs);
    }
    return 0;
}
