#include "DispatchLog.h"

#include "UserFolders.h"

#include "FileDescriptor.h"
#include "Paths.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string escaped(const std::string& text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '\\') {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

std::string localTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    return text;
}

}  // namespace

std::string TDispatchLog::DefaultPath()
{
    const std::string state = XdgFolder("XDG_STATE_HOME", ".local/state");
    return state.empty() ? std::string() : JoinPath(JoinPath(state, "Pictal"), "dispatch.log");
}

void TDispatchLog::Write(const std::string& what, const std::string& from, const std::string& to,
                         const std::string& outcome) noexcept
{
    try {
        const std::string file = FFile.empty() ? DefaultPath() : FFile;
        if (file.empty())
            return;
        MakeFolders(ParentFolder(file));
        struct stat st;
        if (::stat(file.c_str(), &st) == 0 && st.st_size >= kRotateSize)
            std::rename(file.c_str(), (file + ".1").c_str());
        const std::string line = localTime() + "\t" + what + "\t" + escaped(from) + "\t" + escaped(to) + "\t"
                               + escaped(outcome) + "\n";
        UniqueFd fd(::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600));
        if (fd.valid())
            writeAll(fd.get(), line.data(), line.size());  // one write: lines of two programs never mix
    } catch (...) {
        // No memory for a line: the line is left out.
    }
}
