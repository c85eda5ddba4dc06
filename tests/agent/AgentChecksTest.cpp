// The checks and row indexes of the SNMP agent pages, without widgets.
#include "pages/agent/AgentPages.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::pair<QString, int>> Numbered(const QString& prefix, int count, int second) {
    std::vector<std::pair<QString, int>> rows;
    for (int i = 0; i < count; ++i)
        rows.emplace_back(prefix + QString::number(i), second);
    return rows;
}

SUserEntry V3User() {
    SUserEntry e;
    e.name = QStringLiteral("eve");
    e.group = QStringLiteral("admins");
    e.version = 3;
    e.encrypted = true;
    e.auth = 3;
    e.authPassword = QStringLiteral("authpass1");
    e.priv = 2;
    e.privPassword = QStringLiteral("privpass1");
    return e;
}

} // namespace

TEST(AgentIndex, TextGroupViewAndHostForms) {
    EXPECT_EQ(NameIndex(QStringLiteral("ab")), "2.97.98");
    // A group "g" with security model v2c.
    EXPECT_EQ(GroupIndex(QStringLiteral("g"), 2), "1.103.2");
    EXPECT_EQ(ViewIndex(QStringLiteral("v"), QStringLiteral(".1.3.6.1")), "1.118.4.1.3.6.1");
    EXPECT_EQ(NormalisedSubtree(QStringLiteral(" 1.3.6 ")), "1.3.6");
    for (const char* bad : {"", "1..3", "1.3.", "a.b", "1.-3", "1.4294967296", "+1.3"})
        EXPECT_TRUE(NormalisedSubtree(QString::fromLatin1(bad)).isEmpty()) << bad;
    QString longest = QStringLiteral("1");
    for (int i = 1; i < 64; ++i)
        longest += QStringLiteral(".1");
    EXPECT_EQ(NormalisedSubtree(longest), longest);
    EXPECT_TRUE(NormalisedSubtree(longest + QStringLiteral(".1")).isEmpty());
}

TEST(AgentChecks, UserEntryInOrder) {
    SUserEntry e = V3User();
    EXPECT_EQ(CheckUserEntry(e, {}), "");
    e.name.clear();
    EXPECT_EQ(CheckUserEntry(e, {}), "Please enter valid User Name ");
    e.name = QStringLiteral("e.ve");
    EXPECT_EQ(CheckUserEntry(e, {}), "Invalid User Name .");
    e.name = QString(33, u'u');
    EXPECT_EQ(CheckUserEntry(e, {}), "Max. User Name length is 32.");
    e.name = QStringLiteral("eve");
    e.group = QStringLiteral("a/b");
    EXPECT_EQ(CheckUserEntry(e, {}), "Invalid Group Name.");
    e.group.clear();
    EXPECT_EQ(CheckUserEntry(e, {}), "Please enter valid Group Name ");
    e.group = QStringLiteral("admins");
    // Same name and version; the same name with another version passes.
    EXPECT_EQ(CheckUserEntry(e, {{QStringLiteral("eve"), 3}}), "This User Entry already exists.");
    EXPECT_EQ(CheckUserEntry(e, {{QStringLiteral("eve"), 2}}), "");
    EXPECT_EQ(CheckUserEntry(e, Numbered(QStringLiteral("u"), 49, 3)), "");
    EXPECT_EQ(CheckUserEntry(e, Numbered(QStringLiteral("u"), 50, 3)),
              "Maximum number of User Entry is 50.");
}

TEST(AgentChecks, UserPasswords) {
    SUserEntry e = V3User();
    e.authPassword = QString(40, u'a');
    EXPECT_EQ(CheckUserEntry(e, {}), "");
    e.authPassword = QString(41, u'a');
    EXPECT_EQ(CheckUserEntry(e, {}), " SHA Max. Password length is 40.");
    e.auth = 2;
    e.authPassword = QString(33, u'a');
    EXPECT_EQ(CheckUserEntry(e, {}), " MD5 Max. Password length is 32.");
    e.authPassword = QString(32, u'a');
    EXPECT_EQ(CheckUserEntry(e, {}), "");
    e.authPassword = QStringLiteral("seven77");
    EXPECT_EQ(CheckUserEntry(e, {}), " MD5 Min. Password length is 8.");
    e.authPassword.clear();
    EXPECT_EQ(CheckUserEntry(e, {}), "Auth-Protocol Password can't be empty.");
    e.authPassword = QStringLiteral("authpass1");
    e.privPassword.clear();
    EXPECT_EQ(CheckUserEntry(e, {}), "Priv-Protocol Password can't be empty.");
    e.privPassword = QString(33, u'p');
    EXPECT_EQ(CheckUserEntry(e, {}), " DES Max. Password length is 32.");
    // Without DES the priv password does not matter; unencrypted needs none.
    e.priv = 1;
    EXPECT_EQ(CheckUserEntry(e, {}), "");
    e = V3User();
    e.encrypted = false;
    e.authPassword.clear();
    e.privPassword.clear();
    EXPECT_EQ(CheckUserEntry(e, {}), "");
}

