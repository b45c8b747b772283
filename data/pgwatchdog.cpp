#include "pgwatchdog.h"

#include <sys/socket.h>

namespace db::pg {

Watchdog::~Watchdog()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void Watchdog::arm(int fd, Clock::time_point deadline)
{
    {
        std::lock_guard lock(m_mutex);
        m_fd = fd;
        m_deadline = deadline;
        m_fired = false;
        if (!m_thread.joinable())
            m_thread = std::thread([this] { watch(); });
    }
    m_wake.notify_all();
}

bool Watchdog::disarm()
{
    // Under the lock: once this returns, the socket (which the caller may
    // close next, its number then free for another file) is never touched.
    std::lock_guard lock(m_mutex);
    m_fd = -1;
    return m_fired;
}

void Watchdog::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        if (m_fd < 0) {
            m_wake.wait(lock);
            continue;
        }
        if (Clock::now() < m_deadline) {
            m_wake.wait_until(lock, m_deadline);
            continue;
        }
        ::shutdown(m_fd, SHUT_RDWR);
        m_fd = -1;
        m_fired = true;
    }
}

} // namespace db::pg
