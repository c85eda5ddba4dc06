#pragma once

// Debian's tftpd-hpa on a free loopback port, serving a private folder; the
// server stops with the object.

#include "common/SimProcess.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <unistd.h>

class CTftpdProcess {
public:
    static constexpr const char* kProgram = "/usr/sbin/in.tftpd";

    // It serves from a chroot, so it needs root.
    static bool Available() { return QFile::exists(QLatin1String(kProgram)) && geteuid() == 0; }

    CTftpdProcess() = default;
    CTftpdProcess(const CTftpdProcess&) = delete;
    CTftpdProcess& operator=(const CTftpdProcess&) = delete;
    ~CTftpdProcess() { Stop(); }

    // Starts the server; false (with the reason in Error()) when it does not run.
    bool Start() {
        if (!m_root.isValid())
            return false;
        // The server runs as root in its chroot but creates files for others.
        QFile::setPermissions(m_root.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                 QFileDevice::WriteOther | QFileDevice::ExeOther);
        m_port = CSimProcess::FreeUdpPort();
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QLatin1String(kProgram),
                        {"--foreground", "--listen", "--address",
                         QStringLiteral("127.0.0.1:%1").arg(m_port), "--secure", "--create",
                         "--permissive", "--user", "root", m_root.path()});
        if (!m_process.waitForStarted())
            return false;
        QThread::msleep(200);
        return m_process.state() == QProcess::Running;
    }
    void Stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    QString Error() { return QString::fromLocal8Bit(m_process.readAll()); }

    int Port() const { return m_port; }
    QString Path(const QString& name) const { return m_root.filePath(name); }
    QByteArray Read(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool Write(const QString& name, const QByteArray& content) const {
        QFile file(Path(name));
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }

private:
    QTemporaryDir m_root;
    QProcess m_process;
    int m_port = 0;
};
