#include "VersionInfo.h"

#include "FileDescriptor.h"
#include "LastError.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <elf.h>
#include <fcntl.h>
#include <optional>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The version block handed to callers: the fixed information, the one
// translation and the two texts, behind a tag that VerQueryValueA checks.
struct VersionBlock {
    DWORD magic;
    VS_FIXEDFILEINFO fixed;
    DWORD translation;
    char fileVersion[sizeof(PICTAL_VERSION_RECORD::szFileVersion)];
    char productVersion[sizeof(PICTAL_VERSION_RECORD::szProductVersion)];
};
constexpr DWORD kBlockMagic = 0x4B4C4256;  // "VBLK"

// Section name tables longer than this are not believed.
constexpr Elf64_Xword kMaxNameTable = 1 << 20;

class File {
public:
    explicit File(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}

    bool isOpen() const { return m_fd.valid(); }
    // The file's size, 0 for anything but a regular file.
    std::uint64_t size() const
    {
        struct stat st {};
        if (::fstat(m_fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0)
            return 0;
        return static_cast<std::uint64_t>(st.st_size);
    }
    // Reads exactly `count` bytes at `offset`.
    bool read(std::uint64_t offset, void* out, std::size_t count) const
    {
        auto* p = static_cast<char*>(out);
        while (count > 0) {
            const ssize_t n = ::pread(m_fd.get(), p, count, static_cast<off_t>(offset));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            p += n;
            offset += static_cast<std::uint64_t>(n);
            count -= static_cast<std::size_t>(n);
        }
        return true;
    }

private:
    UniqueFd m_fd;
};

// offset + length lies within a file of `size` bytes (no overflow).
bool within(std::uint64_t offset, std::uint64_t length, std::uint64_t size)
{
    return offset <= size && length <= size - offset;
}

// The array holds a NUL.
template <std::size_t N>
bool terminated(const char (&text)[N])
{
    return std::memchr(text, '\0', N) != nullptr;
}

// The version record of an ELF file, read from its section headers only.
std::optional<PICTAL_VERSION_RECORD> readRecord(const std::string& path)
{
    File file(path);
    if (!file.isOpen()) {
        SetLastError(ErrorFromErrno(errno));
        return std::nullopt;
    }
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    const std::uint64_t size = file.size();

    Elf64_Ehdr header{};
    if (size < sizeof header || !file.read(0, &header, sizeof header))
        return std::nullopt;
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
        header.e_ident[EI_DATA] != ELFDATA2LSB || header.e_shentsize != sizeof(Elf64_Shdr) ||
        header.e_shnum == 0 || header.e_shstrndx == SHN_UNDEF || header.e_shstrndx >= header.e_shnum)
        return std::nullopt;
    const std::uint64_t tableSize = std::uint64_t{header.e_shnum} * sizeof(Elf64_Shdr);
    if (!within(header.e_shoff, tableSize, size))
        return std::nullopt;
    std::vector<Elf64_Shdr> sections(header.e_shnum);
    if (!file.read(header.e_shoff, sections.data(), tableSize))
        return std::nullopt;

    const Elf64_Shdr& names = sections[header.e_shstrndx];
    if (names.sh_type != SHT_STRTAB || names.sh_size == 0 || names.sh_size > kMaxNameTable ||
        !within(names.sh_offset, names.sh_size, size))
        return std::nullopt;
    std::vector<char> nameTable(names.sh_size);
    if (!file.read(names.sh_offset, nameTable.data(), nameTable.size()))
        return std::nullopt;
    nameTable.back() = '\0';  // every name ends within the table

