// The panel description reader: elements, attributes, codes, broken files and the shipped files.

#include "panel/PanelReader.h"
#include "device/DeviceProfile.h"
#include "device/ModelVariants.h"
#include "panel/PanelArt.h"
#include "platform/Trace.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct SParsed {
    CPanel root;
    ModuleList modules;
    bool ok = false;
};

std::unique_ptr<SParsed> Parse(const QByteArray& xml) {
    auto parsed = std::make_unique<SParsed>();
    parsed->ok = ParsePanelDescription(xml, parsed->root, parsed->modules);
    return parsed;
}

const QByteArray kEveryElement = R"(<?xml version="1.0"?>
<DEVICEMODULE WIDTH="300" HEIGHT="90">
  <!-- a comment is a node of the root too -->
  <DEVICEPANEL>
    <PANEL ID="7" LEFT="1" TOP="2" WIDTH="300" HEIGHT="90" BMP="IDB_CHASSIS" NAME="front">
      <PORT ID="0" LEFT="10" TOP="20" WIDTH="24" HEIGHT="20" BMP="IDB_JACK_ODD" STATUS="PORTLINK10"
            NAME="1" BMPLINK100="a" BMPLINK10="b" BMPDISABLE="c" BMPENABLE="d" BMPEMPTY="e">
        <LAMP ID="L1" TYPE="S100M" STATUS="LAMP1G" LEFT="11" TOP="21" WIDTH="3" HEIGHT="2"/>
      </PORT>
      <PORT ID="p2" LEFT="40" TOP="20" WIDTH="24" HEIGHT="20" STATUS="PORTEMPTY"/>
      <PORT ID="p3" LEFT="x12" TOP="" WIDTH="24abc" HEIGHT="-5" STATUS="PORTBROKEN"/>
      <LAMP ID="free" TYPE="POWER" STATUS="LAMPOFF"/>
      <LAMP ID="odd" TYPE="BLINKING" STATUS="LAMPDIM"/>
      <SLOT ID="s"/>
      <CONSOLE ID="con"><LAMP TYPE="CONSOLE"/></CONSOLE>
      <MASTER ID="m"/><RPS ID="r"/><FAN ID="f"/>
      <POWER ID="pw"/>
      <LED ID="led" BMP0="off" BMP3="three" BMP9="nine"/>
      <BUTTON ID="unknown"><PORT ID="hidden"/></BUTTON>
      <port ID="lower-case is another name"/>
    </PANEL>
  </DEVICEPANEL>
  <MODULE ID="mod" LEFT="5"><PORT ID="in-module"/></MODULE>
</DEVICEMODULE>
)";

} // namespace

