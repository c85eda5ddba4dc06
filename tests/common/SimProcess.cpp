#include "SimProcess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QProcessEnvironment>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
const QString kReadyLine = QStringLiteral("nsw-sim listening on ");

// After a QProcess start ThreadSanitizer no longer sees the starting thread's
// locks; its runs start the simulator and the tools with fork and exec.
#if defined(__SANITIZE_THREAD__)
constexpr bool kPlainChildren = true;
#else
constexpr bool kPlainChildren = false;
#endif

QString ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}
} // namespace

CSimProcess::CSimProcess() = default;

CSimProcess::~CSimProcess() {
    Stop();
}

QString CSimProcess::Program() {
    // The thread-sanitizer stage runs its tests against the plain build's
    // simulator (a separate process it need not build again).
    const QString chosen = qEnvironmentVariable("NSW_SIM_PROGRAM");
    return chosen.isEmpty() ? QStringLiteral(NSW_BIN_DIR "/nsw-sim") : chosen;
}

int CSimProcess::FreeUdpPort() {
    // A plain socket: Qt's would start its proxy lookup, a thread the thread
    // sanitizer cannot follow.
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    ::close(fd);
    return bound ? ntohs(address.sin_port) : 0;
}

QString CSimProcess::Address() const {
    return QString::fromLatin1(kHost) + u':' + QString::number(m_nPort);
}

bool CSimProcess::IsRunning() const {
    if (m_child)
        return m_child->Running();
    return m_process && m_process->state() != QProcess::NotRunning;
}

QString CSimProcess::Output() {
    if (m_child)
        m_strOutput = ReadText(m_toolDir.filePath(QStringLiteral("nsw-sim.log")));
    else if (m_process)
        m_strOutput += QString::fromLocal8Bit(m_process->readAll());
    return m_strOutput;
}

bool CSimProcess::Start(const QStringList& args, int timeoutMs) {
    bool portTaken = false;
    if (StartOnce(args, timeoutMs, portTaken))
        return true;
    return portTaken && StartOnce(args, timeoutMs, portTaken);
}

bool CSimProcess::StartPlainOnce(const QStringList& args, int timeoutMs, bool& portTaken) {
    const QString log = m_toolDir.filePath(QStringLiteral("nsw-sim.log"));
    m_child = std::make_unique<CPlainChild>();
    if (!m_child->Start(Program(), QStringList(args) << QStringLiteral("--listen") << Address(),
                        {QStringLiteral("MIBS=")}, log)) {
        m_child.reset();
        return false;
    }
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const bool running = m_child->Running();
        if (Output().contains(kReadyLine))
            return true;
        if (!running) {
            portTaken = m_strOutput.contains(QStringLiteral("cannot listen"));
            m_child.reset();
            return false;
        }
        ::usleep(10000);
    }
    Stop();
    return false;
}

bool CSimProcess::StartOnce(const QStringList& args, int timeoutMs, bool& portTaken) {
    Stop();
    m_strOutput.clear();
    m_nPort = FreeUdpPort();
    if (m_nPort == 0)
        return false;
    if (kPlainChildren)
        return StartPlainOnce(args, timeoutMs, portTaken);
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MIBS"), QString());
    m_process->setProcessEnvironment(env);
    m_process->start(Program(), QStringList(args) << QStringLiteral("--listen") << Address());
    if (!m_process->waitForStarted(timeoutMs)) {
        m_strOutput = m_process->errorString();
        m_process.reset();
        return false;
    }
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (m_process->canReadLine() || m_process->waitForReadyRead(50)) {
            while (m_process->canReadLine()) {
                const QString line = QString::fromLocal8Bit(m_process->readLine());
                m_strOutput += line;
                if (line.startsWith(kReadyLine))
                    return true;
            }
        }
        if (m_process->state() == QProcess::NotRunning) {
            Output();
            portTaken = m_strOutput.contains(QStringLiteral("cannot listen"));
            m_process.reset();
            return false;
        }
    }
    Stop();
    return false;
}

bool CSimProcess::Stop(int timeoutMs) {
    if (m_child) {
        const bool clean = m_child->Stop(timeoutMs);
        Output();
        m_child.reset();
        return clean;
    }
    if (!m_process)
        return true;
    bool clean = true;
    if (m_process->state() != QProcess::NotRunning) {
        ::kill(static_cast<pid_t>(m_process->processId()), SIGTERM);
        if (!m_process->waitForFinished(timeoutMs)) {
            m_process->kill();
            m_process->waitForFinished(timeoutMs);
            clean = false;
        }
    }
    clean = clean && m_process->exitStatus() == QProcess::NormalExit && m_process->exitCode() == 0;
    Output();
    m_process.reset();
    return clean;
}

int CSimProcess::PlainTool(const QString& tool, const QStringList& args, QString* out,
                           QString* err, int timeoutMs) const {
    const QString outPath = m_toolDir.filePath(QStringLiteral("tool.out"));
    const QString errPath = m_toolDir.filePath(QStringLiteral("tool.err"));
    const QString program = QStandardPaths::findExecutable(tool);
    CPlainChild child;
    if (program.isEmpty() ||
        !child.Start(program, args,
                     {QStringLiteral("MIBS="), QStringLiteral("SNMP_PERSISTENT_DIR=") + m_toolDir.path()},
                     outPath, errPath))
        return -1;
    const int rc = child.Wait(timeoutMs);
    if (child.Running()) {
        child.Stop(1000);
        if (err)
            *err = QStringLiteral("timed out");
        return -1;
    }
    if (out)
        *out = ReadText(outPath);
    if (err)
        *err = ReadText(errPath);
    return rc;
}

int CSimProcess::Tool(const QString& tool, const QStringList& options, const QStringList& rest,
                      QString* out, QString* err, int timeoutMs) const {
    if (kPlainChildren)
        return PlainTool(tool, QStringList(options) << Address() << rest, out, err, timeoutMs);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MIBS"), QString());
    // Keeps the tools away from /var/lib/snmp.
    env.insert(QStringLiteral("SNMP_PERSISTENT_DIR"), m_toolDir.path());
    process.setProcessEnvironment(env);
    process.start(tool, QStringList(options) << Address() << rest);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        if (err)
            *err = QStringLiteral("timed out");
        return -1;
    }
    if (out)
        *out = QString::fromLocal8Bit(process.readAllStandardOutput());
    if (err)
        *err = QString::fromLocal8Bit(process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QString CSimProcess::Get(const QString& oid, const QString& community) const {
    QString out;
    const int rc =
        Tool(QStringLiteral("snmpget"),
             {QStringLiteral("-v2c"), QStringLiteral("-c"), community, QStringLiteral("-Oqv"),
              QStringLiteral("-t"), QStringLiteral("2"), QStringLiteral("-r"), QStringLiteral("2")},
             {oid}, &out);
    return rc == 0 ? out.trimmed() : QString();
}

bool CSimProcess::Set(const QString& oid, const QString& type, const QString& value,
                      const QString& community) const {
    return Tool(QStringLiteral("snmpset"),
                {QStringLiteral("-v2c"), QStringLiteral("-c"), community, QStringLiteral("-t"),
                 QStringLiteral("2"), QStringLiteral("-r"), QStringLiteral("2")},
                {oid, type, value}) == 0;
}

bool CSimProcess::SetControl(const QString& suffix, const QString& type,
                             const QString& value) const {
    return Set(QStringLiteral("1.3.6.1.4.1.32473.99.") + suffix, type, value,
               QString::fromLatin1(kControlCommunity));
}
