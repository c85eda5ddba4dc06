// SNMPv3 engine discovery against nsw-sim: what the process learns about an
// agent's engine is reused by later sessions, and nothing else is.

#include "EngineTestKit.h"
#include "UdpRelay.h"
#include "common/SimProcess.h"

#include "device/LaunchSettings.h"
#include "snmp/CommonSNMP.h"

#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

const QString kSysName = QStringLiteral("1.3.6.1.2.1.1.5.0");
const char* const kUserSpec = "nsw-sim-aes:priv:SHA:sim-auth-secret:AES:sim-priv-secret";
const CSnmpdProcess::User kUser{"nsw-sim-aes", "3", "3", "sim-auth-secret", "4", "sim-priv-secret"};
const CSnmpdProcess::User kWrongPassword{"nsw-sim-aes",    "3", "3",
                                         "not-the-secret", "4", "sim-priv-secret"};

// One GET of sysName in a session of its own, as a page makes it.
int GetName(QByteArray* value = nullptr) {
    CCommonSNMP get;
    if (!get.Open(CCommonSNMP::kGet))
        return -1;
    get.AddVarBind(kSysName, SnmpType::kNull);
    std::unique_ptr<CSnmp> answer;
    const int result = get.Send(answer);
    if (value && answer)
        *value = answer->valueAt(0);
    return result;
}

// nsw-sim on a port of our choosing, so that another one can take it later.
class CSimOnPort {
public:
    ~CSimOnPort() { Stop(); }
    bool Start(int port) {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(CSimProcess::Program(), {"--v3-user", kUserSpec, "--listen",
                                                 QStringLiteral("127.0.0.1:%1").arg(port)});
        QElapsedTimer timer;
        timer.start();
        while (m_process.state() != QProcess::NotRunning && timer.elapsed() < 10000) {
            m_process.waitForReadyRead(100);
            while (m_process.canReadLine())
                if (m_process.readLine().startsWith("nsw-sim listening on"))
                    return true;
        }
        return false;
    }
    void Stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

private:
    QProcess m_process;
};

class EngineCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
#if defined(__SANITIZE_THREAD__)
        GTEST_SKIP() << "not under ThreadSanitizer"; // as SimTest: QProcess
#endif
    }
    void TearDown() override {
        ResetLaunchSettings();
    }

    // A simulator of its own: a peer no earlier test has talked to.
    void StartSim(CSimProcess& sim) {
        ASSERT_TRUE(sim.Start({"--v3-user", kUserSpec})) << sim.Output().toStdString();
    }
};

TEST_F(EngineCacheTest, LaterRequestsToTheSameAgentAndUserSendNoProbe) {
    CSimProcess sim;
    StartSim(sim);
    CUdpRelay relay(sim.Port());
    ASSERT_NE(relay.Port(), 0);
    UseUser(kUser, relay.Port());

    QByteArray name;
    ASSERT_EQ(GetName(&name), 0);
    EXPECT_FALSE(name.isEmpty());
    const unsigned long first = relay.Forwarded();
    EXPECT_GE(first, 2u) << "the first request of the process discovers the engine";

    for (int i = 0; i < 9; ++i)
        ASSERT_EQ(GetName(), 0) << "request " << i + 2;
    EXPECT_EQ(relay.Forwarded() - first, 9u) << "one datagram per request, no probe";
}

TEST_F(EngineCacheTest, LostDiscoveryProbeIsSentAgain) {
    CSimProcess sim;
    StartSim(sim);
    UseUser(kUser, sim.Port());
    // 30 % evenly spread: three requests pass, the fourth (our probe) is lost.
    ASSERT_TRUE(sim.SetControl(QStringLiteral("4.1.0"), QStringLiteral("i"), QStringLiteral("30")));
    for (int i = 0; i < 3; ++i)
        ASSERT_FALSE(sim.Get(kSysName).isEmpty()) << "request " << i + 1 << " was dropped";

    QByteArray name;
    EXPECT_EQ(GetName(&name), 0);
    EXPECT_FALSE(name.isEmpty());
    // And later ones, with the fault still on.
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(GetName(), 0) << "request " << i + 2;
}

TEST_F(EngineCacheTest, AnotherAgentOnThePortIsDiscoveredWithinTheRequest) {
    const int port = CSimProcess::FreeUdpPort();
    UseUser(kUser, port);
    {
        CSimOnPort before;
        ASSERT_TRUE(before.Start(port));
        ASSERT_EQ(GetName(), 0);
        ASSERT_EQ(GetName(), 0);
    }
    // A restarted agent: a new engine, its boots and time start again.
    CSimOnPort after;
    ASSERT_TRUE(after.Start(port));
    QByteArray name;
    EXPECT_EQ(GetName(&name), 0) << "the first request after the restart";
    EXPECT_FALSE(name.isEmpty());
    EXPECT_EQ(GetName(), 0);
    EXPECT_EQ(GetName(), 0);
}

TEST_F(EngineCacheTest, OtherCredentialsAndPeersAreNotServedFromTheCache) {
    CSimProcess sim;
    StartSim(sim);
    UseUser(kUser, sim.Port());
    ASSERT_EQ(GetName(), 0);
    ASSERT_EQ(GetName(), 0);

    // Same peer and user name, another password: the keys learned for the
    // right one must not carry it.
    UseUser(kWrongPassword, sim.Port());
    EXPECT_NE(GetName(), 0);
    EXPECT_NE(GetName(), 0);
    UseUser(kUser, sim.Port());
    EXPECT_EQ(GetName(), 0);

    // Same user on another agent: discovered there, not taken from the first.
    CSimProcess other;
    StartSim(other);
    CUdpRelay relay(other.Port());
    ASSERT_NE(relay.Port(), 0);
    UseUser(kUser, relay.Port());
    EXPECT_EQ(GetName(), 0);
    EXPECT_GE(relay.Forwarded(), 2u) << "no probe went to the second agent";
    UseUser(kUser, sim.Port());
    EXPECT_EQ(GetName(), 0);
}

} // namespace
