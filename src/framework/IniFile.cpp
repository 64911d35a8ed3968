#include "IniFile.h"

#include "CaseFold.h"
#include "Exception.h"
#include "FileDescriptor.h"
#include "FileOps.h"
#include "SysUtils.h"
#include "Translation.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace {

// Longest value a read returns, in characters.
constexpr size_t kMaxValueCharacters = 2047;
// Larger files are not taken for profile files: reads give the defaults and
// writes are refused, so the file is never half-read and then overwritten.
constexpr std::int64_t kMaxFileBytes = 64 * 1024 * 1024;

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// A value as a read returns it: at most kMaxValueCharacters characters
// (Unicode code points, so a path of Japanese names is not cut three times
// sooner than one of Latin letters).
std::string CutValue(std::string_view value)
{
    size_t characters = 0;
    for (size_t i = 0; i < value.size(); ++i) {
        if ((static_cast<unsigned char>(value[i]) & 0xC0) == 0x80)
            continue;  // a continuation byte belongs to the character before it
        if (characters == kMaxValueCharacters)
            return std::string(value.substr(0, i));
        ++characters;
    }
    return std::string(value);
}

// A value enclosed in a matching pair of double or single quotes stands for
// the text between them (the profile files' own convention, so blanks at its
// ends are kept).
std::string_view Unquoted(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The text a value is written as: enclosed in double quotes when it would
// otherwise not read back as itself (blanks at an end, or quotes around it).
std::string Quoted(std::string_view value)
{
    if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || Unquoted(value) != value)) {
        std::string quoted(1, '"');
        quoted += value;
        quoted += '"';
        return quoted;
    }
    return std::string(value);
}

// ---- lines of a profile file ---------------------------------------------

struct Line {
    size_t begin = 0;    // first byte of the line
    size_t textEnd = 0;  // end of its text, before "\r\n" or "\n"
    size_t end = 0;      // first byte after its line end
};

enum LineKind { lkOther, lkBlank, lkSection, lkKey };

struct LineInfo {
    LineKind kind = lkOther;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key value, trimmed
};

LineInfo Classify(std::string_view text)
{
    LineInfo info;
    const std::string_view s = Trim(text);
    if (s.empty()) {
        info.kind = lkBlank;
        return info;
    }
    if (s.front() == '[') {
        const size_t close = s.find(']');
        if (close != std::string_view::npos) {
            info.kind = lkSection;
            info.name = Trim(s.substr(1, close - 1));
            return info;
        }
    }
    const size_t eq = s.find('=');
    if (eq != std::string_view::npos) {
        info.kind = lkKey;
        info.name = Trim(s.substr(0, eq));
        info.value = Trim(s.substr(eq + 1));
    }
    return info;
}

size_t ContentStart(std::string_view data)
{
    return data.substr(0, kBom.size()) == kBom ? kBom.size() : 0;
}

class LineReader {
public:
    explicit LineReader(std::string_view data, size_t from = std::string_view::npos)
        : m_data(data), m_pos(from == std::string_view::npos ? ContentStart(data) : from)
    {
    }

    bool Next(Line& line)
    {
        if (m_pos >= m_data.size())
            return false;
        line.begin = m_pos;
        const size_t nl = m_data.find('\n', m_pos);
        if (nl == std::string_view::npos) {
            line.textEnd = line.end = m_data.size();
        } else {
            line.end = nl + 1;
            line.textEnd = (nl > m_pos && m_data[nl - 1] == '\r') ? nl - 1 : nl;
        }
        m_pos = line.end;
        return true;
    }

    LineInfo Info(const Line& line) const
    {
        return Classify(m_data.substr(line.begin, line.textEnd - line.begin));
    }

private:
    std::string_view m_data;
    size_t m_pos;
};

// The line end new lines get: that of the file's first line, else "\n".
std::string_view NewlineOf(std::string_view data)
{
    const size_t nl = data.find('\n');
    if (nl != std::string_view::npos && nl > 0 && data[nl - 1] == '\r')
        return "\r\n";
    return "\n";
}

// One section: from its header line to the next header (or the end).
struct SectionSpan {
    bool found = false;
    size_t begin = 0;        // start of the header line
    size_t bodyBegin = 0;    // first byte after the header line
    size_t end = 0;          // start of the next header, or the end of the data
    size_t contentEnd = 0;   // end of the last non-blank line (the header's own end when none)
};

