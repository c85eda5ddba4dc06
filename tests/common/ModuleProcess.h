#pragma once

// One real nsw-module process, offscreen, with its traces on and its output
// collected; terminated (then killed) when the object goes.

#include <QElapsedTimer>
#include <QProcess>

#include <signal.h>

class CModuleProcess {
public:
    CModuleProcess(const QString& program, const QStringList& arguments,
                   const QProcessEnvironment& extra = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("nsw.trace=true"));
        env.insert(extra);
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(program, arguments);
    }
    ~CModuleProcess() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(3000)) {
                m_process.kill();
                m_process.waitForFinished(3000);
            }
        }
    }
    CModuleProcess(const CModuleProcess&) = delete;
    CModuleProcess& operator=(const CModuleProcess&) = delete;

    // Waits until the output holds text; false after timeoutMs.
    bool WaitFor(const QByteArray& text, int timeoutMs = 10000) {
        QElapsedTimer timer;
        timer.start();
        while (!m_output.contains(text)) {
            if (timer.elapsed() > timeoutMs || m_process.state() == QProcess::NotRunning)
                return m_output.contains(text);
            m_process.waitForReadyRead(100);
            m_output += m_process.readAll();
        }
        return true;
    }
    bool Running() const { return m_process.state() == QProcess::Running; }
    bool WaitEnded(int timeoutMs) {
        const bool ended = m_process.waitForFinished(timeoutMs);
        m_output += m_process.readAll();
        return ended;
    }
    // Ends the process with a signal and collects what it wrote on the way out.
    void Signal(int signal) {
        ::kill(static_cast<pid_t>(m_process.processId()), signal);
        WaitEnded(10000);
    }
    void Crash() { Signal(SIGKILL); }
    qint64 Pid() const { return m_process.processId(); }
    const QByteArray& Output() const { return m_output; }

private:
    QProcess m_process;
    QByteArray m_output;
};
