#include "platform/LocalSocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <random>
#include <utility>

namespace {

bool addressOf(const std::string& path, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    return true;
}

FileDescriptor newSocket(int flags)
{
    return FileDescriptor(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | flags, 0));
}

// Milliseconds left until `deadline`, for poll(); 0 once it has passed.
int millisecondsUntil(std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? int(std::min<long long>(left.count(), 1 << 30)) : 0;
}

bool waitFor(int fd, short events, std::chrono::steady_clock::time_point deadline)
{
    pollfd watched{fd, events, 0};
    for (;;) {
        const int ready = ::poll(&watched, 1, millisecondsUntil(deadline));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

std::string privateName(const std::string& path)
{
    std::random_device random;
    return path + ".new-" + std::to_string(random()) + std::to_string(::getpid());
}

} // namespace

FileDescriptor listenLocal(const std::string& path)
{
    sockaddr_un address;
    const std::string fresh = privateName(path);
    if (!addressOf(path, address) || !addressOf(fresh, address))
        return {};
    FileDescriptor listener = newSocket(SOCK_NONBLOCK);
    if (!listener.valid())
        return {};
    // fchmod before bind gives the socket file its mode on Linux; the chmod after it is for
    // systems where it does not, and the private name keeps others out until then.
    ::fchmod(listener.get(), S_IRUSR | S_IWUSR);
    if (::bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return {};
    if (::chmod(fresh.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(listener.get(), 8) != 0 ||
        ::rename(fresh.c_str(), path.c_str()) != 0) {
        ::unlink(fresh.c_str());
        return {};
    }
    return listener;
}

FileDescriptor acceptLocal(int listener)
{
    return FileDescriptor(::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
}

FileDescriptor connectLocal(const std::string& path)
{
    sockaddr_un address;
    if (!addressOf(path, address))
        return {};
    FileDescriptor socket = newSocket(0);
    if (!socket.valid() || ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return {};
    return socket;
}

bool sendAll(int fd, std::string_view bytes, std::chrono::steady_clock::time_point deadline)
{
    while (!bytes.empty()) {
        if (!waitFor(fd, POLLOUT, deadline))
            return false;
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (sent > 0)
            bytes.remove_prefix(std::size_t(sent));
    }
    return true;
}

bool receiveSome(int fd, std::string& into, std::size_t limit, std::chrono::steady_clock::time_point deadline)
{
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::recv(fd, buffer, std::min(sizeof buffer, limit), MSG_DONTWAIT);
        if (count > 0) {
            into.append(buffer, std::size_t(count));
            return true;
        }
        if (count == 0 || (errno != EAGAIN && errno != EINTR) || !waitFor(fd, POLLIN, deadline))
            return false;
    }
}

std::string framedRequest(std::string_view request)
{
    const auto length = std::uint32_t(request.size());
    std::string framed{char(length >> 24), char(length >> 16), char(length >> 8), char(length)};
    framed.append(request);
    return framed;
}

std::string unframedRequest(const std::string& received, std::size_t longest, bool& complete, bool& tooLong)
{
    complete = tooLong = false;
    if (received.size() < 4)
        return {};
    std::uint32_t length = 0;
    for (int n = 0; n < 4; ++n)
        length = length << 8 | std::uint8_t(received[std::size_t(n)]);
    if (length == 0xFFFFFFFFu) // an empty request as a null byte array
        length = 0;
    tooLong = length > longest;
    complete = !tooLong && received.size() >= 4 + std::size_t(length);
    return complete ? received.substr(4, length) : std::string();
}
