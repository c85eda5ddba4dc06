#include "snmp/Encodings.h"

#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Flags(int portCount, std::initializer_list<int> ports) {
    std::vector<int> flags(portCount, 0);
    for (int p : ports)
        flags[p - 1] = 1;
    return flags;
}

QByteArray Bytes(std::initializer_list<int> octets) {
    QByteArray b;
    for (int o : octets)
        b.append(static_cast<char>(o));
    return b;
}

} // namespace

TEST(PortList, TenPortExampleEndToEnd) {
    std::vector<int> flags(10, 0);
    CMessageRecorder boxes;
    ASSERT_EQ(ParsePortList(QStringLiteral("1-3,5"), flags), 1);
    EXPECT_EQ(flags, Flags(10, {1, 2, 3, 5}));
    QString hex;
    PortFlagsToHex(flags, hex);
    EXPECT_EQ(hex, QStringLiteral("e80"));
    PadPortHex(hex, 10);
    EXPECT_EQ(hex, QStringLiteral("e8000000"));
    // "e80" + "00000" is E8 00 00 00: port 5 is the high bit of the second digit
    EXPECT_EQ(PortFlagsToBitmap(flags, 10), Bytes({0xE8, 0x00, 0, 0}));
    EXPECT_TRUE(boxes.Texts().isEmpty());
}

TEST(PortList, RejectsPortsOutsideTheDevice) {
    for (const char* text : {"0", "11", "1-11", "1,,2", "abc"}) {
        std::vector<int> flags(10, 0);
        CMessageRecorder boxes;
        EXPECT_EQ(ParsePortList(QString::fromLatin1(text), flags), 0) << text;
        EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Invalid Portlist")}) << text;
    }
    // flags accepted before the failure stay set, as the caller clears first
    std::vector<int> flags(10, 0);
    CMessageRecorder boxes;
    EXPECT_EQ(ParsePortList(QStringLiteral("2,99"), flags), 0);
    EXPECT_EQ(flags, Flags(10, {2}));
}

TEST(PortList, ReversedRangeAndTrailingCommaAddNothing) {
    std::vector<int> flags(10, 0);
    EXPECT_TRUE(CheckPortList(QStringLiteral("5-3"), flags).isEmpty());
    EXPECT_EQ(flags, Flags(10, {}));
    EXPECT_TRUE(CheckPortList(QStringLiteral("4,"), flags).isEmpty());
    EXPECT_EQ(flags, Flags(10, {4}));
    EXPECT_EQ(ParsePortList(QStringLiteral("1"), std::span<int>()), 0);
    // a huge number neither overflows nor loops for long
    EXPECT_FALSE(CheckPortList(QStringLiteral("1-99999999999999999999"), flags).isEmpty());
}

TEST(PortList, BitmapToListIgnoresBitsBeyondThePortCount) {
    int count = -1;
    EXPECT_EQ(PortBitmapToList(Bytes({0, 0, 0, 0}), &count, 10), QString());
    EXPECT_EQ(count, 0);
    EXPECT_EQ(PortBitmapToList(Bytes({0xE8, 0x80, 0, 0}), &count, 10), QStringLiteral("1,2,3,5,9"));
    EXPECT_EQ(count, 5);
    // all bits set on a 10-port device: ports 11 to 32 do not exist
    EXPECT_EQ(PortBitmapToList(Bytes({0xFF, 0xFF, 0xFF, 0xFF}), &count, 10),
              QStringLiteral("1,2,3,4,5,6,7,8,9,10"));
    EXPECT_EQ(count, 10);
    // a short answer is read only as far as it goes
    EXPECT_EQ(PortBitmapToList(Bytes({0x01}), &count, 52), QStringLiteral("8"));
}

