#include "LocalHttpServer.h"

#include <QList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace fixtures {
namespace {

int bindLoopback(int s) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(s, reinterpret_cast<const sockaddr*>(&address), size) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return 0;
    return ntohs(address.sin_port);
}

bool sendAll(int socket, const char* data, qsizetype size) {
    for (ssize_t sent = 0; size > 0; data += sent, size -= sent)
        if ((sent = ::send(socket, data, static_cast<size_t>(size), MSG_NOSIGNAL)) <= 0)
            return false;
    return true;
}

// The request's path and the first byte asked for ("Range: bytes=N-"); no path when the peer
// only connected.
std::pair<QString, qsizetype> readRequest(int socket) {
    QByteArray head;
    char buffer[2048];
    pollfd p{socket, POLLIN, 0};
    while (!head.contains("\r\n\r\n")) {
        const ssize_t got = ::poll(&p, 1, 5000) > 0 ? ::recv(socket, buffer, sizeof buffer, 0) : 0;
        if (got <= 0)
            return {};
        head.append(buffer, got);
    }
    const QList<QByteArray> words = head.left(head.indexOf("\r\n")).split(' ');
    const qsizetype range = head.toLower().indexOf("range: bytes=");
    const qsizetype from = range < 0 ? 0 : head.mid(range + 13).split('-').value(0).toLongLong();
    return {words.size() >= 2 ? QString::fromLatin1(words[1]) : QString(), from};
}

} // namespace

LocalHttpServer::LocalHttpServer() {
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    m_port = m_listener >= 0 ? bindLoopback(m_listener) : 0;
    if (m_port == 0 || ::listen(m_listener, 16) != 0) {
        ::close(m_listener);
        m_listener = -1;
        return;
    }
    m_acceptor = std::thread([this] { acceptLoop(); });
}

LocalHttpServer::~LocalHttpServer() {
    m_stop = true;
    if (m_acceptor.joinable())
        m_acceptor.join();
    for (std::thread& t : m_threads)
        t.join();
    if (m_listener >= 0)
        ::close(m_listener);
}

void LocalHttpServer::serve(const QString& path, const QByteArray& body, Answer answer) {
    const std::lock_guard lock(m_mutex);
    m_resources[path] = {body, answer};
}

QString LocalHttpServer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

int LocalHttpServer::closedPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int port = bindLoopback(s);
    ::close(s); // bound, never listened on, and let go: nothing answers there
    return port;
}

void LocalHttpServer::acceptLoop() {
    while (!m_stop) {
        pollfd p{m_listener, POLLIN, 0};
        const int socket =
            ::poll(&p, 1, 50) > 0 ? ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC) : -1;
        if (socket < 0)
            continue;
        const std::lock_guard lock(m_mutex);
        m_threads.emplace_back([this, socket] {
            answer(socket);
            ::close(socket);
        });
    }
}

bool LocalHttpServer::pause(int ms) const {
    for (int slept = 0; slept < ms && !m_stop; slept += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !m_stop;
}

void LocalHttpServer::answer(int socket) {
    const auto [path, asked] = readRequest(socket);
    if (path.isEmpty())
        return;
    ++m_requests;
    std::unique_lock lock(m_mutex);
    const auto found = m_resources.find(path);
    if (found == m_resources.end()) {
        lock.unlock();
        const QByteArray missing = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
        sendAll(socket, missing.constData(), missing.size());
        return;
    }
    const Resource r = found->second;
    lock.unlock();
    // A whole body may be asked for from a point on, as readers seek in it.
    const qsizetype size = r.body.size();
    const qsizetype from = r.answer == Answer::Whole && asked < size ? asked : 0;
    QByteArray head = from > 0 ? QStringLiteral("HTTP/1.1 206 Partial Content\r\nContent-Range: "
                                                "bytes %1-%2/%3\r\n")
                                     .arg(from)
                                     .arg(size - 1)
                                     .arg(size)
                                     .toLatin1()
                               : QByteArray("HTTP/1.1 200 OK\r\nAccept-Ranges: bytes\r\n");
    if (r.answer == Answer::Whole || r.answer == Answer::Broken)
        head += "Content-Length: " + QByteArray::number(size - from) + "\r\n";
    head += "Connection: close\r\n\r\n";
    const QByteArray body = r.answer == Answer::Stall    ? QByteArray(1000, '\0')
                            : r.answer == Answer::Broken ? r.body.left(64)
                                                         : r.body.mid(from);
    const qsizetype piece = r.answer == Answer::Whole   ? body.size() + 1
                            : r.answer == Answer::Stall ? 1
                                                        : 512;
    const int wait = r.answer == Answer::Stall ? 500 : r.answer == Answer::Trickle ? 20 : 0;
    if (!sendAll(socket, head.constData(), head.size()))
        return;
    for (qsizetype at = 0; at < body.size() && pause(wait); at += piece)
        if (!sendAll(socket, body.constData() + at, std::min(piece, body.size() - at)))
            return;
}

} // namespace fixtures
