// The system pages' checks and the device configuration reader, without
// widgets or a switch.
#include "pages/system/DeviceConfigReader.h"
#include "pages/system/ManagementVlan.h"
#include "pages/system/PowerSaving.h"
#include "pages/system/Surveillance.h"
#include "pages/system/TimeProfile.h"

#include "QtPrint.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray Item(const QString& index, const QString& type, const QString& value = {},
                const QString& extra = {}) {
    return QStringLiteral("<ITEM><INDEX>%1</INDEX><NAME>1.3.6.1.4.1.32473.10.75.7.41.2</NAME>"
                          "<TYPE>%2</TYPE><DESC>Field</DESC><ACCESS>RW</ACCESS>"
                          "<VALUE>%3</VALUE>%4</ITEM>")
        .arg(index, type, value, extra)
        .toUtf8();
}
QByteArray Doc(const QByteArray& items) {
    return "<DEVICECONFIG>" + items + "</DEVICECONFIG>";
}
QString Parse(const QByteArray& xml) {
    std::vector<SDevConfigItem> items;
    const QString error = ParseDeviceConfig(xml, items);
    EXPECT_EQ(items.empty(), !error.isEmpty());
    return error;
}

} // namespace

TEST(SystemChecks, ManagementAndSurveillanceVlan) {
    const std::vector<int> vlans{1, 30};
    EXPECT_EQ(CheckManagementVlan(true, "30", vlans, false), "");
    EXPECT_EQ(CheckManagementVlan(true, "0", vlans, false),
              "Invalid VLAN ID, VLAN ID should be (1-4094) !");
    EXPECT_EQ(CheckManagementVlan(false, "4095", vlans, false),
              "Invalid VLAN ID, VLAN ID should be (1-4094) !");
    EXPECT_EQ(CheckManagementVlan(false, "31", vlans, false),
              "The VLAN 31 does not exist, please create it first !");
    EXPECT_EQ(CheckManagementVlan(true, "30", vlans, true),
              "The Management VLAN needs the symmetric VLAN mode !");
    EXPECT_EQ(CheckManagementVlan(false, "30", vlans, true), "");

    EXPECT_EQ(CheckSurveillance(true, "30", "720", vlans, false), "");
    EXPECT_EQ(CheckSurveillance(true, "30", "0", vlans, false),
              "Invalid Aging Time, the valid range is (1-65535) minutes !");
    EXPECT_EQ(CheckSurveillance(true, "30", "65536", vlans, false),
              "Invalid Aging Time, the valid range is (1-65535) minutes !");
    // Disabled, the VID need not exist yet; enabled it must.
    EXPECT_EQ(CheckSurveillance(false, "99", "1", vlans, false), "");
    EXPECT_EQ(CheckSurveillance(true, "99", "1", vlans, false),
              "The VLAN 99 does not exist, please create it first !");
    EXPECT_EQ(CheckSurveillance(true, "1", "1", vlans, true),
              "Auto Surveillance VLAN needs the symmetric VLAN mode !");
}

TEST(SystemChecks, OuiEntries) {
    QByteArray octets;
    EXPECT_TRUE(ParseOui("00-40-8c", octets));
    EXPECT_EQ(octets.toHex(), "00408c");
    EXPECT_TRUE(ParseOui(" 00:40:8C ", octets));
    EXPECT_FALSE(ParseOui("00-40-8G", octets));
    EXPECT_FALSE(ParseOui("00408C", octets));
    EXPECT_FALSE(ParseOui("00-40-8C-01", octets));

    const std::vector<QByteArray> existing{QByteArray::fromHex("00408c")};
    EXPECT_EQ(CheckOui("00-11-22", "cam", existing), "");
    EXPECT_EQ(CheckOui("00-11-22", "", existing), "");
    EXPECT_EQ(CheckOui("00-40-8C", "cam", existing), "The OUI has been used, please input again !");
    EXPECT_EQ(CheckOui("01-11-22", "cam", existing), "Multicast OUI is not allowed.");
    EXPECT_EQ(CheckOui("00-00-00", "cam", existing),
              "Please enter correct OUI format(ex:00-40-8C)");
    EXPECT_EQ(CheckOui("0-11-22", "cam", existing), "Please enter correct OUI format(ex:00-40-8C)");
    EXPECT_EQ(CheckOui("00-11-22", "cam;era", existing), "Invalid Description.");
    EXPECT_EQ(CheckOui("00-11-22", QString(33, u'a'), existing), "Invalid Description.");
    const std::vector<QByteArray> full(16, QByteArray::fromHex("001122"));
    EXPECT_EQ(CheckOui("00-33-44", "", full), "The max number of OUI entries is 16");
}

