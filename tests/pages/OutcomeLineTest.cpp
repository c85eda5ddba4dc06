// The outcome line of the pages: what an operator reads after a load, a good
// write, a refused write and a silent switch.
#include "PageTestKit.h"
#include "snmp/Outcome.h"

namespace {

constexpr int kSystemInfo = 32805;
constexpr int kPortConfiguration = 32774;
constexpr int kIdLocation = 1313;
constexpr int kIdApply = 1145;
constexpr int kIdRefresh = 103;
const QString kSysLocation = QStringLiteral("1.3.6.1.2.1.1.6.0");
const QString kModel = QStringLiteral("NSW-4410-28P B1");

class OutcomeLine : public CPageTestKit {};

// A page of the test's own, for writes no real page would send.
class CWritePage : public CPageBase {
public:
    CWritePage() : m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))) {}
    int Write(std::vector<SSetVar> vars) { return WriteObjects(m_cCommonSNMPSet, vars); }
    int Sequence(const std::vector<SWriteStep>& steps) { return WriteSequence(m_cCommonSNMPSet, steps); }
    CCommonSNMP& m_cCommonSNMPSet;
};

} // namespace

TEST(OutcomeText, SaysWhatHappenedInWords) {
    SOutcome read;
    read.count = 6;
    read.elapsedMs = 12;
    EXPECT_EQ(OutcomeText(read), "Loaded 6 values in 12 ms");
    SOutcome walk;
    walk.kind = SOutcome::Kind::kWalk;
    walk.result = SnmpResult::kEndOfTable;
    walk.count = 1;
    walk.elapsedMs = 1500;
    EXPECT_EQ(OutcomeText(walk), "Loaded 1 row in 1.5 s");
    walk.result = SnmpResult::kTimeout;
    walk.peer = QStringLiteral("127.0.0.1:161");
    walk.timeoutMs = 3000;
    EXPECT_EQ(OutcomeText(walk), "Loaded 1 row, then no answer from 127.0.0.1:161 after 3 s");
    SOutcome write;
    write.kind = SOutcome::Kind::kWrite;
    EXPECT_EQ(OutcomeText(write), "Applied");
    write.result = SnmpResult::kErrorStatus;
    write.errorStatus = 17;
    write.errorOid = kSysLocation;
    EXPECT_EQ(OutcomeText(write),
              "Refused by the switch: notWritable at sysLocation.0 (1.3.6.1.2.1.1.6.0)");
    write.steps = 3;
    write.step = 2;
    write.stepName = QStringLiteral("egress ports");
    EXPECT_EQ(OutcomeText(write), "Step 2 of 3 (egress ports) not applied: refused by the switch: "
                                  "notWritable at sysLocation.0 (1.3.6.1.2.1.1.6.0)");
    EXPECT_EQ(ErrorStatusName(99), "error 99");
    EXPECT_EQ(ObjectName(QStringLiteral("1.3.6.1.2.1.2.2.1.7.5")), "ifAdminStatus.5");
    EXPECT_EQ(ObjectName(QStringLiteral("1.3.6.1.2.1.1.60")), "1.3.6.1.2.1.1.60");
    EXPECT_EQ(ObjectName(QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.2.4")),
              "link aggregation members.4");
}

TEST_F(OutcomeLine, LoadGoodWriteAndRefusedWriteOnSystemInformation) {
    StartSwitch(kModel);
    auto page = OpenPage(kSystemInfo);
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->OutcomeLine().startsWith("Loaded 6 values in ")) << page->OutcomeLine();
    EXPECT_TRUE(page->Control(kIdOutcomeLine)->isVisible());

    SetText(*page, kIdLocation, QStringLiteral("Rack 7"));
    ASSERT_TRUE(Press(*page, kIdApply));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied. Loaded 6 values in ")) << page->OutcomeLine();
    EXPECT_EQ(Get(kSysLocation), "Rack 7");
    Shot(*page, QStringLiteral("outcome-applied"));

    // The write community only reads: the switch refuses, the page says so
    // and shows what the switch holds.
    g_strWriteCommunity = QString::fromLatin1(CSimProcess::kReadCommunity);
    auto readOnly = OpenPage(kSystemInfo);
    SetText(*readOnly, kIdLocation, QStringLiteral("Elsewhere"));
    ASSERT_TRUE(Press(*readOnly, kIdApply));
    EXPECT_TRUE(readOnly->OutcomeLine().contains(" at sysName.0 (1.3.6.1.2.1.1.5.0)"))
        << readOnly->OutcomeLine();
    EXPECT_TRUE(readOnly->OutcomeLine().startsWith("Refused by the switch: ")) << readOnly->OutcomeLine();
    EXPECT_EQ(Text(*readOnly, kIdLocation), "Rack 7");
    EXPECT_EQ(Get(kSysLocation), "Rack 7");
}

