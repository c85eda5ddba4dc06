// nsw-sim --hostile: each kind answers as it says, the control community
// stays honest, and the engine ends what a hostile switch would keep going.

#include "LaunchFixture.h"
#include "SimProcess.h"
#include "snmp/PageLink.h"
#include "snmp/engine/Snmp.h"
#include "snmp/engine/SnmpInit.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

const QString kSysName = QStringLiteral(".1.3.6.1.2.1.1.5.0");
const QString kSysDescr = QStringLiteral(".1.3.6.1.2.1.1.1.0");
const QString kIfIndex = QStringLiteral(".1.3.6.1.2.1.2.2.1.1");
const QString kIfDescr = QStringLiteral(".1.3.6.1.2.1.2.2.1.2");
const QString kJumbo = QStringLiteral(".1.3.6.1.4.1.32473.10.75.7.1.12.0");
const QString kVlanEgress = QStringLiteral(".1.3.6.1.4.1.32473.10.75.7.7.6.1.2.1");
const QString kPoeLeft = QStringLiteral(".1.3.6.1.4.1.32473.10.75.7.22.6.0");

class HostileSimTest : public ::testing::Test {
protected:
    void Start(const QString& kinds) {
        SnmpInit(nullptr);
        ASSERT_TRUE(m_sim.Start({QStringLiteral("--model"), QStringLiteral("NSW-4410-28P B1"),
                                 QStringLiteral("--hostile=") + kinds}))
            << m_sim.Output().toStdString();
    }
    // "OID = TYPE: value" lines of a tool on v2c (numeric OIDs, hex strings).
    QString Run(const QString& tool, const QStringList& oids, const QString& version = "2c",
                const QString& format = QStringLiteral("-Onx")) const {
        QString out, err;
        QStringList options = {QStringLiteral("-v") + version, QStringLiteral("-c"),
                               QString::fromLatin1(CSimProcess::kReadCommunity), format,
                               QStringLiteral("-t"), QStringLiteral("3"), QStringLiteral("-r"),
                               QStringLiteral("0")};
        if (tool == u"snmpwalk")
            options << QStringLiteral("-Cc"); // the walk goes on past disorder
        m_sim.Tool(tool, options, oids, &out, &err);
        return out.trimmed().isEmpty() ? err.trimmed() : out.trimmed();
    }
    // The bytes of a hex string as snmpget -Oqvx prints it.
    static int HexBytes(const QString& line) {
        QString hex = line.section(QStringLiteral(": "), 1);
        hex.remove(QRegularExpression(QStringLiteral("[^0-9A-Fa-f]")));
        return int(hex.size() / 2);
    }
    // A walk of one column on v2c through the engine: the rows it handed out
    // (bounded) and the status that ended it.
    int Walk(const QString& column, int& rows, int bound = 20000) {
        CSnmpV1 request(0, 2);
        request.setCommunity(CSimProcess::kReadCommunity);
        request.setPort(m_sim.Port());
        request.setType(SnmpKind::kGetNext);
        request.addValue(column.toLatin1().constData(), SnmpType::kNull, nullptr);
        CSnmpTable table(&request);
        rows = 0;
        for (;;) {
            std::unique_ptr<CSnmp> answer;
            const int status = table.getNext(CSimProcess::kHost, answer, 3000);
            if (status != SnmpResult::kOk || ++rows >= bound)
                return status;
        }
    }

    CSimProcess m_sim;
};

TEST_F(HostileSimTest, RefusesUnknownKinds) {
    CSimProcess sim;
    EXPECT_FALSE(sim.Start({QStringLiteral("--hostile=wrong-type,bogus")}, 3000));
    EXPECT_TRUE(sim.Output().contains(QStringLiteral("unknown hostile kind \"bogus\"")))
        << sim.Output().toStdString();
}

TEST_F(HostileSimTest, ValueKindsChangeWhatComesBack) {
    Start(QStringLiteral("wrong-type"));
    const QString name = Run(QStringLiteral("snmpget"), {kSysName});
    EXPECT_TRUE(name.startsWith(kSysName)) << name.toStdString();
    EXPECT_FALSE(name.contains(QStringLiteral("STRING"))) << name.toStdString();
    // The control community stays honest.
    EXPECT_EQ(m_sim.Get(kSysName.mid(1), CSimProcess::kControlCommunity).isEmpty(), false);
    EXPECT_EQ(m_sim.Get(QStringLiteral("1.3.6.1.4.1.32473.99.2.2.0"),
                        CSimProcess::kControlCommunity),
              QStringLiteral("1"));
    m_sim.Stop();

    Start(QStringLiteral("short-portlist"));
    EXPECT_LE(HexBytes(Run(QStringLiteral("snmpget"), {kVlanEgress})), 1);
    m_sim.Stop();

    Start(QStringLiteral("long-portlist"));
    const QString egress = Run(QStringLiteral("snmpget"), {kVlanEgress});
    EXPECT_GE(HexBytes(egress), 200) << egress.toStdString();
    EXPECT_TRUE(egress.contains(QStringLiteral("FF FF FF FF FF"))) << "bits past the ports set";
    m_sim.Stop();

    Start(QStringLiteral("non-numeric"));
    const QString left = Run(QStringLiteral("snmpget"), {kPoeLeft}, "2c", QStringLiteral("-Oqv"));
    bool numeric = false;
    left.trimmed().remove(u'"').toDouble(&numeric);
    EXPECT_FALSE(numeric) << left.toStdString();
    m_sim.Stop();

    Start(QStringLiteral("out-of-range"));
    const QString jumbo = Run(QStringLiteral("snmpget"), {kJumbo}, "2c", QStringLiteral("-Oqv"));
    EXPECT_TRUE(QStringList({"-1", "-2147483648", "2147483647", "4294967295"}).contains(jumbo))
        << jumbo.toStdString();
}

