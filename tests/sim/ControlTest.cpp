// The control subtree: request counters, fault injection, the forwarding
// table size, LLDP neighbours; and the models.
#include "SimTest.h"

#include "platform/IniFile.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QThread>
#include <QVersionNumber>

namespace {

const QString kSysDescr = QStringLiteral("1.3.6.1.2.1.1.1.0");
const QString kFdbStatus = QStringLiteral("1.3.6.1.2.1.17.7.1.2.2.1.3");

class ControlTest : public CSimSuite {
protected:
    static void SetUpTestSuite() { StartSim({"--fdb", "1000"}); }
    // One request without retries; dropped ones time out.
    static bool Quick(const QString& timeout = QStringLiteral("1.5")) {
        return s_sim->Tool(QStringLiteral("snmpget"),
                           {"-v2c", "-c", "ralvin", "-t", timeout, "-r", "0"}, {kSysDescr}) == 0;
    }
};

TEST_F(ControlTest, CountsRequestsByPduType) {
    ASSERT_TRUE(CtlSet("3.6.0", "i", "1"));
    EXPECT_EQ(CtlGet("3.5.0"), "0");
    s_sim->Tool("snmpget", {"-v2c", "-c", "ralvin"}, {kSysDescr, "1.3.6.1.2.1.1.3.0"});
    s_sim->Tool("snmpget", {"-v1", "-c", "ralvin"}, {kSysDescr});
    s_sim->Tool("snmpgetnext", {"-v2c", "-c", "ralvin"}, {kSysDescr});
    s_sim->Tool("snmpbulkget", {"-v2c", "-c", "ralvin", "-Cr20"}, {"1.3.6.1.2.1.2.2.1.1"});
    s_sim->Tool("snmpset", {"-v2c", "-c", "quorbet"}, {"1.3.6.1.2.1.1.4.0", "s", "ops"});
    EXPECT_EQ(CtlGet("3.1.0"), "2");
    EXPECT_EQ(CtlGet("3.2.0"), "1");
    EXPECT_EQ(CtlGet("3.3.0"), "1");
    EXPECT_EQ(CtlGet("3.4.0"), "1");
    EXPECT_EQ(CtlGet("3.5.0"), "5");
}

TEST_F(ControlTest, DropsDelaysAndSilences) {
    ASSERT_TRUE(CtlSet("4.1.0", "i", "100"));
    EXPECT_FALSE(Quick());
    // Half the requests, evenly spread: every second one goes unanswered.
    ASSERT_TRUE(CtlSet("4.1.0", "i", "50"));
    int answered = 0;
    for (int i = 0; i < 10; ++i)
        answered += Quick() ? 1 : 0;
    EXPECT_EQ(answered, 5);
    ASSERT_TRUE(CtlSet("4.1.0", "i", "0"));
    EXPECT_TRUE(Quick());

    // An answer later than the manager waits is lost for it.
    ASSERT_TRUE(CtlSet("4.2.0", "i", "3000"));
    EXPECT_FALSE(Quick(QStringLiteral("1")));
    EXPECT_EQ(s_sim->Tool("snmpget", {"-v2c", "-c", "ralvin", "-t", "5", "-r", "0"}, {kSysDescr}),
              0);
    ASSERT_TRUE(CtlSet("4.2.0", "i", "0"));

    ASSERT_TRUE(CtlSet("4.3.0", "i", "3000"));
    EXPECT_FALSE(Quick());
    EXPECT_EQ(CtlGet("2.1.0"), "1");
    QDeadlineTimer deadline(10000);
    while (!Quick(QStringLiteral("0.3")) && !deadline.hasExpired())
        QThread::msleep(50);
    EXPECT_FALSE(deadline.hasExpired());

    ASSERT_TRUE(CtlSet("2.2.0", "i", "2"));
    EXPECT_FALSE(Quick());
    ASSERT_TRUE(CtlSet("2.2.0", "i", "1"));
    EXPECT_TRUE(Quick());
}

TEST_F(ControlTest, ForwardingTableSizeAndOrder) {
    QStringList rows =
        Walk(kFdbStatus, QStringLiteral("ralvin"), QStringLiteral("snmpbulkwalk"), {"-Cr50"});
    ASSERT_EQ(rows.size(), 1001); // the switch's own address and 1000 learned ones
    EXPECT_EQ(rows.filter(QRegularExpression(QStringLiteral(" 4$"))).size(), 1); // status self
    // Strictly ascending, as GETNEXT must deliver them.
    for (int i = 1; i < rows.size(); ++i) {
        const QString a = rows[i - 1].section(u' ', 0, 0), b = rows[i].section(u' ', 0, 0);
        ASSERT_LT(QVersionNumber::fromString(a.mid(1)), QVersionNumber::fromString(b.mid(1)));
    }
    QString out;
    s_sim->Tool("snmpgetnext", {"-v2c", "-c", "ralvin", "-On"}, {kFdbStatus + ".1.0.27.33.0.1.244"},
                &out);
    EXPECT_TRUE(out.startsWith("." + kFdbStatus + ".1.0.27.33.0.1.245 =")) << out.toStdString();
    ASSERT_TRUE(CtlSet("2.4.0", "i", "10"));
    EXPECT_EQ(Walk(kFdbStatus).size(), 11);
    EXPECT_EQ(CtlGet("2.4.0"), "10");
}

TEST_F(ControlTest, LldpNeighboursOnLinkedPorts) {
    const QString remoteName = QStringLiteral("1.0.8802.1.1.2.1.4.1.1.9");
    EXPECT_EQ(Walk(remoteName).size(), 4);
    ASSERT_TRUE(CtlSet("2.5.0", "i", "6"));
    QStringList rows = Walk(remoteName);
    ASSERT_EQ(rows.size(), 6);
    // Port 1 carries neighbour 1 until it is unplugged.
    EXPECT_TRUE(rows.first().startsWith("." + remoteName + ".0.1.1 "));
    ASSERT_TRUE(CtlSet("1.1.1.1.1", "i", "2"));
    EXPECT_FALSE(Walk(remoteName).first().startsWith("." + remoteName + ".0.1."));
    ASSERT_TRUE(CtlSet("1.1.1.1.1", "i", "1"));
    EXPECT_EQ(Set({Enterprise("24.1.0"), "i", "2"}), "");
    EXPECT_TRUE(Walk(remoteName).isEmpty());
    EXPECT_EQ(Set({Enterprise("24.1.0"), "i", "1"}), "");
    // The parameters go in one request and obey their relations.
    EXPECT_EQ(Set({Enterprise("24.2.0"), "i", "10", Enterprise("24.3.0"), "i", "6554"}),
              "inconsistentValue");
    EXPECT_EQ(Set({Enterprise("24.2.0"), "i", "10", Enterprise("24.3.0"), "i", "6553",
                   Enterprise("24.4.0"), "i", "3", Enterprise("24.5.0"), "i", "8"}),
              "");
    EXPECT_EQ(Get("1.0.8802.1.1.2.1.3.3.0"), Get("1.3.6.1.2.1.1.5.0"));
}

TEST(ModelTest, EveryProfileShapesTheSwitch) {
    for (const char* model :
         {"NSW-4410-08P B1", "NSW-4410-28 B1", "NSW-4410-28P", "NSW-4410-28P B1", "NSW-4410-52 B1",
          "NGX-4410-10P", "NGX-4410-10P B1", "NGX-4600-20", "NGX-4600-28", "NSW-9999 X"}) {
        const QString name = QString::fromLatin1(model);
        const CIniFile ini = CIniFile::FromFile(QStringLiteral(NSW_SOURCE_DIR "/res/profiles/") +
                                                name + QStringLiteral("/User.ini"));
        const int ports = ini.GetInt("DeviceInfo", "DevicePortNum", 28);
        const bool fan = ini.GetString("DeviceInfo", "IsHasFan").toUpper() == u"Y";
        const bool poe = name.contains(u'P');
        CSimProcess sim;
        ASSERT_TRUE(sim.Start({"--model", name})) << sim.Output().toStdString();
        EXPECT_EQ(sim.Get("1.3.6.1.2.1.2.1.0"), QString::number(ports)) << model;
        EXPECT_EQ(sim.Get(QStringLiteral("1.3.6.1.2.1.2.2.1.1.%1").arg(ports)),
                  QString::number(ports));
        EXPECT_TRUE(
            sim.Get(QStringLiteral("1.3.6.1.2.1.2.2.1.1.%1").arg(ports + 1)).startsWith("No Such"));
        EXPECT_EQ(sim.Get("1.3.6.1.4.1.32473.10.75.7.1.15.1.0").startsWith("No Such"), !fan)
            << model;
        EXPECT_EQ(sim.Get("1.3.6.1.4.1.32473.10.75.7.22.1.1.13.1.1").startsWith("No Such"), !poe)
            << model;
        EXPECT_TRUE(sim.Get("1.3.6.1.2.1.1.1.0").contains(name)) << model;
    }
}

} // namespace
