#pragma once

#include "Store.h"

// Row indexes the switch's tables use, as validity checks and live index columns.
namespace nswsim {

// One integer sub-identifier from lo to hi.
IndexFn IntIndex(SubId lo, SubId hi);
// Four sub-identifiers of a unicast IPv4 address (not 0.0.0.0).
IndexFn IpAddressIndex();
// A name as length + character codes (1 to maxLength characters that pass
// the module's name check), followed by 'tail' more sub-identifiers.
IndexFn NameIndex(std::size_t maxLength, std::size_t tail = 0);
bool IndexName(const Oid& index, std::string& name);

// Values of index columns, computed from the row's index.
LiveFn IndexNameColumn();
LiveFn IndexIntColumn(std::size_t position = 0);
LiveFn IndexIpColumn(std::size_t position = 0);

} // namespace nswsim