TEST_F(HostileSimTest, HugeStringFillsADatagramOnEveryVersion) {
    Start(QStringLiteral("huge-string"));
    for (const char* version : {"1", "2c"}) {
        const QString descr = Run(QStringLiteral("snmpget"), {kSysDescr},
                                  QString::fromLatin1(version), QStringLiteral("-Oqv"));
        EXPECT_GT(descr.size(), 60000) << version;
        EXPECT_LT(descr.size(), 65507) << version;
    }
}

TEST_F(HostileSimTest, TableKindsBendTheWalk) {
    Start(QStringLiteral("missing-column"));
    const QString walk = Run(QStringLiteral("snmpwalk"), {QStringLiteral(".1.3.6.1.2.1.2.2.1")});
    EXPECT_GE(walk.count(kIfIndex + u'.'), 28) << "the first column keeps every row";
    EXPECT_EQ(walk.count(kIfDescr + u'.'), 0) << "a single kind hides every other cell";
    m_sim.Stop();

    Start(QStringLiteral("non-increasing"));
    // A table that steps back does so at some of its answers: the asked OID
    // again or the one before it, never a later one.
    int back = 0;
    for (int row = 1; row <= 12; ++row) {
        const QString next = Run(QStringLiteral("snmpgetnext"),
                                 {kIfIndex + u'.' + QString::number(row)});
        const QString again = kIfIndex + u'.' + QString::number(row) + u' ';
        const QString before = kIfIndex + u'.' + QString::number(row - 1) + u' ';
        const QString after = kIfIndex + u'.' + QString::number(row + 1) + u' ';
        EXPECT_TRUE(next.startsWith(again) || next.startsWith(before) || next.startsWith(after))
            << next.toStdString();
        back += next.startsWith(after) ? 0 : 1;
    }
    EXPECT_GT(back, 0);
    EXPECT_LT(back, 12);
    m_sim.Stop();

    Start(QStringLiteral("other-oid"));
    const QString other = Run(QStringLiteral("snmpget"), {kSysName});
    EXPECT_FALSE(other.startsWith(kSysName + u' ')) << other.toStdString();
    m_sim.Stop();

    Start(QStringLiteral("endless"));
    const QString far = Run(QStringLiteral("snmpgetnext"), {kIfIndex + QStringLiteral(".500000")});
    EXPECT_TRUE(far.startsWith(kIfIndex + QStringLiteral(".500001 "))) << far.toStdString();
}

TEST_F(HostileSimTest, AllKindsAnswerAlikeEveryRun) {
    Start(QStringLiteral("all"));
    const QStringList oids = {kSysName, kSysDescr, kJumbo, kVlanEgress, kPoeLeft};
    const QString first = Run(QStringLiteral("snmpget"), oids);
    const QString bulk = Run(QStringLiteral("snmpbulkget"), {kIfIndex, kIfDescr});
    m_sim.Stop();
    Start(QStringLiteral("all"));
    EXPECT_EQ(Run(QStringLiteral("snmpget"), oids), first);
    EXPECT_EQ(Run(QStringLiteral("snmpbulkget"), {kIfIndex, kIfDescr}), bulk);
}

// The engine's side: a walk that cannot end well ends anyway, and says why.
TEST_F(HostileSimTest, EngineStopsWalksThatWouldNotEnd) {
    Start(QStringLiteral("endless"));
    CSnmpTable::setRowLimit(300);
    int rows = 0;
    EXPECT_EQ(Walk(kIfIndex, rows), SnmpResult::kRowLimit);
    EXPECT_EQ(rows, 300);
    CSnmpTable::setRowLimit(0);
    EXPECT_EQ(CSnmpTable::rowLimit(), CSnmpTable::kDefaultRowLimit);
    m_sim.Stop();

    Start(QStringLiteral("non-increasing"));
    EXPECT_EQ(Walk(kIfIndex, rows), SnmpResult::kOutOfOrder);
    EXPECT_LT(rows, 28);
}

TEST_F(HostileSimTest, SmallTableWalkSaysItCutTheTable) {
    Start(QStringLiteral("endless"));
    CLaunchFixture launch(m_sim.Port(), "2", CSimProcess::kReadCommunity,
                          CSimProcess::kWriteCommunity);
    CCommonSNMP session;
    QString line;
    session.SetOutcomeSink([&line](const SOutcome& outcome) { line = OutcomeText(outcome); });
    const auto rows = WalkTable(session, {kIfIndex.mid(1)}, 50);
    EXPECT_FALSE(rows.has_value()) << "a cut table is no table";
    EXPECT_EQ(line, QStringLiteral("Loaded 50 rows, then stopped: the table does not end"));
}

TEST_F(HostileSimTest, EngineRefusesAGetAnsweredForAnotherObject) {
    Start(QStringLiteral("other-oid"));
    CSnmpV1 request(0, 2);
    request.setCommunity(CSimProcess::kReadCommunity);
    request.setPort(m_sim.Port());
    request.setType(SnmpKind::kGet);
    request.addValue(kSysName.mid(1).toLatin1().constData(), SnmpType::kNull, nullptr);
    std::unique_ptr<CSnmp> answer;
    EXPECT_EQ(request.send(CSimProcess::kHost, answer, 3000), SnmpResult::kProtocol);
    EXPECT_EQ(answer, nullptr);
}

} // namespace
