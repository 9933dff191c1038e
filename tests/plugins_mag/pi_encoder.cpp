#include "tests/plugins_mag/pi_encoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "tests/support/bit_writer.h"

namespace magtest {

using testsupport::Append;
using testsupport::BitWriter;
using testsupport::PutBe16;
using testsupport::PutText;

namespace {

class ColourWriter {
public:
    explicit ColourWriter(uint32_t colours)
        : colours_(colours), maxGroup_(colours == 256 ? 6 : 2), table_(colours * colours) {
        for (uint32_t prev = 0; prev < colours; ++prev)
            for (uint32_t i = 0; i < colours; ++i)
                table_[prev * colours + i] = uint8_t((prev + colours - i) % colours);
    }

    void Put(BitWriter& out, uint8_t prev, uint8_t colour) {
        uint8_t* list = &table_[size_t(prev) * colours_];
        const auto rank = unsigned(std::find(list, list + colours_, colour) - list);
        if (rank < 2) {
            out.Put(2 | rank, 2);
        } else {
            const unsigned group = unsigned(std::bit_width(rank)) - 2; // rank in [2^(g+1), 2^(g+2))
            out.PutBit(0);
            for (unsigned g = 0; g < group; ++g)
                out.PutBit(1);
            if (group < maxGroup_) out.PutBit(0);
            out.Put(rank - (2u << group), group + 1);
        }
        std::memmove(list + 1, list, rank);
        list[0] = colour;
    }

private:
    uint32_t colours_;
    unsigned maxGroup_;
    std::vector<uint8_t> table_;
};

void PutPosition(BitWriter& out, unsigned position) {
    static const char* const kCodes[] = {"00", "01", "10", "110", "111"};
    out.Put(kCodes[position]);
}

void PutPairs(BitWriter& out, uint64_t pairs) {
    const unsigned prefix = unsigned(std::bit_width(pairs)) - 1;
    for (unsigned k = 0; k < prefix; ++k)
        out.PutBit(1);
    out.PutBit(0);
    out.Put(uint32_t(pairs - (uint64_t(1) << prefix)), prefix);
}

class Encoder {
public:
    explicit Encoder(const PiImage& image)
        : w_(image.width), total_(size_t(image.width) * image.height),
          lead_(std::max<size_t>(2 * w_, 4)), colours_(image.depth == 8 ? 256 : 16) {
        buffer_.resize(lead_ + total_);
        std::copy(image.indices.begin(), image.indices.end(), buffer_.begin() + lead_);
    }

    std::vector<uint8_t> Run() {
        uint8_t* px = buffer_.data() + lead_;
        // The first two colours paint the virtual rows above the picture.
        colours_.Put(out_, 0, px[0]);
        colours_.Put(out_, px[0], px[1]);
        for (size_t j = 0; j < lead_; ++j)
            buffer_[j] = j % 2 ? px[1] : px[0];

        constexpr unsigned kNone = 5;
        unsigned last = kNone;
        size_t i = 0;
        while (i < total_) {
            unsigned best = kNone;
            size_t bestPairs = 0;
            for (unsigned p = 0; p < 5; ++p) {
                if (p == last) continue;
                if (const size_t pairs = CopyPairs(p, i); pairs > bestPairs) {
                    best = p;
                    bestPairs = pairs;
                }
            }
            if (best != kNone) {
                PutPosition(out_, best);
                PutPairs(out_, bestPairs);
                i = std::min(total_, i + 2 * bestPairs);
                last = best;
                continue;
            }
            // Nothing matches: colour pairs until some copy would, which must follow them.
            PutPosition(out_, last);
            for (;;) {
                const uint8_t a = px[i];
                colours_.Put(out_, px[i - 1], a);
                const uint8_t b = i + 1 < total_ ? px[i + 1] : a;
                colours_.Put(out_, a, b);
                i += 2;
                if (i >= total_) break;
                bool copyAhead = false;
                for (unsigned p = 0; p < 5 && !copyAhead; ++p)
                    copyAhead = CopyPairs(p, i) > 0;
                out_.PutBit(!copyAhead);
                if (copyAhead) break;
            }
            last = kNone;
        }
        for (int k = 0; k < 32; ++k)
            out_.PutBit(0);
        return out_.bytes();
    }

private:
    // Whole pairs a copy from `position` would reproduce at pixel i (a last lone pixel counts).
    size_t CopyPairs(unsigned position, size_t i) const {
        const uint8_t* px = buffer_.data() + lead_;
        const size_t d = position == 0   ? (px[i - 2] == px[i - 1] ? 2 : 4)
                         : position == 1 ? w_
                         : position == 2 ? 2 * w_
                         : position == 3 ? w_ - 1
                                         : w_ + 1;
        size_t m = 0;
        while (i + m < total_ && px[i + m] == px[i + m - d])
            ++m;
        return i + m == total_ ? (m + 1) / 2 : m / 2;
    }

    size_t w_;
    size_t total_;
    size_t lead_;
    ColourWriter colours_;
    std::vector<uint8_t> buffer_;
    BitWriter out_;
};

} // namespace

std::vector<uint8_t> EncodePi(const PiImage& image) {
    std::vector<uint8_t> file;
    PutText(file, "Pi");
    PutText(file, image.comment);
    file.push_back(0x1A);
    file.push_back(0x00);
    file.push_back(image.paletteRgb.empty() ? 0x80 : 0x00);
    file.push_back(image.aspectFirst);
    file.push_back(image.aspectSecond);
    file.push_back(uint8_t(image.depth));
    PutText(file, "ZORV");
    PutBe16(file, uint32_t(image.machineData.size()));
    Append(file, image.machineData);
    PutBe16(file, image.width);
    PutBe16(file, image.height);
    Append(file, image.paletteRgb);
    Append(file, Encoder(image).Run());
    return file;
}

} // namespace magtest
