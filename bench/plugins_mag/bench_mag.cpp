// Decoding throughput of ifmag.spi, ifpi.spi and ifxld4.spi, called as the host calls them
// (bytes in memory, handles delivered and freed), in megapixels per second, best of several runs.
//  - MAG: the two 1600 x 1200 benchmark pictures of the sample collection, when present. The
//    only reference figures are those recorded with the collection for an independent decoder as
//    a whole process (decoding and writing PNG); no such decoder is installed here to run side by
//    side, so the ratio is a loose one.
//  - Pi: 1600 x 1200 plasma pictures in 16 and 256 colours written by the tests' Pi encoder.
//  - XLD4: 640 x 400 pictures (the format's only size) written by the tests' XLD4 encoder.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "bench/support/timing.h"
#include "platform/dynlib.h"
#include "plugins/spi.h"
#include "tests/plugins_mag/pi_encoder.h"
#include "tests/plugins_mag/q4_encoder.h"

namespace {

constexpr int kRuns = 15; // the best run: other work shares the machine

using benchsupport::DecodeTiming;

DecodeTiming Time(SpiGetPictureFn getPicture, const std::vector<uint8_t>& bytes) {
    return benchsupport::TimeGetPicture(getPicture, bytes, kRuns);
}

void Print(const char* what, size_t bytes, const DecodeTiming& r, double referenceMs = 0) {
    if (r.rc != SPI_OK) {
        std::printf("%-30s failed with result %d\n", what, r.rc);
        return;
    }
    std::printf("%-30s %5d x %-5d %9zu bytes %8.2f ms %8.1f Mpixel/s", what, r.width, r.height,
                bytes, r.bestMs, r.megapixelsPerSecond());
    if (referenceMs > 0)
        std::printf("   recorded independent decoder %.0f ms: %.1fx", referenceMs,
                    referenceMs / r.bestMs);
    std::printf("\n");
}

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A smooth plasma with a little noise, as scanned or drawn pictures have.
std::vector<uint8_t> Plasma(size_t width, size_t height, unsigned colours, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> indices(width * height);
    for (size_t y = 0; y < height; ++y) {
        for (size_t x = 0; x < width; ++x) {
            const double v = std::sin(double(x) / 41) + std::sin(double(y) / 29) +
                             std::sin(double(x + y) / 57) + std::sin(std::hypot(x, y) / 33);
            unsigned c = unsigned((v + 4) / 8 * colours) % colours;
            if (random() % 64 == 0) c = (c + 1) % colours;
            indices[y * width + x] = uint8_t(c);
        }
    }
    return indices;
}

} // namespace

int main() {
    platform::ScopedLibrary mag("ifmag.spi"), pi("ifpi.spi"), q4("ifxld4.spi");
    if (!mag || !pi || !q4) {
        std::fprintf(stderr, "plug-ins not found: %s\n", platform::LastLibraryError().c_str());
        return 1;
    }
    const auto magPicture = mag.entry<SpiGetPictureFn>("GetPicture");
    const auto piPicture = pi.entry<SpiGetPictureFn>("GetPicture");
    const auto q4Picture = q4.entry<SpiGetPictureFn>("GetPicture");

    const std::filesystem::path benchDir = std::filesystem::path(ZORVANE_SAMPLES_DIR) / "bench";
    // Whole-process times recorded with the sample collection (samples/README.md).
    const struct {
        const char* file;
        double recordedMs;
    } mags[] = {{"BENCH-1600x1200-16c.MAG", 92}, {"BENCH-1600x1200-256c.MAG", 166}};
    for (const auto& m : mags) {
        const auto path = benchDir / m.file;
        if (!std::filesystem::exists(path)) {
            std::printf("%-30s skipped: not found in the sample collection\n", m.file);
            continue;
        }
        const auto bytes = ReadFile(path);
        Print(m.file, bytes.size(), Time(magPicture, bytes), m.recordedMs);
    }

    for (const int depth : {4, 8}) {
        magtest::PiImage image;
        image.width = 1600;
        image.height = 1200;
        image.depth = depth;
        image.indices = Plasma(1600, 1200, depth == 8 ? 256 : 16, 1);
        const auto bytes = magtest::EncodePi(image);
        Print(depth == 8 ? "Pi 256 colours (our encoder)" : "Pi 16 colours (our encoder)",
              bytes.size(), Time(piPicture, bytes));
    }

    magtest::Q4Image plasma;
    plasma.indices = Plasma(magtest::kQ4Width, magtest::kQ4Height, 16, 2);
    for (unsigned v = 0; v < 16; ++v)
        plasma.levels[v] = {uint8_t(v), uint8_t(v / 2), uint8_t(15 - v)};
    const auto q4Bytes = magtest::EncodeQ4(plasma);
    Print("XLD4 plasma (our encoder)", q4Bytes.size(), Time(q4Picture, q4Bytes));
    return 0;
}
