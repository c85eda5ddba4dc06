#pragma once

#include "Model.h"
#include "Store.h"

// Link-aggregation membership, read by several features' checks.
namespace nswsim {

inline const Oid kTrunkEntry = Concat(kSwitchMib, {8, 1, 3, 1});
namespace trunk {
enum : SubId { kIndex = 1, kMembers = 2, kMode = 3 };
constexpr int kGroups = 8;
} // namespace trunk

// The group (1-8) a port will belong to once the SET is applied, 0 for none.
int TrunkGroupOf(const Txn& txn, int port);
// Whether a port set takes some but not all members of a group.
bool SplitsTrunk(const Txn& txn, const Model& model, const std::string& ports);

} // namespace nswsim