TEST_F(OutcomeLine, WrongTypeAndRefusedValueNameTheObject) {
    StartSwitch(kModel);
    CWritePage page;
    page.show();
    const int before = page.OutcomeSerial();
    EXPECT_NE(page.Write({{kSysLocation, SnmpType::kInteger, "5"}}), 0);
    ASSERT_TRUE(WaitSettled(page, before));
    EXPECT_EQ(page.OutcomeLine(),
              "Refused by the switch: wrongType at sysLocation.0 (1.3.6.1.2.1.1.6.0)");

    // Jumbo frame state takes 1 and 2 only.
    const int second = page.OutcomeSerial();
    EXPECT_NE(page.Write({{QStringLiteral("1.3.6.1.4.1.32473.10.75.7.1.12.0"), SnmpType::kInteger,
                           "9"}}),
              0);
    ASSERT_TRUE(WaitSettled(page, second));
    const QString jumbo = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.1.12.0");
    EXPECT_EQ(page.OutcomeLine(), "Refused by the switch: wrongValue at " + ObjectName(jumbo) +
                                      " (" + jumbo + ")");
    EXPECT_NE(ObjectName(jumbo), jumbo);
}

TEST_F(OutcomeLine, ASequenceStopsAtItsFirstRefusedStep) {
    StartSwitch(kModel);
    CWritePage page;
    page.show();
    const int before = page.OutcomeSerial();
    const std::vector<SWriteStep> steps = {
        {QStringLiteral("location"), {{kSysLocation, SnmpType::kOctetString, "Step one"}}},
        {QStringLiteral("jumbo frames"),
         {{QStringLiteral("1.3.6.1.4.1.32473.10.75.7.1.12.0"), SnmpType::kInteger, "7"}}},
        {QStringLiteral("name"),
         {{QStringLiteral("1.3.6.1.2.1.1.5.0"), SnmpType::kOctetString, "never"}}}};
    EXPECT_EQ(page.Sequence(steps), 1);
    ASSERT_TRUE(WaitSettled(page, before));
    EXPECT_TRUE(page.OutcomeLine().startsWith("Step 2 of 3 (jumbo frames) not applied: refused by "
                                              "the switch: wrongValue"))
        << page.OutcomeLine();
    EXPECT_EQ(Get(kSysLocation), "Step one");
    EXPECT_NE(Get(QStringLiteral("1.3.6.1.2.1.1.5.0")), "never");
}

TEST_F(OutcomeLine, ASilentSwitchIsNamedWithItsAddressAndTimeout) {
    StartSwitch(kModel);
    auto page = OpenPage(kPortConfiguration);
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->OutcomeLine().startsWith("Loaded 36 rows")) << page->OutcomeLine();
    ASSERT_TRUE(SetControl(QStringLiteral("4.3.0"), QStringLiteral("i"), QStringLiteral("60000")));
    auto info = OpenPage(kSystemInfo);
    EXPECT_EQ(info->OutcomeLine(),
              QStringLiteral("Not loaded: no answer from %1 after 3 s").arg(m_sim.Address()));
    ASSERT_TRUE(SetControl(QStringLiteral("4.3.0"), QStringLiteral("i"), QStringLiteral("0")));
    ASSERT_TRUE(Press(*info, kIdRefresh));
    EXPECT_TRUE(info->OutcomeLine().startsWith("Loaded 6 values")) << info->OutcomeLine();
}

// Reads that ran together are one load: its time runs from the earliest
// request to the last answer, also when their outcomes reach the page in one
// batch (the walk took 40 ms, the read beside it none).
TEST(OutcomeLineLoad, TimeSpansTheLongestOfReadsThatRanTogether) {
    CWritePage page;
    page.show();
    const auto post = [&](SOutcome::Kind kind, int count, qint64 ms) {
        auto outcome = std::make_shared<SOutcome>();
        outcome->kind = kind;
        outcome->result = kind == SOutcome::Kind::kWalk ? SnmpResult::kEndOfTable : SnmpResult::kOk;
        outcome->count = count;
        outcome->elapsedMs = ms;
        page.Channel()->Post(SSnmpReport{kOutcomeReport, {}, {}, outcome});
    };
    const int before = page.OutcomeSerial();
    post(SOutcome::Kind::kRead, 1, 0);
    post(SOutcome::Kind::kWalk, 201, 40);
    ASSERT_TRUE(QTest::qWaitFor([&] { return page.OutcomeSerial() != before; }, 2000));
    QTest::qWait(2 * CNotifyChannel::kPaceMs);
    EXPECT_EQ(page.OutcomeLine().toStdString(), "Loaded 201 rows and 1 value in 40 ms");
}
