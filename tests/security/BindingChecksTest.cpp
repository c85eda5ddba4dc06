// The smart binding checks and texts, without widgets.
#include "pages/security/BindingCommon.h"

#include <gtest/gtest.h>

namespace {

SSnmpRow Row(std::initializer_list<const char*> texts) {
    SSnmpRow row;
    for (const char* text : texts)
        row.cells.push_back({SnmpType::kOctetString, QByteArray(text), {}});
    return row;
}

const QString kAggregated =
    QStringLiteral("Cannot add a port-security enabled port to an aggregated link.");

} // namespace

TEST(BindingSettingsChecks, ListTextsReadOneAsTheNamedState) {
    EXPECT_EQ(BindingSettingsTexts(Row({"3", "1", "1", "1"})),
              QStringList({"3", "Enabled", "Disabled", "Enabled"}));
    EXPECT_EQ(BindingSettingsTexts(Row({"4", "2", "2", "2"})),
              QStringList({"4", "Disabled", "Enabled", "Disabled"}));
    // Any other value reads as the other state.
    EXPECT_EQ(BindingSettingsTexts(Row({"5", "0", "7", ""})),
              QStringList({"5", "Disabled", "Enabled", "Disabled"}));
}

TEST(BindingSettingsChecks, RangeOrderAggregatedLinksAndTheWholeSwitch) {
    std::vector<int> lag(10, 0);
    EXPECT_EQ(CheckBindingSettings(5, 4, false, lag, 10), kToBelowFrom);
    EXPECT_EQ(CheckBindingSettings(4, 4, true, lag, 10), "");
    // Every port enabled locks the manager out; disabling all of them is fine.
    EXPECT_EQ(CheckBindingSettings(1, 10, true, lag, 10), kWholeSwitch);
    EXPECT_EQ(CheckBindingSettings(1, 10, false, lag, 10), "");
    EXPECT_EQ(CheckBindingSettings(1, 9, true, lag, 10), "");
    EXPECT_EQ(CheckBindingSettings(2, 10, true, lag, 10), "");

    lag[2] = lag[3] = 1; // ports 3 and 4
    lag[8] = lag[9] = 2; // ports 9 and 10
    EXPECT_EQ(CheckBindingSettings(1, 3, true, lag, 10), kAggregated);
    EXPECT_EQ(CheckBindingSettings(4, 6, false, lag, 10), kAggregated);
    EXPECT_EQ(CheckBindingSettings(3, 4, true, lag, 10), "");
    EXPECT_EQ(CheckBindingSettings(1, 8, true, lag, 10), "");
    EXPECT_EQ(CheckBindingSettings(9, 9, true, lag, 10), kAggregated);
    // The link check comes before the whole-switch one.
    lag[0] = 3;
    lag[4] = 3;
    EXPECT_EQ(CheckBindingSettings(1, 10, true, lag, 10), kWholeSwitch);
    EXPECT_EQ(CheckBindingSettings(2, 10, true, lag, 10), kAggregated);
}

TEST(BindingChecks, ManualBindingAddressMacAndPort) {
    int port = 0;
    const QString mac = QStringLiteral("00-1C-7E-00-00-01");
    EXPECT_EQ(CheckManualBinding("192.168.1.5", mac, "10", 10, port), "");
    EXPECT_EQ(port, 10);
    for (const char* ip : {"", "0.0.0.0", "0.1.2.3", "127.0.0.1", "224.0.0.1", "255.255.255.255",
                           "192.168.1", "192.168.1.256"})
        EXPECT_EQ(CheckManualBinding(ip, mac, "1", 10, port), "Invalid IP Address.") << ip;
    EXPECT_EQ(CheckManualBinding("10.0.0.1", "01-00-5E-00-00-01", "1", 10, port),
              "Multicast MAC is not allowed.");
    EXPECT_EQ(CheckManualBinding("10.0.0.1", "00-1C-7E-00-00", "1", 10, port),
              "Please enter correct MAC format(ex:00-00-00-00-00-01)");
    for (const char* text : {"", "0", "11", "1-2", "1,2", "a", "-1", "0010"})
        EXPECT_EQ(CheckManualBinding("10.0.0.1", mac, text, 10, port), "Invalid port number.")
            << text;
    EXPECT_EQ(CheckManualBinding("10.0.0.1", mac, " 1 ", 10, port), "");
    EXPECT_EQ(port, 1);
}

