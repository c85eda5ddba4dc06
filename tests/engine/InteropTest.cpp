// The session and engine against Debian's snmpd: every access mode the
// module offers, compared with what net-snmp's own tools print.

#include "EngineTestKit.h"
#include "common/SnmpdProcess.h"

#include "device/LaunchSettings.h"
#include "snmp/CommonSNMP.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <map>

namespace {

const char* const kSysDescr = "1.3.6.1.2.1.1.1.0";
const char* const kSysObjectId = "1.3.6.1.2.1.1.2.0";
const char* const kSysUpTime = "1.3.6.1.2.1.1.3.0";
const char* const kSysContact = "1.3.6.1.2.1.1.4.0";
const char* const kSysName = "1.3.6.1.2.1.1.5.0";
const char* const kSysLocation = "1.3.6.1.2.1.1.6.0";

const AccessMode kModes[] = {
    {"v1", "1", nullptr},
    {"v2c", "2", nullptr},
    {"v3_noauth", "3", &CSnmpdProcess::kNoAuthUser},
    {"v3_md5", "3", &CSnmpdProcess::kMd5User},
    {"v3_sha", "3", &CSnmpdProcess::kShaUser},
    {"v3_sha_des", "3", &CSnmpdProcess::kDesUser},
    {"v3_md5_aes", "3", &CSnmpdProcess::kAesUser},
    {"v3_sha256_aes", "3", &CSnmpdProcess::kSha256AesUser},
};

class InteropTest : public CAgentTest, public ::testing::WithParamInterface<AccessMode> {
protected:
    void SetUp() override {
        CAgentTest::SetUp();
        UseAccess(GetParam(), Port());
    }
    QByteArray Tool(const char* tool, const QStringList& oids) {
        return Agent().RunTool(QLatin1String(tool),
                               ToolArgs(GetParam()) + QStringList{"-On", "-Oe", "-Ox"}, oids);
    }
};

TEST_P(InteropTest, GetAnswersEveryTypeAsTheToolsShowIt) {
    CCommonSNMP session;
    ASSERT_TRUE(session.Open(CCommonSNMP::kGet));
    for (const char* oid : {kSysDescr, kSysObjectId, kSysUpTime, kSysName})
        ASSERT_EQ(session.AddVarBind(QLatin1String(oid), SnmpType::kNull), 0);
    std::unique_ptr<CSnmp> answer;
    ASSERT_EQ(session.Send(answer), 0);
    ASSERT_TRUE(answer);
    ASSERT_EQ(answer->getValuesCount(), 4u);
    const std::vector<Cell> ours = CellsOf(*answer);
    const std::vector<Cell> tools =
        ParseToolOutput(Tool("snmpget", {kSysDescr, kSysObjectId, kSysUpTime, kSysName}));
    ASSERT_EQ(tools.size(), 4u);
    for (size_t i : {0, 1, 3})
        EXPECT_EQ(ours[i], tools[i]);
    // The up-time moves; its kind and form must still agree.
    EXPECT_EQ(ours[2].oid, tools[2].oid);
    EXPECT_EQ(ours[2].type, SnmpType::kTimeTicks);
    bool numeric = false;
    ours[2].value.toULongLong(&numeric);
    EXPECT_TRUE(numeric) << ours[2].value.toStdString();

    int type = 0;
    QByteArray value;
    unsigned long length = 0;
    ASSERT_EQ(answer->getValue(0, type, value, length), 0);
    EXPECT_EQ(length, static_cast<unsigned long>(value.size()));
    EXPECT_NE(answer->getValue(4, type, value), 0);
}

TEST_P(InteropTest, SetWritesTheSystemTextsAndReadsThemBack) {
    const QByteArray tag = QByteArray(GetParam().name) + "-" +
                           QByteArray::number(QDateTime::currentMSecsSinceEpoch() % 100000);
    const std::map<const char*, QByteArray> texts = {
        {kSysName, "name-" + tag}, {kSysLocation, "room " + tag}, {kSysContact, "ops@" + tag}};
    CCommonSNMP set;
    ASSERT_TRUE(set.Open(CCommonSNMP::kSet));
    for (const auto& [oid, text] : texts)
        ASSERT_EQ(set.AddVarBind(QLatin1String(oid), SnmpType::kOctetString, text), 0);
    std::unique_ptr<CSnmp> answer;
    ASSERT_EQ(set.Send(answer), 0);

    CCommonSNMP get;
    ASSERT_TRUE(get.Open(CCommonSNMP::kGet));
    for (const auto& [oid, text] : texts)
        get.AddVarBind(QLatin1String(oid), SnmpType::kNull);
    ASSERT_EQ(get.Send(answer), 0);
    unsigned i = 0;
    for (const auto& [oid, text] : texts) {
        EXPECT_EQ(answer->oidAt(i), QLatin1String(oid));
        EXPECT_EQ(answer->valueAt(i++), text);
    }
}

TEST_P(InteropTest, RefusedSetFailsAndTellsStatusAndIndex) {
    CCommonSNMP set;
    ASSERT_TRUE(set.Open(CCommonSNMP::kSet));
    ASSERT_EQ(set.AddVarBind(QLatin1String(kSysName), SnmpType::kOctetString, "fine"), 0);
    ASSERT_EQ(set.AddVarBind(QLatin1String(kSysDescr), SnmpType::kOctetString, "read-only"), 0);
    std::unique_ptr<CSnmp> answer;
    EXPECT_EQ(set.Send(answer), SnmpResult::kErrorStatus);
    ASSERT_TRUE(answer);
    long status = 0;
    unsigned long index = 0;
    answer->getErrorInfo(status, index);
    // v1 says noSuchName, v2c/v3 notWritable; either way the second variable.
    EXPECT_TRUE(status == SnmpErrorStatus::kNoSuchName || status == SnmpErrorStatus::kNotWritable)
        << status;
    EXPECT_EQ(index, 2u);

    // A value of the wrong type is refused too.
    ASSERT_TRUE(set.Open(CCommonSNMP::kSet));
    ASSERT_EQ(set.AddVarBind(QLatin1String(kSysName), SnmpType::kInteger, "5"), 0);
    EXPECT_NE(set.Send(answer), 0);
}

TEST_P(InteropTest, MissingObjectIsAFailureNeverAValue) {
    CCommonSNMP session;
    ASSERT_TRUE(session.Open(CCommonSNMP::kGet));
    session.AddVarBind(QLatin1String(kSysName), SnmpType::kNull);
    session.AddVarBind(QStringLiteral("1.3.6.1.2.1.1.99.0"), SnmpType::kNull);
    std::unique_ptr<CSnmp> answer;
    EXPECT_EQ(session.Send(answer), SnmpResult::kErrorStatus);
    ASSERT_TRUE(answer);
    long status = 0;
    unsigned long index = 0;
    answer->getErrorInfo(status, index);
    EXPECT_EQ(status, SnmpErrorStatus::kNoSuchName);
    EXPECT_EQ(index, 2u);
    if (answer->getValuesCount() == 2) { // v2c/v3 carry the exception: shown as no value
        EXPECT_EQ(answer->typeAt(1), SnmpType::kNull);
        EXPECT_TRUE(answer->valueAt(1).isEmpty());
    }
}

TEST_P(InteropTest, WalksMatchSnmpwalk) {
    const std::map<QString, QStringList> tables = {
        {"ifTable",
         {"1.3.6.1.2.1.2.2.1.1", "1.3.6.1.2.1.2.2.1.2", "1.3.6.1.2.1.2.2.1.3",
          "1.3.6.1.2.1.2.2.1.4", "1.3.6.1.2.1.2.2.1.5", "1.3.6.1.2.1.2.2.1.6",
          "1.3.6.1.2.1.2.2.1.7"}},
        {"sysORTable", {"1.3.6.1.2.1.1.9.1.2", "1.3.6.1.2.1.1.9.1.3", "1.3.6.1.2.1.1.9.1.4"}},
        {"udpTable", {"1.3.6.1.2.1.7.5.1.2", "1.3.6.1.2.1.7.5.1.1"}},
        {"tcpConnTable",
         {"1.3.6.1.2.1.6.13.1.3", "1.3.6.1.2.1.6.13.1.2", "1.3.6.1.2.1.6.13.1.4",
          "1.3.6.1.2.1.6.13.1.5", "1.3.6.1.2.1.6.13.1.1"}},
    };
    for (const auto& [name, columns] : tables) {
        SCOPED_TRACE(name.toStdString());
        // Connections can come and go between two walks: one more try.
        for (int attempt = 0; attempt < 2; ++attempt) {
            int rows = 0;
            const std::vector<Cell> ours = WalkSync(columns, &rows);
            std::map<QString, Cell> byOid;
            for (const Cell& cell : ours)
                byOid[cell.oid] = cell;
            std::vector<Cell> tools;
            for (const QString& column : columns) {
                const std::vector<Cell> part = ParseToolOutput(Tool("snmpwalk", {column}));
                tools.insert(tools.end(), part.begin(), part.end());
            }
            std::vector<Cell> oursByColumn;
            for (const QString& column : columns)
                for (const Cell& cell : ours)
                    if (cell.oid.startsWith(column + '.'))
                        oursByColumn.push_back(cell);
            if (oursByColumn == tools && !tools.empty() &&
                ours.size() == size_t(rows) * size_t(columns.size()))
                break;
            if (attempt == 1) {
                EXPECT_EQ(oursByColumn, tools);
                EXPECT_FALSE(tools.empty());
                EXPECT_EQ(ours.size(), size_t(rows) * size_t(columns.size()));
            }
        }
    }
}

TEST_P(InteropTest, WalkOfAnEmptyColumnEndsAtOnce) {
    int rows = -1;
    const std::vector<Cell> cells = WalkSync({"1.3.6.1.2.1.1.9.1.99"}, &rows);
    EXPECT_EQ(rows, 0);
    EXPECT_TRUE(cells.empty());
}

INSTANTIATE_TEST_SUITE_P(Modes, InteropTest, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------------- v3 specifics

using UserTest = CAgentTest;

int GetSysName(unsigned long timeoutMs = 0) {
    CCommonSNMP session;
    if (!session.Open(CCommonSNMP::kGet))
        return -100;
    session.AddVarBind(QLatin1String(kSysName), SnmpType::kNull);
    std::unique_ptr<CSnmp> answer;
    return session.Send(answer, timeoutMs);
}

TEST_F(UserTest, WrongPasswordsFailAndDoNotStickToTheUser) {
    g_strSnmpTimeout = QStringLiteral("1000");
    CSnmpdProcess::User user = CSnmpdProcess::kMd5User;

    user.authPassword = "not-the-password";
    UseUser(user, Port());
    g_strSnmpTimeout = QStringLiteral("1000");
    EXPECT_EQ(GetSysName(), SnmpResult::kAuthFailed);

    UseUser(CSnmpdProcess::kMd5User, Port());
    EXPECT_EQ(GetSysName(), 0) << "a right password after a wrong one";

    UseUser(user, Port());
    g_strSnmpTimeout = QStringLiteral("1000");
    EXPECT_NE(GetSysName(), 0) << "a wrong password after a right one";

    // A wrong privacy password looks like a time-out: bounded by it.
    CSnmpdProcess::User priv = CSnmpdProcess::kDesUser;
    priv.privPassword = "not-the-privacy-one";
    UseUser(priv, Port());
    g_strSnmpTimeout = QStringLiteral("1000");
    QElapsedTimer timer;
    timer.start();
    EXPECT_NE(GetSysName(), 0);
    EXPECT_LT(timer.elapsed(), 1000 + 1000) << "bounded by the time-out";

    UseUser(CSnmpdProcess::kDesUser, Port());
    EXPECT_EQ(GetSysName(), 0);

    CSnmpdProcess::User unknown = CSnmpdProcess::kShaUser;
    unknown.name = "nobody-here";
    UseUser(unknown, Port());
    g_strSnmpTimeout = QStringLiteral("1000");
    EXPECT_NE(GetSysName(), 0);
}

TEST_F(UserTest, SecurityLevelRulesOfTheLaunchSettings) {
    // Level 3 without a usable privacy code sends with authentication only:
    // an authentication-only user answers.
    UseUser(CSnmpdProcess::kShaUser, Port());
    g_strSecurityLevel = QStringLiteral("3");
    g_strPrivProtocol = QStringLiteral("1");
    g_strPrivPassword = QStringLiteral("whatever-secret");
    EXPECT_EQ(GetSysName(), 0);

    // Level 1 sends without authentication even with passwords set.
    UseUser(CSnmpdProcess::kNoAuthUser, Port());
    g_strAuthProtocol = QStringLiteral("2");
    g_strAuthPassword = QStringLiteral("some-password");
    EXPECT_EQ(GetSysName(), 0);

    // Level 2 with an unknown authentication code falls back to none.
    UseUser(CSnmpdProcess::kNoAuthUser, Port());
    g_strSecurityLevel = QStringLiteral("2");
    g_strAuthProtocol = QStringLiteral("9");
    g_strAuthPassword = QStringLiteral("some-password");
    EXPECT_EQ(GetSysName(), 0);

    // And a user that needs privacy is not reached with authentication only.
    UseUser(CSnmpdProcess::kAesUser, Port());
    g_strSnmpTimeout = QStringLiteral("1000");
    g_strPrivProtocol = QStringLiteral("3");
    EXPECT_NE(GetSysName(), 0);
}

TEST_F(UserTest, UnreachablePortFailsWithinTheTimeOut) {
    const int deadPort = CSnmpdProcess::FreeUdpPort();
    for (const AccessMode& mode : kModes) {
        SCOPED_TRACE(mode.name);
        UseAccess(mode, deadPort);
        g_strSnmpTimeout = QStringLiteral("600");
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(GetSysName(), SnmpResult::kTimeout);
        EXPECT_LT(timer.elapsed(), 600 + 1000) << "no hang beyond the time-out";
    }
}

} // namespace