TEST(PanelReader, EveryElementAttributeAndCode) {
    CTraceRecorder traces;
    auto p = Parse(kEveryElement);
    ASSERT_TRUE(p->ok);
    EXPECT_TRUE(traces.Lines().contains(QStringLiteral(" node num = %1").arg(3)));

    // Classes in document order; DEVICEPANEL groups without an object of its own.
    ASSERT_EQ(p->root.Children().size(), 1u);
    const CPanelObject& panel = *p->root.Children()[0];
    EXPECT_STREQ(panel.ClassName(), "CPanel");
    EXPECT_EQ(panel.ID(), "7");
    EXPECT_EQ(panel.Rect(), QRect(1, 2, 300, 90));
    EXPECT_EQ(panel.Bmp(), "IDB_CHASSIS");
    EXPECT_EQ(panel.Name(), "front");
    QStringList classes;
    for (const auto& child : panel.Children())
        classes << child->ClassName();
    EXPECT_EQ(classes, QStringList({"CPort", "CPort", "CPort", "CLamp", "CLamp", "CSlot", "CCom",
                                    "CCom", "CCom", "CCom", "CPower", "CLed"}));

    auto* port1 = dynamic_cast<CPort*>(p->root.Find("CPort", 0));
    ASSERT_NE(port1, nullptr);
    EXPECT_EQ(port1->ID(), "") << "an ID of 0 is not stored";
    EXPECT_EQ(port1->Status(), 1);
    EXPECT_EQ(port1->Name(), "1");
    const char* stateNames[] = {"a", "b", "c", "d", "e"};
    for (int code = 0; code < 5; ++code)
        EXPECT_EQ(port1->StateBmp(code), stateNames[code]);
    EXPECT_EQ(p->root.Find("CPort", 1)->Status(), 4);
    // Bad numbers read as the C library reads them; a bad status leaves the initial 3.
    const CPanelObject* port3 = p->root.Find("CPort", 2);
    EXPECT_EQ(port3->Rect(), QRect(0, 0, 24, -5));
    EXPECT_EQ(port3->Status(), 3);
    EXPECT_EQ(p->root.Find("CPort", 3), nullptr) << "ports inside unknown elements are skipped";

    // Lamps: codes, types and their owners.
    auto* inPort = dynamic_cast<CLamp*>(p->root.Find("CLamp", 0));
    auto* onPanel = dynamic_cast<CLamp*>(p->root.Find("CLamp", 1));
    auto* odd = dynamic_cast<CLamp*>(p->root.Find("CLamp", 2));
    auto* inConsole = dynamic_cast<CLamp*>(p->root.Find("CLamp", 3));
    ASSERT_TRUE(inPort && onPanel && odd && inConsole);
    EXPECT_EQ(inPort->Type(), 1);
    EXPECT_EQ(inPort->Status(), 1);
    EXPECT_EQ(inPort->Owner(), port1);
    EXPECT_EQ(onPanel->Type(), 2);
    EXPECT_EQ(onPanel->Status(), 2);
    EXPECT_EQ(onPanel->Owner(), nullptr) << "a lamp on the panel has no owner";
    EXPECT_EQ(odd->Type(), 0) << "unknown type and status leave the defaults";
    EXPECT_EQ(odd->Status(), 0);
    EXPECT_EQ(inConsole->Type(), 3);
    EXPECT_EQ(inConsole->Owner(), p->root.Find("CCom", 0));

    auto* led = dynamic_cast<CLed*>(p->root.Find("CLed", 0));
    ASSERT_NE(led, nullptr);
    EXPECT_EQ(led->StateBmp(0), "off");
    EXPECT_EQ(led->StateBmp(1), "");
    EXPECT_EQ(led->StateBmp(3), "three");
    EXPECT_EQ(led->StateBmp(9), "nine");

    // Modules go to their own list, with their children.
    ASSERT_EQ(p->modules.size(), 1u);
    EXPECT_STREQ(p->modules[0]->ClassName(), "CModule");
    EXPECT_EQ(p->modules[0]->Left(), 5);
    EXPECT_EQ(p->modules[0]->Children().size(), 1u);
    EXPECT_EQ(p->root.Count("CModule"), 0);
    EXPECT_EQ(PanelSize(p->root), QSize(300, 90));
}

TEST(PanelReader, ChangedFlagOnlyForANewCode) {
    CPort port;
    port.TakeChanged();
    port.SetStatus(3);
    EXPECT_FALSE(port.Changed()) << "the same code again";
    port.SetStatus(1);
    EXPECT_TRUE(port.TakeChanged());
    EXPECT_FALSE(port.Changed());
}

TEST(PanelReader, SizeFromContentWhenTheRootHasNone) {
    auto p = Parse(R"(<DEVICEMODULE><PANEL LEFT="0" TOP="0" WIDTH="120" HEIGHT="40"/>
                       <LED LEFT="100" TOP="30" WIDTH="30" HEIGHT="15"/></DEVICEMODULE>)");
    ASSERT_TRUE(p->ok);
    EXPECT_EQ(PanelSize(p->root), QSize(130, 45));
}

TEST(PanelReader, HugeGeometryIsClampedNotWrappedRound) {
    // A height that saturates at INT_MAX made the object's rectangle (top +
    // height) overflow: the panel size then came out of a wrapped number.
    auto p = Parse(R"(<DEVICEMODULE><PANEL LEFT="0" TOP="0" WIDTH="120" HEIGHT="40"/>
                       <SLOT LEFT="-99999999999" TOP="38" WIDTH="36" HEIGHT="42222222229"/></DEVICEMODULE>)");
    ASSERT_TRUE(p->ok);
    const CPanelObject* slot = p->root.Find("CSlot", 0);
    ASSERT_TRUE(slot);
    EXPECT_EQ(slot->Left(), -CPanelObject::kMaxCoordinate);
    EXPECT_EQ(slot->Height(), CPanelObject::kMaxCoordinate);
    EXPECT_EQ(slot->Rect().bottom(), 38 + CPanelObject::kMaxCoordinate - 1);
    EXPECT_EQ(PanelSize(p->root), QSize(120, CPanelObject::kMaxCoordinate));
}

