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

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int count, char16_t* wide, int wideCount)
{
    if (!knownCodePage(codePage) || !text || count == 0 || count < -1 || wideCount < 0)
        return 0;
    const bool withNul = count == -1;
    const qsizetype bytes = withNul ? qsizetype(std::strlen(text)) : qsizetype(count);
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
    QByteArray converted = QString::fromUtf16(wide, units).toUtf8();
    if (withNul)
        converted.append('\0');
    return deliver(converted.constData(), int(converted.size()), text, textCount);
}
