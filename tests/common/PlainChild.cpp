#include "PlainChild.h"

#include <QElapsedTimer>
#include <QFile>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

CPlainChild::~CPlainChild() {
    if (Running()) {
        ::kill(m_pid, SIGKILL);
        Wait(5000);
    }
}

bool CPlainChild::Start(const QString& program, const QStringList& args, const QStringList& env,
                        const QString& outPath, const QString& errPath) {
    std::vector<QByteArray> argBytes{QFile::encodeName(program)};
    for (const QString& arg : args)
        argBytes.push_back(arg.toLocal8Bit());
    std::vector<QByteArray> envBytes;
    for (const QString& entry : env)
        envBytes.push_back(entry.toLocal8Bit());
    for (char** e = environ; *e; ++e) {
        const QByteArray entry(*e);
        const QByteArray name = entry.left(entry.indexOf('=') + 1);
        bool overridden = false;
        for (const QString& set : env)
            overridden |= set.toLocal8Bit().startsWith(name);
        if (!overridden)
            envBytes.push_back(entry);
    }
    std::vector<char*> argv, envp;
    for (QByteArray& arg : argBytes)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    for (QByteArray& entry : envBytes)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
    const int out = ::open(QFile::encodeName(outPath).constData(), flags, 0600);
    const int err =
        errPath.isEmpty() ? -1 : ::open(QFile::encodeName(errPath).constData(), flags, 0600);
    const int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    m_nStatus = -1;
    m_pid = ::fork();
    if (m_pid == 0) {
        // Only async-signal-safe calls here; the child goes with this process.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err >= 0 ? err : out, 2);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    for (int fd : {in, out, err})
        if (fd >= 0)
            ::close(fd);
    return m_pid > 0;
}

bool CPlainChild::Running() {
    if (m_pid <= 0)
        return false;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_nStatus = status;
        m_pid = 0;
        return false;
    }
    return true;
}

int CPlainChild::Wait(int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (Running()) {
        if (timer.elapsed() > timeoutMs)
            return -1;
        ::usleep(5000);
    }
    return m_nStatus >= 0 && WIFEXITED(m_nStatus) ? WEXITSTATUS(m_nStatus) : -1;
}

bool CPlainChild::Stop(int timeoutMs) {
    if (!Running())
        return m_nStatus >= 0 && WIFEXITED(m_nStatus) && WEXITSTATUS(m_nStatus) == 0;
    ::kill(m_pid, SIGTERM);
    if (Wait(timeoutMs) == 0)
        return true;
    if (Running()) {
        ::kill(m_pid, SIGKILL);
        Wait(timeoutMs);
    }
    return false;
}