SectionSpan FindSection(std::string_view data, const std::u32string& foldedName,
                        size_t from = std::string_view::npos)
{
    SectionSpan span;
    LineReader reader(data, from);
    Line line;
    while (reader.Next(line)) {
        const LineInfo info = reader.Info(line);
        if (span.found) {
            if (info.kind == lkSection)
                return span;
            span.end = line.end;
            if (info.kind != lkBlank)
                span.contentEnd = line.end;
        } else if (info.kind == lkSection && FoldName(info.name) == foldedName) {
            span.found = true;
            span.begin = line.begin;
            span.bodyBegin = span.end = span.contentEnd = line.end;
        }
    }
    return span;
}

// The first key line of that name within [span.bodyBegin, span.end).
bool FindKey(std::string_view data, const SectionSpan& span, const std::u32string& foldedName,
             Line& found, LineInfo& foundInfo)
{
    const std::string_view body = data.substr(0, span.end);
    LineReader reader(body, span.bodyBegin);
    Line line;
    while (reader.Next(line)) {
        const LineInfo info = reader.Info(line);
        if (info.kind == lkKey && FoldName(info.name) == foldedName) {
            found = line;
            foundInfo = info;
            return true;
        }
    }
    return false;
}

// ---- the file on disk -----------------------------------------------------

enum LoadResult { lrLoaded, lrMissing, lrUnreadable };

LoadResult LoadFile(const std::string& path, std::string& data)
{
    data.clear();
    struct stat st;
    if (path.empty())
        return lrMissing;
    if (::stat(path.c_str(), &st) != 0)
        return (errno == ENOENT || errno == ENOTDIR) ? lrMissing : lrUnreadable;
    if (!S_ISREG(st.st_mode) || st.st_size > kMaxFileBytes)
        return lrUnreadable;
    // The path's own bytes: a name need not be UTF-8.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.valid())
        return lrUnreadable;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            data.clear();
            return lrUnreadable;
        }
        data.append(buffer, static_cast<size_t>(n));
        if (data.size() > static_cast<size_t>(kMaxFileBytes)) {
            data.clear();
            return lrUnreadable;
        }
    }
    return lrLoaded;
}

std::string FullPath(const std::string& path)
{
    if (path.empty() || path.front() == '/')
        return path;
    return ExpandFileName(path);
}

// A refused write; the reason, when given, says what in the text is at fault.
[[noreturn]] void RefuseWrite(const std::string& path, const std::string& reason = {})
{
    if (reason.empty())
        throw Exception(Substitute(Translate("TIniFile", "%1 に書き込めません"), {FullPath(path)}));
    throw Exception(Substitute(Translate("TIniFile", "%1 に書き込めません: %2"), {FullPath(path), reason}));
}

// The file's present text, for a change that will be written back; refused
// when the file exists but cannot be read whole (writing would lose it).
std::string LoadForChange(const std::string& path, bool& missing)
{
    std::string data;
    const LoadResult result = LoadFile(path, data);
    if (result == lrUnreadable)
        RefuseWrite(path);
    missing = result == lrMissing;
    return data;
}

// Writes data over the existing regular file at path, without a temporary
// file: for a folder that takes no new entries. The space is reserved before
// anything is overwritten, so a full disk refuses the write with the old text
// whole; then the text is written from the start, synced, and the file cut
// to its length. False when the file cannot be opened for writing or a step
// fails.
bool RewriteInPlace(const std::string& path, const std::string& data)
{
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat st;
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const off_t size = static_cast<off_t>(data.size());
    if (size > st.st_size && ::posix_fallocate(fd.get(), 0, size) != 0) {
        // Give back whatever part of the extension was made.
        [[maybe_unused]] const int ignored = ::ftruncate(fd.get(), st.st_size);
        return false;
    }
    // The descriptor is fresh, so the text goes from the start.
    if (!writeAll(fd.get(), data.data(), data.size()))
        return false;
    return ::fsync(fd.get()) == 0 && ::ftruncate(fd.get(), size) == 0 && ::fsync(fd.get()) == 0 && fd.close();
}

