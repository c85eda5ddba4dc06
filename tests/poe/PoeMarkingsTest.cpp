// One truth per model about PoE: the ports the switch powers (its PoE pages and
// nsw-sim), the ports the panel polls (the model table), and what the panel
// file draws (the "PoE+ a-b" block names and the PoE/MAX frame lamps).

#include "common/SimProcess.h"
#include "device/DeviceProfile.h"
#include "device/ModelVariants.h"
#include "pages/poe/PoeCommon.h"
#include "panel/PanelReader.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct SMarkings {
    int lastPoePort = 0;   // highest port named by a "PoE+ a-b" block
    bool poeLamp = false;  // a frame lamp named "PoE"
    bool maxLamp = false;  // a frame lamp named "MAX"
};

SMarkings ReadMarkings(const QString& model) {
    const QString folder = QStringLiteral(NSW_SOURCE_DIR "/res/profiles/") + model;
    SDeviceProfile profile;
    EXPECT_TRUE(ReadDeviceProfile(folder + "/User.ini", profile).isEmpty());
    CPanel root;
    ModuleList modules;
    EXPECT_TRUE(LoadPanelDescription(folder + "/" + profile.strXmlName, root, modules));
    SMarkings m;
    static const QRegularExpression block(QStringLiteral("^PoE\\+ (\\d+)-(\\d+)$"));
    for (const CPanelObject* object : root.Descendants()) {
        if (const auto match = block.match(object->Name()); match.hasMatch())
            m.lastPoePort = std::max(m.lastPoePort, match.captured(2).toInt());
        m.poeLamp |= object->Name() == QLatin1String("PoE");
        m.maxLamp |= object->Name() == QLatin1String("MAX");
    }
    return m;
}

bool IsPoeModel(const QString& model) { return model.contains(u'P', Qt::CaseInsensitive); }

} // namespace

TEST(PoeMarkings, PanelFilesAgreeWithTheModelTable) {
    for (const QString& model : KnownModels()) {
        SCOPED_TRACE(model.toStdString());
        const SMarkings m = ReadMarkings(model);
        // The faceplate names the ports the switch powers.
        EXPECT_EQ(m.lastPoePort, IsPoeModel(model) ? PoePortPageCount(model) : 0);
        // Lamps named PoE and MAX only where the panel polls PoE: elsewhere
        // nothing would ever light them.
        EXPECT_EQ(m.poeLamp, PoePortCount(model) > 0);
        EXPECT_EQ(m.maxLamp, PoePortCount(model) > 0);
    }
}

// The 08P powers eight ports (its pages and the simulator), although the panel
// does not poll them.
TEST(PoeMarkings, EightPortSwitchPowersWhatItsFaceplateNames) {
    const QString model = QStringLiteral("NSW-4410-08P B1");
    EXPECT_EQ(PoePortCount(model), 0);
    CSimProcess sim;
    ASSERT_TRUE(sim.Start({QStringLiteral("--model"), model})) << sim.Output().toStdString();
    const QString status = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.22.1.1.13.1.");  // unit 1, then the port
    const int powered = ReadMarkings(model).lastPoePort;
    ASSERT_EQ(powered, 8);
    const auto answers = [&](int port) {
        const QString value = sim.Get(status + QString::number(port));
        return !value.isEmpty() && !value.startsWith(QLatin1String("No Such"));
    };
    EXPECT_TRUE(answers(powered));
    EXPECT_FALSE(answers(powered + 1));
}
