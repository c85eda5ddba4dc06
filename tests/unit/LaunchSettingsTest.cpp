#include "device/LaunchBytes.h"
#include "device/LaunchSettings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class ParseCommandLineTest : public ::testing::Test {
protected:
    void SetUp() override { ResetLaunchSettings(); }
    void TearDown() override { ResetLaunchSettings(); }
    static int Parse(const char* line) { return ParseCommandLine(QByteArray(line)); }
};

constexpr char kFullV3[] = "/X/I10.1.2.3/Rpublic/Wprivate/Vtrue/S3/P16161/a/b/c9/L3/Uadmin/Aauthpass/"
                           "Kprivpass/H3/D2/extra";

} // namespace

TEST_F(ParseCommandLineTest, DefaultsBeforeParsing) {
    EXPECT_EQ(g_strDeviceIp, QString());
    EXPECT_EQ(g_strReadCommunity, QStringLiteral("ralvin"));
    EXPECT_EQ(g_strWriteCommunity, QStringLiteral("quorbet"));
    EXPECT_EQ(g_bVlanEditable, 1);
    EXPECT_EQ(g_strSnmpVersion, QStringLiteral("1"));
    EXPECT_EQ(g_strSnmpPort, QStringLiteral("161"));
    EXPECT_EQ(g_strSecurityLevel, QStringLiteral("1"));
    EXPECT_EQ(g_strAuthProtocol, QStringLiteral("1"));
    EXPECT_EQ(g_strPrivProtocol, QStringLiteral("1"));
    EXPECT_EQ(g_strSnmpTimeout, QStringLiteral("3000"));
    EXPECT_EQ(g_strLaunchField9, QStringLiteral("1"));
}

TEST_F(ParseCommandLineTest, EveryFieldByPosition) {
    EXPECT_EQ(Parse(kFullV3), 1);
    EXPECT_EQ(g_strLaunchField0, QString());
    EXPECT_EQ(g_strDeviceIp, QStringLiteral("10.1.2.3"));
    EXPECT_EQ(g_strReadCommunity, QStringLiteral("public"));
    EXPECT_EQ(g_strWriteCommunity, QStringLiteral("private"));
    EXPECT_EQ(g_bVlanEditable, 1);
    EXPECT_EQ(g_strSnmpVersion, QStringLiteral("3"));
    EXPECT_EQ(g_strSnmpPort, QStringLiteral("16161"));
    EXPECT_EQ(g_strLaunchField9, QStringLiteral("9"));
    EXPECT_EQ(g_strSecurityLevel, QStringLiteral("3"));
    EXPECT_EQ(g_strV3UserName, QStringLiteral("admin"));
    EXPECT_EQ(g_strAuthPassword, QStringLiteral("authpass"));
    EXPECT_EQ(g_strPrivPassword, QStringLiteral("privpass"));
    EXPECT_EQ(g_strAuthProtocol, QStringLiteral("3"));
    EXPECT_EQ(g_strPrivProtocol, QStringLiteral("2"));
    // the time-out is fixed whatever the line says
    EXPECT_EQ(g_strSnmpTimeout, QStringLiteral("3000"));
}

TEST_F(ParseCommandLineTest, VersionOneStopsAfterThePortField) {
    EXPECT_EQ(Parse("/X/I10.0.0.1/Rr/Ww/Vfalse/S1/P161/a/b/c/L3/Uuser/Apass"), 1);
    EXPECT_EQ(g_strSnmpVersion, QStringLiteral("1"));
    EXPECT_EQ(g_strV3UserName, QString());
    EXPECT_EQ(g_strSecurityLevel, QStringLiteral("1"));
    EXPECT_EQ(g_bVlanEditable, 0);
    // an empty version field keeps the default "1", which stops the parser too
    ResetLaunchSettings();
    EXPECT_EQ(Parse("/X/I10.0.0.1/Rr/Ww/Vtrue/S/P/a/b/c/L3/Uuser"), 1);
    EXPECT_EQ(g_strV3UserName, QString());
}