void SaveFile(const std::string& path, const std::string& data)
{
    if (path.empty())
        RefuseWrite(path);
    // A file without any write permission bit is read-only for everybody,
    // the superuser included.
    struct stat st;
    const bool existing = ::stat(path.c_str(), &st) == 0;
    if (existing && (st.st_mode & 0222) == 0)
        RefuseWrite(path);
    if (existing && !S_ISREG(st.st_mode))
        RefuseWrite(path);
    // The new text takes the file's place whole, with the file's permission
    // bits. Paths are used as their bytes: a name need not be UTF-8.
    bool noTemporaryFile = false;
    if (ReplaceFileContents(path, data, &noTemporaryFile))
        return;
    // No temporary file beside it (the folder takes no new entries): an
    // existing file that may be written is rewritten in place.
    if (noTemporaryFile && existing && RewriteInPlace(path, data))
        return;
    RefuseWrite(path);
}

// ---- text that a write may store ------------------------------------------

bool HasLineBreak(std::string_view s)
{
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// The header line for a section name, when it reads back as that name.
bool HeaderLine(std::string_view section, std::string& line)
{
    line.assign(1, '[');
    line.append(section);
    line += ']';
    const LineInfo info = Classify(line);
    return !HasLineBreak(section) && info.kind == lkSection && info.name == section;
}

// The key line for a key and value, when it reads back as that key and value.
bool KeyLine(std::string_view ident, std::string_view value, std::string& line)
{
    line = std::string(ident) + "=" + Quoted(value);
    const LineInfo info = Classify(line);
    return !HasLineBreak(line) && info.kind == lkKey && info.name == ident && Unquoted(info.value) == value;
}

// Why the section, key and value cannot be written as lines that read back as
// them; empty when they can. Names that hold a line break are not repeated.
std::string UnstorableReason(const std::string& section, const std::string& ident, const std::string& value)
{
    std::string line;
    if (HasLineBreak(section))
        return Translate("TIniFile", "節の名前に改行が含まれています");
    if (!HeaderLine(section, line))
        return Substitute(Translate("TIniFile", "節の名前 %1 に「]」が含まれています"), {section});
    if (HasLineBreak(ident))
        return Substitute(Translate("TIniFile", "[%1] のキー名に改行が含まれています"), {section});
    if (ident.find('=') != std::string::npos)
        return Substitute(Translate("TIniFile", "[%1] のキー名 %2 に「=」が含まれています"), {section, ident});
    if (HasLineBreak(value))
        return Substitute(Translate("TIniFile", "[%1] %2 の値に改行が含まれています"), {section, ident});
    if (!KeyLine(ident, value, line))
        return Substitute(Translate("TIniFile", "[%1] %2 の行は節の見出しと読まれてしまいます"), {section, ident});
    return {};
}

bool EndsWithBlankLine(std::string_view data)
{
    const size_t start = ContentStart(data);
    if (data.size() <= start)
        return true;
    LineReader reader(data);
    Line line, last;
    while (reader.Next(line))
        last = line;
    return reader.Info(last).kind == lkBlank;
}

std::string ChangedText(const std::string& data, const std::string& section,
                        const std::string& ident, const std::string& value)
{
    const std::string_view newline = NewlineOf(data);
    const SectionSpan span = FindSection(data, FoldName(section));
    if (span.found) {
        Line keyLine;
        LineInfo keyInfo;
        if (FindKey(data, span, FoldName(ident), keyLine, keyInfo)) {
            std::string line;
            KeyLine(keyInfo.name, value, line);
            return data.substr(0, keyLine.begin) + line + data.substr(keyLine.textEnd);
        }
        std::string line;
        KeyLine(ident, value, line);
        const size_t at = span.contentEnd;
        const bool needsBreak = at > 0 && data[at - 1] != '\n';
        return data.substr(0, at) + (needsBreak ? std::string(newline) : std::string()) + line +
               std::string(newline) + data.substr(at);
    }

    std::string header, line;
    HeaderLine(section, header);
    KeyLine(ident, value, line);
    std::string result = data;
    if (result.size() > ContentStart(result)) {
        if (result.back() != '\n')
            result += newline;
        if (!EndsWithBlankLine(result))
            result += newline;
    }
    result += header;
    result += newline;
    result += line;
    result += newline;
    return result;
}

}  // namespace

// ---- values on top of text -----------------------------------------------

int TCustomIniFile::ReadInteger(const std::string& section, const std::string& ident, int def) const
{
    return StrToIntDef(ReadString(section, ident, std::string()), def);
}

