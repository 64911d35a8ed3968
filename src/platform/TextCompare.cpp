#include "TextCompare.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <cstring>

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

}  // namespace

int lstrcmpiA(const std::string& a, const std::string& b)
{
    thread_local const QCollator collator = makeCollator();
    int c = collator.compare(QString::fromUtf8(a.data(), qsizetype(a.size())),
                             QString::fromUtf8(b.data(), qsizetype(b.size())));
    if (c == 0)
        c = std::strcmp(a.c_str(), b.c_str());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}
