#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

// Process-wide launch settings: written once by ParseCommandLine before any
// window or session exists, read-only afterwards.
extern QString g_strDeviceIp;
extern QString g_strReadCommunity;
extern QString g_strWriteCommunity;
extern int32_t g_bVlanEditable;
extern QString g_strSnmpVersion;
extern QString g_strSnmpPort;
extern QString g_strSecurityLevel;
extern QString g_strV3UserName;
extern QString g_strAuthPassword;
extern QString g_strPrivPassword;
extern QString g_strAuthProtocol;
extern QString g_strPrivProtocol;
extern QString g_strSnmpTimeout;
// Fields 0 and 9: kept, read by nobody.
extern QString g_strLaunchField0;
extern QString g_strLaunchField9;

// Puts every launch setting back to its default.
void ResetLaunchSettings();

// Fills the launch settings from the platform's command line.
// Returns 1 when parsing ended normally, 0 for an empty line, a line without
// "/I" or an empty address field.
int ParseCommandLine(const QByteArray& line);

// Sizes of the field buffers, terminating zero included.
namespace LaunchField {
constexpr int kField0 = 20;
constexpr int kIp = 16;
constexpr int kCommunity = 52;
constexpr int kVlanFlag = 12;
constexpr int kCredential = 32;
constexpr int kOther = 8;
} // namespace LaunchField

// The command line as the platform passes it: the arguments joined by blanks
// (blanks inside values are dropped by the parser anyway).
QByteArray JoinCommandLine(int argc, char** argv);

// Where the communities and the v3 passwords lie in a command line, as byte
// ranges [first, second) of its field values, whatever the SNMP version.
std::vector<std::pair<qsizetype, qsizetype>> CredentialSpans(const QByteArray& line);

// Overwrites those values in the process's own argument strings (what other
// users see in /proc/PID/cmdline and ps) with one '*' each, once the joined
// line has been taken.
void HideCredentialArguments(int argc, char** argv);
