#include "plugins/ifjpeg/jpeg_decoder.h"

// jpeglib.h needs these first.
#include <cstddef>
#include <cstdio>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <string>

#include <jerror.h>
#include <jpeglib.h>

#include "plugins/common/spi_density.h"
#include "plugins/common/spi_limits.h"

namespace ifjpeg {

namespace {

constexpr int kMarkerComment = JPEG_COM;
constexpr unsigned kMaxSavedMarkerBytes = 0xFFFF;
// libjpeg's own working memory (whole-image coefficient arrays of progressive pictures).
constexpr long kMaxDecoderMemoryBytes = long(1) << 30;

// Turns libjpeg's fatal errors into a jump back to the decoding call and remembers whether the
// data ran out: libjpeg warns "premature end" before every error caused by a short file.
struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    int code = 0;
    bool sawEndOfData = false;
};

void OnFatalError(j_common_ptr cinfo) {
    auto* e = reinterpret_cast<ErrorManager*>(cinfo->err);
    e->code = e->pub.msg_code;
    longjmp(e->jump, 1);
}

void OnMessage(j_common_ptr cinfo, int level) {
    auto* e = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (level >= 0) return; // trace messages
    if (e->pub.msg_code == JWRN_JPEG_EOF) e->sawEndOfData = true;
    e->pub.num_warnings++;
}

void OnOutput(j_common_ptr) {}

void InstallErrorManager(jpeg_decompress_struct& cinfo, ErrorManager& e) {
    jpeg_std_error(&e.pub);
    e.pub.error_exit = OnFatalError;
    e.pub.emit_message = OnMessage;
    e.pub.output_message = OnOutput;
    cinfo.err = &e.pub;
}

bool IsMemoryError(int code) {
    return code == JERR_OUT_OF_MEMORY || code == JERR_IMAGE_TOO_BIG ||
           code == JERR_WIDTH_OVERFLOW || code == JERR_NO_BACKING_STORE;
}

// The result code of a fatal error met while reading the header.
int32_t HeaderFailure(const ErrorManager& e) {
    if (IsMemoryError(e.code)) return SPI_NO_MEMORY;
    if (e.code == JERR_INPUT_EMPTY || e.sawEndOfData) return SPI_FILE_READ_ERROR;
    if (e.code == JERR_NO_SOI) return SPI_NOT_SUPPORTED;
    return SPI_BROKEN_DATA;
}

// What can be told before libjpeg runs: an empty input has no header, and anything not
// starting with the SOI marker is not a JPEG (a one-byte 0xFF could still be one, cut short).
int32_t CheckSignature(Bytes bytes) {
    if (bytes.empty()) return SPI_FILE_READ_ERROR;
    if (bytes[0] != 0xFF || (bytes.size() > 1 && bytes[1] != 0xD8)) return SPI_NOT_SUPPORTED;
    return SPI_OK;
}

bool IsGrey(const jpeg_decompress_struct& cinfo) {
    return cinfo.jpeg_color_space == JCS_GRAYSCALE;
}
bool IsInk(const jpeg_decompress_struct& cinfo) {
    return cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
}

std::string Comments(const jpeg_decompress_struct& cinfo) {
    std::string text;
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next) {
        if (m->marker != kMarkerComment) continue;
        const auto* data = reinterpret_cast<const char*>(m->data);
        const size_t length = strnlen(data, m->data_length); // the text ends at a zero, if any
        if (length == 0) continue;
        if (!text.empty()) text += '\n';
        text.append(data, length);
    }
    return text;
}

inline uint8_t Multiply255(unsigned a, unsigned b) {
    const unsigned t = a * b + 128;
    return uint8_t((t + (t >> 8)) >> 8);
}

// CMYK (as libjpeg delivers it, also for YCCK) to BGR. Writers following the Adobe convention
// store the ink values inverted.
void InkToBgr(const uint8_t* cmyk, uint8_t* bgr, uint32_t width, bool inverted) {
    for (uint32_t x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        bgr[0] = Multiply255(y, k);
        bgr[1] = Multiply255(m, k);
        bgr[2] = Multiply255(c, k);
    }
}

// The libjpeg objects of one call. Plain data only: a fatal error jumps over this frame's
// callees, so nothing here may need a destructor.
struct Session {
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    volatile bool headerRead = false; // read after a jump back
    volatile bool outputStarted = false;
};

