#pragma once

#include <QString>

#include <cstdint>

// Device profile values, process-wide once the main window has read User.ini.
extern QString g_strDeviceName;
extern int32_t g_nPortNum;
extern int32_t g_nComboPortNum;
extern int32_t g_nComboPortIndex;
extern int32_t g_bIsAllGiga;
extern int32_t g_bIsHasFan;

// The most ports a profile may give (the panel has 100 port lamps).
inline constexpr int kMaxPorts = 100;

struct SDeviceProfile {
    QString strDeviceName;
    int nPortNum = 28;
    int nComboPortNum = 4;
    int nComboPortIndex = 25;
    QString strXmlName;
    bool bIsAllGiga = false;
    bool bIsHasFan = false;
};

// The profile path: the executable's folder and "User.ini".
QString ProfilePath();

// Reads a profile file in the order the main window does. Returns the message
// to show ("Read User.ini Error !") when the name or the panel file is missing;
// empty when the profile is usable. The values read so far are kept either way.
QString ReadDeviceProfile(const QString& path, SDeviceProfile& profile);

// Makes a profile the process-wide one.
void ApplyDeviceProfile(const SDeviceProfile& profile);

// Reads only "DeviceName", as start-up does for the instance name.
QString ReadDeviceName(const QString& path);

bool IsComboPort(int port);
