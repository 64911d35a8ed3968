#include "SlideList.h"

#include <climits>
#include <utility>

namespace {

// A longer entry cannot name a file that can be opened.
constexpr std::size_t kMaxEntryBytes = PATH_MAX - 1;
// Ends the list wherever it stands.
constexpr unsigned char kEndOfText = 0x1A;
// The UTF-8 byte-order mark, skipped at the start of the data. Static, so
// that entries made of its bytes may be handed over as views into it.
constexpr char kMark[] = "\xEF\xBB\xBF";
constexpr std::size_t kMarkSize = sizeof kMark - 1;

bool endsLine(unsigned char c)
{
    return c == '\r' || c == '\n' || c == kEndOfText;
}

bool usable(std::string_view entry)
{
    return entry.size() <= kMaxEntryBytes && entry.find('\0') == std::string_view::npos;
}

}  // namespace

void ReadSlideListEntries(const char* data, std::size_t size, const TSlideListAdd& add)
{
    TSlideListReader reader(add);
    reader.Read(data, size, true);
}

TSlideListReader::TSlideListReader(TSlideListAdd add) : m_add(std::move(add)) {}

bool TSlideListReader::Read(const char* data, std::size_t size, bool last)
{
    if (m_ended)
        return false;
    if (!m_startChecked) {
        const std::size_t before = m_markBytes;
        std::size_t i = 0;
        while (i < size && m_markBytes < kMarkSize && data[i] == kMark[m_markBytes]) {
            ++i;
            ++m_markBytes;
        }
        if (m_markBytes == kMarkSize) {
            m_startChecked = true;
            data += i;
            size -= i;
        } else if (i == size && !last) {
            return true;  // all so far may still be the start of a mark
        } else if (!replayMarkBytes(before)) {
            return false;  // the bytes of earlier blocks, not a mark after all, came first
        }
    }
    return scan(data, size, last);
}

// The start of the data was no byte-order mark: its first count bytes, which
// arrived in earlier blocks, are text and are read now. False once the list
// has ended.
bool TSlideListReader::replayMarkBytes(std::size_t count)
{
    m_startChecked = true;
    return count == 0 || scan(kMark, count, false);
}

bool TSlideListReader::scan(const char* data, std::size_t size, bool last)
{
    std::size_t i = 0;
    while (i < size) {
        if (!m_inEntry) {
            while (i < size && static_cast<unsigned char>(data[i]) <= 32 &&
                   static_cast<unsigned char>(data[i]) != kEndOfText)
                ++i;
            if (i == size)
                break;
            if (static_cast<unsigned char>(data[i]) == kEndOfText) {
                m_ended = true;
                return false;
            }
            m_inEntry = true;
            m_unusable = false;
            m_pending.clear();
        }
        const std::size_t start = i;
        while (i < size && !endsLine(static_cast<unsigned char>(data[i])))
            ++i;
        const std::string_view part(data + start, i - start);
        if (i == size) {
            if (last && m_pending.empty() && !m_unusable) {
                m_ended = true;  // the whole last line lies in this block
                finishEntry(part);
                return false;
            }
            keep(part);  // joined by the next block or by Finish()
            break;
        }
        const bool endOfText = static_cast<unsigned char>(data[i]) == kEndOfText;
        ++i;
        if (!finishEntry(part) || endOfText) {
            m_ended = true;
            return false;
        }
    }
    if (last) {
        Finish();
        return false;
    }
    return true;
}

void TSlideListReader::Finish()
{
    if (m_ended)
        return;
    if (!m_startChecked && !replayMarkBytes(m_markBytes))
        return;
    m_ended = true;
    finishEntry({});
}

void TSlideListReader::keep(std::string_view part)
{
    if (m_unusable)
        return;
    if (m_pending.size() + part.size() > kMaxEntryBytes || !usable(part)) {
        // Nothing of this line is handed over; stop holding it.
        m_unusable = true;
        m_pending.clear();
        return;
    }
    m_pending.append(part);
}

// Ends the current entry with its last part; false when add ends the list.
bool TSlideListReader::finishEntry(std::string_view lastPart)
{
    if (!m_inEntry)
        return true;
    m_inEntry = false;
    if (m_unusable)
        return true;
    std::string_view entry = lastPart;
    if (!m_pending.empty()) {
        m_pending.append(lastPart.substr(0, kMaxEntryBytes + 1));  // one byte over is enough to refuse it
        entry = m_pending;
    }
    if (!usable(entry))
        return true;
    return m_add(entry);
}
