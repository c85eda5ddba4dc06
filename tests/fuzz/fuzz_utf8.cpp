#include "snmp/Encodings.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = FromUtf8(bytes);
    if (text.toUtf8().size() > 255)
        __builtin_trap();
    // Back to the switch: any buffer size gives a terminated, valid UTF-8 text.
    const unsigned bufferSize = size ? data[0] % 200 + 1 : 1;
    std::vector<char> out(bufferSize, 'x');
    ToUtf8(text, out.data(), bufferSize);
    const size_t length = strnlen(out.data(), bufferSize);
    if (length >= bufferSize)
        __builtin_trap();
    const QByteArray written(out.data(), static_cast<qsizetype>(length));
    if (QString::fromUtf8(written).toUtf8() != written)
        __builtin_trap();
    return 0;
}
