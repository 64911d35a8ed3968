// Splitting the text of a slide list file into its entries, without touching
// any file: the caller reads the bytes and decides what an entry names.
//
// Each line is one entry. Bytes of code 32 or less that start a line are
// skipped (so blank lines are too); the rest of the line up to CR or LF is the
// entry, trailing blanks included. A 0x1A byte ends the list wherever it
// stands, as does the end of the data. A line holding a NUL byte, or longer
// than PATH_MAX - 1 bytes, cannot name a file and is skipped. A UTF-8
// byte-order mark (EF BB BF) at the very start of the data is skipped; its
// bytes anywhere else are text.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Receives one entry; returns false to end the list (a full list). The view
// is valid only during the call.
using TSlideListAdd = std::function<bool(std::string_view entry)>;

// Hands every entry of data to add, in order, until the list ends. The
// entries are views into data.
void ReadSlideListEntries(const char* data, std::size_t size, const TSlideListAdd& add);

// The same split over data that arrives in blocks (a file read piece by
// piece): an entry may span blocks, and memory stays bounded by the longest
// usable entry whatever the size of the file.
class TSlideListReader {
public:
    explicit TSlideListReader(TSlideListAdd add);

    // The next block; last when no more follow (as Finish() after it). False
    // once the list has ended (0x1A, add returned false, or the last block);
    // later blocks are ignored. An entry that lies whole inside one block is
    // handed over as a view into it.
    bool Read(const char* data, std::size_t size, bool last = false);
    // The end of the data: hands over the last entry when its line has no
    // line break.
    void Finish();
    bool Ended() const { return m_ended; }

private:
    bool scan(const char* data, std::size_t size, bool last);
    bool replayMarkBytes(std::size_t count);
    void keep(std::string_view part);
    bool finishEntry(std::string_view lastPart);

    TSlideListAdd m_add;
    std::string m_pending;    // start of an entry begun in an earlier block
    bool m_inEntry = false;   // past the leading bytes of a line
    bool m_unusable = false;  // the entry holds a NUL byte or is too long
    bool m_ended = false;
    bool m_startChecked = false;  // past a byte-order mark, or sure there is none
    std::size_t m_markBytes = 0;  // bytes of a mark seen so far at the start
};