TEST(PanelReader, BrokenFilesGiveAnEmptyPanel) {
    const QByteArray deep = QByteArray("<DEVICEMODULE>") + QByteArray("<PANEL>").repeated(5000) +
                            QByteArray("</PANEL>").repeated(5000) + "</DEVICEMODULE>";
    const QByteArray cases[] = {
        "",
        "not xml at all",
        "<DEVICEMODULE><PANEL></DEVICEMODULE>",
        "<DEVICEMODULE><PORT ID='1'/>",
        "<OTHERROOT><PORT ID='1'/></OTHERROOT>",
        "<DEVICEMODULE/><DEVICEMODULE/>",
        "<DEVICEMODULE><PORT ID='&undefined;'/></DEVICEMODULE>",
        deep,
    };
    for (const QByteArray& xml : cases) {
        CPanel root;
        root.AddChild(std::make_unique<CPort>()); // left over from before: must go
        ModuleList modules;
        modules.push_back(std::make_unique<CModule>());
        EXPECT_FALSE(ParsePanelDescription(xml, root, modules)) << xml.left(60).toStdString();
        EXPECT_TRUE(root.Children().empty());
        EXPECT_TRUE(modules.empty());
        EXPECT_EQ(root.Find("CPort", 0), nullptr);
    }
    CPanel root;
    ModuleList modules;
    EXPECT_FALSE(LoadPanelDescription(QStringLiteral("/nonexistent/panel.xml"), root, modules));
    EXPECT_EQ(PanelSize(root), QSize(0, 0));
}

