#include "device/LaunchSettings.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ResetLaunchSettings();
    ParseCommandLine(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    // Whatever the line, no value outgrows its buffer (one UTF-16 unit per byte at most).
    if (g_strDeviceIp.size() > LaunchField::kIp - 1 ||
        g_strV3UserName.size() > LaunchField::kCredential - 1 ||
        g_strReadCommunity.size() > LaunchField::kCommunity - 1 ||
        g_strSnmpPort.size() > LaunchField::kOther - 1)
        __builtin_trap();
    return 0;
}
