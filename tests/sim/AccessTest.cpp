// Access per version: communities, SNMPv3 users, refusals and the control
// subtree, proven with Debian's net-snmp tools.
#include "common/SimProcess.h"

#include <gtest/gtest.h>

namespace {

const QString kSysName = QStringLiteral("1.3.6.1.2.1.1.5.0");
const QString kSysDescr = QStringLiteral("1.3.6.1.2.1.1.1.0");
const QString kCtlFan = QStringLiteral("1.3.6.1.4.1.32473.99.2.1.0");

class AccessTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_sim = new CSimProcess;
        ASSERT_TRUE(
            s_sim->Start({QStringLiteral("--v3-user"),
                          QStringLiteral("alice:priv:SHA:alicepass1:AES:aliceprivate"),
                          QStringLiteral("--v3-user"), QStringLiteral("bob:auth:MD5:bobpassword"),
                          QStringLiteral("--v3-user"),
                          QStringLiteral("carol:priv:MD5:carolpass1:DES:carolpriv1:ro")}))
            << s_sim->Output().toStdString();
    }
    static void TearDownTestSuite() {
        delete s_sim;
        s_sim = nullptr;
    }

    static int Run(const QString& tool, const QStringList& options, const QStringList& rest,
                   QString* out = nullptr, QString* err = nullptr) {
        return s_sim->Tool(tool,
                           QStringList{QStringLiteral("-t"), QStringLiteral("1"),
                                       QStringLiteral("-r"), QStringLiteral("0")}
                               << options,
                           rest, out, err);
    }
    static QStringList V3(const QString& user, const QString& level, const QString& auth,
                          const QString& authPass, const QString& priv = {},
                          const QString& privPass = {}) {
        QStringList args{QStringLiteral("-v3"), QStringLiteral("-u"), user, QStringLiteral("-l"),
                         level};
        if (!auth.isEmpty())
            args << QStringLiteral("-a") << auth << QStringLiteral("-A") << authPass;
        if (!priv.isEmpty())
            args << QStringLiteral("-x") << priv << QStringLiteral("-X") << privPass;
        return args;
    }

    static CSimProcess* s_sim;
};
CSimProcess* AccessTest::s_sim = nullptr;

TEST_F(AccessTest, CommunitiesReadAndWriteByRole) {
    for (const QString version : {QStringLiteral("-v1"), QStringLiteral("-v2c")}) {
        QString out;
        EXPECT_EQ(
            Run(QStringLiteral("snmpget"), {version, "-c", "ralvin", "-Oqv"}, {kSysDescr}, &out), 0)
            << version.toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("NSW-4410-28P B1"))) << out.toStdString();
        // The read community cannot set, the write community can.
        QString err;
        EXPECT_NE(Run(QStringLiteral("snmpset"), {version, "-c", "ralvin"}, {kSysName, "s", "x"},
                      nullptr, &err),
                  0);
        EXPECT_TRUE(err.contains(version == u"-v1" ? QStringLiteral("noSuchName")
                                                   : QStringLiteral("noAccess")))
            << err.toStdString();
        EXPECT_EQ(Run(QStringLiteral("snmpset"), {version, "-c", "quorbet"},
                      {kSysName, "s", "core-" + version.mid(2)}),
                  0);
        EXPECT_EQ(s_sim->Get(kSysName), "\"core-" + version.mid(2) + "\"");
    }
}

TEST_F(AccessTest, WrongCommunityGetsNoAnswer) {
    QString err;
    EXPECT_NE(Run(QStringLiteral("snmpget"), {"-v2c", "-c", "public"}, {kSysDescr}, nullptr, &err),
              0);
    EXPECT_TRUE(err.contains(QStringLiteral("Timeout"))) << err.toStdString();
}

TEST_F(AccessTest, UsersAuthenticateAtTheirLevel) {
    QString out, err;
    EXPECT_EQ(Run(QStringLiteral("snmpget"),
                  V3("alice", "authPriv", "SHA", "alicepass1", "AES", "aliceprivate") << "-Oqv",
                  {kSysDescr}, &out, &err),
              0)
        << err.toStdString();
    EXPECT_EQ(Run(QStringLiteral("snmpset"),
                  V3("alice", "authPriv", "SHA", "alicepass1", "AES", "aliceprivate"),
                  {kSysName, "s", "by-alice"}),
              0);
    EXPECT_EQ(s_sim->Get(kSysName), QStringLiteral("\"by-alice\""));
    EXPECT_EQ(
        Run(QStringLiteral("snmpget"), V3("bob", "authNoPriv", "MD5", "bobpassword"), {kSysDescr}),
        0);
    // A read-only user reads but cannot write.
    EXPECT_EQ(Run(QStringLiteral("snmpget"),
                  V3("carol", "authPriv", "MD5", "carolpass1", "DES", "carolpriv1"), {kSysDescr}),
              0);
    EXPECT_NE(Run(QStringLiteral("snmpset"),
                  V3("carol", "authPriv", "MD5", "carolpass1", "DES", "carolpriv1"),
                  {kSysName, "s", "by-carol"}, nullptr, &err),
              0);
    EXPECT_TRUE(err.contains(QStringLiteral("noAccess"))) << err.toStdString();
}

