// The dispatch log: a plain text file in which every transfer the session
// makes leaves one line, so that a person can find where a file went.
//
// The file is "$XDG_STATE_HOME/Pictal/dispatch.log" (XDG_STATE_HOME
// defaulting to ~/.local/state; a relative value is ignored), its folder made
// on the way. A line is
//   <local time, ISO 8601 with offset> TAB <what> TAB <from> TAB <to> TAB <outcome>
// with control characters and "\" of the paths written as "\xNN", so a line
// is always one line. Once the file has reached 1 MiB it becomes
// "dispatch.log.1" (replacing the one before) and a new file is begun.
// Writing never fails a transfer: a log that cannot be written is left out.
#pragma once

#include <string>
#include <utility>

class TDispatchLog {
public:
    // The file the log writes to when none was given.
    static std::string DefaultPath();

    // Writes to file; an empty file name means DefaultPath(), looked up at
    // each line.
    explicit TDispatchLog(std::string file = {}) : FFile(std::move(file)) {}

    // Appends one line; never throws.
    void Write(const std::string& what, const std::string& from, const std::string& to,
               const std::string& outcome) noexcept;

    static constexpr long kRotateSize = 1L << 20;  // 1 MiB

private:
    std::string FFile;
};
