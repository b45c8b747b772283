#pragma once
// A bound on how long the caller's thread may wait for the database server.
// A statement is sent and its answer awaited inside the client library,
// which nothing on the waiting thread can interrupt; a server process that
// stopped (or a peer that takes the bytes but never answers) would hold the
// thread, and a player's window, until the operating system gives up on the
// connection. The watchdog's own thread shuts the connection's socket down
// when its deadline passes: the blocked read then ends at once, the
// statement fails as on a lost connection, and the connection is made anew
// for the next statement.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace db::pg {

class Watchdog {
public:
    using Clock = std::chrono::steady_clock;

    Watchdog() = default;
    ~Watchdog();
    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

    // From now until disarm(): socket fd is shut down when `deadline` passes
    // (at once when it has passed already).
    void arm(int fd, Clock::time_point deadline);
    // Whether it cut the connection since arm().
    bool disarm();

private:
    void watch();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    int m_fd = -1;
    Clock::time_point m_deadline;
    bool m_fired = false;
    bool m_quit = false;
};

} // namespace db::pg
