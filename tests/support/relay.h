#pragma once
// A TCP relay between the game and a test server that can lose the answer to
// a statement: the statement reaches the server, the connection is cut before
// its answer comes back, as when the network drops at that very moment.

#include <QByteArray>
#include <atomic>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <netinet/in.h>
#include <arpa/inet.h>

namespace testkit {

class Relay {
public:
    explicit Relay(int serverPort) : m_serverPort(serverPort)
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listen, reinterpret_cast<sockaddr *>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&a), &len);
        m_port = ntohs(a.sin_port);
        ::listen(m_listen, 8);
        m_thread = std::thread([this] { loop(); });
    }
    ~Relay()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_listen);
    }
    int port() const { return m_port; }
    // Cuts after the next message to the server that holds `marker`.
    void cutAfter(const QByteArray &marker)
    {
        m_marker = marker;
        m_armed = true;
    }
    bool cut() const { return m_cut; }

private:
    void loop()
    {
        std::vector<std::pair<int, int>> pairs; // client, server
        while (!m_stop) {
            std::vector<pollfd> fds{{m_listen, POLLIN, 0}};
            for (auto [c, s] : pairs) {
                fds.push_back({c, POLLIN, 0});
                fds.push_back({s, POLLIN, 0});
            }
            if (::poll(fds.data(), fds.size(), 50) <= 0)
                continue;
            if (fds[0].revents & POLLIN) {
                const int c = ::accept(m_listen, nullptr, nullptr);
                const int s = ::socket(AF_INET, SOCK_STREAM, 0);
                sockaddr_in a{};
                a.sin_family = AF_INET;
                a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                a.sin_port = htons(quint16(m_serverPort));
                if (::connect(s, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0)
                    pairs.push_back({c, s});
                else
                    ::close(c), ::close(s);
                continue;
            }
            for (size_t i = 0; i < pairs.size(); ++i) {
                auto [c, s] = pairs[i];
                bool closed = false;
                for (int side = 0; side < 2 && !closed; ++side) {
                    if (!(fds[1 + 2 * i + side].revents & (POLLIN | POLLHUP | POLLERR)))
                        continue;
                    char buf[65536];
                    const ssize_t n = ::read(side == 0 ? c : s, buf, sizeof buf);
                    if (n <= 0) {
                        closed = true;
                        break;
                    }
                    ::write(side == 0 ? s : c, buf, size_t(n));
                    if (side == 0 && m_armed && QByteArray::fromRawData(buf, int(n)).contains(m_marker)) {
                        m_armed = false;
                        m_cut = true;
                        closed = true; // the server has the statement; its answer never arrives
                    }
                }
                if (closed) {
                    ::close(c);
                    ::close(s);
                    pairs.erase(pairs.begin() + qsizetype(i));
                    break;
                }
            }
        }
        for (auto [c, s] : pairs)
            ::close(c), ::close(s);
    }

    int m_serverPort;
    int m_listen = -1;
    int m_port = 0;
    QByteArray m_marker;
    std::atomic<bool> m_stop{false}, m_armed{false}, m_cut{false};
    std::thread m_thread;
};

} // namespace testkit
