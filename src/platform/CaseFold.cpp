#include "CaseFold.h"

#include "Unicode.h"

#include <QList>
#include <QString>

namespace {

// Wide text folded; a carried byte stays itself (as its carrying unit).
std::u32string foldWide(const std::u16string& wide)
{
    std::u32string folded;
    std::size_t start = 0;
    while (start <= wide.size()) {
        std::size_t end = start;
        while (end < wide.size() && !IsCarriedByte(wide[end]))
            ++end;
        const QString text = QString::fromUtf16(wide.data() + start, qsizetype(end - start));
        const QList<uint> ucs4 = text.toCaseFolded().toUcs4();
        folded.append(ucs4.begin(), ucs4.end());
        if (end < wide.size())
            folded.push_back(char32_t(wide[end]));
        start = end + 1;
    }
    return folded;
}

}  // namespace

std::u32string FoldName(std::string_view name)
{
    // Plain ASCII names (most file names) fold without a trip through QString.
    std::u32string ascii(name.size(), U'\0');
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 0x80)
            return foldWide(WideFromNarrow(name));
        ascii[i] = (c >= 'A' && c <= 'Z') ? char32_t(c - 'A' + 'a') : char32_t(c);
    }
    return ascii;
}
