#include "vcl/metafile/text_codec.h"

#include "platform/paths.h"

#include <QStringDecoder>

#include <array>

namespace vcl::metafile {
namespace {

struct Codepage {
    uint8_t charset;
    const char* name;
    bool doubleByte;
};

constexpr std::array kCodepages{
    Codepage{0, "windows-1252", false},   Codepage{128, "Shift_JIS", true},
    Codepage{129, "windows-949", true},   Codepage{130, "windows-949", true},
    Codepage{134, "GBK", true},           Codepage{136, "Big5", true},
    Codepage{161, "windows-1253", false}, Codepage{162, "windows-1254", false},
    Codepage{163, "windows-1258", false}, Codepage{177, "windows-1255", false},
    Codepage{178, "windows-1256", false}, Codepage{186, "windows-1257", false},
    Codepage{204, "windows-1251", false}, Codepage{222, "windows-874", false},
    Codepage{238, "windows-1250", false}, Codepage{255, "IBM437", false},
};

const Codepage* Find(uint8_t charset) {
    for (const Codepage& c : kCodepages)
        if (c.charset == charset) return &c;
    return nullptr;
}

bool IsLeadByte(const Codepage& cp, uint8_t b) {
    if (cp.charset == kShiftJisCharset) return platform::IsDBCSLeadByte(b);
    return b >= 0x81 && b <= 0xFE;
}

} // namespace

QString DecodeText(std::span<const uint8_t> bytes, uint8_t charset,
                   std::vector<int>* bytesPerChar) {
    // DEFAULT_CHARSET and the unlisted ones are taken as the Western code page; the symbol set
    // keeps its byte values.
    const Codepage* cp = Find(charset);
    if (!cp && charset != kSymbolCharset) cp = Find(0);
    QString out;
    if (bytesPerChar) bytesPerChar->clear();
    if (!cp) {
        for (uint8_t b : bytes) {
            out.append(QChar(b));
            if (bytesPerChar) bytesPerChar->push_back(1);
        }
        return out;
    }
    QStringDecoder decoder(cp->name);
    if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Latin1);
    if (!cp->doubleByte && !bytesPerChar) {
        return decoder.decode(QByteArrayView(reinterpret_cast<const char*>(bytes.data()),
                                             static_cast<qsizetype>(bytes.size())));
    }
    // Character by character, so that each one's byte count is known.
    for (size_t i = 0; i < bytes.size();) {
        const size_t len =
            cp->doubleByte && IsLeadByte(*cp, bytes[i]) && i + 1 < bytes.size() ? 2 : 1;
        QStringDecoder one(cp->name);
        if (!one.isValid()) one = QStringDecoder(QStringDecoder::Latin1);
        QString piece = one.decode(
            QByteArrayView(reinterpret_cast<const char*>(bytes.data() + i), qsizetype(len)));
        if (piece.isEmpty()) piece = QChar(QChar::ReplacementCharacter); // a cut-off lead byte
        out.append(piece);
        if (bytesPerChar)
            for (qsizetype k = 0; k < piece.size(); ++k)
                bytesPerChar->push_back(k == 0 ? static_cast<int>(len) : 0);
        i += len;
    }
    return out;
}

QString MapFaceName(const QString& face, uint8_t charset) {
    const QString f = face.trimmed();
    const QString folded = f.normalized(QString::NormalizationForm_KC).toLower().remove(' ');
    const bool proportional = folded.contains(QStringLiteral("msp")) ||
                              folded.contains(QStringLiteral("pゴシック")) ||
                              folded.contains(QStringLiteral("p明朝"));
    // The Japanese system faces, in either spelling; other "Gothic" families stay as they are.
    const bool msFace = folded.startsWith(QStringLiteral("ms"));
    if (folded.contains(QStringLiteral("明朝")) ||
        (msFace && folded.contains(QStringLiteral("mincho"))))
        return proportional ? QStringLiteral("IPAPMincho") : QStringLiteral("IPAMincho");
    if (folded.contains(QStringLiteral("ゴシック")) ||
        (msFace && folded.contains(QStringLiteral("gothic"))))
        return proportional ? QStringLiteral("IPAPGothic") : QStringLiteral("IPAGothic");
    if (f.isEmpty() && charset == kShiftJisCharset) return QStringLiteral("IPAPGothic");
    return f;
}

} // namespace vcl::metafile
