#include "device/DeviceProfile.h"
#include "device/ModelVariants.h"
#include "platform/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

QString WriteFile(const QTemporaryDir& dir, const QByteArray& content) {
    const QString path = dir.filePath(QStringLiteral("User.ini"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
}

bool Has(const std::vector<int>& v, int id) { return std::find(v.begin(), v.end(), id) != v.end(); }

} // namespace

TEST(IniFile, ProfileRules) {
    const CIniFile ini = CIniFile::FromBytes(
        "; comment\r\n"
        "ignored=before any section\n"
        "[deviceinfo]\r\n"
        "  DEVICENAME =  NSW-4410-28P B1  \r\n"
        "Quoted=\"a, b\\c\"\n"
        "Inner=x\"y\"z,w\n"
        "Number=12abc\n"
        "Word=abc\n"
        "Negative=-5\n"
        "Empty=\n"
        "DeviceName=second wins not\n"
        "[Other]\n"
        "Number=7\n");
    ASSERT_TRUE(ini.IsLoaded());
    EXPECT_EQ(ini.GetString("DeviceInfo", "DeviceName"), QStringLiteral("NSW-4410-28P B1"));
    EXPECT_EQ(ini.GetString("DEVICEINFO", "quoted"), QStringLiteral("a, b\\c"));
    EXPECT_EQ(ini.GetString("DeviceInfo", "Inner"), QStringLiteral("x\"y\"z,w"));
    EXPECT_EQ(ini.GetInt("DeviceInfo", "Number", 28), 12);
    EXPECT_EQ(ini.GetInt("DeviceInfo", "Word", 28), 0);
    EXPECT_EQ(ini.GetInt("DeviceInfo", "Negative", 28), 0);
    EXPECT_EQ(ini.GetInt("DeviceInfo", "Empty", 28), 28);
    EXPECT_EQ(ini.GetInt("DeviceInfo", "Missing", 28), 28);
    EXPECT_EQ(ini.GetInt("Other", "Number", 0), 7);
    EXPECT_EQ(ini.GetString("DeviceInfo", "ignored", "def"), QStringLiteral("def"));
    EXPECT_EQ(ini.GetString("DeviceInfo", "DeviceName", {}, 4), QStringLiteral("NSW"));
    EXPECT_FALSE(CIniFile::FromFile("/nonexistent/User.ini").IsLoaded());
}

TEST(DeviceProfile, DefaultsWithOnlyTheRequiredKeys) {
    QTemporaryDir dir;
    SDeviceProfile p;
    EXPECT_EQ(ReadDeviceProfile(WriteFile(dir, "[DeviceInfo]\nDeviceName=X\nXMLName=x.xml\n"), p),
              QString());
    EXPECT_EQ(p.nPortNum, 28);
    EXPECT_EQ(p.nComboPortNum, 4);
    EXPECT_EQ(p.nComboPortIndex, 25);
    EXPECT_FALSE(p.bIsAllGiga);
    EXPECT_FALSE(p.bIsHasFan);
}

TEST(DeviceProfile, FlagsAndErrors) {
    QTemporaryDir dir;
    SDeviceProfile p;
    EXPECT_EQ(ReadDeviceProfile(WriteFile(dir, "[DeviceInfo]\nDeviceName=X\nXMLName=x\n"
                                               "IsAllGiga=y\nIsHasFan=Yes\nDevicePortNum=ten\n"),
                                p),
              QString());
    EXPECT_TRUE(p.bIsAllGiga);
    EXPECT_FALSE(p.bIsHasFan); // only a single Y counts
    EXPECT_EQ(p.nPortNum, 0);  // non-numeric reads as 0

    const QString error = QStringLiteral("Read User.ini Error !");
    EXPECT_EQ(ReadDeviceProfile(WriteFile(dir, "[DeviceInfo]\nXMLName=x\n"), p), error);
    EXPECT_EQ(ReadDeviceProfile(WriteFile(dir, "[DeviceInfo]\nDeviceName=X\n"), p), error);
    EXPECT_EQ(ReadDeviceProfile(dir.filePath("missing.ini"), p), error);
}

TEST(DeviceProfile, ShippedProfilesMatchTheirModels) {
    struct Expect {
        const char* model;
        int ports, combo, comboIndex;
        bool fan;
        int poe;
    };
    const Expect expected[] = {
        {"NSW-4410-08P B1", 10, 2, 9, false, 0}, {"NSW-4410-28 B1", 28, 4, 25, false, 0},
        {"NSW-4410-28P", 28, 4, 25, true, 24},   {"NSW-4410-28P B1", 28, 4, 25, true, 24},
        {"NSW-4410-52 B1", 52, 4, 49, true, 0},  {"NGX-4410-10P", 10, 2, 9, false, 8},
        {"NGX-4410-10P B1", 10, 2, 9, false, 8}, {"NGX-4600-20", 20, 4, 17, false, 0},
        {"NGX-4600-28", 28, 4, 25, false, 0},
    };
    ASSERT_EQ(KnownModels().size(), std::size(expected));
    for (const Expect& e : expected) {
        SDeviceProfile p;
        const QString path =
            QStringLiteral(NSW_SOURCE_DIR "/res/profiles/%1/User.ini").arg(QLatin1String(e.model));
        ASSERT_EQ(ReadDeviceProfile(path, p), QString()) << e.model;
        EXPECT_EQ(p.strDeviceName, QLatin1String(e.model));
        EXPECT_EQ(p.nPortNum, e.ports) << e.model;
        EXPECT_EQ(p.nComboPortNum, e.combo) << e.model;
        EXPECT_EQ(p.nComboPortIndex, e.comboIndex) << e.model;
        EXPECT_EQ(p.bIsHasFan, e.fan) << e.model;
        EXPECT_FALSE(p.strXmlName.isEmpty()) << e.model;
        EXPECT_EQ(PoePortCount(p.strDeviceName), e.poe) << e.model;
        // PoE ports never outnumber the ports
        EXPECT_LE(PoePortCount(p.strDeviceName), p.nPortNum);
    }
}

TEST(ModelVariants, MenuTrimmingPerModel) {
    using namespace MenuCommand;
    const std::vector<int> poeCommands = {kPoePortConfig, kPoeGlobalSettings, kPoeTimeRange};
    for (const QString& model : KnownModels()) {
        const SMenuTrim trim = MenuTrimForModel(model);
        const bool poe = model.contains(u'P');
        EXPECT_EQ(trim.bRemovePoeSubmenu, !poe) << model.toStdString();
        for (int id : poeCommands)
            EXPECT_EQ(Has(trim.commands, id), !poe) << model.toStdString() << id;
        EXPECT_EQ(Has(trim.commands, kLldpMedSetting), !poe || model == u"NSW-4410-08P B1")
            << model.toStdString();
        EXPECT_EQ(Has(trim.commands, kJumboFrame), model.startsWith(u"NSW")) << model.toStdString();
    }
    // the model without PoE keeps jumbo frames
    const SMenuTrim ngx = MenuTrimForModel(QStringLiteral("NGX-4600-20"));
    EXPECT_TRUE(ngx.bRemovePoeSubmenu);
    EXPECT_FALSE(Has(ngx.commands, kJumboFrame));
    // an unknown name without P loses PoE, and "NSW" anywhere loses jumbo frames
    const SMenuTrim plain = MenuTrimForModel(QStringLiteral("NSW-4410-28"));
    EXPECT_TRUE(plain.bRemovePoeSubmenu);
    EXPECT_TRUE(Has(plain.commands, kJumboFrame));
    // a lower-case p counts as PoE
    EXPECT_FALSE(MenuTrimForModel(QStringLiteral("xyz-10p")).bRemovePoeSubmenu);
    const SMenuTrim unknown = MenuTrimForModel(QStringLiteral("Other"));
    EXPECT_TRUE(unknown.bRemovePoeSubmenu);
    EXPECT_FALSE(Has(unknown.commands, kJumboFrame));
}

TEST(ModelVariants, PanelAndPageBranches) {
    EXPECT_TRUE(HasOwnFrameLamps(QStringLiteral("NSW-4410-28P")));
    EXPECT_FALSE(HasOwnFrameLamps(QStringLiteral("nsw-4410-28p")));
    EXPECT_TRUE(DrawsComboInPortLoop(QStringLiteral("NGX-4410-10P B1")));
    EXPECT_FALSE(DrawsComboInPortLoop(QStringLiteral("NSW-4410-08P B1")));
    EXPECT_EQ(PoePortCount(QStringLiteral("NSW-4410-28P B1 ")), 0); // exact names only
    EXPECT_TRUE(PowerSavingPerPort(QStringLiteral("NSW-4410-52 B1")));
    EXPECT_FALSE(PowerSavingPerPort(QStringLiteral("NSW-4410-28P")));
    EXPECT_TRUE(HasPortMirroring(QStringLiteral("NGX-4600-28")));
    EXPECT_FALSE(HasBandwidthControl(QStringLiteral("NGX-4600-28")));
}

TEST(DeviceProfile, ExtremePortValuesAreClampedToThePanelsHundredPorts) {
    QTemporaryDir dir;
    SDeviceProfile p;
    EXPECT_EQ(ReadDeviceProfile(WriteFile(dir, "[DeviceInfo]\nDeviceName=X\nXMLName=x\n"
                                               "DevicePortNum=-5\nComboPortNum=2147483647\n"
                                               "ComboPortIndex=2147483647\n"),
                                p),
              QString());
    EXPECT_EQ(p.nPortNum, 0);
    EXPECT_EQ(p.nComboPortNum, kMaxPorts);
    EXPECT_EQ(p.nComboPortIndex, kMaxPorts + 1);
    ApplyDeviceProfile(p);
    EXPECT_FALSE(IsComboPort(2147483646)); // no signed overflow on the way
    ApplyDeviceProfile(SDeviceProfile{});
}