void Open(Session& s, Bytes bytes, bool keepComments) {
    jpeg_create_decompress(&s.cinfo);
    s.cinfo.mem->max_memory_to_use = kMaxDecoderMemoryBytes;
    jpeg_mem_src(&s.cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (keepComments) jpeg_save_markers(&s.cinfo, kMarkerComment, kMaxSavedMarkerBytes);
    jpeg_read_header(&s.cinfo, TRUE);
    s.headerRead = true;
}

int32_t BitsPerPixel(const jpeg_decompress_struct& cinfo) {
    return IsGrey(cinfo) ? 8 : 24;
}

// Reads the rows into the DIB; the caller has started decompression.
int32_t ReadRows(jpeg_decompress_struct& cinfo, spi::Progress& progress, spi::DibOutput& out) {
    const int32_t height = int32_t(cinfo.output_height);
    const bool ink = cinfo.out_color_space == JCS_CMYK;
    JSAMPARRAY inkRow = ink ? (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                         JPOOL_IMAGE, cinfo.output_width * 4, 1)
                            : nullptr;
    constexpr int kRowsPerCall = 4; // libjpeg returns up to rec_outbuf_height rows (at most 4)
    JSAMPROW rows[kRowsPerCall];
    while (cinfo.output_scanline < cinfo.output_height) {
        const int32_t y = int32_t(cinfo.output_scanline);
        JDIMENSION got;
        if (ink) {
            got = jpeg_read_scanlines(&cinfo, inkRow, 1);
            if (got == 1)
                InkToBgr(inkRow[0], out.row(y), cinfo.output_width, cinfo.saw_Adobe_marker);
        } else {
            const int32_t n = std::min<int32_t>(kRowsPerCall, height - y);
            for (int32_t i = 0; i < n; ++i)
                rows[i] = out.row(y + i);
            got = jpeg_read_scanlines(&cinfo, rows, JDIMENSION(n));
        }
        if (got == 0) return SPI_BROKEN_DATA; // cannot happen with an in-memory source
        if (!progress.Report(int32_t(cinfo.output_scanline), height)) return SPI_ABORTED;
    }
    return SPI_OK;
}

void FillGreyPalette(spi::DibOutput& out) {
    for (uint32_t i = 0; i < out.paletteEntries(); ++i)
        out.palette()[i] = DibRgbQuad{uint8_t(i), uint8_t(i), uint8_t(i), 0};
}

int32_t DecodeOpened(Session& s, int scaleDenominator, spi::Progress& progress,
                     spi::DibOutput& out) {
    jpeg_decompress_struct& cinfo = s.cinfo;
    const int bits = BitsPerPixel(cinfo);
    if (int32_t rc = spi::CheckDimensions(cinfo.image_width, cinfo.image_height, bits);
        rc != SPI_OK)
        return rc;
    cinfo.out_color_space = IsGrey(cinfo) ? JCS_GRAYSCALE : IsInk(cinfo) ? JCS_CMYK : JCS_EXT_BGR;
    cinfo.scale_num = 1;
    cinfo.scale_denom = unsigned(scaleDenominator);
    jpeg_start_decompress(&cinfo);
    s.outputStarted = true;
    const int32_t rc = out.Allocate(int32_t(cinfo.output_width), int32_t(cinfo.output_height), bits,
                                    bits == 8 ? 256 : 0);
    if (rc != SPI_OK) return rc;
    if (bits == 8) FillGreyPalette(out);
    return ReadRows(cinfo, progress, out);
}

} // namespace

int32_t ReadJpegInfo(Bytes bytes, SpiPictureInfo& info) {
    if (const int32_t rc = CheckSignature(bytes); rc != SPI_OK) return rc;
    Session s;
    std::memset(&s.cinfo, 0, sizeof s.cinfo);
    InstallErrorManager(s.cinfo, s.errors);
    if (setjmp(s.errors.jump)) {
        jpeg_destroy_decompress(&s.cinfo);
        return HeaderFailure(s.errors);
    }
    Open(s, bytes, true);
    const jpeg_decompress_struct& cinfo = s.cinfo;
    int32_t rc = spi::CheckDimensions(cinfo.image_width, cinfo.image_height, BitsPerPixel(cinfo));
    if (rc == SPI_OK) {
        info = SpiPictureInfo{};
        info.width = int32_t(cinfo.image_width);
        info.height = int32_t(cinfo.image_height);
        const spi::Density d = cinfo.saw_JFIF_marker
                                   ? spi::ReducedDensity(cinfo.X_density, cinfo.Y_density)
                                   : spi::Density{};
        info.xDensity = d.x;
        info.yDensity = d.y;
        info.bitsPerPixel = int16_t(BitsPerPixel(cinfo));
        info.textInfo = spi::MakeTextInfo(Comments(cinfo));
    }
    jpeg_destroy_decompress(&s.cinfo);
    return rc;
}

int32_t DecodeJpeg(Bytes bytes, int scaleDenominator, spi::Progress progress, spi::DibOutput& out) {
    if (const int32_t rc = CheckSignature(bytes); rc != SPI_OK) return rc;
    Session s;
    std::memset(&s.cinfo, 0, sizeof s.cinfo);
    InstallErrorManager(s.cinfo, s.errors);
    if (setjmp(s.errors.jump)) {
        jpeg_destroy_decompress(&s.cinfo);
        if (IsMemoryError(s.errors.code)) return SPI_NO_MEMORY;
        if (!s.headerRead) return HeaderFailure(s.errors);
        // Once rows are being delivered, a later failure keeps what was decoded.
        if (out.header() && s.outputStarted) return SPI_OK;
        return SPI_BROKEN_DATA;
    }
    Open(s, bytes, false);
    const int32_t rc = DecodeOpened(s, scaleDenominator, progress, out);
    // The rest of the data (trailing markers) is not needed: no jpeg_finish_decompress.
    jpeg_destroy_decompress(&s.cinfo);
    return rc;
}

} // namespace ifjpeg