TEST(PortList, PaddingAndOctetCountsByPortCount) {
    struct Row {
        int ports;
        int digits;
        int octets;
    };
    for (Row row : {Row{8, 8, 4}, Row{10, 8, 4}, Row{16, 8, 4}, Row{20, 8, 4}, Row{24, 8, 4},
                    Row{28, 8, 4}, Row{48, 16, 8}, Row{52, 16, 8}, Row{12, 3, 2}}) {
        std::vector<int> flags(row.ports, 1);
        QString hex;
        PortFlagsToHex(flags, hex);
        PadPortHex(hex, row.ports);
        EXPECT_EQ(hex.size(), row.digits) << row.ports;
        EXPECT_EQ(PortListOctetCount(row.ports), row.octets) << row.ports;
    }
    // 52 ports: ports 49 to 52 are the thirteenth digit, never bits beyond
    std::vector<int> flags = Flags(52, {1, 52});
    EXPECT_EQ(PortFlagsToBitmap(flags, 52), Bytes({0x80, 0, 0, 0, 0, 0, 0x10, 0}));
    EXPECT_EQ(PortBitmapToList(PortFlagsToBitmap(flags, 52), nullptr, 52), QStringLiteral("1,52"));
    // off the table with an odd digit count: ports stay where they are
    std::vector<int> odd = Flags(36, {1, 36});
    EXPECT_EQ(PortFlagsToBitmap(odd, 36), Bytes({0x80, 0, 0, 0, 0x10}));
}

TEST(HexText, OddLengthCapacityAndBadDigits) {
    uint8_t out[4] = {9, 9, 9, 9};
    HexTextToBytes(QStringLiteral("abc"), out, 4);
    EXPECT_EQ(out[0], 0x0A);
    EXPECT_EQ(out[1], 0xBC);
    EXPECT_EQ(out[2], 9);
    HexTextToBytes(QStringLiteral("0102030405"), out, 2);
    EXPECT_EQ(out[1], 2);
    EXPECT_EQ(out[2], 9); // capacity respected
    HexTextToBytes(QStringLiteral("1zz0"), out, 2);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[1], 0);
}

TEST(Names, ValidNameAndPortListCharacterSets) {
    EXPECT_TRUE(IsValidName(QStringLiteral("Core VLAN_1-x")));
    for (QChar c : QStringLiteral("~`!@#$%^&*{}[]|\\:;\"'<>,.?/"))
        EXPECT_FALSE(IsValidName(QStringLiteral("a") + c)) << QString(c).toStdString();
    EXPECT_TRUE(IsPortListText(QStringLiteral("1-3,5")));
    EXPECT_FALSE(IsPortListText(QStringLiteral("1-3;5")));
    EXPECT_FALSE(IsPortListText(QStringLiteral("1x")));
    EXPECT_FALSE(IsPortListText(QStringLiteral("1.5")));
}

TEST(Utf8, ToUtf8CutsAtAWholeCharacterAndAlwaysTerminates) {
    char buf[8];
    memset(buf, 'x', sizeof buf);
    ToUtf8(QStringLiteral("ab\u00e9\u20ac"), buf, sizeof buf); // a b é(2) €(3) = 7 bytes
    EXPECT_STREQ(buf, "ab\xc3\xa9\xe2\x82\xac");
    ToUtf8(QStringLiteral("ab\u00e9\u20ac"), buf, 7); // the euro no longer fits
    EXPECT_STREQ(buf, "ab\xc3\xa9");
    ToUtf8(QStringLiteral("abc"), buf, 1);
    EXPECT_STREQ(buf, "");
    // a character outside the BMP is one 4-byte sequence, not two 3-byte halves
    char wide[16];
    ToUtf8(QString::fromUtf8("\xf0\x9f\x98\x80"), wide, sizeof wide);
    EXPECT_STREQ(wide, "\xf0\x9f\x98\x80");
    // decomposed input is stored precomposed
    ToUtf8(QString::fromUtf8("e\xcc\x81"), wide, sizeof wide);
    EXPECT_STREQ(wide, "\xc3\xa9");
    // at most 256 units
    char big[1024];
    ToUtf8(QString(300, u'a'), big, sizeof big);
    EXPECT_EQ(strlen(big), 256u);
}