TEST(PanelReader, MutatedFilesNeverCrash) {
    QFile file(QStringLiteral(NSW_SOURCE_DIR "/res/profiles/NSW-4410-28P B1/NSW4410_28P_B1.XML"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();
    QRandomGenerator random(4410);
    const char alphabet[] = "<>/=\"' &;!-PORTLAMPXYZ0123456789";
    for (int round = 0; round < 400; ++round) {
        QByteArray xml = original;
        const int edits = 1 + random.bounded(8);
        for (int e = 0; e < edits; ++e) {
            const int at = random.bounded(static_cast<int>(xml.size()));
            switch (random.bounded(3)) {
            case 0:
                xml[at] = alphabet[random.bounded(static_cast<int>(sizeof alphabet - 1))];
                break;
            case 1:
                xml.remove(at, random.bounded(40));
                break;
            default:
                xml.insert(at, xml.mid(random.bounded(static_cast<int>(xml.size())), 30));
            }
        }
        auto p = Parse(xml);
        if (!p->ok) {
            EXPECT_TRUE(p->root.Children().empty());
        }
    }
}

TEST(PanelReader, RelativeNameAgainstWorkingDirectoryThenProfileFolder) {
    QTemporaryDir profileDir;
    QTemporaryDir workDir;
    ASSERT_TRUE(profileDir.isValid() && workDir.isValid());
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(workDir.path()));
    QFile(profileDir.filePath("P.XML")).open(QIODevice::WriteOnly);
    EXPECT_EQ(ResolvePanelFile("P.XML", profileDir.path()), profileDir.filePath("P.XML"));
    QFile(workDir.filePath("P.XML")).open(QIODevice::WriteOnly);
    EXPECT_EQ(ResolvePanelFile("P.XML", profileDir.path()), "P.XML")
        << "the working directory wins";
    EXPECT_EQ(ResolvePanelFile("/abs/P.XML", profileDir.path()), "/abs/P.XML");
    EXPECT_EQ(ResolvePanelFile("missing.xml", profileDir.path()), "missing.xml");
    QDir::setCurrent(previous);
}

// Every shipped panel: its ports in the order the window counts them, and
// only pictures the program has.
TEST(ShippedPanels, MatchTheirProfiles) {
    for (const QString& model : KnownModels()) {
        SCOPED_TRACE(model.toStdString());
        const QString folder = QStringLiteral(NSW_SOURCE_DIR "/res/profiles/") + model;
        SDeviceProfile profile;
        ASSERT_TRUE(ReadDeviceProfile(folder + "/User.ini", profile).isEmpty());
        CPanel root;
        ModuleList modules;
        ASSERT_TRUE(LoadPanelDescription(folder + "/" + profile.strXmlName, root, modules));
        EXPECT_EQ(root.Find("CPanel", 0)->Name(), model);
        EXPECT_GT(PanelSize(root).width(), 300);
        ASSERT_EQ(root.Count("CPort"), profile.nPortNum + profile.nComboPortNum);
        for (int i = 0; i < profile.nPortNum; ++i)
            EXPECT_EQ(root.Find("CPort", i)->Name(), QString::number(i + 1));
        for (int i = 0; i < profile.nComboPortNum; ++i) {
            const CPanelObject* fibre = root.Find("CPort", profile.nPortNum + i);
            EXPECT_EQ(fibre->Name(), QString::number(profile.nComboPortIndex + i) + "F");
            EXPECT_EQ(fibre->Bmp(), "IDB_SFP");
        }
        // Odd ports above even ones, as the glyphs are drawn.
        for (int i = 0; i + 1 < profile.nPortNum; i += 2)
            EXPECT_LT(root.Find("CPort", i)->Top(), root.Find("CPort", i + 1)->Top());
        for (const CPanelObject* object : root.Descendants()) {
            if (!object->Bmp().isEmpty()) {
                EXPECT_NE(ArtIdByName(object->Bmp()), 0) << object->Bmp().toStdString();
            }
            if (const auto* port = dynamic_cast<const CPort*>(object)) {
                for (int code = 0; code < CPort::kStates; ++code) {
                    if (!port->StateBmp(code).isEmpty()) {
                        EXPECT_NE(ArtIdByName(port->StateBmp(code)), 0);
                    }
                }
                // No two ports overlap.
                for (const CPanelObject* other : root.Descendants()) {
                    if (other != object && other->IsA("CPort")) {
                        EXPECT_FALSE(other->Rect().intersects(object->Rect()));
                    }
                }
            }
            EXPECT_TRUE(QRect(QPoint(0, 0), PanelSize(root)).contains(object->Rect()))
                << object->Name().toStdString();
        }
    }
}

TEST(PanelReader, AttachedLampsFollowTheirPortOrConsole) {
    auto p = Parse(kEveryElement);
    ASSERT_TRUE(p->ok);
    CPanelObject* port = p->root.Find("CPort", 0);
    CPanelObject* console = p->root.Find("CCom", 0);
    auto* speed = dynamic_cast<CLamp*>(p->root.Find("CLamp", 0));
    auto* free = dynamic_cast<CLamp*>(p->root.Find("CLamp", 1));
    auto* consoleLamp = dynamic_cast<CLamp*>(p->root.Find("CLamp", 3));
    ASSERT_TRUE(port && console && speed && free && consoleLamp);
    port->SetStatus(PortCode::kLinkLow);
    EXPECT_EQ(speed->Status(), LampCode::kOn);
    port->SetStatus(PortCode::kLinkFull);
    EXPECT_EQ(speed->Status(), LampCode::k1G);
    port->SetStatus(PortCode::kDisabled);
    EXPECT_EQ(speed->Status(), LampCode::kOff);
    EXPECT_TRUE(speed->TakeChanged());
    console->SetStatus(PortCode::kEmpty);
    EXPECT_EQ(consoleLamp->Status(), LampCode::kOff);
    console->SetStatus(PortCode::kEnabled);
    EXPECT_EQ(consoleLamp->Status(), LampCode::kOn);
    EXPECT_EQ(free->Status(), LampCode::kOff) << "a lamp on the panel follows nobody";
    EXPECT_EQ(LampCodeFor(LampType::kLink, PortCode::kLinkFull), LampCode::kOn);
    EXPECT_EQ(LampCodeFor(LampType::kLink, PortCode::kEnabled), LampCode::kOff);
}
