#pragma once

// A child program started with fork and exec, its output going to a file.
// The thread-sanitizer runs start their programs this way: after a QProcess
// start the sanitizer no longer sees the starting thread's locks.

#include <QString>
#include <QStringList>

#include <sys/types.h>

class CPlainChild {
public:
    CPlainChild() = default;
    ~CPlainChild(); // SIGKILL if still running, then reaped
    CPlainChild(const CPlainChild&) = delete;
    CPlainChild& operator=(const CPlainChild&) = delete;

    // env: "NAME=value" entries set on top of this process's environment.
    // Standard output goes to outPath, standard error to errPath (or outPath
    // when empty).
    bool Start(const QString& program, const QStringList& args, const QStringList& env,
               const QString& outPath, const QString& errPath = {});
    bool Running();
    // Waits up to timeoutMs; the exit code, or -1 when it did not end normally
    // (or not in time).
    int Wait(int timeoutMs);
    // SIGTERM, then SIGKILL after timeoutMs; true when it ended with status 0.
    bool Stop(int timeoutMs);

private:
    pid_t m_pid = 0;
    int m_nStatus = -1; // raw wait status once reaped
};
