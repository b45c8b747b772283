#include "storethread.h"

#include "windowwait.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace db {

namespace {

// One step handed over: answered (done) and, once the asking thread turns
// its event loop for it, the loop to end.
struct Handover {
    std::mutex mutex;
    std::condition_variable answered;
    bool done = false;
    QEventLoop *loop = nullptr;
};

WindowWait::Why windowWhy(StoreWait why)
{
    return why == StoreWait::Saving ? WindowWait::Why::Saving : WindowWait::Why::Server;
}

} // namespace

StoreThread::StoreThread() : m_worker(new QObject)
{
    m_thread.setObjectName(QStringLiteral("store"));
    m_worker->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
}

StoreThread::~StoreThread()
{
    m_thread.quit();
    m_thread.wait();
}

void StoreThread::post(std::function<void()> job, QObject *context, std::function<void()> done)
{
    // The answer goes by the application object, which outlives the step;
    // whether context is still there is asked on its own thread.
    QObject *app = QCoreApplication::instance();
    QMetaObject::invokeMethod(
            m_worker,
            [job = std::move(job), app, answer = [context = QPointer<QObject>(context), done = std::move(done)] {
                if (context)
                    done();
            }] {
                job();
                QMetaObject::invokeMethod(app, answer, Qt::QueuedConnection);
            },
            Qt::QueuedConnection);
}

void StoreThread::run(StoreWait why, const std::function<void()> &job)
{
    if (isCurrent()) {
        job();
        return;
    }
    auto h = std::make_shared<Handover>();
    QMetaObject::invokeMethod(
            m_worker,
            [h, &job] {
                job(); // the asker waits until done: job is alive
                std::lock_guard lock(h->mutex);
                h->done = true;
                h->answered.notify_all();
                if (h->loop)
                    QMetaObject::invokeMethod(h->loop, &QEventLoop::quit, Qt::QueuedConnection);
            },
            Qt::QueuedConnection);

    std::unique_lock lock(h->mutex);
    if (h->answered.wait_for(lock, std::chrono::milliseconds(kQuietMs), [&] { return h->done; }))
        return;
    // A thread without windows (a command line copy, a helper thread), or a
    // window's thread in the middle of painting, simply waits.
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!app || app->thread() != QThread::currentThread() || !WindowWait::mayTurnEventLoop()) {
        h->answered.wait(lock, [&] { return h->done; });
        return;
    }
    lock.unlock();
    {
        const WindowWait shown(windowWhy(why));
        QEventLoop loop;
        lock.lock();
        const bool waiting = !h->done;
        h->loop = waiting ? &loop : nullptr;
        lock.unlock();
        // Ends when the answer comes (or at once when the application is
        // quitting: the answer is then simply waited for).
        if (waiting)
            loop.exec();
        lock.lock();
        h->loop = nullptr;
        lock.unlock();
    }
    lock.lock();
    h->answered.wait(lock, [&] { return h->done; });
}

} // namespace db
