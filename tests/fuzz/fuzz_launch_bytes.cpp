#include "device/LaunchBytes.h"

#include <cstddef>
#include <cstdint>

// Any bytes of a launch value come back from their shown text exactly, and
// UTF-8 text is shown as itself.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = DecodeLaunchBytes(bytes);
    if (EncodeLaunchBytes(text) != bytes)
        __builtin_trap();
    if (text.size() > bytes.size())
        __builtin_trap();
    const QString utf8 = QString::fromUtf8(bytes);
    if (utf8.toUtf8() == bytes && text != utf8)
        __builtin_trap();
    return 0;
}