TEST(BindingChecks, ScanRangeAndSelection) {
    EXPECT_EQ(CheckScanRange("", "10.0.0.9"), "Invalid From IP address !");
    EXPECT_EQ(CheckScanRange("10.0.0.1", "10.0.0"), "Invalid To IP address !");
    EXPECT_EQ(CheckScanRange("10.0.0.9", "10.0.0.1"), "Invalid IP Address.");
    EXPECT_EQ(CheckScanRange("10.0.0.1", "10.0.0.1"), "");
    EXPECT_EQ(CheckScanRange("10.0.0.0", "10.0.0.255"), "");
    EXPECT_EQ(CheckScanRange("10.0.0.0", "10.0.1.0"), "A scan covers at most 256 addresses.");

    EXPECT_EQ(CheckBindSelection(-1, ""), "Please select the item would be Binding!\n");
    EXPECT_EQ(CheckBindSelection(0, "Bound"), "The entry is bound.");
    EXPECT_EQ(CheckBindSelection(2, "Not Bound"), "");
}

TEST(BindingChecks, HostIndexAndBlackListSearch) {
    const QByteArray mac = MacFromText("00-1c-7E-66-00-15");
    EXPECT_EQ(mac, QByteArray::fromHex("001c7e660015"));
    EXPECT_TRUE(MacFromText("00-1C-7E-66-00").isEmpty());
    EXPECT_EQ(HostIndex("192.168.1.21", mac), "192.168.1.21.0.28.126.102.0.21");

    SSnmpRow row = Row({"1", "192.168.1.21", "", "3"});
    row.cells[2].value = mac;
    SBlackFilter filter;
    EXPECT_EQ(ParseBlackFilter("", "", "", "", 10, filter), "");
    EXPECT_TRUE(filter.IsEmpty());
    EXPECT_TRUE(BlackRowMatches(filter, row));
    EXPECT_EQ(ParseBlackFilter("1", "192.168.1.21", "00-1C-7E-66-00-15", "2-4", 10, filter), "");
    EXPECT_TRUE(BlackRowMatches(filter, row));
    EXPECT_EQ(ParseBlackFilter("2", "", "", "", 10, filter), "");
    EXPECT_FALSE(BlackRowMatches(filter, row));
    EXPECT_EQ(ParseBlackFilter("", "192.168.1.22", "", "", 10, filter), "");
    EXPECT_FALSE(BlackRowMatches(filter, row));
    EXPECT_EQ(ParseBlackFilter("", "", "00-1C-7E-66-00-16", "", 10, filter), "");
    EXPECT_FALSE(BlackRowMatches(filter, row));
    EXPECT_EQ(ParseBlackFilter("", "", "", "1,5-10", 10, filter), "");
    EXPECT_FALSE(BlackRowMatches(filter, row));

    EXPECT_EQ(ParseBlackFilter("0", "", "", "", 10, filter), "Invalid VID.");
    EXPECT_EQ(ParseBlackFilter("4095", "", "", "", 10, filter), "Invalid VID.");
    EXPECT_EQ(ParseBlackFilter("", "0.0.0.0", "", "", 10, filter), "Invalid IP Address.");
    EXPECT_EQ(ParseBlackFilter("", "", "00-1C", "", 10, filter),
              "Please enter correct MAC format(ex:00-00-00-00-00-01)");
    EXPECT_EQ(ParseBlackFilter("", "", "", "11", 10, filter), "Invalid Portlist");
    EXPECT_EQ(ParseBlackFilter("", "", "", "a", 10, filter), "Invalid Portlist");
}
