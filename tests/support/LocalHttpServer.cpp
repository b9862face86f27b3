#include "LocalHttpServer.h"

#include <QList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace fixtures {
namespace {

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int boundPort(int socket) {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

bool sendAll(int socket, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(socket, data, size, MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

struct Request {
    QString path;       // empty when the peer only connected
    qsizetype from = 0; // "Range: bytes=<from>-"
};

// The request line's path and where the body is asked from, once the whole head has come.
Request readRequest(int socket) {
    QByteArray head;
    char buffer[2048];
    while (!head.contains("\r\n\r\n")) {
        pollfd p{socket, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0)
            return {};
        const ssize_t got = ::recv(socket, buffer, sizeof buffer, 0);
        if (got <= 0)
            return {};
        head.append(buffer, got);
    }
    const QList<QByteArray> words = head.left(head.indexOf("\r\n")).split(' ');
    Request request;
    request.path = words.size() >= 2 ? QString::fromLatin1(words[1]) : QString();
    const qsizetype range = head.toLower().indexOf("range: bytes=");
    if (range >= 0)
        request.from =
            head.mid(range + 13, head.indexOf('-', range + 13) - range - 13).toLongLong();
    return request;
}

} // namespace

LocalHttpServer::LocalHttpServer() {
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopback(0);
    if (m_listener < 0 ||
        ::bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 16) != 0) {
        if (m_listener >= 0)
            ::close(m_listener);
        m_listener = -1;
        return;
    }
    m_port = boundPort(m_listener);
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
    const sockaddr_in address = loopback(0);
    ::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const int port = boundPort(s);
    ::close(s); // bound, never listened on, and let go: nothing answers there
    return port;
}

void LocalHttpServer::acceptLoop() {
    while (!m_stop) {
        pollfd p{m_listener, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const int socket = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0)
            continue;
        const std::lock_guard lock(m_mutex);
        m_threads.emplace_back([this, socket] {
            answer(socket);
            ::close(socket);
        });
    }
}

// Sleeps in short steps; false once the server is stopping.
bool LocalHttpServer::pause(int ms) const {
    for (int slept = 0; slept < ms && !m_stop; slept += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !m_stop;
}

void LocalHttpServer::answer(int socket) {
    const Request request = readRequest(socket);
    const QString& path = request.path;
    if (path.isEmpty())
        return;
    ++m_requests;
    Resource resource;
    {
        const std::lock_guard lock(m_mutex);
        const auto found = m_resources.find(path);
        if (found == m_resources.end()) {
            const QByteArray missing = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n"
                                       "Connection: close\r\n\r\n";
            sendAll(socket, missing.constData(), missing.size());
            return;
        }
        resource = found->second;
    }
    // A whole body may be asked for from a point on, as readers seek in it.
    const bool ranged =
        resource.answer == Answer::Whole && request.from > 0 && request.from < resource.body.size();
    const QByteArray body = ranged ? resource.body.mid(request.from) : resource.body;
    QByteArray head = ranged ? "HTTP/1.1 206 Partial Content\r\n" : "HTTP/1.1 200 OK\r\n";
    head += "Content-Type: application/octet-stream\r\nConnection: close\r\n";
    if (ranged)
        head += QStringLiteral("Content-Range: bytes %1-%2/%3\r\n")
                    .arg(request.from)
                    .arg(resource.body.size() - 1)
                    .arg(resource.body.size())
                    .toLatin1();
    if (resource.answer == Answer::Whole || resource.answer == Answer::Broken)
        head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (resource.answer == Answer::Whole)
        head += "Accept-Ranges: bytes\r\n";
    head += "\r\n";
    if (!sendAll(socket, head.constData(), head.size()))
        return;
    switch (resource.answer) {
    case Answer::Whole:
        sendAll(socket, body.constData(), body.size());
        break;
    case Answer::Broken:
        sendAll(socket, body.constData(), std::min<qsizetype>(body.size(), 64));
        break;
    case Answer::Trickle:
        for (qsizetype at = 0; at < body.size() && pause(20); at += 512)
            if (!sendAll(socket, body.constData() + at, std::min<qsizetype>(512, body.size() - at)))
                break;
        break;
    case Answer::Stall:
        while (pause(500) && sendAll(socket, "\0", 1)) {
        }
        break;
    }
}

} // namespace fixtures
