#include "TextCompare.h"

#include <QCollator>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <cstring>
#include <string>

namespace {

QCollator makeCollator()
{
    QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    return collator;
}

// UTF-16 of a UTF-8 text. Plain ASCII (most file names) is widened into a
// reused buffer; anything else goes through Qt's decoder.
class Utf16Text {
public:
    QStringView view(const std::string& utf8)
    {
        m_ascii.resize(utf8.size());
        for (std::size_t i = 0; i < utf8.size(); ++i) {
            const auto c = static_cast<unsigned char>(utf8[i]);
            if (c >= 0x80) {
                m_decoded = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
                return QStringView(m_decoded);
            }
            m_ascii[i] = char16_t(c);
        }
        return QStringView(m_ascii.data(), qsizetype(m_ascii.size()));
    }

private:
    std::u16string m_ascii;
    QString m_decoded;
};

const QCollator& theCollator()
{
    thread_local const QCollator collator = makeCollator();
    return collator;
}

int sign(int c)
{
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace

int CollateIgnoringCase(const std::string& a, const std::string& b)
{
    thread_local Utf16Text first, second;
    return sign(theCollator().compare(first.view(a), second.view(b)));
}

TSortText::TSortText(std::string text)
    : m_text(std::move(text)), m_key(theCollator().sortKey(QString::fromUtf8(m_text.data(), qsizetype(m_text.size()))))
{
}

int TSortText::Compare(const TSortText& other) const
{
    const int c = m_key.compare(other.m_key);
    if (c != 0)
        return sign(c);
    return sign(std::strcmp(m_text.c_str(), other.m_text.c_str()));
}

int lstrcmpiA(const std::string& a, const std::string& b)
{
    const int c = CollateIgnoringCase(a, b);
    if (c != 0)
        return c;
    const int bytes = std::strcmp(a.c_str(), b.c_str());
    return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
}