TEST(Utf8, FromUtf8ShowsBadBytesAsReplacementAndBoundsLength) {
    EXPECT_EQ(FromUtf8(QByteArray("Caf\xc3\xa9")), QString::fromUtf8("Caf\xc3\xa9"));
    const QString bad = FromUtf8(QByteArray("a\xff\xfe" "b"));
    EXPECT_TRUE(bad.startsWith(u'a'));
    EXPECT_TRUE(bad.endsWith(u'b'));
    EXPECT_TRUE(bad.contains(QChar(0xFFFD)));
    EXPECT_EQ(FromUtf8(QByteArray("ab\0cd", 5)), QStringLiteral("ab"));
    EXPECT_EQ(FromUtf8(QByteArray("a\tb")), QString::fromUtf8("a\xef\xbf\xbd" "b"));
    EXPECT_LE(FromUtf8(QByteArray(1000, 'z')).toUtf8().size(), 255);
    // 200 two-byte characters: cut to whole characters within 255 bytes
    QByteArray twoByte;
    for (int i = 0; i < 200; ++i)
        twoByte += "\xc3\xa9";
    const QString cut = FromUtf8(twoByte);
    EXPECT_EQ(cut.size(), 127);
    QString viaPointer;
    FromUtf8(static_cast<const char*>(nullptr), viaPointer);
    EXPECT_TRUE(viaPointer.isEmpty());
}

TEST(Mac, EveryCheckInOrder) {
    const QString format = QStringLiteral("Please enter correct MAC format(ex:00-00-00-00-00-01)");
    EXPECT_EQ(CheckMac(QStringLiteral("00-00-00-00-00-1"), false), format);       // length
    EXPECT_EQ(CheckMac(QStringLiteral("00:00:00:00:00:01"), false), format);      // separators
    EXPECT_EQ(CheckMac(QStringLiteral("00-00-00-00-00-00"), false), format);      // all zero
    EXPECT_EQ(CheckMac(QStringLiteral("00-00-00-00-00-0G"), false), format);      // digit
    EXPECT_EQ(CheckMac(QStringLiteral("00-00--0-00-00-01"), false), format);      // short
    EXPECT_EQ(CheckMac(QStringLiteral("fF-FF-ff-FF-FF-FF"), true),
              QStringLiteral("Broadcast MAC is not allowed."));
    EXPECT_EQ(CheckMac(QStringLiteral("01-00-5E-00-00-01"), false),
              QStringLiteral("Multicast MAC is not allowed."));
    EXPECT_EQ(CheckMac(QStringLiteral("01-00-5E-00-00-01"), true), QString());
    EXPECT_EQ(CheckMac(QStringLiteral("00-1a-2B-3c-4D-5e"), false), QString());
    CMessageRecorder boxes;
    EXPECT_EQ(ValidateMac(QStringLiteral("bad"), false), 0);
    EXPECT_EQ(boxes.Last(), format);
    EXPECT_EQ(ValidateMac(QStringLiteral("00-00-00-00-00-01"), false), 1);
}

TEST(Mac, DisplayForms) {
    const QByteArray mac = Bytes({0x00, 0x1a, 0x2b, 0xc3, 0xd4, 0xff});
    EXPECT_EQ(MacToDashText(mac), QStringLiteral("00-1A-2B-C3-D4-FF"));
    EXPECT_EQ(MacToColonText(mac), QStringLiteral("00:1A:2B:C3:D4:FF"));
    EXPECT_EQ(MacToDashText(Bytes({1, 2, 3})), QString());
}

TEST(RowIndex, TextIndexRoundTrip) {
    EXPECT_EQ(TextToRowIndex("ab"), QStringLiteral("2.97.98"));
    EXPECT_EQ(TextToRowIndex(""), QStringLiteral("0"));
    QByteArray text;
    ASSERT_TRUE(RowIndexToText(QStringLiteral("2.97.98"), text));
    EXPECT_EQ(text, QByteArray("ab"));
    EXPECT_FALSE(RowIndexToText(QStringLiteral("3.97.98"), text));
    EXPECT_FALSE(RowIndexToText(QStringLiteral("1.300"), text));
}
