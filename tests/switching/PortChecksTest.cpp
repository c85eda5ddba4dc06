#include "pages/switching/PortConfig.h"

#include "QtPrint.h"

#include <gtest/gtest.h>

namespace {

// Ten ports showing "Auto"; ports 3 and 4 form group 1; port 9 takes a
// 100Base-x module, port 10 a 1000Base-x module; the others are copper.
SPortTable Table() {
    SPortTable t;
    t.portCount = 10;
    t.speedCells.assign(10, "Auto");
    t.lagOfPort.assign(10, 0);
    t.lagOfPort[2] = t.lagOfPort[3] = 1;
    t.mediaOfPort = {1, 1, 1, 1, 1, 1, 1, 2, 3, 4};
    return t;
}

} // namespace

TEST(PortChecks, PortAndAggregatedSpeed) {
    SPortTable t = Table();
    EXPECT_EQ(CheckPortApply(t, "", kSpeedAuto), "Please Select one port !");
    // 2. partners all show "Auto": only "Auto" passes
    EXPECT_EQ(CheckPortApply(t, "3", kSpeedAuto), QString());
    EXPECT_EQ(CheckPortApply(t, "3", kSpeed100Full), "LA port can not support in different speed.");
    EXPECT_EQ(CheckPortApply(t, "3", kSpeedDisable), "LA port can not support in different speed.");
    t.speedCells[3] = "100MFull";
    EXPECT_EQ(CheckPortApply(t, "3", kSpeed100Full), QString());
    // a port outside the group is not held by it
    EXPECT_EQ(CheckPortApply(t, "5", kSpeed10Full), QString());
}

TEST(PortChecks, CannotDisableEveryPort) {
    SPortTable t = Table();
    t.lagOfPort.assign(10, 0);
    for (int r = 0; r < 10; ++r)
        if (r != 4)
            t.speedCells[r] = "Disable";
    EXPECT_EQ(CheckPortApply(t, "5", kSpeedDisable), "Sorry, you cannot disable all ports.");
    // a port that already shows "Disable" may be set to it again
    EXPECT_EQ(CheckPortApply(t, "6", kSpeedDisable), QString());
    EXPECT_EQ(CheckPortApply(t, "5", kSpeedAuto), QString());
}

TEST(PortChecks, MediaRules) {
    SPortTable t = Table();
    t.lagOfPort.assign(10, 0);
    EXPECT_EQ(CheckPortApply(t, "1", kSpeed1000Full), "Port 1 can not support 1000M speed.");
    t.isAllGiga = true;
    EXPECT_EQ(CheckPortApply(t, "1", kSpeed1000Full), QString());
    EXPECT_EQ(CheckPortApply(t, "8", kSpeed1000Full), QString()); // copper side of a combo port

    EXPECT_EQ(CheckPortApply(t, "9", kSpeedAuto),
              "Fiber Port 9 with 100Base-x SFP Module can not support in Auto mode.");
    EXPECT_EQ(CheckPortApply(t, "9", kSpeed1000Full),
              "Fiber Port 9 with 100Base-x SFP Module can not support this speed.");
    EXPECT_EQ(CheckPortApply(t, "9", kSpeed10Half),
              "Fiber Port 9 with 100Base-x SFP Module can not support this speed.");
    for (int s : {kSpeed100Full, kSpeed100Half, kSpeedDisable})
        EXPECT_EQ(CheckPortApply(t, "9", s), QString()) << s;

    for (int s : {kSpeed100Full, kSpeed100Half, kSpeed10Full, kSpeed10Half})
        EXPECT_EQ(CheckPortApply(t, "10", s),
                  "Fiber Port 10 with 1000Base-x SFP Module can not support this speed.")
            << s;
    for (int s : {kSpeed1000Full, kSpeedAuto, kSpeedDisable})
        EXPECT_EQ(CheckPortApply(t, "10", s), QString()) << s;
}

TEST(PortChecks, AggregatedPortsStayFullDuplex) {
    SPortTable t = Table();
    t.speedCells[2] = t.speedCells[3] = "100MHalf";
    EXPECT_EQ(CheckPortApply(t, "3", kSpeed100Half),
              "LA port 3 can not support in half-duplex mode.");
    t.speedCells[2] = t.speedCells[3] = "10MHalf";
    EXPECT_EQ(CheckPortApply(t, "4", kSpeed10Half),
              "LA port 4 can not support in half-duplex mode.");
    EXPECT_EQ(CheckPortApply(t, "5", kSpeed10Half), QString());
}

TEST(PortChecks, ComboPortForms) {
    // combo ports: copper form on media 2, fibre forms on media 3 and 4
    EXPECT_EQ(OperModeCell("3", true, 3), "100M F Full");
    EXPECT_EQ(OperModeCell("4", true, 3), "100M F Half");
    EXPECT_EQ(OperModeCell("3", true, 2), "100M C Full");
    EXPECT_EQ(OperModeCell("6", true, 2), "10M C Half");
    EXPECT_EQ(OperModeCell("9", true, 2), "1000M C Full");
    EXPECT_EQ(OperModeCell("2", true, 4), "1000M F Full");
    EXPECT_EQ(OperModeCell("2", true, 3), "1000MFull");
    EXPECT_EQ(OperModeCell("1", true, 2), "Down");
    EXPECT_EQ(OperModeCell("3", false, 3), "100MFull");
    // the speed box entry a cell selects, and back
    for (int s = kSpeed1000Full; s <= kSpeedDisable; ++s)
        EXPECT_EQ(SpeedEntryOfText(SpeedTextOfEntry(s)), s);
    EXPECT_EQ(SpeedEntryOfText("1000M-Full"), -1);
}
