// Decoding throughput of ifpic.spi and ifpic2.spi, called as the host calls them (bytes in
// memory, handles delivered and freed), in megapixels per second, best of several runs.
//  - PIC: the 1600 x 1200 benchmark picture of the sample collection, when present. The only
//    reference figure is the one recorded with the collection (an independent decoder as a whole
//    process, decoding and writing PNG); no PIC decoder is installed here to run side by side.
//  - PIC2: 1600 x 1200 pictures written by the tests' PIC2 writer in every block coding; the
//    uncoded big-endian block is the reference the coded ones are measured against.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/support/timing.h"
#include "platform/dynlib.h"
#include "plugins/spi.h"
#include "tests/plugins_pic/pic2_encoder.h"
#include "tests/plugins_pic/pic2_images.h"

namespace {

constexpr int kRuns = 9;
constexpr double kRecordedIndependentMs = 817; // samples/README.md, whole process with PNG

using benchsupport::DecodeTiming;

DecodeTiming Time(SpiGetPictureFn getPicture, const std::vector<uint8_t>& bytes) {
    return benchsupport::TimeGetPicture(getPicture, bytes, kRuns);
}

void Print(const char* what, size_t bytes, const DecodeTiming& r) {
    if (r.rc != SPI_OK) {
        std::printf("%-34s failed with result %d\n", what, r.rc);
        return;
    }
    std::printf("%-34s %5d x %-5d %9zu bytes %8.1f ms %8.1f Mpixel/s\n", what, r.width, r.height,
                bytes, r.bestMs, r.megapixelsPerSecond());
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
        const DecodeTiming r = Time(pic, bytes);
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
        const DecodeTiming r = Time(pic2, bytes);
        Print(c.name, bytes.size(), r);
        if (c.coding == pictest::Pic2Coding::RawBigEndian)
            rawMs = r.bestMs;
        else if (r.rc == SPI_OK && rawMs > 0)
            std::printf("  %.1fx the time of the uncoded block\n", r.bestMs / rawMs);
    }
    return 0;
}