TEST(SystemChecks, TimeProfilesAndPortShutOff) {
    STimeProfile p;
    p.name = QStringLiteral("office");
    p.days[0] = true;
    p.startHour = 8;
    p.endHour = 18;
    p.endMinute = 0;
    EXPECT_EQ(CheckTimeProfile(p, {"night"}), "");
    EXPECT_EQ(CheckTimeProfile(p, {"office"}),
              "The TimeRange name has been used, please input again !");
    STimeProfile q = p;
    q.name.clear();
    EXPECT_EQ(CheckTimeProfile(q, {}), "The TimeRange name can not be empty,please input it.");
    q.name = QStringLiteral("a/b");
    EXPECT_EQ(CheckTimeProfile(q, {}), "Invalid TimeRange Name.");
    q = p;
    q.days[0] = false;
    EXPECT_EQ(CheckTimeProfile(q, {}), "Please choose at least one day.");
    q = p;
    q.startHour = 18;
    q.startMinute = 1; // one minute past the end
    EXPECT_EQ(CheckTimeProfile(q, {}), "'Start Time' can't be grater than 'End Time'");
    q.startMinute = 0; // a single minute is a range
    EXPECT_EQ(CheckTimeProfile(q, {}), "");

    std::array<bool, 7> days{};
    days[0] = days[2] = days[6] = true;
    EXPECT_EQ(WeekdaysText(days), "Mon,Wed,Sun,");
    EXPECT_EQ(FreeTimeProfileIndex({1, 2, 4}), 3);
    EXPECT_EQ(FreeTimeProfileIndex({1, 2, 3, 4, 5, 6, 7, 8}), 0);

    EXPECT_EQ(CheckPortShutOff(2, 5, true, 3), "");
    EXPECT_EQ(CheckPortShutOff(5, 2, true, 3), "'To Port' can not be smaller than 'From Port'");
    EXPECT_EQ(CheckPortShutOff(2, 5, true, 0),
              "Please choose the Time Range of the Port Shut Off.");
    EXPECT_EQ(CheckPortShutOff(2, 5, false, 0), "");
}

TEST(DeviceConfigReader, ReadsTheShippedDescriptions) {
    for (const char* name : {"NGX5048_CFG.XML", "NSW4410_CFG.XML"}) {
        QFile file(QStringLiteral(NSW_SOURCE_DIR "/res/devconfig/") + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        std::vector<SDevConfigItem> items;
        EXPECT_EQ(ParseDeviceConfig(file.readAll(), items), "") << name;
        ASSERT_GE(items.size(), 10u);
        for (size_t i = 1; i < items.size(); ++i)
            EXPECT_LT(items[i - 1].index, items[i].index);
    }
    EXPECT_EQ(DeviceConfigFileName("NSW-4410-52 B1"), "NGX5048_CFG.XML");
    EXPECT_EQ(DeviceConfigFileName("NGX-4600-20"), "NSW4410_CFG.XML");

    std::vector<SDevConfigItem> items;
    ASSERT_EQ(ParseDeviceConfig(
                  Doc(Item("2", "NUMBER", "1-4094", "<WRITE>10</WRITE>") +
                      Item("1", "choice", "On, Off", "<RETVALUE>1,2</RETVALUE><WRITE>1</WRITE>")),
                  items),
              "");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].kind, SDevConfigItem::kChoice); // INDEX order
    EXPECT_EQ(items[0].choices, QStringList({"On", "Off"}));
    EXPECT_EQ(items[1].Instance(), "1.3.6.1.4.1.32473.10.75.7.41.2.0");
    EXPECT_EQ(items[1].writeType, 10);
}

