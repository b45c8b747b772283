#pragma once
// The thread a database server's connection lives on. A statement sent to
// the server is answered inside the client library, which nothing on the
// waiting thread can interrupt; on the window's thread a slow or silent
// server would freeze the window until the step's bound passes (seconds).
// So every step on a server runs here, one at a time and in the order asked
// (a write transaction's statements stay in order), and the thread that
// asked waits for its answer without holding its window: it turns its event
// loop (see windowwait.h: the window paints and moves, input is dropped, the
// game's timers keep their ticks, and after a moment the window says why).
//
// The calls stay synchronous for their callers. A step answered within a
// few milliseconds is waited for without turning the event loop at all.
// Qt's connections belong to the thread that made them: the connection is
// opened, used and closed only here.

#include <QThread>
#include <functional>
#include <optional>
#include <type_traits>

namespace db {

// What a step waits for, for the words the window shows.
enum class StoreWait { Saving, Reading };

class StoreThread {
public:
    StoreThread();
    ~StoreThread(); // after the last step; the thread ends
    StoreThread(const StoreThread &) = delete;
    StoreThread &operator=(const StoreThread &) = delete;

    // Runs job on the store thread and returns once it has run. Called on the
    // store thread itself (a step made from inside another), it runs at once.
    void run(StoreWait why, const std::function<void()> &job);

    // Runs job on the store thread without waiting for it; done runs on the
    // application's thread once it has run (not at all if context is gone by
    // then). Later steps run after it, in the order asked.
    void post(std::function<void()> job, QObject *context, std::function<void()> done);

    template <typename F> auto call(StoreWait why, F &&f) -> decltype(f())
    {
        using R = decltype(f());
        if constexpr (std::is_void_v<R>) {
            run(why, f);
        } else {
            std::optional<R> out;
            run(why, [&] { out.emplace(f()); });
            return std::move(*out);
        }
    }

    bool isCurrent() const { return QThread::currentThread() == &m_thread; }

    // A step that has not been answered after this long turns the waiting
    // thread's event loop (before: a plain wait, no event handled).
    static constexpr int kQuietMs = 10;

private:
    QThread m_thread;
    QObject *m_worker;
};

} // namespace db
