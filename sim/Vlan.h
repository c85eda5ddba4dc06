#pragma once

#include "Store.h"

namespace nswsim {

inline const Oid kVlanMode = Concat(kSwitchMib, {7, 5});
inline const Oid kVlanEntry = Concat(kSwitchMib, {7, 6, 1});
inline const Oid kPvidEntry = Concat(kSwitchMib, {7, 7, 1});
namespace vlan {
enum : SubId { kName = 1, kEgress = 2, kUntagged = 4, kRowStatus = 5 };
constexpr std::size_t kMaxVlans = 256;
constexpr int kAsymmetric = 1;
constexpr int kSymmetric = 2;
} // namespace vlan

// Whether a VLAN will exist (active) once the SET is applied.
bool VlanActive(const Txn& txn, std::int64_t vid);

} // namespace nswsim
