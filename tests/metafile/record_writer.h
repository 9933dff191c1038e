// Builds small metafiles in memory: a header and records, little-endian.
#pragma once

#include "vcl/metafile/document.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace metafile_test {

class Bytes {
public:
    Bytes& U8(uint8_t v) {
        data.push_back(v);
        return *this;
    }
    Bytes& U16(uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
    Bytes& I16(int16_t v) { return U16(static_cast<uint16_t>(v)); }
    Bytes& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    Bytes& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    Bytes& F32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        return U32(bits);
    }
    Bytes& Raw(const std::string& s) {
        data.insert(data.end(), s.begin(), s.end());
        return *this;
    }
    std::vector<uint8_t> data;
};

// A WMF: placeable header with the given bounds and units, then records of 16-bit words.
class Wmf {
public:
    explicit Wmf(int16_t right = 100, int16_t bottom = 100, uint16_t inch = 96,
                 bool placeable = true)
        : right_(right), bottom_(bottom), inch_(inch), placeable_(placeable) {}
    // Parameters as the file stores them (last-first).
    Wmf& Record(uint16_t function, std::initializer_list<int16_t> words) {
        Bytes r;
        r.U32(static_cast<uint32_t>(3 + words.size())).U16(function);
        for (int16_t w : words)
            r.I16(w);
        records_.insert(records_.end(), r.data.begin(), r.data.end());
        return *this;
    }
    Wmf& RawRecord(uint16_t function, const std::vector<uint8_t>& params) {
        Bytes r;
        r.U32(static_cast<uint32_t>(3 + (params.size() + 1) / 2)).U16(function);
        r.data.insert(r.data.end(), params.begin(), params.end());
        if (params.size() % 2) r.U8(0);
        records_.insert(records_.end(), r.data.begin(), r.data.end());
        return *this;
    }
    Wmf& Pen(uint16_t style, int16_t width, uint32_t color) {
        return Record(0x02FA,
                      {int16_t(style), width, 0, int16_t(color & 0xFFFF), int16_t(color >> 16)});
    }
    Wmf& Brush(uint16_t style, uint32_t color, uint16_t hatch = 0) {
        return Record(0x02FC, {int16_t(style), int16_t(color & 0xFFFF), int16_t(color >> 16),
                               int16_t(hatch)});
    }
    Wmf& Select(uint16_t index) { return Record(0x012D, {int16_t(index)}); }
    Wmf& Delete(uint16_t index) { return Record(0x01F0, {int16_t(index)}); }
    Wmf& Rectangle(int16_t l, int16_t t, int16_t r, int16_t b) {
        return Record(0x041B, {b, r, t, l});
    }
    Wmf& Font(int16_t height, uint8_t charset, const std::string& face, int16_t escapement = 0) {
        Bytes p;
        p.I16(height).I16(0).I16(escapement).I16(0).I16(400);
        p.U8(0).U8(0).U8(0).U8(charset).U8(0).U8(0).U8(0).U8(0);
        std::string name = face;
        name.resize(32, '\0');
        p.Raw(name);
        return RawRecord(0x02FB, p.data);
    }

    std::vector<uint8_t> Build() const {
        Bytes out;
        if (placeable_) {
            Bytes h;
            h.U32(0x9AC6CDD7).U16(0).I16(0).I16(0).I16(right_).I16(bottom_).U16(inch_).U32(0);
            uint16_t sum = 0;
            for (size_t i = 0; i < h.data.size(); i += 2)
                sum ^= uint16_t(h.data[i] | (h.data[i + 1] << 8));
            h.U16(sum);
            out.data = h.data;
        }
        const uint32_t words = static_cast<uint32_t>(9 + records_.size() / 2 + 3);
        out.U16(1).U16(9).U16(0x0300).U32(words).U16(objects).U32(0).U16(0);
        out.data.insert(out.data.end(), records_.begin(), records_.end());
        out.U32(3).U16(0); // end of file
        return out.data;
    }

    uint16_t objects = 8;

private:
    int16_t right_, bottom_;
    uint16_t inch_;
    bool placeable_;
    std::vector<uint8_t> records_;
};

// An EMF with a frame of the given size in pixels of a 96-dpi reference device.
class Emf {
public:
    explicit Emf(int width = 100, int height = 100) : width_(width), height_(height) {}
    Emf& Record(uint32_t type, const Bytes& params) {
        Bytes r;
        r.U32(type).U32(static_cast<uint32_t>(8 + params.data.size()));
        records_.insert(records_.end(), r.data.begin(), r.data.end());
        records_.insert(records_.end(), params.data.begin(), params.data.end());
        ++count_;
        return *this;
    }
    Emf& Ints(uint32_t type, std::initializer_list<int32_t> values) {
        Bytes p;
        for (int32_t v : values)
            p.I32(v);
        return Record(type, p);
    }
    std::vector<uint8_t> Build() const {
        // Reference device of exactly 96 pixels per inch: 960 px over 254 mm.
        Bytes h;
        const int frameW = static_cast<int>(width_ * 2540 / 96.0);
        const int frameH = static_cast<int>(height_ * 2540 / 96.0);
        h.U32(1).U32(88);
        h.I32(0).I32(0).I32(width_ - 1).I32(height_ - 1);
        h.I32(0).I32(0).I32(frameW).I32(frameH);
        h.U32(0x464D4520).U32(0x10000);
        const uint32_t total = static_cast<uint32_t>(88 + records_.size() + 20);
        h.U32(total).U32(count_ + 2).U16(16).U16(0).U32(0).U32(0).U32(0);
        h.I32(960).I32(960).I32(254).I32(254);
        h.data.insert(h.data.end(), records_.begin(), records_.end());
        h.U32(14).U32(20).U32(0).U32(0).U32(20); // end of file
        return h.data;
    }

private:
    int width_, height_;
    uint32_t count_ = 0;
    std::vector<uint8_t> records_;
};

// Plays `file` into a white image of the given size.
inline QImage Render(const std::vector<uint8_t>& file, int width = 100, int height = 100) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    vcl::metafile::Document doc;
    if (vcl::metafile::Document::Load(file, doc) != vcl::metafile::LoadStatus::Ok) return {};
    QPainter painter(&image);
    doc.Play(painter, QRectF(0, 0, width, height));
    painter.end();
    return image;
}

inline QRgb Pixel(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

// One drawing case of a table: a metafile and the colours expected at some pixels.
struct Probe {
    int x, y;
    QRgb color;
};

struct DrawCase {
    const char* name;
    std::vector<uint8_t> file;
    std::vector<Probe> probes;
};

// Renders the case and checks every probe, each channel within `tolerance` levels.
inline void CheckDrawCase(const DrawCase& c, int tolerance = 0) {
    const QImage image = Render(c.file);
    ASSERT_FALSE(image.isNull()) << c.name;
    auto near = [tolerance](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= tolerance &&
               std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
               std::abs(qBlue(a) - qBlue(b)) <= tolerance;
    };
    for (const Probe& p : c.probes)
        EXPECT_PRED2(near, Pixel(image, p.x, p.y), p.color)
            << c.name << " at " << p.x << "," << p.y;
}

inline constexpr QRgb kWhite = 0xFFFFFF;
inline constexpr QRgb kBlack = 0x000000;
inline constexpr QRgb kRed = 0xFF0000;
inline constexpr QRgb kBlue = 0x0000FF;
// COLORREF values (0x00BBGGRR).
inline constexpr uint32_t kRefRed = 0x0000FF;
inline constexpr uint32_t kRefBlue = 0xFF0000;

} // namespace metafile_test
