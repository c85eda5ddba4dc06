// Status computation of the polling, the panel reset, PoE codes, frame lamps and tool tips.

#include "panel/PanelStatus.h"
#include "panel/PanelArt.h"
#include "panel/PanelPainter.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

SPortRow Row(int port, const char* admin, const char* oper, const char* speed,
             const char* media = "1") {
    return {port, media, speed, admin, oper};
}

// A 28-port panel: copper 1 to 28, fibre objects of combo ports 25 to 28.
struct SPanel {
    explicit SPanel(int portNum = 28, int combos = 4, int first = 25, int poe = 0,
                    bool allGiga = false) {
        std::vector<CPanelObject*> ports;
        for (int i = 0; i < portNum + combos; ++i) {
            auto* port = root.AddChild(std::make_unique<CPort>());
            if (i >= portNum)
                port->SetInitialStatus(PortCode::kEmpty); // SFP cages start empty
            ports.push_back(port);
        }
        state.Attach({portNum, combos, first, poe, allGiga}, ports);
    }
    int Object(int index) const { return root.Children()[index]->Status(); }
    CPanel root;
    CPanelState state;
};

} // namespace

TEST(LinkStatus, CodesOfEveryRule) {
    // Disabled wins over everything, no link is 3.
    EXPECT_EQ(LinkStatusCode(Row(1, "2", "1", "1000000000"), true, 25), 2);
    EXPECT_EQ(LinkStatusCode(Row(1, "", "1", "1000000000"), true, 25), 2);
    EXPECT_EQ(LinkStatusCode(Row(1, "1", "2", "1000000000"), true, 25), 3);
    EXPECT_EQ(LinkStatusCode(Row(1, "1", "7", "0"), false, 25), 3);
    // All-gigabit models: full speed is a gigabit.
    EXPECT_EQ(LinkStatusCode(Row(3, "1", "1", "1000000000"), true, 25), 1);
    EXPECT_EQ(LinkStatusCode(Row(3, "1", "1", "100000000"), true, 25), 0);
    // Fast-ethernet ports below the combo ports: 100 Mb/s is full speed.
    EXPECT_EQ(LinkStatusCode(Row(3, "1", "1", "10000000"), false, 25), 0);
    EXPECT_EQ(LinkStatusCode(Row(3, "1", "1", "100000000"), false, 25), 1);
    EXPECT_EQ(LinkStatusCode(Row(24, "1", "1", "100000000"), false, 25), 1);
    // Combo ports are gigabit ports.
    EXPECT_EQ(LinkStatusCode(Row(25, "1", "1", "100000000"), false, 25), 0);
    EXPECT_EQ(LinkStatusCode(Row(25, "1", "1", "1000000000"), false, 25), 1);
    EXPECT_EQ(LinkStatusCode(Row(25, "1", "1", "garbage"), false, 25), 0);
}

TEST(LinkStatus, RefreshAppliesRowsToCopperAndFibreObjects) {
    SPanel panel(28, 4, 25, 0, true);
    panel.state.ApplyLinkRows({
        Row(1, "1", "1", "1000000000"),
        Row(2, "2", "1", "1000000000"),
        Row(25, "1", "1", "1000000000", "3"), // fibre side of a combo port
        Row(26, "1", "1", "100000000", "1"),  // copper side
        Row(27, "1", "2", "0", "4"),          // fibre, no link
        Row(29, "1", "1", "1000000000"),      // beyond the port count
        Row(0, "1", "1", "1000000000"),
    });
    EXPECT_EQ(panel.state.LampCode(1), 1);
    EXPECT_EQ(panel.state.LampCode(2), 2);
    EXPECT_EQ(panel.state.LampCode(3), 3) << "ports not in the list stay at 3";
    EXPECT_EQ(panel.Object(0), 1);
    EXPECT_EQ(panel.Object(1), 2);
    EXPECT_EQ(panel.Object(2), 3);
    // Port 25 lights its fibre object (index 28) and shows its copper object as 3.
    EXPECT_EQ(panel.state.LampCode(25), 1);
    EXPECT_EQ(panel.Object(24), 3);
    EXPECT_EQ(panel.Object(28), 1);
    EXPECT_EQ(panel.state.MediaCode(25), 3);
    // Port 26 on copper: the copper object, the fibre object keeps its initial state.
    EXPECT_EQ(panel.Object(25), 0);
    EXPECT_EQ(panel.Object(29), PortCode::kEmpty);
    EXPECT_EQ(panel.Object(30), 3);
    EXPECT_EQ(panel.Object(31), PortCode::kEmpty);
    EXPECT_EQ(panel.state.LampCode(29), 3);
    EXPECT_EQ(panel.state.SpeedBits(1), 1000000000);
    EXPECT_TRUE(panel.state.Polled());

    // The next refresh starts from scratch: port 25 back on copper frees its fibre object.
    panel.state.ApplyLinkRows({Row(25, "1", "1", "1000000000", "1")});
    EXPECT_EQ(panel.Object(24), 1);
    EXPECT_EQ(panel.Object(28), PortCode::kEmpty);
    EXPECT_EQ(panel.Object(0), 3);
}

