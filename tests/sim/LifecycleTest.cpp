// Save and restart keep the configuration, a reboot loses what was not saved,
// and a state file is never left broken.
#include "SimTest.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

namespace {

const QString kSysName = QStringLiteral("1.3.6.1.2.1.1.5.0");
const QString kUptime = QStringLiteral("1.3.6.1.2.1.1.3.0");

class LifecycleTest : public CSimSuite {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString StatePath() const { return m_dir.filePath(QStringLiteral("switch.cfg")); }
    void Start(const QStringList& extra = {}) {
        StartSim(QStringList{"--state", StatePath(), "--reboot-time", "2000"} << extra);
    }
    static bool Answers() {
        return s_sim->Tool(QStringLiteral("snmpget"),
                           {"-v2c", "-c", "ralvin", "-t", "0.3", "-r", "0"}, {kSysName}) == 0;
    }
    static qint64 UptimeTicks() {
        QString out;
        s_sim->Tool(QStringLiteral("snmpget"), {"-v2c", "-c", "ralvin", "-Oqvt"}, {kUptime}, &out);
        return out.trimmed().toLongLong();
    }
    QTemporaryDir m_dir;
};

TEST_F(LifecycleTest, SaveKeepsRebootLosesUnsaved) {
    Start();
    ASSERT_EQ(Set({kSysName, "s", "saved-name", Enterprise("7.6.1.1.30"), "s", "thirty",
                   Enterprise("7.6.1.5.30"), "i", "1"}),
              "");
    ASSERT_EQ(Set({Enterprise("1.10.0"), "i", "1"}), "");
    QFile file(StatePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readLine().startsWith("nsw-sim-config 1"));
    ASSERT_EQ(Set({kSysName, "s", "unsaved", Enterprise("7.6.1.5.30"), "i", "6"}), "");

    QThread::msleep(1100);
    const qint64 before = UptimeTicks();
    ASSERT_GE(before, 100);
    ASSERT_EQ(Set({Enterprise("1.9.0"), "i", "1"}), "");
    EXPECT_FALSE(Answers());         // silent while it reboots
    EXPECT_EQ(CtlGet("2.1.0"), "1"); // the control plane is not the switch
    QDeadlineTimer deadline(10000);
    while (!Answers() && !deadline.hasExpired())
        QThread::msleep(100);
    EXPECT_EQ(Get(kSysName), "\"saved-name\"");
    EXPECT_EQ(Get(Enterprise("7.6.1.1.30")), "\"thirty\"");
    EXPECT_LT(UptimeTicks(), before);

    // A restart reads the state file.
    ASSERT_EQ(Set({kSysName, "s", "unsaved-again"}), "");
    ASSERT_TRUE(s_sim->Stop());
    Start();
    EXPECT_EQ(Get(kSysName), "\"saved-name\"");
    EXPECT_EQ(Get(Enterprise("7.6.1.5.30")), "1");
}

TEST_F(LifecycleTest, BrokenOrUnwritableStateIsReported) {
    // A truncated file (no end line) is refused rather than half loaded.
    QFile file(StatePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("nsw-sim-config 1\nmodel NSW-4410-28P B1\n1.3.6.1.2.1.1.5.0 s 6869\n");
    file.close();
    CSimProcess sim;
    EXPECT_FALSE(sim.Start({"--state", StatePath()}));
    EXPECT_TRUE(sim.Output().contains(QStringLiteral("truncated"))) << sim.Output().toStdString();

    // A save that cannot write answers an error instead of a false success.
    StartSim({"--state", m_dir.filePath(QStringLiteral("missing/dir/switch.cfg"))});
    EXPECT_EQ(Set({Enterprise("1.10.0"), "i", "1"}), "(genError)");
    EXPECT_EQ(Set({Enterprise("1.10.0"), "i", "1"}, "1"), "(genError)");
}

TEST_F(LifecycleTest, StopsCleanlyWithoutWriting) {
    Start();
    ASSERT_EQ(Set({kSysName, "s", "never-saved"}), "");
    EXPECT_TRUE(s_sim->Stop());
    EXPECT_FALSE(QFile::exists(StatePath()));
}

} // namespace
