// libFuzzer entry for the slide list reader: any bytes give well-formed
// entries that lie inside the input and match a byte-by-byte model of the
// rule, a full list stops the reading at once, and reading the same bytes
// block by block gives the same entries.
#include "SlideList.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Span {
    std::size_t offset;
    std::size_t size;
};

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// Every entry read from the whole input at once, at most limit of them.
std::vector<Span> readAll(const char* data, std::size_t size, std::size_t limit)
{
    std::vector<Span> entries;
    ReadSlideListEntries(data, size, [&](std::string_view entry) {
        check(entries.size() < limit);  // no call after add said stop
        check(!entry.empty());
        check(entry.data() >= data && entry.size() <= size && std::size_t(entry.data() - data) <= size - entry.size());
        const std::size_t offset = std::size_t(entry.data() - data);
        if (!entries.empty())  // in order, never overlapping, a line apart
            check(offset > entries.back().offset + entries.back().size);
        check(static_cast<unsigned char>(entry.front()) > 32);
        check(entry.size() <= PATH_MAX - 1);
        for (const char c : entry)
            check(c != '\r' && c != '\n' && c != '\x1A' && c != '\0');
        // What follows an entry ends its line: a line break, 0x1A or the end.
        if (offset + entry.size() < size) {
            const char next = data[offset + entry.size()];
            check(next == '\r' || next == '\n' || next == '\x1A');
        }
        entries.push_back({offset, entry.size()});
        return entries.size() < limit;
    });
    check(entries.size() <= limit);
    return entries;
}

// The rule written out byte by byte, as a model to hold the reader to.
std::vector<std::string> model(const char* data, std::size_t size)
{
    std::vector<std::string> entries;
    std::string entry;
    bool inEntry = false;
    bool unusable = false;
    // A UTF-8 byte-order mark at the very start is skipped.
    const std::size_t start = size >= 3 && std::string_view(data, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    for (std::size_t i = start; i <= size; ++i) {
        const int c = i < size ? static_cast<unsigned char>(data[i]) : -1;
        if (!inEntry && c > 32 && c != 0x1A) {
            inEntry = true;
            unusable = false;
            entry.clear();
        }
        if (c == -1 || c == 0x1A || c == '\r' || c == '\n') {
            if (inEntry && !unusable)
                entries.push_back(entry);
            inEntry = false;
            if (c == -1 || c == 0x1A)
                break;
        } else if (inEntry) {
            if (c == 0 || entry.size() >= PATH_MAX - 1)
                unusable = true;
            else
                entry.push_back(char(c));
        }
    }
    return entries;
}

// The same input handed over in blocks of blockSize bytes, the end told by
// marking the last block or by Finish().
std::vector<std::string> readInBlocks(const char* data, std::size_t size, std::size_t blockSize, bool markLast)
{
    std::vector<std::string> entries;
    TSlideListReader reader([&](std::string_view entry) {
        entries.emplace_back(entry);
        return true;
    });
    for (std::size_t at = 0; at < size && !reader.Ended(); at += blockSize) {
        const std::size_t n = size - at < blockSize ? size - at : blockSize;
        const bool last = markLast && n == size - at;
        const bool going = reader.Read(data + at, n, last);
        check(going == !reader.Ended());
        check(!last || reader.Ended());
    }
    reader.Finish();
    check(reader.Ended());
    check(!reader.Read(data, size));  // ended for good
    return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const char* data = reinterpret_cast<const char*>(bytes);

    const std::vector<Span> all = readAll(data, size, SIZE_MAX);
    const std::vector<Span> full = readAll(data, size, 5000);
    check(full.size() == (all.size() < 5000 ? all.size() : 5000));
    const std::vector<std::string> expected = model(data, size);
    check(expected.size() == all.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        check(expected[i] == std::string_view(data + all[i].offset, all[i].size));

    // Stopping early keeps the entries read up to there.
    const std::size_t limit = size > 0 ? std::size_t(bytes[0] % 8 + 1) : 1;
    const std::vector<Span> first = readAll(data, size, limit);
    check(first.size() == (all.size() < limit ? all.size() : limit));
    for (std::size_t i = 0; i < first.size(); ++i)
        check(first[i].offset == all[i].offset && first[i].size == all[i].size);

    // Block boundaries anywhere, even inside a line or an overlong line,
    // change nothing.
    const std::size_t blockSizes[] = {1, size > 0 ? std::size_t(bytes[size - 1] % 61 + 2) : 2, 4093};
    for (const std::size_t blockSize : blockSizes)
        for (const bool markLast : {false, true})
            check(readInBlocks(data, size, blockSize, markLast) == expected);
    return 0;
}
