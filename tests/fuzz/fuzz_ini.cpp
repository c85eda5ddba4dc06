#include "platform/IniFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const CIniFile ini =
        CIniFile::FromBytes(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const QString name = ini.GetString(QStringLiteral("DeviceInfo"), QStringLiteral("DeviceName"));
    if (name.size() > 259)
        __builtin_trap();
    const int ports = ini.GetInt(QStringLiteral("DeviceInfo"), QStringLiteral("DevicePortNum"), 28);
    if (ports < 0)
        __builtin_trap();
    return 0;
}