bool TCustomIniFile::ReadBool(const std::string& section, const std::string& ident, bool def) const
{
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TCustomIniFile::WriteInteger(const std::string& section, const std::string& ident, int value)
{
    WriteString(section, ident, IntToStr(value));
}

void TCustomIniFile::WriteBool(const std::string& section, const std::string& ident, bool value)
{
    WriteString(section, ident, value ? "1" : "0");
}

bool TCustomIniFile::SectionExists(const std::string& section) const
{
    std::vector<std::string> idents;
    ReadSection(section, idents);
    return !idents.empty();
}

// ---- the profile file ------------------------------------------------------

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& def) const
{
    std::string data;
    if (LoadFile(FileName(), data) != lrLoaded)
        return def;
    const SectionSpan span = FindSection(data, FoldName(Trim(section)));
    Line line;
    LineInfo info;
    if (!span.found || !FindKey(data, span, FoldName(Trim(ident)), line, info))
        return def;
    return CutValue(Unquoted(info.value));
}

void TIniFile::WriteString(const std::string& section, const std::string& ident,
                           const std::string& value)
{
    const std::string name(Trim(section)), key(Trim(ident));
    const std::string reason = UnstorableReason(name, key, value);
    if (!reason.empty())
        RefuseWrite(FileName(), reason);
    bool missing = false;
    const std::string data = LoadForChange(FileName(), missing);
    SaveFile(FileName(), ChangedText(data, name, key, value));
}

void TIniFile::ReadSection(const std::string& section, std::vector<std::string>& idents) const
{
    idents.clear();
    std::string data;
    if (LoadFile(FileName(), data) != lrLoaded)
        return;
    const SectionSpan span = FindSection(data, FoldName(Trim(section)));
    if (!span.found)
        return;
    std::unordered_set<std::u32string> seen;
    LineReader reader(std::string_view(data).substr(0, span.end), span.bodyBegin);
    Line line;
    while (reader.Next(line)) {
        const LineInfo info = reader.Info(line);
        if (info.kind == lkKey && seen.insert(FoldName(info.name)).second)
            idents.emplace_back(info.name);
    }
}

void TIniFile::ReadSections(std::vector<std::string>& sections) const
{
    sections.clear();
    std::string data;
    if (LoadFile(FileName(), data) != lrLoaded)
        return;
    std::unordered_set<std::u32string> seen;
    LineReader reader(data);
    Line line;
    while (reader.Next(line)) {
        const LineInfo info = reader.Info(line);
        if (info.kind == lkSection && seen.insert(FoldName(info.name)).second)
            sections.emplace_back(info.name);
    }
}

bool TIniFile::ValueExists(const std::string& section, const std::string& ident) const
{
    std::string data;
    if (LoadFile(FileName(), data) != lrLoaded)
        return false;
    const SectionSpan span = FindSection(data, FoldName(Trim(section)));
    Line line;
    LineInfo info;
    return span.found && FindKey(data, span, FoldName(Trim(ident)), line, info);
}

void TIniFile::EraseSection(const std::string& section)
{
    bool missing = false;
    std::string data = LoadForChange(FileName(), missing);
    if (missing)
        return;
    const std::u32string folded = FoldName(Trim(section));
    bool changed = false;
    for (SectionSpan span = FindSection(data, folded); span.found;
         span = FindSection(data, folded, span.begin)) {
        data.erase(span.begin, span.end - span.begin);
        changed = true;
    }
    if (changed)
        SaveFile(FileName(), data);
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident)
{
    bool missing = false;
    std::string data = LoadForChange(FileName(), missing);
    if (missing)
        return;
    const SectionSpan span = FindSection(data, FoldName(Trim(section)));
    if (!span.found)
        return;
    // Every line of that key in the section goes, so that a later duplicate
    // does not take its place.
    const std::u32string folded = FoldName(Trim(ident));
    std::string kept = data.substr(0, span.bodyBegin);
    bool changed = false;
    LineReader reader(std::string_view(data).substr(0, span.end), span.bodyBegin);
    Line line;
    while (reader.Next(line)) {
        const LineInfo info = reader.Info(line);
        if (info.kind == lkKey && FoldName(info.name) == folded)
            changed = true;
        else
            kept.append(data, line.begin, line.end - line.begin);
    }
    if (!changed)
        return;
    kept.append(data, span.end, std::string::npos);
    SaveFile(FileName(), kept);
}