TEST(LinkStatus, FibreMediaOnANonComboPortStaysOnItsCopperObject) {
    SPanel panel(28, 4, 25, 0, true);
    panel.state.ApplyLinkRows({Row(5, "1", "1", "1000000000", "3")});
    EXPECT_EQ(panel.Object(4), 1);
    for (int i = 28; i < 32; ++i)
        EXPECT_EQ(panel.Object(i), PortCode::kEmpty);
}

TEST(LinkStatus, PanelWithFewerObjectsThanPorts) {
    SPanel panel(28, 4, 25);
    CPanel small;
    std::vector<CPanelObject*> ports = {small.AddChild(std::make_unique<CPort>())};
    panel.state.Attach({28, 4, 25, 0, true}, ports);
    panel.state.ApplyLinkRows(
        {Row(1, "1", "1", "1000000000"), Row(25, "1", "1", "1000000000", "3")});
    EXPECT_EQ(ports[0]->Status(), 1);
    EXPECT_EQ(panel.state.LampCode(25), 1);
}

TEST(LinkStatus, NoAnswerResetsEveryPortObjectCopperAndFibre) {
    SPanel panel;
    std::vector<SPortRow> rows;
    for (int port = 1; port <= 28; ++port)
        rows.push_back(Row(port, "1", "1", "1000000000", port >= 25 ? "3" : "1"));
    panel.state.ApplyLinkRows(rows);
    panel.state.SetReachable(true);
    ASSERT_EQ(panel.Object(31), 1) << "the last fibre object is lit";
    panel.state.ResetPanel();
    for (int i = 0; i < 28; ++i)
        EXPECT_EQ(panel.Object(i), 3) << i;
    for (int i = 28; i < 32; ++i)
        EXPECT_EQ(panel.Object(i), PortCode::kEmpty)
            << "fibre object " << i << " back to its start";
    for (int port = 1; port <= CPanelState::kLamps; ++port)
        EXPECT_EQ(panel.state.LampCode(port), 3);
    EXPECT_FALSE(panel.state.Polled());
}

TEST(PoeStatus, CodesAndPortRange) {
    EXPECT_EQ(PoeStatusCode("POWER ON"), 1);
    EXPECT_EQ(PoeStatusCode("POWER OFF"), 2);
    EXPECT_EQ(PoeStatusCode("Time-based OFF"), 2);
    EXPECT_EQ(PoeStatusCode("Searching"), 0);
    EXPECT_EQ(PoeStatusCode("power on"), 0);
    EXPECT_EQ(PoeStatusCode(""), 0);

    SPanel panel(28, 4, 25, 24);
    panel.state.ApplyPoeRows(
        {{1, "POWER ON"}, {2, "Time-based OFF"}, {3, "Fault"}, {25, "POWER ON"}});
    EXPECT_EQ(panel.state.PoeCodeOf(1), PoeCode::kOn);
    EXPECT_EQ(panel.state.PoeCodeOf(2), PoeCode::kOff);
    EXPECT_EQ(panel.state.PoeCodeOf(3), PoeCode::kOther);
    EXPECT_EQ(panel.state.PoeCodeOf(4), PoeCode::kOff) << "a PoE port not listed is off";
    EXPECT_EQ(panel.state.PoeCodeOf(25), PoeCode::kNone) << "port 25 has no PoE";
    EXPECT_TRUE(panel.state.AnyPoePowered());
    // PoE never overwrites the link state of a port.
    EXPECT_EQ(panel.state.LampCode(1), 3);
    EXPECT_EQ(panel.Object(0), 3);
    panel.state.ResetPanel();
    EXPECT_FALSE(panel.state.AnyPoePowered());
    EXPECT_EQ(panel.state.PoeCodeOf(25), PoeCode::kNone);
}

