#pragma once

#include "device/DeviceProfile.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <span>

// Conversions between what users type or see and what travels in SNMP
// variables. Port functions work on the device port count unless given one.

// Enumerations of the switch's objects.
namespace RowStatus {
constexpr int kActive = 1;
constexpr int kNotInService = 2;
constexpr int kNotReady = 3;
constexpr int kCreateAndGo = 4;
constexpr int kCreateAndWait = 5;
constexpr int kDestroy = 6;
} // namespace RowStatus

namespace StorageType {
constexpr int kOther = 1;
constexpr int kVolatile = 2;
constexpr int kNonVolatile = 3;
constexpr int kPermanent = 4;
constexpr int kReadOnly = 5;
} // namespace StorageType

// Enterprise objects: 1 enabled, 2 disabled.
constexpr int kEnabled = 1;
constexpr int kDisabled = 2;

// Selected ports of a PortList bitmap as "1,2,5"; bits beyond the port count
// are ignored. count receives the number of ports listed.
QString PortBitmapToList(const QByteArray& bitmap, int* count = nullptr,
                         int portCount = g_nPortNum);

// The check behind ParsePortList: the message to show, empty when the text was
// accepted. Sets flags of accepted ports, never clears any.
QString CheckPortList(const QString& text, std::span<int> flags);
// Shows "Invalid Portlist" on failure; 1 parsed, 0 rejected.
int ParsePortList(const QString& text, std::span<int> flags);

// Appends one hex digit per four ports, unpadded.
void PortFlagsToHex(std::span<const int> flags, QString& destination);
// Appends the padding for the port count; returns 1.
int PadPortHex(QString& hex, int portCount = g_nPortNum);
// Octets a PortList of this port count is written with.
int PortListOctetCount(int portCount = g_nPortNum);
// Writes the octets of a hex text (odd length gets a leading "0"); returns 1.
int HexTextToBytes(const QString& hex, uint8_t* destination, int capacity);

// Flags -> padded hex -> octets, as every PortList write does.
QByteArray PortFlagsToBitmap(std::span<const int> flags, int portCount = g_nPortNum);

bool IsValidName(const QString& text);
bool IsPortListText(const QString& text);

// Name texts to and from the switch's UTF-8. ToUtf8 writes at most size - 1
// bytes, cut at a whole character, always zero-terminated (size > 0).
void ToUtf8(const QString& text, char* destination, unsigned size);
// Decodes at most 256 UTF-16 units; invalid bytes show as U+FFFD.
void FromUtf8(const char* bytes, QString& text);
QString FromUtf8(const QByteArray& bytes);

// MAC checks: the message to show, empty when valid.
QString CheckMac(const QString& text, bool allowMulticast);
int ValidateMac(const QString& text, bool allowMulticast);

// "00-1A-2B-3C-4D-5E" (pages) and "00:1A:2B:3C:4D:5E" (MIB-II viewers);
// empty for fewer than six octets.
QString MacToDashText(const QByteArray& mac);
QString MacToColonText(const QByteArray& mac);

// A text used as a row index: its length, then its character codes ("ab" -> "2.97.98").
QString TextToRowIndex(const QByteArray& text);
// The reverse; false when the index is not such an encoding.
bool RowIndexToText(const QString& index, QByteArray& text);
