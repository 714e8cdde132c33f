#pragma once

#include <QObject>
#include <QThread>

#include <memory>

// A thread of its own for one worker object, which is made and destroyed on that thread: what
// the worker makes (a serial port, a database connection) belongs to the thread that uses it.
// Talk to the worker through queued signals and slots; its slots run one at a time, in order.
template <typename Worker> class WorkerThread {
public:
    template <typename... Arguments> explicit WorkerThread(Arguments&&... arguments)
    {
        m_context.moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(
            &m_context, [&] { m_worker = new Worker(std::forward<Arguments>(arguments)...); },
            Qt::BlockingQueuedConnection);
    }

    // Waits for the slot under way, if any, to end: every wait in a worker has a deadline.
    ~WorkerThread()
    {
        QMetaObject::invokeMethod(
            &m_context, [this] { delete m_worker; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    Worker* worker() const { return m_worker; }

private:
    QThread m_thread;
    QObject m_context;
    Worker* m_worker = nullptr;
};