TEST(FrameLamps, ByModelPortCountAndState) {
    SFrameState frame;
    frame.model = "NSW-4410-28 B1";
    frame.nPortNum = 28;
    frame.nComboPortNum = 4;
    EXPECT_EQ(FrameLamps(frame), (std::vector<SLampDraw>{{158, 15, 34}, {158, 24, 25}}));
    frame.model = "NGX-4600-20";
    frame.nPortNum = 20;
    EXPECT_EQ(FrameLamps(frame), (std::vector<SLampDraw>{{158, 15, 34}, {158, 25, 26}}));

    frame.model = "NSW-4410-52 B1";
    frame.nPortNum = 52;
    frame.bReachable = true;
    EXPECT_EQ(FrameLamps(frame),
              (std::vector<SLampDraw>{{158, 15, 34}, {158, 21, 27}, {190, 55, 33}}));
    frame.fanText = "2";
    EXPECT_EQ(FrameLamps(frame).size(), 2u) << "no fan lamp for a stopped fan";

    frame.model = "NGX-4410-10P";
    frame.nPortNum = 10;
    frame.nComboPortNum = 2;
    frame.bReachable = false;
    EXPECT_EQ(FrameLamps(frame),
              (std::vector<SLampDraw>{{158, 15, 34}, {192, 89, 63}, {192, 89, 78}, {192, 55, 63}}));
    frame.bReachable = true;
    frame.bPowMax = true;
    EXPECT_EQ(FrameLamps(frame),
              (std::vector<SLampDraw>{{158, 15, 34}, {192, 89, 63}, {191, 89, 78}, {190, 55, 63}}));

    frame.model = "NSW-4410-28P B1";
    frame.nPortNum = 28;
    frame.nComboPortNum = 4;
    frame.fanText = "1";
    frame.bReachable = false;
    EXPECT_EQ(FrameLamps(frame),
              (std::vector<SLampDraw>{{158, 15, 34}, {203, 37, 50}, {158, 15, 33}}));
    frame.bReachable = true;
    frame.bPoePowered = true;
    frame.bPowMax = false;
    EXPECT_EQ(FrameLamps(frame), (std::vector<SLampDraw>{{158, 15, 34},
                                                         {203, 37, 50},
                                                         {158, 15, 33},
                                                         {202, 68, 48},
                                                         {203, 68, 60},
                                                         {204, 37, 50},
                                                         {201, 37, 34}}));
    frame.model = "NSW-4410-28P";
    EXPECT_EQ(FrameLamps(frame).size(), 7u);
}

TEST(PortPictures, StateBitmapsByCodeBlinkAndFile) {
    CPort plain;
    EXPECT_EQ(PortStateBitmap(plain, 1, false, false), Bmp::kLinkFull);
    EXPECT_EQ(PortStateBitmap(plain, 0, false, false), Bmp::kLinkLow);
    EXPECT_EQ(PortStateBitmap(plain, 2, false, false), Bmp::kDisabled);
    EXPECT_EQ(PortStateBitmap(plain, 3, false, false), 0);
    EXPECT_EQ(PortStateBitmap(plain, 4, true, false), Bmp::kSfpEmpty);
    EXPECT_EQ(PortStateBitmap(plain, 1, false, true), Bmp::kLinkBlink);
    EXPECT_EQ(PortStateBitmap(plain, 0, true, true), Bmp::kSfpBlink);
    EXPECT_EQ(PortStateBitmap(plain, 2, false, true), Bmp::kDisabled) << "only links blink";
    EXPECT_EQ(PortStateBitmap(plain, 9, false, false), 0);
    CPort described;
    described.SetStateBmp(1, "IDB_LED_LINKLOW");
    EXPECT_EQ(PortStateBitmap(described, 1, false, false), Bmp::kLinkLow) << "the file's name wins";
}

TEST(PortPictures, EveryLoadedIdRendersAtItsPixelRatio) {
    CBitmapCache cache;
    cache.SetDevicePixelRatio(2.0);
    for (int id : PanelBitmapIds()) {
        ASSERT_TRUE(cache.Load(id)) << id;
        EXPECT_EQ(cache.Size(id), ArtSize(id));
    }
    EXPECT_FALSE(cache.Load(12345));
    // The jack is not a blank square: dark opening, lighter body.
    QImage image(48, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    cache.Blit(painter, Bmp::kJackOdd, 0, 0);
    painter.end();
    EXPECT_NE(image.pixel(12, 14), image.pixel(2, 10));
    EXPECT_GT(qAlpha(image.pixel(12, 14)), 0);
}

TEST(PortToolTips, NumberLinkSpeedMediaAndPoe) {
    SPanel panel(28, 4, 25, 24, true);
    EXPECT_EQ(PortToolTip(panel.state, 3),
              "Port 3\nLink: not read yet\nMedia: copper\nPoE: unknown");
    panel.state.ApplyLinkRows({Row(3, "1", "1", "1000000000"), Row(4, "1", "1", "100000000"),
                               Row(5, "2", "1", "0"), Row(26, "1", "1", "1000000000", "4")});
    panel.state.ApplyPoeRows({{3, "POWER ON"}});
    EXPECT_EQ(PortToolTip(panel.state, 3),
              "Port 3\nLink: up, 1 Gb/s\nMedia: copper\nPoE: delivering power");
    EXPECT_EQ(PortToolTip(panel.state, 4),
              "Port 4\nLink: up, 100 Mb/s (below full speed)\nMedia: copper\nPoE: off");
    EXPECT_EQ(PortToolTip(panel.state, 5), "Port 5\nLink: disabled\nMedia: copper\nPoE: off");
    EXPECT_EQ(PortToolTip(panel.state, 26), "Port 26\nLink: up, 1 Gb/s\nMedia: fibre (combo port)");
    EXPECT_EQ(PortToolTip(panel.state, 7), "Port 7\nLink: down\nMedia: copper\nPoE: off");
    EXPECT_EQ(PortNumberOf(panel.state, panel.root.Children()[29].get()), 26);
    EXPECT_EQ(PortNumberOf(panel.state, panel.root.Children()[0].get()), 1);
    EXPECT_EQ(PortNumberOf(panel.state, &panel.root), 0);
}
