// A small HTTP server on 127.0.0.1 for the stream tests and benches, on threads of its own so
// that it answers while the program's thread waits. Each path is one way of answering.
#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace fixtures {

class LocalHttpServer {
public:
    enum class Answer {
        Whole,   // the body with its length
        Trickle, // no length; the body in small pieces, about in real time for a short sound
        Stall,   // headers only, then one zero byte each half second
        Broken,  // headers with the whole length, a few bytes of the body, then the end
    };

    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    bool listening() const { return m_listener >= 0; }
    // Serves body at path ("/media/tone.ogg"), answered as told; any other path is 404.
    void serve(const QString& path, const QByteArray& body, Answer answer);
    // http://127.0.0.1:<port><path>
    QString url(const QString& path) const;
    int requests() const { return m_requests; }

    // A local port on which nothing listens (a connection to it is refused).
    static int closedPort();

private:
    struct Resource {
        QByteArray body;
        Answer answer;
    };
    void acceptLoop();
    void answer(int socket);
    bool pause(int ms) const; // false once the server is stopping

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_requests{0};
    std::mutex m_mutex;
    std::map<QString, Resource> m_resources;
    std::vector<std::thread> m_threads;
    std::thread m_acceptor;
};

} // namespace fixtures
