// The switch's own agent tables decide who may talk to it: communities, v3
// users, groups and views made with SETs work at once, destroyed ones stop,
// the global state turns the agent off, and the launch credentials and the
// control community keep working.
#include "SimTest.h"

namespace {

const QString kSysDescr = QStringLiteral("1.3.6.1.2.1.1.1.0");
const QString kIfNumber = QStringLiteral("1.3.6.1.2.1.2.1.0");

// Text index: the length, then the character codes.
QString TextIndex(const QString& text) {
    QString index = QString::number(text.size());
    for (QChar c : text)
        index += u'.' + QString::number(c.unicode());
    return index;
}

class AgentTablesSimTest : public CSimSuite {
protected:
    void SetUp() override {
        StartSim({QStringLiteral("--v3-user"),
                  QStringLiteral("alice:priv:SHA:alicepass1:AES:aliceprivate"),
                  QStringLiteral("--v3-user"), QStringLiteral("reader:auth:MD5:readerpass:ro")});
    }
    static QString Cell(const QString& table, int column, const QString& index) {
        return Enterprise(QStringLiteral("25.%1.1.1.%2.%3").arg(table).arg(column).arg(index));
    }
    // The rows a page makes: createAndWait, the columns, then active.
    static QString Create(const QString& table, int statusColumn, const QString& index,
                          const QStringList& columns) {
        if (QString e = Set({Cell(table, statusColumn, index), "i", "5"}); !e.isEmpty())
            return e;
        for (int i = 0; i + 2 < columns.size(); i += 3)
            if (QString e =
                    Set({Cell(table, columns[i].toInt(), index), columns[i + 1], columns[i + 2]});
                !e.isEmpty())
                return e;
        return Set({Cell(table, statusColumn, index), "i", "1"});
    }
    static QString Destroy(const QString& table, int statusColumn, const QString& index) {
        return Set({Cell(table, statusColumn, index), "i", "6"});
    }
    // snmpget as the v3 user; returns the tool's exit code, stderr in *err.
    static int V3Get(const QStringList& credentials, const QString& oid, QString* out,
                     QString* err = nullptr, const QString& tool = QStringLiteral("snmpget")) {
        return s_sim->Tool(tool, QStringList{"-v3", "-t", "1", "-r", "0", "-Oqv"} << credentials,
                           {oid}, out, err);
    }
};

TEST_F(AgentTablesSimTest, LaunchCredentialsAreRowsOfTheTables) {
    EXPECT_EQ(Get(Cell("5", 2, TextIndex("ralvin"))), "\"ralvin\"");
    EXPECT_EQ(Get(Cell("5", 2, TextIndex("quorbet"))), "\"quorbet\"");
    EXPECT_EQ(Get(Cell("2", 2, TextIndex("ralvin"))), "\"ReadGroup\"");
    EXPECT_EQ(Get(Cell("2", 3, TextIndex("alice"))), "3");
    EXPECT_EQ(Get(Cell("2", 4, TextIndex("alice"))), "3"); // SHA
    EXPECT_EQ(Get(Cell("2", 6, TextIndex("alice"))), "4"); // AES
    EXPECT_EQ(Get(Cell("2", 2, TextIndex("reader"))), "\"ReadAuthGroup\"");
    EXPECT_EQ(Get(Cell("3", 6, TextIndex("WritePrivGroup") + ".3")), "3");
    EXPECT_EQ(Get(Cell("3", 3, TextIndex("WriteGroup") + ".2")), "\"all\"");
    EXPECT_EQ(Get(Cell("4", 4, TextIndex("all") + ".2.1.3")), "1");
    EXPECT_EQ(Get(Cell("4", 2, TextIndex("all") + ".2.1.0")), "iso.0");
    // LLDP lives under 1.0: the launch view reaches it.
    EXPECT_FALSE(Walk(QStringLiteral("1.0.8802.1.1.2.1.3")).isEmpty());
    // And they work as before: read, write, v3 with privacy, read-only v3.
    EXPECT_FALSE(Get(kSysDescr, "ralvin", "1").isEmpty());
    EXPECT_EQ(Set({"1.3.6.1.2.1.1.5.0", "s", "core"}), "");
    EXPECT_FALSE(Set({"1.3.6.1.2.1.1.5.0", "s", "x"}, "2c", "ralvin").isEmpty());
    QString out;
    EXPECT_EQ(V3Get({"-u", "alice", "-l", "authPriv", "-a", "SHA", "-A", "alicepass1", "-x", "AES",
                     "-X", "aliceprivate"},
                    kSysDescr, &out),
              0);
    EXPECT_EQ(V3Get({"-u", "reader", "-l", "authNoPriv", "-a", "MD5", "-A", "readerpass"},
                    kSysDescr, &out),
              0);
}

TEST_F(AgentTablesSimTest, CommunityWorksWhileItsRowIsActive) {
    const QString index = TextIndex("guest");
    EXPECT_TRUE(Get(kSysDescr, "guest").isEmpty());
    ASSERT_EQ(Create("5", 3, index, {"2", "s", "ralvin"}), "");
    EXPECT_FALSE(Get(kSysDescr, "guest").isEmpty());
    EXPECT_FALSE(Get(kSysDescr, "guest", "1").isEmpty());
    // The view policy of user "ralvin": read only.
    EXPECT_FALSE(Set({"1.3.6.1.2.1.1.5.0", "s", "x"}, "2c", "guest").isEmpty());
    // Not in service: no answer, as for a community never made.
    ASSERT_EQ(Set({Cell("5", 3, index), "i", "2"}), "");
    EXPECT_TRUE(Get(kSysDescr, "guest").isEmpty());
    ASSERT_EQ(Set({Cell("5", 3, index), "i", "1"}), "");
    ASSERT_EQ(Destroy("5", 3, index), "");
    EXPECT_TRUE(Get(kSysDescr, "guest").isEmpty());
    // A launch community can be destroyed like any other; the control
    // community still reaches everything, the control subtree too.
    ASSERT_EQ(Destroy("5", 3, TextIndex("ralvin")), "");
    EXPECT_TRUE(Get(kSysDescr, "ralvin").isEmpty());
    EXPECT_FALSE(Get(kSysDescr, "nsw-control").isEmpty());
    EXPECT_EQ(CtlGet("2.1.0"), "1");
}

TEST_F(AgentTablesSimTest, V3UserMadeInThePagesOrderWalksTheInterfaces) {
    const QString index = TextIndex("eve");
    const QStringList eve{"-u", "eve", "-l", "authPriv", "-a", "SHA", "-A", QString(40, u'k'),
                          "-x", "DES", "-X", "evepriv1"};
    QString out, err;
    EXPECT_NE(V3Get(eve, kSysDescr, &out, &err), 0);
    // Group with the version, then the protocols, then the passwords.
    ASSERT_EQ(Set({Cell("2", 8, index), "i", "5"}), "");
    ASSERT_EQ(Set({Cell("2", 3, index), "i", "3", Cell("2", 2, index), "s", "WriteGroup"}), "");
    ASSERT_EQ(Set({Cell("2", 4, index), "i", "3", Cell("2", 6, index), "i", "2"}), "");
    ASSERT_EQ(
        Set({Cell("2", 5, index), "s", QString(40, u'k'), Cell("2", 7, index), "s", "evepriv1"}),
        "");
    ASSERT_EQ(Set({Cell("2", 8, index), "i", "1"}), "");
    EXPECT_EQ(V3Get(eve, "1.3.6.1.2.1.2.2.1.2", &out, &err, QStringLiteral("snmpwalk")), 0)
        << err.toStdString();
    EXPECT_EQ(out.count(u'\n'), 28) << out.toStdString();
    // A second createAndWait of the name is refused and the row stays as it is.
    EXPECT_EQ(Set({Cell("2", 8, index), "i", "5"}), "inconsistentValue");
    EXPECT_EQ(Get(Cell("2", 8, index)), "1");
    EXPECT_EQ(V3Get(eve, kSysDescr, &out), 0);
    // Passwords shorter than 8 characters make no USM key.
    const QString bob = TextIndex("bob");
    ASSERT_EQ(Set({Cell("2", 8, bob), "i", "5"}), "");
    ASSERT_EQ(Set({Cell("2", 3, bob), "i", "3", Cell("2", 2, bob), "s", "WriteGroup",
                   Cell("2", 4, bob), "i", "2", Cell("2", 5, bob), "s", "short7!"}),
              "");
    EXPECT_EQ(Set({Cell("2", 8, bob), "i", "1"}), "inconsistentValue");
    // Destroyed: unknown at once.
    ASSERT_EQ(Destroy("2", 8, index), "");
    EXPECT_NE(V3Get(eve, kSysDescr, &out, &err), 0);
    EXPECT_TRUE(err.contains(QStringLiteral("Unknown user name"))) << err.toStdString();
}

TEST_F(AgentTablesSimTest, ViewLimitsWhatTheGroupSees) {
    // View "sys": the system group only; group "peek" reads it on v2c.
    ASSERT_EQ(Create("4", 5, TextIndex("sys") + ".7.1.3.6.1.2.1.1", {"4", "i", "1"}), "");
    ASSERT_EQ(Set({Cell("3", 2, TextIndex("peek") + ".2"), "s", "sys",
                   Cell("3", 7, TextIndex("peek") + ".2"), "i", "4"}),
              "");
    ASSERT_EQ(Create("2", 8, TextIndex("watcher"), {"2", "s", "peek", "3", "i", "2"}), "");
    ASSERT_EQ(Create("5", 3, TextIndex("look"), {"2", "s", "watcher"}), "");
    EXPECT_FALSE(Get(kSysDescr, "look").isEmpty());
    EXPECT_TRUE(Get(kIfNumber, "look").startsWith(QStringLiteral("No Such Object")));
    // Walks stop at the end of the view, with GETNEXT and with GETBULK.
    for (const QString& tool : {QStringLiteral("snmpwalk"), QStringLiteral("snmpbulkwalk")}) {
        const QStringList lines = Walk(QStringLiteral("1.3.6.1.2.1"), "look", tool);
        EXPECT_EQ(lines.size(), Walk(QStringLiteral("1.3.6.1.2.1.1")).size()) << tool.toStdString();
        for (const QString& line : lines)
            EXPECT_TRUE(line.startsWith(QStringLiteral(".1.3.6.1.2.1.1."))) << line.toStdString();
    }
    // An excluded family inside the view (sysContact, with a wildcard mask)
    // and a v1 community see the same; the group asks for nothing more.
    ASSERT_EQ(Create("4", 5, TextIndex("sys") + ".8.1.3.6.1.2.1.1.4",
                     {"3", "s", "11110111", "4", "i", "2"}),
              "");
    EXPECT_TRUE(Get(QStringLiteral("1.3.6.1.2.1.1.4.0"), "look")
                    .startsWith(QStringLiteral("No Such Object")));
    EXPECT_FALSE(Get(QStringLiteral("1.3.6.1.2.1.1.5.0"), "look").isEmpty());
    EXPECT_TRUE(Get(kSysDescr, "look", "1").isEmpty()); // no v1 row for the group
    // A group that asks for authentication is no place for a community.
    ASSERT_EQ(Set({Cell("3", 6, TextIndex("peek") + ".2"), "i", "2"}), "");
    EXPECT_TRUE(Get(kSysDescr, "look").isEmpty());
}

TEST_F(AgentTablesSimTest, GlobalStateDisabledAnswersOnlyTheControlCommunity) {
    ASSERT_EQ(Set({Enterprise("25.1.0"), "i", "2"}), "");
    EXPECT_TRUE(Get(kSysDescr).isEmpty());
    QString out;
    EXPECT_NE(V3Get({"-u", "alice", "-l", "authPriv", "-a", "SHA", "-A", "alicepass1", "-x", "AES",
                     "-X", "aliceprivate"},
                    kSysDescr, &out),
              0);
    EXPECT_EQ(Get(Enterprise("25.1.0"), "nsw-control"), "2");
    EXPECT_EQ(CtlGet("2.1.0"), "1");
    ASSERT_EQ(Set({Enterprise("25.1.0"), "i", "1"}, "2c", "nsw-control"), "");
    EXPECT_FALSE(Get(kSysDescr).isEmpty());
}

} // namespace
