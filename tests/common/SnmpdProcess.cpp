#include "SnmpdProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

const CSnmpdProcess::User CSnmpdProcess::kNoAuthUser{"nsw-noauth", "1", "", "", "", ""};
const CSnmpdProcess::User CSnmpdProcess::kMd5User{"nsw-md5", "2", "2", "md5-secret-1", "", ""};
const CSnmpdProcess::User CSnmpdProcess::kShaUser{"nsw-sha", "2", "3", "sha-secret-1", "", ""};
const CSnmpdProcess::User CSnmpdProcess::kDesUser{"nsw-des",         "3", "3",
                                                  "des-auth-secret", "2", "des-priv-secret"};
const CSnmpdProcess::User CSnmpdProcess::kAesUser{"nsw-aes",         "3", "2",
                                                  "aes-auth-secret", "4", "aes-priv-secret"};
const CSnmpdProcess::User CSnmpdProcess::kSha256AesUser{"nsw-sha256",    "3", "5",
                                                        "sha256-secret", "4", "sha256-priv-secret"};

namespace {

QByteArray UserLines(const CSnmpdProcess::User& user) {
    static const QByteArray kAuthNames[] = {"", "", "MD5", "SHA", "", "SHA-256"};
    static const QByteArray kPrivNames[] = {"", "", "DES", "", "AES"};
    QByteArray line = "createUser " + QByteArray(user.name);
    QByteArray level = "noauth";
    if (*user.authCode) {
        line +=
            ' ' + kAuthNames[QByteArray(user.authCode).toInt()] + " \"" + user.authPassword + '"';
        level = "auth";
        if (*user.privCode) {
            line += ' ' + kPrivNames[QByteArray(user.privCode).toInt()] + " \"" +
                    user.privPassword + '"';
            level = "priv";
        }
    }
    return line + "\nrwuser " + user.name + ' ' + level + "\n";
}

std::vector<QByteArray> Environment(const QByteArray& persistentDir) {
    std::vector<QByteArray> env;
    for (char** e = environ; *e; ++e) {
        const QByteArray entry(*e);
        if (!entry.startsWith("MIBS=") && !entry.startsWith("SNMP_PERSISTENT_DIR="))
            env.push_back(entry);
    }
    env.push_back("MIBS=");
    env.push_back("SNMP_PERSISTENT_DIR=" + persistentDir);
    return env;
}

// Children are started with fork and exec, not QProcess: after a QProcess
// start ThreadSanitizer no longer sees the calling thread's locks, and the
// session tests run under it.
// Starts program; its standard output and error go to outFd (or nowhere).
pid_t Spawn(const QString& program, const QStringList& args, const QByteArray& persistentDir,
            int outFd) {
    std::vector<QByteArray> argBytes{QFile::encodeName(program)};
    for (const QString& arg : args)
        argBytes.push_back(arg.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& arg : argBytes)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<QByteArray> envBytes = Environment(persistentDir);
    std::vector<char*> envp;
    for (QByteArray& entry : envBytes)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    const int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only async-signal-safe calls here. The agent goes with this
        // process even when a test dies without stopping it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::dup2(devNull, 0);
        ::dup2(outFd >= 0 ? outFd : devNull, 1);
        ::dup2(outFd >= 0 ? outFd : devNull, 2);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(devNull);
    return pid;
}

// Waits up to timeoutMs for pid to end; true when it did (and was reaped).
bool WaitFor(pid_t pid, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    do {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return true;
        ::usleep(5000);
    } while (timer.elapsed() < timeoutMs);
    return false;
}

bool IsRunning(pid_t pid) {
    return pid > 0 && ::waitpid(pid, nullptr, WNOHANG) == 0;
}

} // namespace

CSnmpdProcess::~CSnmpdProcess() {
    Stop();
}

