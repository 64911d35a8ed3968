#include "ShellExecute.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <cstdint>
#include <sys/stat.h>

namespace {

HINSTANCE result(std::intptr_t code)
{
    return reinterpret_cast<HINSTANCE>(code);
}

bool isAddress(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && url.scheme().size() > 1;  // "C:" style drive letters are no scheme
}

}  // namespace

HINSTANCE ShellExecuteA(HWND, const char* verb, const char* file, const char* parameters, const char* folder, int)
{
    const QString action = QString::fromUtf8(verb ? verb : "");
    if (!action.isEmpty() && action.compare("open", Qt::CaseInsensitive) != 0)
        return result(31);
    if (!file || !*file)
        return result(2);
    const QString target = QString::fromUtf8(file);
    struct stat st;
    if (!isAddress(target) && ::stat(file, &st) != 0)
        return result(2);

    QStringList arguments{target};
    if (parameters && *parameters)
        arguments += QProcess::splitCommand(QString::fromUtf8(parameters));
    const QString workingFolder = QString::fromUtf8(folder ? folder : "");
    if (!QProcess::startDetached("xdg-open", arguments, workingFolder))
        return result(0);
    return result(42);
}
