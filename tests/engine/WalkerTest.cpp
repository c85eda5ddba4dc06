// CSnmpTable against a scripted agent: rows stay rows whatever the agent
// does with sparse tables, short columns, cut or refused answers and OIDs
// that do not grow.

#include "EngineTestKit.h"
#include "FakeAgent.h"

#include "snmp/engine/Snmp.h"
#include "snmp/engine/SnmpInit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

namespace {

const char* const kTable = "1.3.6.1.4.1.32473.50.1.1";

CFakeAgent::Oid Cell(int column, std::vector<uint32_t> index) {
    CFakeAgent::Oid oid = CFakeAgent::Parse(kTable);
    oid.push_back(uint32_t(column));
    oid.insert(oid.end(), index.begin(), index.end());
    return oid;
}

QString Column(int column) {
    return QStringLiteral("%1.%2").arg(kTable).arg(column);
}

// One walk: per row, per column, the value text, or "-" for an empty cell.
struct Walk {
    std::vector<std::vector<QByteArray>> rows;
    std::vector<QString> lastCellOids; // OID of the last cell of each row
    int end = 0;
    int maxRepetitions = 0;
};

class WalkerTest : public ::testing::TestWithParam<int> { // 1 = v1, 2 = v2c
protected:
    static void SetUpTestSuite() { SnmpInit(nullptr); }

    Walk Run(const std::vector<int>& columns, int limit = 100000) {
        CSnmpV1 request(0, GetParam());
        request.setCommunity("fake");
        request.setPort(m_agent.Port());
        request.setType(SnmpKind::kGetNext);
        for (int column : columns)
            EXPECT_EQ(
                request.addValue(Column(column).toLatin1().constData(), SnmpType::kNull, nullptr),
                0);
        CSnmpTable table(&request);
        Walk walk;
        std::unique_ptr<CSnmp> answer;
        while ((walk.end = table.getNext("127.0.0.1", answer, 2000)) == 0 &&
               int(walk.rows.size()) < limit) {
            EXPECT_EQ(answer->getValuesCount(), unsigned(columns.size()));
            std::vector<QByteArray> row;
            QString index;
            for (unsigned i = 0; i < answer->getValuesCount(); ++i) {
                row.push_back(answer->typeAt(i) == SnmpType::kNull ? QByteArray("-")
                                                                   : answer->valueAt(i));
                QString suffix;
                EXPECT_EQ(table.getSuffix(int(i), answer.get(), suffix), 0);
                if (i == 0)
                    index = suffix;
                EXPECT_EQ(suffix, index) << "every cell of a row has the row's index";
            }
            walk.lastCellOids.push_back(answer->oidAt(answer->getValuesCount() - 1));
            walk.rows.push_back(row);
        }
        walk.maxRepetitions = table.getMaxRepetitions();
        return walk;
    }

