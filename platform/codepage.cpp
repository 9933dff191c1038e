#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace platform {

bool IsValidUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<uint8_t>(bytes[i]);
        size_t length;
        uint32_t min;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            min = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            min = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            min = 0x10000;
        } else {
            return false;
        }
        if (i + length > bytes.size()) return false;
        uint32_t code = lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<uint8_t>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD"; // U+FFFD

class Converter {
public:
    Converter() : cd_(iconv_open("UTF-8", "CP932")) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

} // namespace

std::string DecodeCp932(std::string_view bytes) {
    Converter converter;
    std::string out;
    if (!converter.ok()) {
        // Without the converter only ASCII can be shown faithfully.
        for (char c : bytes) {
            if (static_cast<uint8_t>(c) < 0x80)
                out += c;
            else
                out += kReplacement;
        }
        return out;
    }
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (rc != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        // EILSEQ (no such character) or EINVAL (a lead byte at the end): skip one byte.
        out += kReplacement;
        ++in;
        --inLeft;
        iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

std::string DisplayName(std::string_view bytes) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    return DecodeCp932(bytes);
}

} // namespace platform
