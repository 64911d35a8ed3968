#include "Unicode.h"

#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace {

bool knownCodePage(UINT codePage)
{
    return codePage == CP_ACP || codePage == CP_UTF8;
}

template <typename T>
int deliver(const T* converted, int needed, T* out, int outCount)
{
    if (!out || outCount == 0)
        return needed;
    if (outCount < needed)
        return 0;
    std::copy(converted, converted + needed, out);
    return needed;
}

// The length of the valid UTF-8 sequence at the start of text (its code
// point in codePoint), or 0 when the first byte starts none.
std::size_t sequenceAt(std::string_view text, char32_t& codePoint)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;   // the range of the second byte
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;  // no overlong forms
        if (lead == 0xED)
            high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    char32_t value = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        value = value << 6 | (byte(i) & 0x3F);
    }
    codePoint = value;
    return length;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | c >> 6));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | c >> 12));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | c >> 18));
        out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// The CP_ACP decoding; false (with nothing promised in wide) when refuse is
// set and a byte is no part of valid UTF-8.
bool decodeNarrow(std::string_view text, std::u16string& wide, bool refuse)
{
    wide.clear();
    wide.reserve(text.size());
    while (!text.empty()) {
        char32_t c = 0;
        const std::size_t length = sequenceAt(text, c);
        if (length == 0) {
            if (refuse)
                return false;
            wide.push_back(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(text.front())));
            text.remove_prefix(1);
            continue;
        }
        if (c >= 0x10000) {
            wide.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            wide.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            wide.push_back(static_cast<char16_t>(c));
        }
        text.remove_prefix(length);
    }
    return true;
}

}  // namespace

std::string_view Utf8Prefix(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit)
        return text;
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut);
}

std::u16string WideFromNarrow(std::string_view text)
{
    std::u16string wide;
    decodeNarrow(text, wide, false);
    return wide;
}

std::string NarrowFromWide(std::u16string_view wide)
{
    std::string text;
    text.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const char16_t unit = wide[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            appendUtf8(text, 0x10000 + (char32_t(unit - 0xD800) << 10) + (wide[i + 1] - 0xDC00));
            ++i;
        } else if (IsCarriedByte(unit)) {
            text.push_back(CarriedByte(unit));
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            appendUtf8(text, 0xFFFD);
        } else {
            appendUtf8(text, unit);
        }
    }
    return text;
}

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int count, char16_t* wide, int wideCount)
{
    if (!knownCodePage(codePage) || !text || count == 0 || count < -1 || wideCount < 0)
        return 0;
    const bool withNul = count == -1;
    const qsizetype bytes = withNul ? qsizetype(std::strlen(text)) : qsizetype(count);
    if (codePage == CP_ACP) {
        std::u16string converted;
        if (!decodeNarrow(std::string_view(text, std::size_t(bytes)), converted, (flags & MB_ERR_INVALID_CHARS) != 0))
            return 0;
        if (withNul)
            converted.push_back(u'\0');
        return deliver(converted.data(), int(converted.size()), wide, wideCount);
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString converted = decoder.decode(QByteArrayView(text, bytes));
    if ((flags & MB_ERR_INVALID_CHARS) && decoder.hasError())
        return 0;
    if (withNul)
        converted.append(QChar(u'\0'));
    return deliver(reinterpret_cast<const char16_t*>(converted.utf16()), int(converted.size()), wide, wideCount);
}

int WideCharToMultiByte(UINT codePage, DWORD, const char16_t* wide, int count, char* text, int textCount)
{
    if (!knownCodePage(codePage) || !wide || count == 0 || count < -1 || textCount < 0)
        return 0;
    const bool withNul = count == -1;
    qsizetype units = count;
    if (withNul)
        units = qsizetype(std::char_traits<char16_t>::length(wide));
    if (codePage == CP_ACP) {
        std::string converted = NarrowFromWide(std::u16string_view(wide, std::size_t(units)));
        if (withNul)
            converted.push_back('\0');
        return deliver(converted.data(), int(converted.size()), text, textCount);
    }
    QByteArray converted = QString::fromUtf16(wide, units).toUtf8();
    if (withNul)
        converted.append('\0');
    return deliver(converted.constData(), int(converted.size()), text, textCount);
}
