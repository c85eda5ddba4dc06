#include "snmp/Encodings.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const int portCount = data[0] % 60; // includes 0 and counts off the padding table
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data + 1),
                                             static_cast<qsizetype>(size - 1));
    std::vector<int> flags(static_cast<size_t>(portCount), 0);
    CheckPortList(text, flags);
    // The flags survive the trip through hex and bitmap unchanged.
    const QByteArray bitmap = PortFlagsToBitmap(flags, portCount);
    int count = 0;
    const QString list = PortBitmapToList(bitmap, &count, portCount);
    std::vector<int> again(static_cast<size_t>(portCount), 0);
    if (portCount > 0 && (!CheckPortList(list, again).isEmpty() || again != flags))
        __builtin_trap();
    return 0;
}
