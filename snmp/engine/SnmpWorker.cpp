#include "SnmpWorker.h"

#include <cassert>

void CSnmpWorker::Post(std::function<void()> job) {
    std::lock_guard lock(m_mutex);
    m_jobs.push_back(std::move(job));
    if (!m_thread.joinable()) {
        m_bStopping = false;
        m_thread = std::thread([this] { Run(); });
        m_threadId = m_thread.get_id();
    }
    m_wake.notify_one();
}

void CSnmpWorker::Stop() {
    std::thread thread;
    {
        std::lock_guard lock(m_mutex);
        if (!m_thread.joinable())
            return;
        assert(std::this_thread::get_id() != m_threadId);
        m_bStopping = true;
        m_jobs.clear();
        thread = std::move(m_thread);
        m_wake.notify_one();
    }
    thread.join();
    std::lock_guard lock(m_mutex);
    m_threadId = {};
}

bool CSnmpWorker::IsCurrentThread() const {
    std::lock_guard lock(m_mutex);
    return m_threadId == std::this_thread::get_id();
}

void CSnmpWorker::Run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_bStopping || !m_jobs.empty(); });
        if (m_bStopping)
            return;
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        lock.unlock();
        job();
        job = nullptr; // captured state goes before the next wait
        lock.lock();
    }
}
