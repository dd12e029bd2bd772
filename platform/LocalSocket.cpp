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

// The address of the socket file at `path`: the path itself when it fits, else its folder through
// a descriptor, which stays open as long as the address is used.
class SocketAddress {
public:
    explicit SocketAddress(const std::string& path)
    {
        const std::size_t slash = path.rfind('/');
        folderText_ = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        name_ = path.substr(folderText_.size());
        const std::string folder = folderText_.empty() ? "." : folderText_;
        folder_ = FileDescriptor(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        set();
    }

    // The same folder with another name in it.
    bool rename(const std::string& name)
    {
        name_ = name;
        return set();
    }

    bool valid() const { return valid_ && folder_.valid(); }
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&address_); }
    socklen_t size() const { return sizeof address_; }
    int folder() const { return folder_.get(); }
    const std::string& name() const { return name_; }

private:
    bool set()
    {
        std::string text = folderText_ + name_;
        if (text.size() >= sizeof address_.sun_path)
            text = "/proc/self/fd/" + std::to_string(folder_.get()) + "/" + name_;
        address_ = {};
        address_.sun_family = AF_UNIX;
        valid_ = !name_.empty() && text.size() < sizeof address_.sun_path;
        if (valid_)
            std::memcpy(address_.sun_path, text.data(), text.size());
        return valid_;
    }

    std::string folderText_; // the path up to its last "/", that included
    std::string name_;
    FileDescriptor folder_;
    sockaddr_un address_{};
    bool valid_ = false;
};

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

std::string privateName(const std::string& name)
{
    std::random_device random;
    return name + ".new-" + std::to_string(random()) + std::to_string(::getpid());
}

} // namespace

FileDescriptor listenLocal(const std::string& path)
{
    SocketAddress address(path);
    const std::string name = address.name();
    const std::string fresh = privateName(name);
    if (!address.valid() || !address.rename(fresh))
        return {};
    FileDescriptor listener = newSocket(SOCK_NONBLOCK);
    if (!listener.valid())
        return {};
    // fchmod before bind gives the socket file its mode on Linux; the chmod after it is for
    // systems where it does not, and the private name keeps others out until then.
    ::fchmod(listener.get(), S_IRUSR | S_IWUSR);
    if (::bind(listener.get(), address.get(), address.size()) != 0)
        return {};
    if (::fchmodat(address.folder(), fresh.c_str(), S_IRUSR | S_IWUSR, 0) != 0 || ::listen(listener.get(), 8) != 0 ||
        ::renameat(address.folder(), fresh.c_str(), address.folder(), name.c_str()) != 0) {
        ::unlinkat(address.folder(), fresh.c_str(), 0);
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
    const SocketAddress address(path);
    if (!address.valid())
        return {};
    FileDescriptor socket = newSocket(0);
    if (!socket.valid() || ::connect(socket.get(), address.get(), address.size()) != 0)
        return {};
    return socket;
}

bool peerIsThisUser(int socket)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer &&
           peer.uid == ::geteuid();
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
    tooLong = length > longest;
    complete = !tooLong && received.size() >= 4 + std::size_t(length);
    return complete ? received.substr(4, length) : std::string();
}