TEST_F(AccessTest, WrongCredentialsAreRefusedLikeAnAgent) {
    QString err;
    EXPECT_NE(Run(QStringLiteral("snmpget"),
                  V3("alice", "authPriv", "SHA", "wrongpass1", "AES", "aliceprivate"), {kSysDescr},
                  nullptr, &err),
              0);
    EXPECT_TRUE(err.contains(QStringLiteral("Authentication failure"))) << err.toStdString();
    EXPECT_NE(Run(QStringLiteral("snmpget"), V3("mallory", "authNoPriv", "MD5", "whatever1"),
                  {kSysDescr}, nullptr, &err),
              0);
    EXPECT_TRUE(err.contains(QStringLiteral("Unknown user name"))) << err.toStdString();
    // bob has no privacy key: asking for one is refused.
    EXPECT_NE(Run(QStringLiteral("snmpget"),
                  V3("bob", "authPriv", "MD5", "bobpassword", "DES", "bobpassword"), {kSysDescr},
                  nullptr, &err),
              0);
    // An authenticated user below the required level is refused too.
    EXPECT_NE(Run(QStringLiteral("snmpget"), V3("alice", "authNoPriv", "SHA", "alicepass1"),
                  {kSysDescr}, nullptr, &err),
              0);
}

TEST_F(AccessTest, OnlyTheControlCommunityReachesTheControlSubtree) {
    QString out;
    EXPECT_EQ(s_sim->Get(kCtlFan, QString::fromLatin1(CSimProcess::kControlCommunity)),
              QStringLiteral("1"));
    for (const char* community : {"ralvin", "quorbet"}) {
        EXPECT_EQ(
            Run(QStringLiteral("snmpget"), {"-v2c", "-c", community, "-Oqv"}, {kCtlFan}, &out), 0);
        EXPECT_TRUE(out.contains(QStringLiteral("No Such Object"))) << out.toStdString();
        EXPECT_NE(Run(QStringLiteral("snmpset"), {"-v2c", "-c", community}, {kCtlFan, "i", "2"}),
                  0);
        // A walk of the whole tree never shows it.
        EXPECT_EQ(Run(QStringLiteral("snmpbulkwalk"), {"-v2c", "-c", community, "-On"},
                      {QStringLiteral("1.3.6.1.4.1.32473")}, &out),
                  0);
        EXPECT_FALSE(out.contains(QStringLiteral(".1.3.6.1.4.1.32473.99.")));
        EXPECT_TRUE(out.contains(QStringLiteral(".1.3.6.1.4.1.32473.10.")));
        // Repetitions that run past the last object it may see end its view;
        // they once answered genErr.
        QStringList oids;
        for (const QString& line : out.split(u'\n', Qt::SkipEmptyParts))
            if (!line.contains(QStringLiteral("No more variables")))
                oids << line.section(u' ', 0, 0);
        ASSERT_GE(oids.size(), 2);
        const QString last = oids.last(), beforeLast = oids[oids.size() - 2];
        for (const QStringList& vars : {QStringList{beforeLast, beforeLast}, QStringList{kSysDescr, last}}) {
            EXPECT_EQ(Run(QStringLiteral("snmpbulkget"), {"-v2c", "-c", community, "-On", "-Cr2"}, vars, &out), 0)
                << vars.join(u' ').toStdString();
            EXPECT_TRUE(out.contains(QStringLiteral("No more variables left"))) << out.toStdString();
        }
    }
    EXPECT_EQ(Run(QStringLiteral("snmpget"),
                  V3("alice", "authPriv", "SHA", "alicepass1", "AES", "aliceprivate") << "-Oqv",
                  {kCtlFan}, &out),
              0);
    EXPECT_TRUE(out.contains(QStringLiteral("No Such Object"))) << out.toStdString();
    EXPECT_TRUE(
        s_sim->SetControl(QStringLiteral("2.1.0"), QStringLiteral("i"), QStringLiteral("1")));
}

TEST(SimProcessTest, StartsOnItsOwnPortAndStopsCleanly) {
    CSimProcess first, second;
    ASSERT_TRUE(first.Start()) << first.Output().toStdString();
    ASSERT_TRUE(second.Start()) << second.Output().toStdString();
    EXPECT_NE(first.Port(), second.Port());
    EXPECT_FALSE(first.Get(kSysDescr).isEmpty());
    EXPECT_TRUE(first.Stop());
    EXPECT_FALSE(first.IsRunning());
    EXPECT_NE(first.Tool(QStringLiteral("snmpget"),
                         {"-v2c", "-c", "ralvin", "-t", "0.5", "-r", "0"}, {kSysDescr}),
              0);
    EXPECT_FALSE(second.Get(kSysDescr).isEmpty());
}

} // namespace
