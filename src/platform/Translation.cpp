#include "Translation.h"

#include <memory>

#include <QCoreApplication>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

#include <vector>

namespace {

// The installed translation, owned by the application object (so it goes
// with it); null while none is installed.
QPointer<QTranslator> g_english;

}  // namespace

bool SystemIsJapanese()
{
    return QLocale::system().language() == QLocale::Japanese;
}

void InstallTranslation()
{
    UseEnglishTranslation(!SystemIsJapanese());
}

bool UseEnglishTranslation(bool english)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return !english;
    if (!english) {
        delete g_english.data();  // removes itself from the application
        return true;
    }
    if (g_english)
        return true;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral(":/i18n/pictal_en.qm")) || !QCoreApplication::installTranslator(translator.get()))
        return false;
    // Installed: the application owns it from here and removes it when it goes.
    translator->setParent(application);
    g_english = translator.release();
    return true;
}

std::string Translate(const char* context, const char* text)
{
    return QCoreApplication::translate(context, text).toStdString();
}

std::string Substitute(std::string_view text, std::initializer_list<std::string_view> args)
{
    const std::vector<std::string_view> values(args);
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const std::size_t index = std::size_t(text[i + 1] - '1');
            if (index < values.size()) {
                result.append(values[index]);
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}
