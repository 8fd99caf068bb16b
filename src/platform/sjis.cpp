#include "platform/sjis.h"

#include <array>
#include <memory>
#include <mutex>
#include <stdexcept>

#include <unicode/translit.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>

namespace korvin::platform {
namespace {

struct ConverterCloser {
    void operator()(UConverter *c) const { ucnv_close(c); }
};

UConverter *cp932()
{
    // One converter for the whole (single-threaded) program; ICU converters keep
    // state between calls, so every call resets it first.
    static std::unique_ptr<UConverter, ConverterCloser> converter = [] {
        UErrorCode status = U_ZERO_ERROR;
        UConverter *c = ucnv_open("windows-31j", &status);
        if (U_FAILURE(status))
            throw std::runtime_error("ICU has no windows-31j converter");
        status = U_ZERO_ERROR;
        ucnv_setSubstChars(c, "?", 1, &status);
        return std::unique_ptr<UConverter, ConverterCloser>(c);
    }();
    ucnv_reset(converter.get());
    return converter.get();
}

icu::Transliterator *transliterator(const char *id)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::Transliterator *t = icu::Transliterator::createInstance(icu::UnicodeString(id), UTRANS_FORWARD, status);
    if (U_FAILURE(status) || !t)
        throw std::runtime_error(std::string("ICU has no transliterator ") + id);
    return t;
}

QString transliterate(icu::Transliterator &t, const QString &text)
{
    icu::UnicodeString s(reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()));
    t.transliterate(s);
    return QString(reinterpret_cast<const QChar *>(s.getBuffer()), s.length());
}

} // namespace

QByteArray toSjis(const QString &text)
{
    if (text.isEmpty())
        return {};
    UConverter *c = cp932();
    UErrorCode status = U_ZERO_ERROR;
    QByteArray out(text.size() * 2 + 8, Qt::Uninitialized);
    int32_t n = ucnv_fromUChars(c, out.data(), int32_t(out.size()), reinterpret_cast<const UChar *>(text.utf16()),
                                int32_t(text.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        out.resize(n + 1);
        status = U_ZERO_ERROR;
        ucnv_reset(c);
        n = ucnv_fromUChars(c, out.data(), int32_t(out.size()), reinterpret_cast<const UChar *>(text.utf16()),
                            int32_t(text.size()), &status);
    }
    out.resize(U_FAILURE(status) ? 0 : n);
    return out;
}

QString fromSjis(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    UConverter *c = cp932();
    UErrorCode status = U_ZERO_ERROR;
    QString out(bytes.size() + 4, Qt::Uninitialized);
    int32_t n = ucnv_toUChars(c, reinterpret_cast<UChar *>(out.data()), int32_t(out.size()), bytes.constData(),
                              int32_t(bytes.size()), &status);
    out.resize(U_FAILURE(status) ? 0 : n);
    return out;
}

QString firstUnencodable(const QString &text)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString c = text.mid(i, n);
        // "?" for a character it lacks, or another character it would come back as.
        if (fromSjis(toSjis(c)) != c)
            return c;
        i += n;
    }
    return {};
}

QString unencodableMessage(const QString &box, const QString &character)
{
    return QStringLiteral("%1 の「%2」は Shift-JIS で保存できない文字です．").arg(box, character);
}

int sjisCharBytes(QChar c)
{
    const ushort u = c.unicode();
    if (u < 0x80)
        return 1;
    if (u >= 0xFF61 && u <= 0xFF9F) // half-width katakana
        return 1;
    // Widths are asked for character by character while columns are measured:
    // remember each answer instead of converting the character again.
    static std::array<quint8, 0x10000> known{};
    if (!known[u])
        known[u] = toSjis(QString(c)).size() == 2 ? 2 : 1;
    return known[u];
}

QString toHalfWidth(const QString &text)
{
    static std::unique_ptr<icu::Transliterator> t(transliterator("Fullwidth-Halfwidth"));
    return transliterate(*t, text);
}

QString toFullWidth(const QString &text)
{
    static std::unique_ptr<icu::Transliterator> t(transliterator("Halfwidth-Fullwidth"));
    return transliterate(*t, text);
}

} // namespace korvin::platform
