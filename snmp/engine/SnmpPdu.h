#pragma once

// Engine-internal: requests to net-snmp PDUs and answering PDUs to variables.

#include "Snmp.h"

#include <vector>

struct snmp_pdu;

namespace SnmpPdu {

// Null when a value does not convert (checked already by addValue).
snmp_pdu* Build(int command, const std::vector<SnmpVarBind>& vars);
void Free(snmp_pdu* pdu);

struct Answer {
    std::vector<SnmpVarBind> vars; // exceptions come as type kNull, empty
    std::vector<char> exception;   // per variable: noSuchObject, noSuchInstance, endOfMibView
    unsigned firstException = 0;   // 1-based index of the first one, 0 when none
    int requestId = 0;
    long errorStatus = 0;
    unsigned long errorIndex = 0;
    size_t encodedBytes = 0; // estimated size of the variables on the wire
};
Answer Convert(const snmp_pdu* pdu);

} // namespace SnmpPdu
