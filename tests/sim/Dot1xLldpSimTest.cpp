// 802.1X and LLDP as their pages write and read them: the RADIUS key's
// length, port access control around aggregated links, the LLDP-MED rows of
// the PoE ports, and remote neighbours of every identifier subtype.
#include "SimTest.h"

#include <set>

namespace {

const QString kRemote = QStringLiteral("1.0.8802.1.1.2.1.4.1.1.");

class Dot1xLldpSimTest : public CSimSuite {
protected:
    static void SetUpTestSuite() { StartSim({"--model", "NSW-4410-28P B1"}); }
    // Values of one remote-table column, in row order.
    static QStringList Column(int column) {
        QStringList values;
        for (const QString& line : Walk(kRemote + QString::number(column))) {
            // Long hex strings go on over more lines.
            if (!line.startsWith(u'.') && !values.isEmpty())
                values.back() += u' ' + line.trimmed();
            else
                values << line.section(u' ', 1).trimmed();
        }
        return values;
    }
};

TEST_F(Dot1xLldpSimTest, RadiusKeyTakesOneToThirtyTwoOctets) {
    const QString key = Enterprise("11.1.2.0");
    EXPECT_EQ(Set({key, "s", QString(32, u'k')}), "");
    EXPECT_EQ(Get(key), "\"" + QString(32, u'k') + "\"");
    EXPECT_EQ(Set({key, "s", QString(33, u'k')}), "wrongLength");
    EXPECT_EQ(Set({key, "s", ""}), "wrongLength");
    EXPECT_EQ(Get(key), "\"" + QString(32, u'k') + "\"");
    EXPECT_EQ(Set({Enterprise("11.1.1.0"), "a", "0.0.0.0"}), "wrongValue");
    // The global page's one request.
    EXPECT_EQ(Set({Enterprise("11.2.1.0"),
                   "i",
                   "1",
                   Enterprise("11.1.1.0"),
                   "a",
                   "127.0.0.9",
                   key,
                   "s",
                   "secret",
                   Enterprise("11.2.2.0"),
                   "i",
                   "1",
                   Enterprise("11.2.3.0"),
                   "i",
                   "0",
                   Enterprise("11.2.7.0"),
                   "i",
                   "10",
                   Enterprise("11.2.8.0"),
                   "u",
                   "4294967295"}),
              "");
    EXPECT_EQ(Get(Enterprise("11.2.8.0")), "4294967295");
    EXPECT_EQ(Set({Enterprise("11.2.7.0"), "i", "11"}), "wrongValue");
}

TEST_F(Dot1xLldpSimTest, PortAccessControlKeepsAggregatedPortsAndOneAuthorizedPort) {
    const QString control = Enterprise("11.2.9.1.2.%1");
    ASSERT_EQ(
        Set({Enterprise("8.1.3.1.2.1"), "x", "C0000000", Enterprise("8.1.3.1.3.1"), "i", "2"}), "");
    EXPECT_EQ(Set({control.arg(1), "i", "2"}), "inconsistentValue");
    EXPECT_EQ(Set({control.arg(3), "i", "2"}), "");
    // Every port but one may leave ForceAuthorized; the last one may not.
    QStringList all, allButOne;
    for (int p = 3; p <= 28; ++p) {
        all << control.arg(p) << "i"
            << "1";
        if (p < 28)
            allButOne << control.arg(p) << "i"
                      << "1";
    }
    EXPECT_EQ(Set(allButOne), "");
    ASSERT_EQ(Set({Enterprise("8.1.3.1.2.1"), "x", "00000000"}), "");
    EXPECT_EQ(Set({control.arg(1), "i", "1", control.arg(2), "i", "1"}), "");
    EXPECT_EQ(Set(all), "inconsistentValue");
    EXPECT_EQ(Get(control.arg(28)), "3");
    EXPECT_EQ(Get(Enterprise("11.2.9.1.3.28")), "1"); // authorized
    QStringList back;
    for (int p = 1; p <= 28; ++p)
        back << control.arg(p) << "i"
             << "3";
    EXPECT_EQ(Set(back), "");
}

TEST_F(Dot1xLldpSimTest, MedRowsOnlyOnPoePorts) {
    const QStringList rows = Walk(Enterprise("24.8.1.2"));
    ASSERT_EQ(rows.size(), 24);
    EXPECT_TRUE(rows.last().startsWith("." + Enterprise("24.8.1.2.24 ")))
        << rows.last().toStdString();
    EXPECT_EQ(Set({Enterprise("24.8.1.2.25"), "i", "2"}), "noCreation");
    EXPECT_EQ(Set({Enterprise("24.8.1.2.2"), "i", "2", Enterprise("24.8.1.2.3"), "i", "2"}), "");
    EXPECT_EQ(Get(Enterprise("24.8.1.2.3")), "2");
}

TEST_F(Dot1xLldpSimTest, NeighboursOfEveryChassisAndPortSubtype) {
    ASSERT_TRUE(CtlSet("2.5.0", "i", "7"));
    const QStringList chassisSubtypes = Column(4);
    const QStringList portSubtypes = Column(6);
    ASSERT_EQ(chassisSubtypes.size(), 7);
    EXPECT_EQ(std::set<QString>(chassisSubtypes.begin(), chassisSubtypes.end()),
              (std::set<QString>{"1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(std::set<QString>(portSubtypes.begin(), portSubtypes.end()),
              (std::set<QString>{"1", "2", "3", "4", "5", "6", "7"}));
    // Each identifier has the form of its subtype.
    const QStringList chassisIds = Column(5);
    const QStringList portIds = Column(7);
    ASSERT_EQ(chassisIds.size(), 7);
    ASSERT_EQ(portIds.size(), 7);
    for (int i = 0; i < 7; ++i) {
        const std::string chassis = chassisIds[i].toStdString();
        const std::string port = portIds[i].toStdString();
        if (chassisSubtypes[i] == u"4") {
            EXPECT_TRUE(chassisIds[i].startsWith("\"00 1D AA 00 00 ")) << chassis;
        } else if (chassisSubtypes[i] == u"5") {
            EXPECT_TRUE(chassisIds[i].startsWith("\"01 C0 00 02 ")) << chassis; // 192.0.2.n
        }
        if (portSubtypes[i] == u"3") {
            EXPECT_TRUE(portIds[i].startsWith("\"00 1D AA 00 00 ")) << port;
        } else if (portSubtypes[i] == u"4") {
            EXPECT_TRUE(portIds[i].startsWith("\"02 20 01 0D B8 ")) << port; // 2001:db8::n
        } else if (portSubtypes[i] == u"5") {
            EXPECT_TRUE(portIds[i].startsWith("\"ge1/0/")) << port;
        }
    }
    ASSERT_TRUE(CtlSet("2.5.0", "i", "4"));
}

} // namespace