TEST(AgentChecks, GroupViewCommunityHost) {
    EXPECT_EQ(CheckGroupEntry({}, 2, {}, {}), "Please enter valid group name!");
    EXPECT_EQ(CheckGroupEntry(QStringLiteral("g;"), 2, {}, {}), "Invalid Group Name.");
    EXPECT_EQ(CheckGroupEntry(QStringLiteral("g"), 2, {QStringLiteral("all")},
                              {{QStringLiteral("g"), 2}}),
              "This Group Entry already exists.");
    EXPECT_EQ(CheckGroupEntry(QStringLiteral("g"), 3, {}, {{QStringLiteral("g"), 2}}), "");
    EXPECT_EQ(CheckGroupEntry(QStringLiteral("g"), 3, {QString(33, u'v')}, {}),
              "Invalid View Name.");
    EXPECT_EQ(CheckGroupEntry(QStringLiteral("g"), 3, {}, Numbered(QStringLiteral("x"), 50, 1)),
              "Maximum number of Group Entry is 50.");

    const QString tree = QStringLiteral("1.3.6.1");
    EXPECT_EQ(CheckViewEntry({}, tree, QStringLiteral("1"), {}), "Please enter valid view name.");
    EXPECT_EQ(CheckViewEntry(QStringLiteral("v?"), tree, QStringLiteral("1"), {}),
              "Invalid View Name.");
    EXPECT_EQ(CheckViewEntry(QStringLiteral("v"), QStringLiteral(" "), QStringLiteral("1"), {}),
              "Please enter valid subtree OID");
    EXPECT_EQ(CheckViewEntry(QStringLiteral("v"), QStringLiteral("1.x"), QStringLiteral("1"), {}),
              "Please enter valid subtree OID .");
    EXPECT_EQ(CheckViewEntry(QStringLiteral("v"), tree, QString(), {}),
              "Please enter valid OID Mask.");
    EXPECT_EQ(CheckViewEntry(QStringLiteral("v"), tree, QStringLiteral("1021"), {}),
              "Please enter valid OID Mask.");
    EXPECT_EQ(CheckViewEntry(QStringLiteral("v"), tree, QStringLiteral("11111"), {}),
              "Invalid  OID length");
    EXPECT_EQ(CheckViewEntry(QStringLiteral("v"), tree, QStringLiteral("1111"), {}), "");
    EXPECT_EQ(CheckViewEntry(QStringLiteral("v"), QStringLiteral(".1.3.6.1"), QStringLiteral("1"),
                             {{QStringLiteral("v"), tree}}),
              "This View Entry already exist.");
    std::vector<std::pair<QString, QString>> views;
    for (int i = 0; i < 50; ++i)
        views.emplace_back(QStringLiteral("v%1").arg(i), tree);
    EXPECT_EQ(CheckViewEntry(QStringLiteral("w"), tree, QStringLiteral("1"), views),
              "Maximum number of View Entry is 50.");

    EXPECT_EQ(CheckCommunityEntry({}, {}), "Please enter valid Community Name !");
    EXPECT_EQ(CheckCommunityEntry(QStringLiteral("pub.lic"), {}), "Invalid Community Name.");
    EXPECT_EQ(CheckCommunityEntry(QStringLiteral("guest"), {QStringLiteral("guest")}),
              "This Community Entry already exists.");
    QStringList ten;
    for (int i = 0; i < 10; ++i)
        ten << QStringLiteral("c%1").arg(i);
    EXPECT_EQ(CheckCommunityEntry(QStringLiteral("guest"), ten.mid(1)), "");
    EXPECT_EQ(CheckCommunityEntry(QStringLiteral("guest"), ten),
              "Maximum number of Community Entry is 10.");

    EXPECT_EQ(CheckHostEntry(QStringLiteral("0.0.0.0"), QStringLiteral("c"), {}),
              "Invalid Host IP.");
    EXPECT_EQ(CheckHostEntry(QStringLiteral("10.0.0.256"), QStringLiteral("c"), {}),
              "Invalid Host IP.");
    EXPECT_EQ(CheckHostEntry(QStringLiteral("10.0.0.1"), QStringLiteral("c"),
                             {QStringLiteral("10.0.0.1")}),
              "This IP Address has used,please enter other IP Address");
    EXPECT_EQ(CheckHostEntry(QStringLiteral("10.0.0.1"), {}, {}),
              "The Community String or SNMPv3 User Name can not be empty.");
    EXPECT_EQ(CheckHostEntry(QStringLiteral("10.0.0.1"), QStringLiteral("a,b"), {}),
              "Invalid Community String/SNMPv3 User Name. ");
    EXPECT_EQ(CheckHostEntry(QStringLiteral("10.0.0.1"), QStringLiteral("c"), ten),
              "Maximum number of Host Entry is 10.");
}

TEST(AgentChecks, EngineId) {
    EXPECT_EQ(CheckEngineId(QStringLiteral("123456789")), "ID length is 10-64");
    EXPECT_EQ(CheckEngineId(QStringLiteral("123456789a")), "");
    EXPECT_EQ(CheckEngineId(QString(64, u'F')), "");
    EXPECT_EQ(CheckEngineId(QString(65, u'F')), "ID length is 10-64");
    EXPECT_EQ(CheckEngineId(QStringLiteral("123456789g")), "the accepted character is from 0 to F");
    // An odd count of digits gets a leading "0".
    EXPECT_EQ(EngineIdBytes(QStringLiteral("80007ed9044e531")).toHex(), "080007ed9044e531");
    EXPECT_EQ(EngineIdBytes(kDefaultEngineId).size(), 7);
    EXPECT_EQ(static_cast<unsigned char>(EngineIdBytes(kDefaultEngineId)[4]), 4); // text format
}

TEST(AgentChecks, PoeModelsByName) {
    EXPECT_TRUE(IsPoeModelName(QStringLiteral("NSW-4410-28P B1")));
    EXPECT_TRUE(IsPoeModelName(QStringLiteral("ngx-4410-10p")));
    EXPECT_FALSE(IsPoeModelName(QStringLiteral("NSW-4410-28 B1")));
}
