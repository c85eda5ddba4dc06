#pragma once

// Points the launch settings at a test agent, as the command line would, and
// puts them back to their defaults afterwards.

#include "device/LaunchSettings.h"

#include <QString>

class CLaunchFixture {
public:
    // Community-based access: version "1" or "2".
    CLaunchFixture(int port, const char* version, const char* readCommunity,
                   const char* writeCommunity) {
        ResetLaunchSettings();
        g_strDeviceIp = QStringLiteral("127.0.0.1");
        g_strSnmpPort = QString::number(port);
        g_strSnmpVersion = QString::fromLatin1(version);
        g_strReadCommunity = QString::fromLatin1(readCommunity);
        g_strWriteCommunity = QString::fromLatin1(writeCommunity);
    }
    // User-based access.
    CLaunchFixture(int port, const char* user, const char* level, const char* authCode,
                   const char* authPassword, const char* privCode, const char* privPassword) {
        ResetLaunchSettings();
        g_strDeviceIp = QStringLiteral("127.0.0.1");
        g_strSnmpPort = QString::number(port);
        g_strSnmpVersion = QStringLiteral("3");
        g_strV3UserName = QString::fromLatin1(user);
        g_strSecurityLevel = QString::fromLatin1(level);
        g_strAuthProtocol = QString::fromLatin1(authCode);
        g_strAuthPassword = QString::fromLatin1(authPassword);
        g_strPrivProtocol = QString::fromLatin1(privCode);
        g_strPrivPassword = QString::fromLatin1(privPassword);
    }
    ~CLaunchFixture() { ResetLaunchSettings(); }
    CLaunchFixture(const CLaunchFixture&) = delete;
    CLaunchFixture& operator=(const CLaunchFixture&) = delete;
};
