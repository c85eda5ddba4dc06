#pragma once

// Debian's snmpd, run privately for interop tests: its own configuration,
// persistent directory and log in a temporary folder, on a free loopback
// UDP port. Never /etc/snmp, never port 161.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

#include <sys/types.h>

class CSnmpdProcess {
public:
    // Access the agent is configured with.
    static constexpr const char* kReadCommunity = "ralvin-ro";
    static constexpr const char* kWriteCommunity = "quorbet-rw";
    struct User {
        const char* name;
        const char* level;    // launch-setting security level: "1", "2", "3"
        const char* authCode; // launch-setting codes: "2" MD5, "3" SHA, "5" SHA-256
        const char* authPassword;
        const char* privCode; // "2" DES, "4" AES
        const char* privPassword;
    };
    static const User kNoAuthUser;
    static const User kMd5User;
    static const User kShaUser;
    static const User kDesUser;
    static const User kAesUser;
    static const User kSha256AesUser;

    CSnmpdProcess() = default;
    ~CSnmpdProcess();
    CSnmpdProcess(const CSnmpdProcess&) = delete;
    CSnmpdProcess& operator=(const CSnmpdProcess&) = delete;

    // Starts the agent and waits until it answers. False (with the reason in
    // Error()) when snmpd is missing or does not come up.
    bool Start();
    void Stop();
    int Port() const { return m_nPort; }
    QString Host() const { return QStringLiteral("127.0.0.1"); }
    QString Error() const { return m_strError; }

    // Runs a net-snmp command-line tool (snmpwalk, snmpbulkwalk, snmpget ...)
    // as "tool options address oids"; returns its standard output.
    QByteArray RunTool(const QString& tool, const QStringList& options,
                       const QStringList& oids) const;
    // Tool arguments for community-based access ("-v2c -c ...").
    static QStringList CommunityArgs(const char* version, const char* community);

    // A free loopback UDP port (nothing listens on it right after).
    static int FreeUdpPort();

private:
    std::unique_ptr<QTemporaryDir> m_pDir;
    pid_t m_nPid = -1;
    int m_nPort = 0;
    QString m_strError;
};
