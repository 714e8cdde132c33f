#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QThread>

#include <atomic>
#include <exception>
#include <memory>
#include <utility>

// Whether a worker thread was left running when its owner ended (see endOrLeave()). The process
// must then end without its static destructors, which would wait for that thread or pull its
// driver away from under it.
inline std::atomic<bool>& workerLeftRunning()
{
    static std::atomic<bool> left{false};
    return left;
}

// A thread of its own for one worker object, which is made and destroyed on that thread: what
// the worker makes (a serial port, a database connection) belongs to the thread that uses it.
// Talk to the worker through queued signals and slots; its slots run one at a time, in order.
//
// In Windows builds a worker leaves no thread_local object with a destructor behind: MinGW's
// runtime frees such storage before running the destructors, so the thread would crash as it
// ends, and the process then hang in its own end. Qt's compiled regular expressions keep one
// (their stack) on every thread that matched one; the program turns their compilation off as it
// starts, and the workers match none of their own.
template <typename Worker> class WorkerThread {
public:
    // A worker whose construction throws is not made; what it threw is thrown here, on the
    // owner's thread, once the new thread has ended: no exception crosses into a thread's event
    // loop.
    template <typename... Arguments> explicit WorkerThread(Arguments&&... arguments)
    {
        m_context.moveToThread(&m_thread);
        m_thread.start();
        std::exception_ptr failure;
        QMetaObject::invokeMethod(
            &m_context,
            [&] {
                try {
                    m_worker = new Worker(std::forward<Arguments>(arguments)...);
                } catch (...) {
                    failure = std::current_exception();
                }
            },
            Qt::BlockingQueuedConnection);
        if (failure) {
            m_thread.quit();
            m_thread.wait();
            std::rethrow_exception(failure);
        }
    }

    // Waits for the slot under way, if any, to end.
    ~WorkerThread() { endWithin(QDeadlineTimer::Forever); }

    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Null once the thread has ended.
    Worker* worker() const { return m_worker; }

    // Destroys the worker on its thread once the slot under way, if any, has returned, and ends
    // the thread. Returns whether that was done by `deadline`; if not, it is still done when the
    // slot returns, and this object must stay until then: a running QThread must not be
    // destroyed.
    bool endWithin(QDeadlineTimer deadline)
    {
        if (!m_endAsked) {
            m_endAsked = true;
            QMetaObject::invokeMethod(&m_context, [this] {
                delete std::exchange(m_worker, nullptr);
                m_thread.quit();
            });
        }
        return m_thread.wait(deadline);
    }

private:
    QThread m_thread;
    QObject m_context;
    Worker* m_worker = nullptr;
    bool m_endAsked = false;
};

// Ends `thread` by `deadline`, or leaves it running, never destroyed, and says so through
// workerLeftRunning(): a worker waiting on the outside world (a login, a statement) must not hold
// up the end of the program.
template <typename Worker>
void endOrLeave(std::unique_ptr<WorkerThread<Worker>>& thread, QDeadlineTimer deadline)
{
    if (!thread || thread->endWithin(deadline))
        return;
    workerLeftRunning() = true;
    [[maybe_unused]] WorkerThread<Worker>* left = thread.release();
}
