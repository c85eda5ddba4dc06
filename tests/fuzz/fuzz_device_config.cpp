#include "pages/system/DeviceConfigReader.h"

#include <cstddef>
#include <cstdint>

// Any bytes as a device configuration description: a usable list of items
// or a message and nothing, and every item within the reader's limits.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<SDevConfigItem> items;
    const QString error = ParseDeviceConfig(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), items);
    if (error.isEmpty() == items.empty() || items.size() > size_t(kMaxDevConfigItems))
        __builtin_trap();
    for (const SDevConfigItem& item : items) {
        if (item.index < 1 || item.index > kMaxDevConfigItems || item.lo > item.hi ||
            item.choices.size() != item.values.size())
            __builtin_trap();
        QByteArray value;
        for (const QString& text : item.choices + QStringList{item.desc, QStringLiteral("1.2.3.4")})
            if (CheckDevConfigValue(item, text, value).isEmpty() && value.isNull())
                __builtin_trap();
        (void)DevConfigShownText(item, QString::number(item.lo));
    }
    return 0;
}
