#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace nswsim {

using SubId = std::uint32_t;
using Oid = std::vector<SubId>;

// "1.3.6.1" (a leading dot is allowed); throws std::invalid_argument on bad text.
Oid ParseOid(std::string_view text);
std::string OidToString(const Oid& oid);

inline Oid Concat(Oid base, std::initializer_list<SubId> tail) {
    base.insert(base.end(), tail);
    return base;
}
inline Oid Concat(Oid base, const Oid& tail) {
    base.insert(base.end(), tail.begin(), tail.end());
    return base;
}
inline bool StartsWith(const Oid& oid, const Oid& prefix) {
    return oid.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), oid.begin());
}
inline Oid Suffix(const Oid& oid, std::size_t from) {
    return from >= oid.size() ? Oid{} : Oid(oid.begin() + static_cast<long>(from), oid.end());
}

// Roots of the trees the switch serves.
inline const Oid kMib2 = {1, 3, 6, 1, 2, 1};
inline const Oid kEnterprise = {1, 3, 6, 1, 4, 1, 32473};
inline const Oid kSwitchMib = {1, 3, 6, 1, 4, 1, 32473, 10, 75, 7};
inline const Oid kControl = {1, 3, 6, 1, 4, 1, 32473, 99};
inline const Oid kLldpMib = {1, 0, 8802, 1, 1, 2};

// Row indexes made of text, IP addresses and MAC addresses.
Oid TextIndex(std::string_view text); // length, then the character codes
Oid IpIndex(std::uint32_t hostOrderIp);
bool ParseTextIndex(const Oid& index, std::size_t from, std::string& text, std::size_t& next);

} // namespace nswsim
