#include "SysUtils.h"

#include "CaseFold.h"
#include "Exception.h"
#include "LastError.h"
#include "Modules.h"
#include "Paths.h"
#include "TextCompare.h"
#include "Translation.h"

#include <cstdint>

namespace {

int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

bool TryStrToInt(const std::string& s, int& value)
{
    const size_t n = s.size();
    size_t i = 0;
    while (i < n && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < n && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        base = 16;
        i += 1;
    } else if (n - i > 2 && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return false;

    // Hexadecimal text may use all 32 bits; decimal text stops at INT_MAX
    // (INT_MIN with a minus sign).
    const uint64_t limit = base == 16 ? (negative ? 0x80000000u : 0xFFFFFFFFu)
                                      : (negative ? 0x80000000u : 0x7FFFFFFFu);
    uint64_t magnitude = 0;
    for (; i < n; ++i) {
        const int digit = DigitValue(s[i]);
        if (digit < 0 || digit >= base)
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return false;
    }
    const uint32_t bits = static_cast<uint32_t>(magnitude);
    value = static_cast<int32_t>(negative ? 0u - bits : bits);
    return true;
}

int StrToInt(const std::string& s)
{
    int value = 0;
    if (!TryStrToInt(s, value))
        throw Exception(Substitute(Translate("SysUtils", "'%1' は整数ではありません"), {s}));
    return value;
}

int StrToIntDef(const std::string& s, int def)
{
    int value = 0;
    return TryStrToInt(s, value) ? value : def;
}

std::string IntToStr(int value)
{
    return std::to_string(value);
}

std::string ExtractFileExt(const std::string& fileName)
{
    const std::string name = ExtractFileName(fileName);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ExtractFilePath(const std::string& fileName)
{
    return fileName.substr(0, fileName.size() - ExtractFileName(fileName).size());
}

std::string ExtractFileName(const std::string& fileName)
{
    return SplitAtLastSlash(fileName).name;
}

std::string IncludeTrailingPathDelimiter(const std::string& path)
{
    if (path.empty() || path.back() == '/')
        return path;
    return path + '/';
}

std::string ExcludeTrailingPathDelimiter(const std::string& path)
{
    if (path.size() > 1 && path.back() == '/')
        return path.substr(0, path.size() - 1);
    return path;
}

int AnsiCompareText(const std::string& a, const std::string& b)
{
    return CollateIgnoringCase(a, b);
}

bool AnsiSameText(const std::string& a, const std::string& b)
{
    // Letter case only: the collation would also take full-width and
    // half-width forms, or hiragana and katakana, as the same text.
    return a == b || FoldName(a) == FoldName(b);
}

std::string ExpandFileName(const std::string& fileName)
{
    return GetFullPathNameA(fileName);
}

std::string SysErrorMessage(unsigned long error)
{
    static const struct {
        unsigned long code;
        const char* text;
    } kMessages[] = {
        {ERROR_SUCCESS, QT_TRANSLATE_NOOP("SysUtils", "この操作を正しく終了しました。")},
        {ERROR_FILE_NOT_FOUND, QT_TRANSLATE_NOOP("SysUtils", "指定されたファイルが見つかりません。")},
        {ERROR_PATH_NOT_FOUND, QT_TRANSLATE_NOOP("SysUtils", "指定されたパスが見つかりません。")},
        {ERROR_ACCESS_DENIED, QT_TRANSLATE_NOOP("SysUtils", "アクセスが拒否されました。")},
        {ERROR_INVALID_HANDLE, QT_TRANSLATE_NOOP("SysUtils", "ハンドルが無効です。")},
        {ERROR_NOT_ENOUGH_MEMORY, QT_TRANSLATE_NOOP("SysUtils", "このコマンドを実行するのに十分な記憶域がありません。")},
        {ERROR_NOT_SAME_DEVICE, QT_TRANSLATE_NOOP("SysUtils", "別のディスク ドライブにファイルを移動できません。")},
        {ERROR_GEN_FAILURE, QT_TRANSLATE_NOOP("SysUtils", "デバイスが機能していません。")},
        {ERROR_SHARING_VIOLATION,
         QT_TRANSLATE_NOOP("SysUtils", "別のプロセスがファイルを変更したため、ファイルにアクセスできません。")},
        {ERROR_FILE_EXISTS, QT_TRANSLATE_NOOP("SysUtils", "ファイルが存在します。")},
        {ERROR_INVALID_PARAMETER, QT_TRANSLATE_NOOP("SysUtils", "パラメーターが間違っています。")},
        {ERROR_DISK_FULL, QT_TRANSLATE_NOOP("SysUtils", "ディスクに十分な空き領域がありません。")},
        {ERROR_ALREADY_EXISTS, QT_TRANSLATE_NOOP("SysUtils", "既に存在するファイルを作成することはできません。")},
        {ERROR_FILENAME_EXCED_RANGE, QT_TRANSLATE_NOOP("SysUtils", "ファイル名またはパスが長すぎます。")},
    };
    for (const auto& message : kMessages)
        if (message.code == error)
            return Translate("SysUtils", message.text);
    return Substitute(Translate("SysUtils", "エラー %1"), {std::to_string(error)});
}

Exception ListIndexError(int index)
{
    return Exception(Substitute(Translate("SysUtils", "リストのインデックスが範囲を超えています (%1)"), {std::to_string(index)}));
}
