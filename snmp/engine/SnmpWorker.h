#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// One thread that runs posted jobs in order. Started by the first Post,
// stopped cooperatively: Stop drops the jobs not yet started and waits for
// the running one, which the owner makes short (an aborted request).
class CSnmpWorker {
public:
    CSnmpWorker() = default;
    ~CSnmpWorker() { Stop(); }
    CSnmpWorker(const CSnmpWorker&) = delete;
    CSnmpWorker& operator=(const CSnmpWorker&) = delete;

    void Post(std::function<void()> job);
    // Must not be called from a job of this worker.
    void Stop();
    bool IsCurrentThread() const;

private:
    void Run();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    bool m_bStopping = false;
    std::thread m_thread;
    std::thread::id m_threadId;
};