    CFakeAgent m_agent;
};

using Rows = std::vector<std::vector<QByteArray>>;

TEST_P(WalkerTest, SparseTableKeepsEveryCellInItsRow) {
    for (uint32_t i = 1; i <= 5; ++i)
        m_agent.Set(Cell(1, {i}), CFakeAgent::Integer(i));
    for (uint32_t i : {1, 3, 5})
        m_agent.Set(Cell(2, {i}), CFakeAgent::Text("b" + QByteArray::number(i)));
    for (uint32_t i : {2, 4, 6})
        m_agent.Set(Cell(3, {i}), CFakeAgent::Text("c" + QByteArray::number(i)));
    m_agent.Set(CFakeAgent::Parse("1.3.6.1.4.1.32473.50.2.0"), CFakeAgent::Integer(99));

    const Walk walk = Run({1, 2, 3});
    EXPECT_EQ(walk.rows, (Rows{{"1", "b1", "-"},
                               {"2", "-", "c2"},
                               {"3", "b3", "-"},
                               {"4", "-", "c4"},
                               {"5", "b5", "-"},
                               {"-", "-", "c6"}}));
    EXPECT_EQ(walk.end, SnmpResult::kEndOfTable);
    // An empty cell still names its column and the row's index.
    EXPECT_EQ(walk.lastCellOids[0], Column(3) + ".1");
}

TEST_P(WalkerTest, ColumnEndingEarlyGivesEmptyCellsNotTheNextColumn) {
    for (uint32_t i = 1; i <= 4; ++i) {
        m_agent.Set(Cell(1, {i}), CFakeAgent::Integer(10 + i));
        m_agent.Set(Cell(3, {i}), CFakeAgent::Integer(30 + i));
    }
    m_agent.Set(Cell(2, {1}), CFakeAgent::Integer(21)); // column 2 has one row only
    const Walk walk = Run({1, 2});
    EXPECT_EQ(walk.rows, (Rows{{"11", "21"}, {"12", "-"}, {"13", "-"}, {"14", "-"}}));
}

TEST_P(WalkerTest, LongTableComesCompleteAndInOrderWithFewRequests) {
    // Indexes like a forwarding table's: a VLAN and six MAC octets, some above 127.
    const int rows = 1500;
    for (int i = 0; i < rows; ++i) {
        const std::vector<uint32_t> index{
            1, 0, 0x1B, uint32_t(i >> 16), uint32_t((i >> 8) & 255), uint32_t(i & 255), 200};
        m_agent.Set(Cell(2, index), CFakeAgent::Integer(i % 28 + 1));
        m_agent.Set(Cell(3, index), CFakeAgent::Integer(3));
    }
    const Walk walk = Run({3, 2});
    ASSERT_EQ(int(walk.rows.size()), rows);
    for (int i = 0; i < rows; ++i)
        ASSERT_EQ(walk.rows[size_t(i)],
                  (std::vector<QByteArray>{"3", QByteArray::number(i % 28 + 1)}))
            << "row " << i;
    if (GetParam() == 1) {
        // One GETNEXT per row; at the end of the MIB one more per column.
        EXPECT_LE(m_agent.m_nRequests, rows + 2) << "v1: one GETNEXT per row";
    } else {
        EXPECT_GE(walk.maxRepetitions, 10) << "sized to the message";
        EXPECT_LT(m_agent.m_nRequests, rows / 10) << "v2c: rows come in bulk";
    }
}

TEST_P(WalkerTest, AgentThatRepeatsTheOidEndsTheWalk) {
    m_agent.Set(Cell(1, {1}), CFakeAgent::Integer(1));
    m_agent.m_bRepeatRequestOid = true;
    const Walk walk = Run({1, 2}, 1000);
    EXPECT_TRUE(walk.rows.empty());
    EXPECT_EQ(walk.end, SnmpResult::kOutOfOrder) << "not taken for the end of the table";
    EXPECT_LT(m_agent.m_nRequests, 5) << "no loop";
}

TEST_P(WalkerTest, CutAnswersStillGiveEveryRow) {
    for (uint32_t i = 1; i <= 200; ++i) {
        m_agent.Set(Cell(1, {i}), CFakeAgent::Integer(i));
        m_agent.Set(Cell(2, {i}), CFakeAgent::Text("x"));
    }
    m_agent.m_nMaxVarBinds = 7; // never a whole number of rows
    const Walk walk = Run({1, 2});
    ASSERT_EQ(walk.rows.size(), 200u);
    for (uint32_t i = 1; i <= 200; ++i)
        ASSERT_EQ(walk.rows[i - 1], (std::vector<QByteArray>{QByteArray::number(i), "x"}));
    if (GetParam() == 2) {
        EXPECT_LE(walk.maxRepetitions, 4) << "asks for what the agent gives";
    }
}

TEST_P(WalkerTest, TooBigMakesTheWalkerAskForLess) {
    for (uint32_t i = 1; i <= 100; ++i)
        m_agent.Set(Cell(1, {i}), CFakeAgent::Integer(i));
    m_agent.m_nTooBigAbove = 5;
    const Walk walk = Run({1});
    ASSERT_EQ(walk.rows.size(), 100u);
    EXPECT_EQ(walk.end, SnmpResult::kEndOfTable);
    if (GetParam() == 2) {
        EXPECT_LE(walk.maxRepetitions, 5);
    }
}

TEST_P(WalkerTest, TableAtTheEndOfTheMibEnds) {
    // Nothing after the table: v1 answers noSuchName, v2c endOfMibView.
    for (uint32_t i = 1; i <= 3; ++i) {
        m_agent.Set(Cell(1, {i}), CFakeAgent::Integer(i));
        m_agent.Set(Cell(2, {i}), CFakeAgent::Integer(i * 2));
    }
    const Walk walk = Run({1, 2});
    EXPECT_EQ(walk.rows, (Rows{{"1", "2"}, {"2", "4"}, {"3", "6"}}));
    EXPECT_EQ(walk.end, SnmpResult::kEndOfTable);
}

TEST_P(WalkerTest, ChangedColumnsStartAgainFromTheFirstRow) {
    for (uint32_t i = 1; i <= 3; ++i)
        m_agent.Set(Cell(1, {i}), CFakeAgent::Integer(i));
    CSnmpV1 request(0, GetParam());
    request.setCommunity("fake");
    request.setPort(m_agent.Port());
    request.setType(SnmpKind::kGetNext);
    request.addValue(Column(1).toLatin1().constData(), SnmpType::kNull, nullptr);
    CSnmpTable table(&request);
    std::unique_ptr<CSnmp> answer;
    ASSERT_EQ(table.getNext("127.0.0.1", answer, 2000), 0);
    ASSERT_EQ(table.getNext("127.0.0.1", answer, 2000), 0);
    EXPECT_EQ(answer->valueAt(0), "2");
    request.clearVarBindList();
    request.addValue(Column(1).toLatin1().constData(), SnmpType::kNull, nullptr);
    ASSERT_EQ(table.getNext("127.0.0.1", answer, 2000), 0);
    EXPECT_EQ(answer->valueAt(0), "1");
}

TEST_P(WalkerTest, RowsSurviveOtherRequestsAndLongPausesBetweenThem) {
    // The walker asks for the next block before its rows are taken; what the
    // caller does between rows must not lose, repeat or reorder any of them.
    const uint32_t rows = 120;
    for (uint32_t i = 1; i <= rows; ++i) {
        m_agent.Set(Cell(1, {i}), CFakeAgent::Integer(i));
        m_agent.Set(Cell(2, {i}), CFakeAgent::Integer(1000 + i));
    }
    CSnmpV1 request(0, GetParam());
    request.setCommunity("fake");
    request.setPort(m_agent.Port());
    request.setType(SnmpKind::kGetNext);
    request.addValue(Column(1).toLatin1().constData(), SnmpType::kNull, nullptr);
    request.addValue(Column(2).toLatin1().constData(), SnmpType::kNull, nullptr);
    CSnmpTable table(&request);
    std::unique_ptr<CSnmp> answer;
    uint32_t seen = 0;
    int end = 0;
    while ((end = table.getNext("127.0.0.1", answer, 300)) == 0) {
        ++seen;
        ASSERT_EQ(answer->valueAt(0), QByteArray::number(seen));
        ASSERT_EQ(answer->valueAt(1), QByteArray::number(1000 + seen));
        if (seen % 25 == 1) {
            // A request of its own on the same socket while a block is on its way.
            std::unique_ptr<CSnmp> other;
            EXPECT_EQ(request.send("127.0.0.1", other, 300), 0);
        }
        if (seen == 60) // longer than the time-out of the block asked for ahead
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    EXPECT_EQ(seen, rows);
    EXPECT_EQ(end, SnmpResult::kEndOfTable);
}

INSTANTIATE_TEST_SUITE_P(Versions, WalkerTest, ::testing::Values(1, 2),
                         [](const auto& info) { return info.param == 1 ? "v1" : "v2c"; });

// ------------------------------------------------------- requests and answers

TEST(SnmpRequestTest, ValuesAreCheckedWhenAdded) {
    CSnmpV1 request;
    EXPECT_EQ(request.addValue("1.3.6.1.2.1.1.5.0", SnmpType::kInteger, "-2147483648"), 0);
    EXPECT_NE(request.addValue("1.3.6.1.2.1.1.5.0", SnmpType::kInteger, "2147483648"), 0);
    EXPECT_EQ(request.addValue("1.3.6.1.2.1.1.5.0", SnmpType::kUnsigned, "4294967295"), 0);
    EXPECT_NE(request.addValue("1.3.6.1.2.1.1.5.0", SnmpType::kUnsigned, "-1"), 0);
    EXPECT_EQ(request.addValue("1.3.6.1.2.1.1.5.0", SnmpType::kIpAddress, "192.168.0.1"), 0);
    EXPECT_NE(request.addValue("1.3.6.1.2.1.1.5.0", SnmpType::kIpAddress, "192.168.0"), 0);
    EXPECT_NE(request.addValue("1.3.6.1.2.1.1.5.0", SnmpType::kOctetString, nullptr), 0);
    EXPECT_EQ(request.addValue("1.3.6.1.2.1.1.5.0", SnmpType::kNull, nullptr), 0);
    EXPECT_NE(request.addValue("1.3.6.1.2.1.1.5.0", SnmpType::kObjectId, "1.3"), 0)
        << "requests take 1, 2, 4, 8 and 10 only";
    for (const char* bad : {"", "1", "1..3", "1.3.", "1.3.a", "1.3.4294967296", " 1.3.6"})
        EXPECT_NE(request.addValue(bad, SnmpType::kNull, nullptr), 0) << bad;
    EXPECT_EQ(request.addValue(".1.3.6.1", SnmpType::kNull, nullptr), 0);
    EXPECT_EQ(request.getValuesCount(), 5u);
    // The 4-argument form keeps every byte, zeros included; the 3-argument
    // form stops at the first zero, as a C string.
    const char bytes[] = {'\x80', '\0', '\x01'};
    EXPECT_EQ(request.addValue("1.3.6.1.2.1.1.5.0", SnmpType::kOctetString, bytes, 3), 0);
    EXPECT_EQ(request.valueAt(5), QByteArray(bytes, 3));
    EXPECT_EQ(request.addValue("1.3.6.1.2.1.1.5.0", SnmpType::kOctetString, "ab\0cd"), 0);
    EXPECT_EQ(request.valueAt(6), "ab");
    EXPECT_NE(request.setType(2), 0);
}

TEST(SnmpAnswerTest, EveryTypeComesAsText) {
    SnmpInit(nullptr);
    CFakeAgent agent;
    struct Case {
        CFakeAgent::Value value;
        int type;
        QByteArray text;
    };
    const Case cases[] = {
        {CFakeAgent::Integer(-5), SnmpType::kInteger, "-5"},
        {CFakeAgent::Number(0x42, 4294967295LL), SnmpType::kUnsigned, "4294967295"},
        {CFakeAgent::Number(0x41, 7), SnmpType::kCounter32, "7"},
        {CFakeAgent::Number(0x43, 360000), SnmpType::kTimeTicks, "360000"},
        {CFakeAgent::Number(0x46, (1LL << 40) + 5), SnmpType::kCounter64, "1099511627781"},
        {{0x40, QByteArray("\xC0\xA8\x01\xFE", 4)}, SnmpType::kIpAddress, "192.168.1.254"},
        {CFakeAgent::ObjectId("1.3.6.1.4.1.32473"), SnmpType::kObjectId, "1.3.6.1.4.1.32473"},
        {CFakeAgent::Text(QByteArray("a\0b", 3)), SnmpType::kOctetString, QByteArray("a\0b", 3)},
        {{0x44, QByteArray("\x01\x02", 2)}, SnmpType::kOpaque, QByteArray("\x01\x02", 2)},
    };
    CSnmpV1 request(0, 2);
    request.setCommunity("fake");
    request.setPort(agent.Port());
    request.setType(SnmpKind::kGet);
    for (size_t i = 0; i < std::size(cases); ++i) {
        agent.Set(Cell(1, {uint32_t(i + 1)}), cases[i].value);
        request.addValue(QStringLiteral("%1.%2").arg(Column(1)).arg(i + 1).toLatin1().constData(),
                         SnmpType::kNull, nullptr);
    }
    std::unique_ptr<CSnmp> answer;
    ASSERT_EQ(request.send("127.0.0.1", answer, 2000), 0);
    ASSERT_EQ(answer->getValuesCount(), unsigned(std::size(cases)));
    for (unsigned i = 0; i < answer->getValuesCount(); ++i) {
        EXPECT_EQ(answer->typeAt(i), cases[i].type) << i;
        EXPECT_EQ(answer->valueAt(i), cases[i].text) << i;
    }
}

TEST(SnmpRequestTest, SendFailsCleanlyWithoutAUsableTarget) {
    SnmpInit(nullptr);
    CSnmpV1 request;
    request.setType(SnmpKind::kGet);
    std::unique_ptr<CSnmp> answer;
    EXPECT_EQ(request.send("127.0.0.1", answer, 100), SnmpResult::kBadArgument) << "no variable";
    request.addValue("1.3.6.1.2.1.1.5.0", SnmpType::kNull, nullptr);
    EXPECT_EQ(request.send("udp:evil:1", answer, 100), SnmpResult::kSendFailed);
    EXPECT_EQ(request.send(nullptr, answer, 100), SnmpResult::kBadArgument);
    request.setPort(0);
    EXPECT_EQ(request.send("127.0.0.1", answer, 100), SnmpResult::kSendFailed);
    CSnmpV3 user; // no user name
    user.addValue("1.3.6.1.2.1.1.5.0", SnmpType::kNull, nullptr);
    EXPECT_EQ(user.send("127.0.0.1", answer, 100), SnmpResult::kBadArgument);
    EXPECT_EQ(answer, nullptr);
}

} // namespace
