#include "SnmpdProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QUdpSocket>

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

} // namespace

CSnmpdProcess::~CSnmpdProcess() {
    Stop();
}

int CSnmpdProcess::FreeUdpPort() {
    QUdpSocket socket;
    if (!socket.bind(QHostAddress::LocalHost, 0))
        return 0;
    return socket.localPort();
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
        m_pProcess = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MIBS"), QString());
        env.insert(QStringLiteral("SNMP_PERSISTENT_DIR"), dir + QStringLiteral("/persist"));
        m_pProcess->setProcessEnvironment(env);
        m_pProcess->setProcessChannelMode(QProcess::MergedChannels);
        const QString log = dir + QStringLiteral("/snmpd.log");
        QFile::remove(log);
        m_pProcess->start(snmpd,
                          {QStringLiteral("-f"), QStringLiteral("-C"), QStringLiteral("-c"),
                           dir + QStringLiteral("/snmpd.conf"),
                           QStringLiteral("--persistentDir=") + dir + QStringLiteral("/persist"),
                           QStringLiteral("-Lf"), log, QStringLiteral("-p"),
                           dir + QStringLiteral("/snmpd.pid"),
                           QStringLiteral("udp:127.0.0.1:%1").arg(m_nPort)});
        if (!m_pProcess->waitForStarted(5000)) {
            m_strError = QStringLiteral("snmpd did not start");
            continue;
        }
        // Up when it answers a get of sysUpTime.
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10000 && m_pProcess->state() == QProcess::Running) {
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
    if (m_pProcess) {
        if (m_pProcess->state() != QProcess::NotRunning) {
            m_pProcess->terminate();
            if (!m_pProcess->waitForFinished(5000)) {
                m_pProcess->kill();
                m_pProcess->waitForFinished(5000);
            }
        }
        m_pProcess.reset();
    }
}

QByteArray CSnmpdProcess::RunTool(const QString& tool, const QStringList& options,
                                  const QStringList& oids) const {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MIBS"), QString());
    if (m_pDir)
        env.insert(QStringLiteral("SNMP_PERSISTENT_DIR"),
                   m_pDir->path() + QStringLiteral("/tools"));
    process.setProcessEnvironment(env);
    process.start(tool,
                  options + QStringList{QStringLiteral("udp:127.0.0.1:%1").arg(m_nPort)} + oids);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return process.readAllStandardOutput();
}
