#include "DeviceProfile.h"

#include "platform/IniFile.h"

#include <QCoreApplication>

#include <algorithm>

QString g_strDeviceName;
int32_t g_nPortNum = 28;
int32_t g_nComboPortNum = 4;
int32_t g_nComboPortIndex = 25;
int32_t g_bIsAllGiga = 0;
int32_t g_bIsHasFan = 0;

namespace {
const QString kSection = QStringLiteral("DeviceInfo");
constexpr int kTextBuffer = 260;

bool IsYes(const QString& value) {
    return value == QLatin1String("Y") || value == QLatin1String("y");
}
} // namespace

QString ProfilePath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/User.ini");
}

QString ReadDeviceProfile(const QString& path, SDeviceProfile& profile) {
    const QString error = QStringLiteral("Read User.ini Error !");
    const CIniFile ini = CIniFile::FromFile(path);
    profile.strDeviceName = ini.GetString(kSection, QStringLiteral("DeviceName"), {}, kTextBuffer);
    if (profile.strDeviceName.isEmpty())
        return error;
    // Ports are counted in the 100 lamps a panel has; beyond that a value
    // only makes the port arithmetic overflow.
    profile.nPortNum = std::clamp(ini.GetInt(kSection, QStringLiteral("DevicePortNum"), 28), 0,
                                  kMaxPorts);
    profile.nComboPortNum = std::clamp(ini.GetInt(kSection, QStringLiteral("ComboPortNum"), 4), 0,
                                       kMaxPorts);
    profile.nComboPortIndex = std::clamp(
        ini.GetInt(kSection, QStringLiteral("ComboPortIndex"), 25), 0, kMaxPorts + 1);
    profile.strXmlName = ini.GetString(kSection, QStringLiteral("XMLName"), {}, kTextBuffer);
    if (profile.strXmlName.isEmpty())
        return error;
    profile.bIsAllGiga = IsYes(ini.GetString(kSection, QStringLiteral("IsAllGiga")));
    profile.bIsHasFan = IsYes(ini.GetString(kSection, QStringLiteral("IsHasFan")));
    return QString();
}

void ApplyDeviceProfile(const SDeviceProfile& profile) {
    g_strDeviceName = profile.strDeviceName;
    g_nPortNum = profile.nPortNum;
    g_nComboPortNum = profile.nComboPortNum;
    g_nComboPortIndex = profile.nComboPortIndex;
    g_bIsAllGiga = profile.bIsAllGiga;
    g_bIsHasFan = profile.bIsHasFan;
}

QString ReadDeviceName(const QString& path) {
    return CIniFile::FromFile(path).GetString(kSection, QStringLiteral("DeviceName"), {},
                                              kTextBuffer);
}

bool IsComboPort(int port) {
    return port >= g_nComboPortIndex && port < g_nComboPortIndex + g_nComboPortNum;
}
