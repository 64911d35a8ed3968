#include "JpegScans.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr unsigned char kSos = 0xDA;
constexpr unsigned char kEoi = 0xD9;

bool isRestart(unsigned char marker)
{
    return marker >= 0xD0 && marker <= 0xD7;
}

// Markers that stand alone, without a length: SOI, TEM and the restarts.
bool isStandalone(unsigned char marker)
{
    return marker == 0xD8 || marker == 0x01 || isRestart(marker);
}

}  // namespace

void JpegScanCounter::segmentDone()
{
    m_inEntropy = m_marker == kSos;  // a scan header is followed by its coded data
    m_state = m_inEntropy ? State::Entropy : State::Between;
}

void JpegScanCounter::feed(const unsigned char* data, std::size_t size)
{
    const unsigned char* p = data;
    const unsigned char* const end = data + size;
    while (p < end && m_state != State::Ended) {
        switch (m_state) {
        case State::Between:
        case State::Entropy: {
            // Up to the next 0xFF: in coded data and between segments alike
            // nothing else can start a marker.
            const void* found = std::memchr(p, 0xFF, std::size_t(end - p));
            if (!found)
                return;
            p = static_cast<const unsigned char*>(found) + 1;
            m_state = State::Marker;
            break;
        }
        case State::Marker: {
            const unsigned char code = *p++;
            if (code == 0xFF)
                break;  // fill byte
            if (code == 0x00 || (m_inEntropy && isRestart(code))) {
                // A stuffed byte or a restart inside coded data; outside coded
                // data a stuffed byte is stray data the decoder skips.
                m_state = m_inEntropy ? State::Entropy : State::Between;
                break;
            }
            m_inEntropy = false;
            if (code == kEoi) {
                m_state = State::Ended;
            } else if (isStandalone(code)) {
                m_state = State::Between;
            } else {
                m_marker = code;
                m_state = State::LengthHigh;
            }
            break;
        }
        case State::LengthHigh:
            m_left = std::size_t(*p++) << 8;
            m_state = State::LengthLow;
            break;
        case State::LengthLow:
            m_left |= *p++;
            if (m_left < 2) {
                m_state = State::Ended;
                break;
            }
            m_left -= 2;  // the length counts its own two bytes
            if (m_marker == kSos)
                ++m_scans;
            m_state = State::Skip;
            if (m_left == 0)
                segmentDone();
            break;
        case State::Skip: {
            const std::size_t step = std::min(m_left, std::size_t(end - p));
            p += step;
            m_left -= step;
            if (m_left == 0)
                segmentDone();
            break;
        }
        case State::Ended:
            break;
        }
    }
}