TEST_F(ParseCommandLineTest, FailuresLeaveDefaults) {
    EXPECT_EQ(Parse(""), 0);
    // without "/I" only field 0 is taken
    EXPECT_EQ(Parse("/X10.0.0.1/Rpublic"), 0);
    EXPECT_EQ(g_strLaunchField0, QStringLiteral("10.0.0.1"));
    EXPECT_EQ(g_strDeviceIp, QString());
    EXPECT_EQ(g_strReadCommunity, QStringLiteral("ralvin"));
    // "/i" is not "/I"
    EXPECT_EQ(Parse("/X/i10.0.0.1"), 0);
    EXPECT_EQ(g_strDeviceIp, QString());
    // the address in field 0 and "/I" ending the line: empty address, 0
    EXPECT_EQ(Parse("/X127.0.0.1/I"), 0);
    EXPECT_EQ(g_strLaunchField0, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(g_strDeviceIp, QString());
    // a line that ends in field 0 is a normal end
    EXPECT_EQ(Parse("/Xabc"), 1);
    // lines shorter than a marker read nothing and do not crash
    EXPECT_EQ(Parse("/"), 1);
    EXPECT_EQ(Parse("x"), 1);
}

TEST_F(ParseCommandLineTest, EmptyValuesKeepDefaultsExceptTheVlanFlag) {
    EXPECT_EQ(Parse("/X/I10.0.0.1/R/W/V/S2"), 1);
    EXPECT_EQ(g_strReadCommunity, QStringLiteral("ralvin"));
    EXPECT_EQ(g_strWriteCommunity, QStringLiteral("quorbet"));
    EXPECT_EQ(g_bVlanEditable, 0);
    EXPECT_EQ(g_strSnmpVersion, QStringLiteral("2"));
}

TEST_F(ParseCommandLineTest, VlanFlagOnlyExactTrue) {
    for (const char* value : {"TRUE", "true"}) {
        ResetLaunchSettings();
        Parse(QByteArray("/X/I1.1.1.1/R/W/V").append(value).constData());
        EXPECT_EQ(g_bVlanEditable, 1) << value;
    }
    for (const char* value : {"True", "1", "yes", "tRUE"}) {
        ResetLaunchSettings();
        Parse(QByteArray("/X/I1.1.1.1/R/W/V").append(value).constData());
        EXPECT_EQ(g_bVlanEditable, 0) << value;
    }
}

TEST_F(ParseCommandLineTest, BlanksAreDroppedAndOverlongValuesCut) {
    EXPECT_EQ(Parse("/X /I 10. 0.0.1 /R pub lic"), 1);
    EXPECT_EQ(g_strDeviceIp, QStringLiteral("10.0.0.1"));
    EXPECT_EQ(g_strReadCommunity, QStringLiteral("public"));

    ResetLaunchSettings();
    const QByteArray longIp(100, '1');
    const QByteArray longCommunity(200, 'c');
    const QByteArray longUser(500, 'u');
    const QByteArray line = "/X" + QByteArray(300, '0') + "/I" + longIp + "/R" + longCommunity +
                            "/W/V/S3/P" + QByteArray(50, '9') + "/a/b/c/L3/U" + longUser;
    EXPECT_EQ(ParseCommandLine(line), 1);
    EXPECT_EQ(g_strLaunchField0.size(), LaunchField::kField0 - 1);
    EXPECT_EQ(g_strDeviceIp.size(), LaunchField::kIp - 1);
    EXPECT_EQ(g_strReadCommunity.size(), LaunchField::kCommunity - 1);
    EXPECT_EQ(g_strSnmpPort.size(), LaunchField::kOther - 1);
    EXPECT_EQ(g_strV3UserName.size(), LaunchField::kCredential - 1);

    // a cut never splits a UTF-8 character: 31 bytes of 'é' pairs hold 15 of them
    ResetLaunchSettings();
    QByteArray accented;
    for (int i = 0; i < 40; ++i)
        accented += "\xc3\xa9";
    EXPECT_EQ(ParseCommandLine("/X/I1.1.1.1/R/W/V/S3/P/a/b/c/L/U" + accented), 1);
    EXPECT_EQ(g_strV3UserName, QString(15, QChar(0xE9)));
}

TEST_F(ParseCommandLineTest, EndsAfterFieldFifteen) {
    EXPECT_EQ(Parse(kFullV3), 1);
    EXPECT_EQ(g_strPrivProtocol, QStringLiteral("2"));
    // a line that ends after any field returns 1 with the fields so far
    ResetLaunchSettings();
    EXPECT_EQ(Parse("/X/I10.0.0.9/Rr/Ww/Vtrue/S3/P1/a/b/c/L2/Ume"), 1);
    EXPECT_EQ(g_strV3UserName, QStringLiteral("me"));
    EXPECT_EQ(g_strAuthPassword, QString());
}

TEST_F(ParseCommandLineTest, CredentialsKeepTheirBytesFromTheLineToTheWire) {
    // 0xE9 alone is no UTF-8; it must not become EF BF BD on the way.
    ASSERT_EQ(ParseCommandLine(QByteArray("/X/I10.0.0.1/Rcaf\xe9/Wcaf\xc3\xa9/Vtrue/S3/P161/a/b/c/L3/"
                                          "U\xff\xfe/A\x80pass\xe9/K\xed\xa0\x80/H3/D2")),
              1);
    EXPECT_EQ(EncodeLaunchBytes(g_strReadCommunity), QByteArray("caf\xe9"));
    EXPECT_EQ(g_strWriteCommunity, QString::fromUtf8("café")); // UTF-8 reads as text
    EXPECT_EQ(EncodeLaunchBytes(g_strWriteCommunity), QByteArray("caf\xc3\xa9"));
    EXPECT_EQ(EncodeLaunchBytes(g_strV3UserName), QByteArray("\xff\xfe"));
    EXPECT_EQ(EncodeLaunchBytes(g_strAuthPassword), QByteArray("\x80pass\xe9"));
    // An encoded surrogate is no UTF-8 either: kept byte for byte.
    EXPECT_EQ(EncodeLaunchBytes(g_strPrivPassword), QByteArray("\xed\xa0\x80"));
    // Text beyond the basic plane goes through whole.
    const QByteArray emoji("\xf0\x9f\x98\x80x");
    EXPECT_EQ(EncodeLaunchBytes(DecodeLaunchBytes(emoji)), emoji);
    EXPECT_EQ(DecodeLaunchBytes(emoji), QString::fromUtf8(emoji));
}

// The communities and v3 passwords are hidden from the process's arguments;
// every other field stays as typed, and the line the module parsed is intact.
TEST(HideCredentialArguments, StarsOnlyTheSecretsWhereverTheBlanksSplitThem) {
    struct SCase {
        std::vector<std::string> args;
        std::vector<std::string> shown;
    } cases[] = {
        {{"/X/I10.0.0.1/Rpublic/Wprivate/Vtrue/S3/P161/a/b/c/L3/Uadmin/Aauth-pw/Ppriv-pw/H3/E2"},
         {"/X/I10.0.0.1/R*/W*/Vtrue/S3/P161/a/b/c/L3/Uadmin/A*/P*/H3/E2"}},
        // v1 lines keep nothing secret past field 6, but a typed password is still hidden.
        {{"/X/I10.0.0.1/Rr/Ww/V/S1/P1/a/b/c/L3/Uu/Asecret"}, {"/X/I10.0.0.1/R*/W*/V/S1/P1/a/b/c/L3/Uu/A*"}},
        // Blanks split values into several arguments (the parser drops them).
        {{"/X/I127.0.0.1/Rmy", "community/Wwrite", "secret/Vtrue"},
         {"/X/I127.0.0.1/R*", "*/W*", "*/Vtrue"}},
        {{"/X/I127.0.0.1/R/W/Vtrue"}, {"/X/I127.0.0.1/R/W/Vtrue"}},
        {{"/X/I127.0.0.1/Rcut"}, {"/X/I127.0.0.1/R*"}},
        {{"-platform", "offscreen"}, {"-platform", "offscreen"}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.args.front());
        std::vector<std::vector<char>> storage;
        std::vector<char*> argv = {const_cast<char*>("nsw-module")};
        for (const std::string& a : c.args) {
            storage.emplace_back(a.begin(), a.end());
            storage.back().push_back(0);
        }
        for (auto& s : storage)
            argv.push_back(s.data());
        const QByteArray before = JoinCommandLine(int(argv.size()), argv.data());
        ResetLaunchSettings();
        ParseCommandLine(before);
        const QString community = g_strReadCommunity, password = g_strAuthPassword;

        HideCredentialArguments(int(argv.size()), argv.data());
        for (std::size_t i = 0; i < c.shown.size(); ++i) {
            EXPECT_EQ(std::string(argv[i + 1]), c.shown[i]);
            // The rest of the argument's memory is cleared, so nothing of it shows.
            for (std::size_t k = std::strlen(argv[i + 1]); k < storage[i].size(); ++k)
                EXPECT_EQ(storage[i][k], '\0');
        }
        ResetLaunchSettings();
        ParseCommandLine(before);
        EXPECT_EQ(g_strReadCommunity, community);
        EXPECT_EQ(g_strAuthPassword, password);
    }
    ResetLaunchSettings();
}
