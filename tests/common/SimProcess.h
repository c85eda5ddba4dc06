#pragma once

#include "PlainChild.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// Starts nsw-sim (the simulated switch) on a free loopback UDP port for one
// test and stops it again. Start() returns once the simulator prints the
// address it serves; the destructor stops it with SIGTERM.
//
//   CSimProcess sim;
//   ASSERT_TRUE(sim.Start({"--model", "NGX-4410-10P B1"})) << sim.Output();
//   g_strSnmpPort = QString::number(sim.Port());
class CSimProcess {
public:
    static constexpr const char* kReadCommunity = "ralvin";
    static constexpr const char* kWriteCommunity = "quorbet";
    static constexpr const char* kControlCommunity = "nsw-control";
    static constexpr const char* kHost = "127.0.0.1";

    CSimProcess();
    ~CSimProcess();
    CSimProcess(const CSimProcess&) = delete;
    CSimProcess& operator=(const CSimProcess&) = delete;

    // Extra nsw-sim options (--model, --state, --fdb, --v3-user ...); never
    // pass --listen, the fixture chooses the port. Retries once with another
    // port when the chosen one was taken meanwhile.
    bool Start(const QStringList& args = {}, int timeoutMs = 10000);
    // SIGTERM, then waits; false when the simulator had to be killed or did
    // not exit with status 0.
    bool Stop(int timeoutMs = 5000);
    bool IsRunning() const;

    int Port() const { return m_nPort; }
    qint64 Pid() const { return m_process ? m_process->processId() : 0; }
    QString Address() const; // "127.0.0.1:16161"
    // Everything the simulator wrote (stdout and stderr), for test messages.
    QString Output();

    // Runs a net-snmp command-line tool (snmpget, snmpset, snmpwalk, ...)
    // against the simulator: tool options, then the address, then the rest.
    // Returns the exit code; stdout in *out and stderr in *err.
    int Tool(const QString& tool, const QStringList& options, const QStringList& rest,
             QString* out = nullptr, QString* err = nullptr, int timeoutMs = 20000) const;
    // Shortcuts on v2c: one value as snmpget -Oqv prints it, empty on failure.
    QString Get(const QString& oid, const QString& community = kReadCommunity) const;
    // snmpset; type as the tools spell it ("i", "s", "x", "a", "u" ...).
    bool Set(const QString& oid, const QString& type, const QString& value,
             const QString& community = kWriteCommunity) const;
    // A value of the control subtree (1.3.6.1.4.1.32473.99), e.g.
    // SetControl("1.1.1.1.5", "i", "2") unplugs port 5.
    bool SetControl(const QString& suffix, const QString& type, const QString& value) const;

    // Absolute path of nsw-sim in the build tree (NSW_SIM_PROGRAM overrides it).
    static QString Program();
    // A free loopback UDP port (bound, read, closed).
    static int FreeUdpPort();

private:
    bool StartOnce(const QStringList& args, int timeoutMs, bool& portTaken);

    bool StartPlainOnce(const QStringList& args, int timeoutMs, bool& portTaken);
    int PlainTool(const QString& tool, const QStringList& args, QString* out, QString* err,
                  int timeoutMs) const;

    std::unique_ptr<QProcess> m_process;
    std::unique_ptr<CPlainChild> m_child; // instead of m_process under the thread sanitizer
    QTemporaryDir m_toolDir; // the tools' private persistent folder
    QString m_strOutput;
    int m_nPort = 0;
};
