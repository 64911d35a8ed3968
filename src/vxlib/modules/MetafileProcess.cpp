#include "MetafileProcess.h"

#include "FileDescriptor.h"
#include "MetafileProbe.h"
#include "MetafileWire.h"
#include "Paths.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace vxmodule {

namespace {

constexpr const char* kHelperName = "pictal-metafile";

// The child process: started, and always reaped before its owner goes (killed
// first when it has not ended by then). A child that can no longer be waited
// for is never signalled, so a reused process id is never hit.
class Child {
public:
    ~Child()
    {
        if (m_pid <= 0 || m_reaped)
            return;
        ::kill(m_pid, SIGKILL);
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    bool start(const std::string& path, int input, int output)
    {
        posix_spawn_file_actions_t actions;
        if (posix_spawn_file_actions_init(&actions) != 0)
            return false;
        posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
        const int result = posix_spawn(&m_pid, path.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        if (result != 0)
            m_pid = -1;
        return result == 0;
    }
    // Waits for the exit until the deadline; true for exit code 0.
    bool succeeded(const QDeadlineTimer& deadline)
    {
        for (;;) {
            int status = 0;
            const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
            if (done == m_pid) {
                m_reaped = true;
                return WIFEXITED(status) && WEXITSTATUS(status) == 0;
            }
            if (done < 0 && errno != EINTR) {
                m_reaped = true;  // someone else reaped it: nothing left to wait for
                return false;
            }
            if (deadline.hasExpired())
                return false;  // killed by the destructor
            ::usleep(1000);
        }
    }

private:
    pid_t m_pid = -1;
    bool m_reaped = false;
};

}  // namespace

std::string metafileHelperPath()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&metafileHelperPath), &info) || !info.dli_fname)
        return {};
    // The helper stands beside the module.
    return JoinPath(SplitAtLastSlash(info.dli_fname).folder, kHelperName);
}

QImage renderMetafileInHelper(int kind, const unsigned char* data, std::size_t size, int width, int height,
                              QColor background, int timeoutMs)
{
    return renderMetafileWith(metafileHelperPath(), kind, data, size, width, height, background, timeoutMs);
}

QImage renderMetafileWith(const std::string& helper, int kind, const unsigned char* data, std::size_t size,
                          int width, int height, QColor background, int timeoutMs)
{
    if (!data || size == 0 || width <= 0 || height <= 0 || width > kMaxMetafileSide || height > kMaxMetafileSide
        || std::int64_t(width) * height > kMaxMetafilePixels)
        return {};
    if (helper.empty() || ::access(helper.c_str(), X_OK) != 0)
        return {};
    const QDeadlineTimer deadline(timeoutMs);

    // The request goes through a socket (a send to a helper that has died
    // then fails instead of raising SIGPIPE); the answer through a pipe.
    int request[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, request) != 0)
        return {};
    UniqueFd requestOurs(request[0]);
    UniqueFd requestTheirs(request[1]);
    int answer[2];
    if (::pipe2(answer, O_CLOEXEC) != 0)
        return {};
    UniqueFd answerOurs(answer[0]);
    UniqueFd answerTheirs(answer[1]);

    Child child;
    if (!child.start(helper, requestTheirs.get(), answerTheirs.get()))
        return {};
    requestTheirs.reset();
    answerTheirs.reset();
    ::fcntl(requestOurs.get(), F_SETFL, O_NONBLOCK);
    ::fcntl(answerOurs.get(), F_SETFL, O_NONBLOCK);

    std::vector<unsigned char> outgoing(kMetafileRequestBytes);
    putMetafileRequest(outgoing.data(), {kind, width, height, background.rgb() & 0xFFFFFF});
    outgoing.insert(outgoing.end(), data, data + size);
    std::size_t sent = 0;

    // The answer: its 8-byte header, checked before the picture is made; then
    // the pixels straight into the picture (4-byte pixels: rows have no padding).
    unsigned char header[kMetafileAnswerBytes];
    std::size_t headerRead = 0;
    QImage image;
    std::size_t pixelsRead = 0;
    const std::size_t pixelBytes = std::size_t(width) * std::size_t(height) * 4;
    bool answerOpen = true;
    while (answerOpen) {
        pollfd fds[2];
        nfds_t count = 0;
        fds[count++] = {answerOurs.get(), POLLIN, 0};
        if (requestOurs.get() >= 0)
            fds[count++] = {requestOurs.get(), POLLOUT, 0};
        const qint64 left = deadline.remainingTime();
        if (left == 0)
            return {};  // the child is killed on the way out
        const int ready = ::poll(fds, count, int(std::min<qint64>(left < 0 ? 1000 : left, 1000)));
        if (ready < 0 && errno != EINTR)
            return {};
        if (ready <= 0)
            continue;
        if (count == 2 && (fds[1].revents & (POLLOUT | POLLERR | POLLHUP))) {
            const ssize_t wrote = ::send(requestOurs.get(), outgoing.data() + sent, outgoing.size() - sent, MSG_NOSIGNAL);
            if (wrote > 0)
                sent += std::size_t(wrote);
            if ((wrote < 0 && errno != EAGAIN && errno != EINTR) || sent == outgoing.size()) {
                ::shutdown(requestOurs.get(), SHUT_WR);  // end of input for the helper
                requestOurs.reset();
            }
        }
        if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        unsigned char* target;
        std::size_t room;
        if (headerRead < kMetafileAnswerBytes) {
            target = header + headerRead;
            room = kMetafileAnswerBytes - headerRead;
        } else {
            target = image.bits() + pixelsRead;
            room = pixelBytes - pixelsRead;
            if (room == 0) {  // anything more is more than was asked for
                unsigned char extra;
                const ssize_t got = ::read(answerOurs.get(), &extra, 1);
                if (got > 0)
                    return {};
                if (got == 0 || (errno != EAGAIN && errno != EINTR))
                    answerOpen = false;
                continue;
            }
        }
        const ssize_t got = ::read(answerOurs.get(), target, room);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
            answerOpen = false;
        } else if (got > 0 && headerRead < kMetafileAnswerBytes) {
            headerRead += std::size_t(got);
            if (headerRead == kMetafileAnswerBytes) {
                if (readS32Le(header) != width || readS32Le(header + 4) != height)
                    return {};
                image = QImage(width, height, QImage::Format_RGB32);
                if (image.isNull() || std::size_t(image.sizeInBytes()) != pixelBytes)
                    return {};
            }
        } else if (got > 0) {
            pixelsRead += std::size_t(got);
        }
    }
    if (!child.succeeded(deadline) || headerRead != kMetafileAnswerBytes || pixelsRead != pixelBytes)
        return {};
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] |= 0xFF000000u;
    }
    return image;
}

}  // namespace vxmodule