TEST(DeviceConfigReader, RefusesMalformedAndHostileFiles) {
    EXPECT_TRUE(Parse("").startsWith("the XML is not well-formed"));
    EXPECT_TRUE(Parse("<DEVICECONFIG><ITEM>").startsWith("the XML is not well-formed"));
    EXPECT_TRUE(Parse("<DEVICECONFIG></ITEM>").startsWith("the XML is not well-formed"));
    EXPECT_EQ(Parse("<CONFIG/>"), "the root element is not DEVICECONFIG");
    EXPECT_EQ(Parse("<DEVICECONFIG/>"), "the file describes no items");
    EXPECT_EQ(Parse(Doc("<OTHER/>")), "DEVICECONFIG holds something else than ITEM");
    EXPECT_EQ(Parse(Doc("text")), "text stands outside the item fields");
    // Entity expansion ("billion laughs") never starts.
    EXPECT_EQ(Parse("<!DOCTYPE D [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
                    "<DEVICECONFIG>&b;</DEVICECONFIG>"),
              "the file declares a DTD or entities");
    EXPECT_EQ(Parse(Doc(Item("1", "COLOUR"))),
              "TYPE \"COLOUR\" of 1.3.6.1.4.1.32473.10.75.7.41.2 is unknown");
    EXPECT_EQ(Parse(Doc(Item("0", "TEXT", "0-8", "<WRITE>2</WRITE>"))),
              "INDEX of 1.3.6.1.4.1.32473.10.75.7.41.2 is not 1 to 128");
    EXPECT_EQ(Parse(Doc(Item("1", "TEXT", "0-8", "<WRITE>2</WRITE>") +
                        Item("1", "TEXT", "0-8", "<WRITE>2</WRITE>"))),
              "INDEX 1 is given twice");
    EXPECT_EQ(Parse(Doc(Item("1", "TEXT", "0-300", "<WRITE>2</WRITE>"))),
              "VALUE of the text 1.3.6.1.4.1.32473.10.75.7.41.2 is no length range 0-255");
    EXPECT_EQ(Parse(Doc(Item("1", "NUMBER", "9-1", "<WRITE>1</WRITE>"))),
              "VALUE of the number 1.3.6.1.4.1.32473.10.75.7.41.2 is no range lo-hi");
    EXPECT_EQ(Parse(Doc(Item("1", "NUMBER", "-5-5", "<WRITE>10</WRITE>"))),
              "WRITE of 1.3.6.1.4.1.32473.10.75.7.41.2 does not suit its TYPE");
    EXPECT_EQ(Parse(Doc(Item("1", "CHOICE", "a,b", "<RETVALUE>1</RETVALUE><WRITE>1</WRITE>"))),
              "VALUE and RETVALUE of 1.3.6.1.4.1.32473.10.75.7.41.2 do not pair up");
    EXPECT_EQ(Parse(Doc(Item("1", "IPADDRESS", "", "<WRITE>2</WRITE>"))),
              "WRITE of 1.3.6.1.4.1.32473.10.75.7.41.2 does not suit its TYPE");
    EXPECT_EQ(Parse(Doc(Item("1", "TEXT", "0-8", "<WRITE>2</WRITE><EXTRA/>"))),
              "ITEM holds an unknown element EXTRA");
    EXPECT_EQ(Parse(Doc(Item("1", "TEXT", QString(300, u'1')))),
              "the VALUE of an item is longer than 256 characters");
    EXPECT_EQ(Parse(Doc("<ITEM><INDEX>1</INDEX><NAME>1.3.x</NAME><TYPE>TEXT</TYPE>"
                        "<DESC>d</DESC><ACCESS>RO</ACCESS><VALUE>0-8</VALUE></ITEM>")),
              "NAME \"1.3.x\" is no object identifier");
    QByteArray many;
    for (int i = 1; i <= 129; ++i)
        many += Item(QString::number(i), "TEXT", "0-8", "<WRITE>2</WRITE>");
    EXPECT_EQ(Parse(Doc(many)), "the file describes more than 128 items");
    EXPECT_EQ(Parse(QByteArray(kMaxDevConfigBytes + 1, ' ')), "the file is larger than 1 MB");
}

TEST(DeviceConfigReader, ChecksValuesByType) {
    std::vector<SDevConfigItem> items;
    ASSERT_EQ(ParseDeviceConfig(Doc(Item("1", "NUMBER", "1-4094", "<WRITE>1</WRITE>") +
                                    Item("2", "TEXT", "1-4", "<WRITE>2</WRITE>") +
                                    Item("3", "CHOICE", "Enabled,Disabled",
                                         "<RETVALUE>1,2</RETVALUE><WRITE>1</WRITE>") +
                                    Item("4", "IPADDRESS", "", "<WRITE>8</WRITE>")),
                                items),
              "");
    QByteArray v;
    EXPECT_EQ(CheckDevConfigValue(items[0], " 4094", v), "");
    EXPECT_EQ(v, "4094");
    EXPECT_EQ(CheckDevConfigValue(items[0], "4095", v),
              "Invalid Field, the valid range is (1-4094) !");
    EXPECT_EQ(CheckDevConfigValue(items[0], "1e3", v),
              "Invalid Field, the valid range is (1-4094) !");
    EXPECT_EQ(CheckDevConfigValue(items[1], "abcd", v), "");
    EXPECT_EQ(CheckDevConfigValue(items[1], "", v), "Invalid Field, its length should be (1-4) !");
    EXPECT_EQ(CheckDevConfigValue(items[1], QString::fromUtf8("äbcd"), v),
              "Invalid Field, its length should be (1-4) !"); // five octets of UTF-8
    EXPECT_EQ(CheckDevConfigValue(items[2], "Disabled", v), "");
    EXPECT_EQ(v, "2");
    EXPECT_EQ(CheckDevConfigValue(items[2], "", v), "Please choose the Field !");
    EXPECT_EQ(CheckDevConfigValue(items[3], "10.0.0.254", v), "");
    EXPECT_EQ(CheckDevConfigValue(items[3], "10.0.0.256", v),
              "Invalid Field, please enter an IP address (ex:192.168.1.1) !");
    EXPECT_EQ(DevConfigShownText(items[2], "1"), "Enabled");
    EXPECT_EQ(DevConfigShownText(items[2], "7"), "");
    EXPECT_EQ(DevConfigShownText(items[0], "7"), "7");
}