    for (const Elf64_Shdr& section : sections) {
        if (section.sh_name >= nameTable.size() ||
            std::strcmp(nameTable.data() + section.sh_name, PICTAL_VERSION_SECTION) != 0)
            continue;
        PICTAL_VERSION_RECORD record{};
        if (section.sh_type != SHT_PROGBITS || section.sh_size < sizeof record ||
            !within(section.sh_offset, sizeof record, size) || !file.read(section.sh_offset, &record, sizeof record))
            return std::nullopt;
        if (record.dwMagic != PICTAL_VERSION_MAGIC || record.dwRecordSize != sizeof record ||
            !terminated(record.szFileVersion) || !terminated(record.szProductVersion))
            return std::nullopt;
        return record;
    }
    return std::nullopt;
}

void fillBlock(const PICTAL_VERSION_RECORD& record, VersionBlock& block)
{
    block = VersionBlock{};
    block.magic = kBlockMagic;
    block.fixed.dwSignature = VS_FFI_SIGNATURE;
    block.fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
    block.fixed.dwFileVersionMS = record.dwFileVersionMS;
    block.fixed.dwFileVersionLS = record.dwFileVersionLS;
    block.fixed.dwProductVersionMS = record.dwProductVersionMS;
    block.fixed.dwProductVersionLS = record.dwProductVersionLS;
    block.translation = DWORD{record.wLanguage} | DWORD{record.wCodePage} << 16;
    std::memcpy(block.fileVersion, record.szFileVersion, sizeof block.fileVersion);
    std::memcpy(block.productVersion, record.szProductVersion, sizeof block.productVersion);
}

// The non-empty parts of a query between backslashes.
std::vector<std::string> queryParts(const std::string& subBlock)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : subBlock) {
        if (c == '\\') {
            if (!part.empty())
                parts.push_back(std::move(part));
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(std::move(part));
    return parts;
}

bool sameName(const std::string& a, const char* b)
{
    return ::strcasecmp(a.c_str(), b) == 0;
}

}  // namespace

DWORD GetFileVersionInfoSizeA(const std::string& file, DWORD* handle)
{
    if (handle)
        *handle = 0;
    return readRecord(file) ? static_cast<DWORD>(sizeof(VersionBlock)) : 0;
}

BOOL GetFileVersionInfoA(const std::string& file, DWORD /*handle*/, DWORD size, void* data)
{
    if (!data || size < sizeof(VersionBlock)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto record = readRecord(file);
    if (!record)
        return FALSE;
    VersionBlock block;
    fillBlock(*record, block);
    std::memcpy(data, &block, sizeof block);
    return TRUE;
}

BOOL VerQueryValueA(const void* block, const std::string& subBlock, void** buffer, UINT* length)
{
    if (buffer)
        *buffer = nullptr;
    if (length)
        *length = 0;
    if (!block || !buffer || !length)
        return FALSE;
    // The block is the caller's copy: reach it through a non-const pointer as
    // the Win32 function does, but only after checking its tag.
    auto* info = static_cast<VersionBlock*>(const_cast<void*>(block));
    if (info->magic != kBlockMagic)
        return FALSE;

    const std::vector<std::string> parts = queryParts(subBlock);
    if (parts.empty()) {
        *buffer = &info->fixed;
        *length = sizeof info->fixed;
        return TRUE;
    }
    if (parts.size() == 2 && sameName(parts[0], "VarFileInfo") && sameName(parts[1], "Translation")) {
        *buffer = &info->translation;
        *length = sizeof info->translation;
        return TRUE;
    }
    if (parts.size() == 3 && sameName(parts[0], "StringFileInfo")) {
        char table[9];
        std::snprintf(table, sizeof table, "%04X%04X", info->translation & 0xFFFFu, info->translation >> 16);
        if (!sameName(parts[1], table))
            return FALSE;
        char* text = nullptr;
        if (sameName(parts[2], "FileVersion"))
            text = info->fileVersion;
        else if (sameName(parts[2], "ProductVersion"))
            text = info->productVersion;
        if (!text)
            return FALSE;
        *buffer = text;
        *length = static_cast<UINT>(std::strlen(text) + 1);
        return TRUE;
    }
    return FALSE;
}
