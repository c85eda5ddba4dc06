#include "snmp/Encodings.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const int capacity = data[0] % 16;
    const QString hex = QString::fromLatin1(reinterpret_cast<const char*>(data + 1),
                                            static_cast<qsizetype>(size - 1));
    // A heap block of exactly capacity bytes: AddressSanitizer sees any overrun.
    auto* out = new uint8_t[capacity > 0 ? capacity : 1];
    HexTextToBytes(hex, out, capacity);
    delete[] out;
    return 0;
}
