#pragma once

// Dotted OID text to sub-identifiers and back.

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace SnmpOid {

constexpr size_t kMaxLength = 128; // sub-identifiers, as the protocol allows

// "1.3.6.1" or ".1.3.6.1"; at least two sub-identifiers, each 0 to 2^32-1.
inline bool Parse(const char* text, std::vector<uint32_t>& oid) {
    oid.clear();
    if (!text)
        return false;
    const char* p = text;
    if (*p == '.')
        ++p;
    while (*p) {
        if (*p < '0' || *p > '9')
            return false;
        uint64_t value = 0;
        while (*p >= '0' && *p <= '9') {
            value = value * 10 + uint64_t(*p++ - '0');
            if (value > 0xFFFFFFFFull)
                return false;
        }
        oid.push_back(uint32_t(value));
        if (oid.size() > kMaxLength)
            return false;
        if (*p == '.') {
            ++p;
            if (!*p)
                return false;
        } else if (*p) {
            return false;
        }
    }
    return oid.size() >= 2;
}

inline QString Text(const uint32_t* begin, const uint32_t* end) {
    QString text;
    for (const uint32_t* p = begin; p != end; ++p) {
        if (p != begin)
            text += QLatin1Char('.');
        text += QString::number(*p);
    }
    return text;
}

inline QString Text(const std::vector<uint32_t>& oid) {
    return Text(oid.data(), oid.data() + oid.size());
}

inline bool StartsWith(const std::vector<uint32_t>& oid, const std::vector<uint32_t>& prefix) {
    return oid.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), oid.begin());
}

inline bool Less(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
}

} // namespace SnmpOid
