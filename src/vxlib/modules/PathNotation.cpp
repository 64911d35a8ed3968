#include "PathNotation.h"

#include <sys/stat.h>

#include "FindFile.h"
#include "VxApi.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace vxmodule {

namespace {

constexpr int kMaxPage = 32767;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    if (isAscii(a) && isAscii(b)) {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
            if (x != y && std::tolower(x) != std::tolower(y))
                return false;
        }
        return true;
    }
    // The directory search's folding, so that a name its pattern found gets
    // the key of that pattern's extension.
    return FoldName(std::string(a)) == FoldName(std::string(b));
}

}  // namespace

bool copyToBuffer(std::string_view text, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return false;
    if (text.size() >= std::size_t(size) || text.find('\0') != std::string_view::npos) {
        buffer[0] = '\0';
        return false;
    }
    if (!text.empty())
        std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return true;
}

std::optional<PageSuffix> pageSuffix(std::string_view entry)
{
    // "|" is legal in a file name: an entry naming an existing file is that
    // file, whatever it ends with.
    struct stat status {};
    if (::stat(std::string(entry).c_str(), &status) == 0)
        return std::nullopt;
    const std::size_t bar = entry.rfind('|');
    if (bar == std::string_view::npos)
        return std::nullopt;
    const std::string_view digits = entry.substr(bar + 1);
    if (digits.empty() || digits.size() > 5)
        return std::nullopt;
    int page = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        page = page * 10 + (c - '0');
    }
    if (page > kMaxPage)
        return std::nullopt;
    return PageSuffix{bar, page};
}

std::optional<std::string> folderOfList(std::string_view list, int index)
{
    if (index < 0)
        return std::nullopt;
    int found = 0;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(';', start);
        if (end == std::string_view::npos)
            end = list.size();
        const std::string_view piece = list.substr(start, end - start);
        if (!piece.empty()) {
            if (found == index)
                return std::string(piece);
            ++found;
        }
        start = end + 1;
    }
    return std::nullopt;
}

std::vector<std::string> extensionList(std::string_view list)
{
    std::vector<std::string> extensions;
    std::size_t start = 0;
    while (start <= list.size() && extensions.size() < std::size_t(kVxExtSlots)) {
        std::size_t end = list.find(';', start);
        if (end == std::string_view::npos)
            end = list.size();
        std::string_view piece = trimmed(list.substr(start, end - start));
        if (piece.substr(0, 2) == "*.")
            piece.remove_prefix(2);
        else if (piece.substr(0, 1) == ".")
            piece.remove_prefix(1);
        if (!piece.empty() && piece.size() < std::size_t(kVxExtSlotSize))
            extensions.emplace_back(piece);
        start = end + 1;
    }
    return extensions;
}

int extensionSlot(std::string_view name, const char* table)
{
    const std::size_t dot = name.rfind('.');
    if (!table || dot == std::string_view::npos || dot + 1 >= name.size())
        return -1;
    const std::string_view extension = name.substr(dot + 1);
    for (int slot = 0; slot < kVxExtSlots; ++slot) {
        const char* text = table + std::size_t(slot) * kVxExtSlotSize;
        const std::size_t length = strnlen(text, kVxExtSlotSize);
        if (length == 0 || length == std::size_t(kVxExtSlotSize))
            continue;  // unused, or not a terminated text
        if (sameIgnoringCase(extension, std::string_view(text, length)))
            return slot;
    }
    return -1;
}

std::string dateKey(const struct timespec& time)
{
    // 0000-01-01 00:00:00 and 9999-12-31 23:59:59 UTC in seconds since 1970.
    constexpr std::int64_t kFirst = -62167219200LL;
    constexpr std::int64_t kLast = 253402300799LL;
    std::int64_t seconds = std::int64_t(time.tv_sec);
    long nanoseconds = time.tv_nsec;
    if (seconds < kFirst) {
        seconds = kFirst;
        nanoseconds = 0;
    } else if (seconds > kLast) {
        seconds = kLast;
        nanoseconds = 999999999;
    }
    const std::time_t value = std::time_t(seconds);
    struct tm fields {};
    if (!gmtime_r(&value, &fields))
        return "000000000000000";
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d%01d", fields.tm_year + 1900, fields.tm_mon + 1,
                  fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec,
                  int(std::clamp(nanoseconds, 0L, 999999999L) / 100000000));
    return text;
}

std::string_view lastCharacters(std::string_view text, int count)
{
    if (count <= 0)
        return {};
    std::size_t start = text.size();
    int taken = 0;
    while (start > 0 && taken < count) {
        --start;
        // A character starts at every byte that is not a continuation byte.
        if ((static_cast<unsigned char>(text[start]) & 0xC0) != 0x80)
            ++taken;
    }
    return text.substr(start);
}

}  // namespace vxmodule
