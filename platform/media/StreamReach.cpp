#include "platform/media/StreamReach.h"

#include "platform/media/WhileStarting.h"

#include <QUrl>

#include <future>
#include <memory>
#include <thread>

#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace media {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPumpEvery = std::chrono::milliseconds(10);
std::chrono::milliseconds g_startLimit{20000};

StreamFault faultOfErrno(int error) {
    switch (error) {
    case 0:
        return StreamFault::None;
    case ECONNREFUSED:
        return StreamFault::ConnectionRefused;
    case ETIMEDOUT:
        return StreamFault::TimedOut;
    default:
        return StreamFault::Unreachable;
    }
}

// Closes the socket however the try ends.
struct Socket {
    int fd = -1;
    ~Socket() {
        if (fd >= 0)
            ::close(fd);
    }
};

StreamFault connectTo(const addrinfo& address, Clock::time_point deadline) {
    Socket s;
    s.fd = ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                    address.ai_protocol);
    if (s.fd < 0)
        return faultOfErrno(errno);
    if (::connect(s.fd, address.ai_addr, address.ai_addrlen) == 0)
        return StreamFault::None;
    if (errno != EINPROGRESS)
        return faultOfErrno(errno);
    pollfd p{s.fd, POLLOUT, 0};
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
        return StreamFault::TimedOut;
    int error = 0;
    socklen_t size = sizeof error;
    ::getsockopt(s.fd, SOL_SOCKET, SO_ERROR, &error, &size);
    return faultOfErrno(error);
}

StreamFault tryToReach(const std::string& host, int port, Clock::time_point deadline) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found)
        return StreamFault::HostNotFound;
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owned(found, &freeaddrinfo);
    StreamFault fault = StreamFault::Unreachable;
    for (const addrinfo* a = found; a; a = a->ai_next) {
        fault = connectTo(*a, deadline);
        if (fault == StreamFault::None || fault == StreamFault::TimedOut)
            break;
    }
    return fault;
}

} // namespace

bool streamEndpoint(const std::string& uri, std::string* host, int* port) {
    const QUrl url(QString::fromStdString(uri));
    const QString scheme = url.scheme().toLower();
    const int ownPort = scheme == QLatin1String("http")    ? 80
                        : scheme == QLatin1String("https") ? 443
                        : scheme == QLatin1String("rtsp")  ? 554
                                                           : -1;
    if (ownPort < 0 || url.host().isEmpty())
        return false;
    *host = url.host().toStdString();
    *port = url.port(ownPort);
    return true;
}

bool isStreamUri(const std::wstring& location) {
    std::string host;
    int port = 0;
    return streamEndpoint(QString::fromStdWString(location).toStdString(), &host, &port);
}

std::chrono::milliseconds streamStartLimit() {
    return g_startLimit;
}

void setStreamStartLimit(std::chrono::milliseconds limit) {
    g_startLimit = limit;
}

StreamFault faultOfPreroll(int httpStatus, bool sourceFailed, bool timedOut) {
    if (httpStatus == 404 || httpStatus == 410)
        return StreamFault::NotFound;
    if (httpStatus == 401 || httpStatus == 403 || httpStatus == 407)
        return StreamFault::Denied;
    if (httpStatus >= 400)
        return StreamFault::ServerError;
    if (timedOut)
        return StreamFault::TimedOut;
    return sourceFailed ? StreamFault::ConnectionLost : StreamFault::NotPlayable;
}

StreamFault reachStream(const std::string& uri, Clock::time_point deadline) {
    std::string host;
    int port = 0;
    if (!streamEndpoint(uri, &host, &port))
        return StreamFault::NotFound;
    // The thread may outlive an answer that came too late: it owns what it uses.
    auto task = std::make_shared<std::packaged_task<StreamFault()>>(
        [host, port, deadline] { return tryToReach(host, port, deadline); });
    std::future<StreamFault> answer = task->get_future();
    std::thread([task] { (*task)(); }).detach();
    while (answer.wait_for(kPumpEvery) != std::future_status::ready) {
        if (Clock::now() >= deadline)
            return StreamFault::TimedOut;
        WhileStarting::pump();
    }
    return answer.get();
}

} // namespace media
