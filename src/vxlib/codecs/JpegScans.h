// Counting the scans of a JPEG stream from its markers, without decoding:
// every start-of-scan (SOS) marker up to the end-of-image marker. Segments
// with a length (tables, application data such as an embedded thumbnail)
// are skipped whole, and inside entropy-coded data only real markers count
// (stuffed 0xFF 0x00 bytes and restart markers do not).
#pragma once

#include <cstddef>

class JpegScanCounter {
public:
    // The next bytes of the stream; bytes after the end of the image are
    // ignored.
    void feed(const unsigned char* data, std::size_t size);
    int scans() const { return m_scans; }
    // The end-of-image marker was seen, or a segment length was impossible
    // (the decoder stops there as well).
    bool ended() const { return m_state == State::Ended; }

private:
    enum class State { Between, Marker, LengthHigh, LengthLow, Skip, Entropy, Ended };
    void segmentDone();

    State m_state = State::Between;
    bool m_inEntropy = false;    // the marker being read interrupts entropy-coded data
    unsigned char m_marker = 0;  // the segment being read or skipped
    std::size_t m_left = 0;      // bytes of the segment still to skip
    int m_scans = 0;
};