int CSnmpdProcess::FreeUdpPort() {
    // Plain sockets: Qt's would start a proxy look-up thread for nothing.
    const int sock = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (sock < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(sock, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    ::close(sock);
    return port;
}

QStringList CSnmpdProcess::CommunityArgs(const char* version, const char* community) {
    return {QStringLiteral("-v") + QLatin1String(version), QStringLiteral("-c"),
            QLatin1String(community)};
}

bool CSnmpdProcess::Start() {
    Stop();
    const QString snmpd = QStandardPaths::findExecutable(
        QStringLiteral("snmpd"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    if (snmpd.isEmpty()) {
        m_strError = QStringLiteral("snmpd is not installed");
        return false;
    }
    m_pDir = std::make_unique<QTemporaryDir>();
    const QString dir = m_pDir->path();
    QByteArray config = "rocommunity " + QByteArray(kReadCommunity) + " 127.0.0.1\n" +
                        "rwcommunity " + QByteArray(kWriteCommunity) + " 127.0.0.1\n";
    for (const User* user :
         {&kNoAuthUser, &kMd5User, &kShaUser, &kDesUser, &kAesUser, &kSha256AesUser})
        config += UserLines(*user);
    QFile file(dir + QStringLiteral("/snmpd.conf"));
    if (!file.open(QIODevice::WriteOnly) || file.write(config) != config.size()) {
        m_strError = QStringLiteral("cannot write the configuration");
        return false;
    }
    file.close();

    // The port can be taken between the probe and snmpd's bind: try a few.
    for (int attempt = 0; attempt < 5; ++attempt) {
        m_nPort = FreeUdpPort();
        const QString log = dir + QStringLiteral("/snmpd.log");
        QFile::remove(log);
        m_nPid = Spawn(snmpd,
                       {QStringLiteral("-f"), QStringLiteral("-C"), QStringLiteral("-c"),
                        dir + QStringLiteral("/snmpd.conf"),
                        QStringLiteral("--persistentDir=") + dir + QStringLiteral("/persist"),
                        QStringLiteral("-Lf"), log, QStringLiteral("-p"),
                        dir + QStringLiteral("/snmpd.pid"),
                        QStringLiteral("udp:127.0.0.1:%1").arg(m_nPort)},
                       QFile::encodeName(dir + QStringLiteral("/persist")), -1);
        if (m_nPid <= 0) {
            m_strError = QStringLiteral("snmpd did not start");
            continue;
        }
        // Up when it answers a get of sysUpTime.
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10000 && IsRunning(m_nPid)) {
            const QByteArray out = RunTool(
                QStringLiteral("snmpget"),
                CommunityArgs("2c", kReadCommunity) +
                    QStringList{QStringLiteral("-t"), QStringLiteral("0.2"), QStringLiteral("-r"),
                                QStringLiteral("0"), QStringLiteral("-On")},
                {QStringLiteral("1.3.6.1.2.1.1.3.0")});
            if (out.contains("1.3.6.1.2.1.1.3.0"))
                return true;
        }
        QFile logFile(log);
        logFile.open(QIODevice::ReadOnly);
        m_strError =
            QStringLiteral("snmpd did not answer: ") + QString::fromLocal8Bit(logFile.readAll());
        Stop();
    }
    return false;
}

void CSnmpdProcess::Stop() {
    if (m_nPid <= 0)
        return;
    ::kill(m_nPid, SIGTERM);
    if (!WaitFor(m_nPid, 5000)) {
        ::kill(m_nPid, SIGKILL);
        WaitFor(m_nPid, 5000);
    }
    m_nPid = -1;
}

QByteArray CSnmpdProcess::RunTool(const QString& tool, const QStringList& options,
                                  const QStringList& oids) const {
    const QString program = QStandardPaths::findExecutable(tool);
    int fds[2];
    if (program.isEmpty() || ::pipe2(fds, O_CLOEXEC) != 0)
        return {};
    const QByteArray persistent =
        m_pDir ? QFile::encodeName(m_pDir->path() + QStringLiteral("/tools")) : QByteArray("/tmp");
    const pid_t pid = Spawn(
        program, options + QStringList{QStringLiteral("udp:127.0.0.1:%1").arg(m_nPort)} + oids,
        persistent, fds[1]);
    ::close(fds[1]);
    QByteArray output;
    QElapsedTimer timer;
    timer.start();
    char buffer[4096];
    while (pid > 0 && timer.elapsed() < 60000) {
        pollfd readable{fds[0], POLLIN, 0};
        if (::poll(&readable, 1, 100) <= 0)
            continue;
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        output.append(buffer, qsizetype(n));
    }
    ::close(fds[0]);
    if (pid > 0 && !WaitFor(pid, 1000)) {
        ::kill(pid, SIGKILL);
        WaitFor(pid, 5000);
        return {};
    }
    return output;
}
