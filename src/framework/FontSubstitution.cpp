#include "FontSubstitution.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QStringList>

namespace {

bool g_installed = false;

// Families known to look written with a brush, best first: the one the
// install script provides (Debian's fonts-aoyagi-kouzan-t), so every machine
// shows the same lettering, then others of the kind a user may have added.
const char* const kBrushFamilies[] = {
    "AoyagiKouzanFontT",
    "KouzanGyoushoOTF", "KouzanBrushFontGyousyoOTF", "KouzanBrushFontGyousyo", "KouzanBrushFont",
    "aoyagireisyo", "aoyagireisyoshimo", "AoyagiReishoSIMO",
};

// Parts of family names that mark brush or calligraphic faces.
const char* const kBrushMarks[] = {
    "行書", "楷書", "毛筆", "筆", "gyosho", "gyousho", "gyosyo", "gyousyo",
    "reisyo", "reisho", "kaisho", "kaisyo", "brush", "fude",
};

bool hasApplication()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

QString findBrushFamily()
{
    const QStringList families = QFontDatabase::families();
    for (const char* wanted : kBrushFamilies) {
        for (const QString& family : families)
            if (family.compare(QString::fromUtf8(wanted), Qt::CaseInsensitive) == 0)
                return family;
    }
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    for (const char* mark : kBrushMarks) {
        for (const QString& family : japanese)
            if (family.contains(QString::fromUtf8(mark), Qt::CaseInsensitive))
                return family;
    }
    return QStringLiteral("IPAPMincho");
}

}  // namespace

std::string BrushScriptFamily()
{
    if (!hasApplication())
        return "IPAPMincho";
    return findBrushFamily().toStdString();
}

void InstallFontSubstitutions()
{
    if (!hasApplication())
        return;
    const QString gothic = QStringLiteral("IPAPGothic");
    const QString mincho = QStringLiteral("IPAPMincho");
    const QString sans = QStringLiteral("DejaVu Sans");
    // Replace what an earlier call registered rather than add to it.
    const auto set = [](const QString& from, const QStringList& to) {
        QFont::removeSubstitutions(from);
        QFont::insertSubstitutions(from, to);
    };
    set(QStringLiteral("ＭＳ Ｐゴシック"), {gothic, QStringLiteral("IPAGothic")});
    set(QStringLiteral("ＭＳ ゴシック"), {QStringLiteral("IPAGothic"), gothic});
    set(QStringLiteral("ＭＳ Ｐ明朝"), {mincho, QStringLiteral("IPAMincho")});
    set(QStringLiteral("ＭＳ 明朝"), {QStringLiteral("IPAMincho"), mincho});
    set(QStringLiteral("HGS行書体"), {findBrushFamily(), mincho});
    set(QStringLiteral("Tahoma"), {sans});
    set(QStringLiteral("MS Sans Serif"), {sans});
    g_installed = true;
}

void EnsureFontSubstitutions()
{
    if (!g_installed)
        InstallFontSubstitutions();
}
