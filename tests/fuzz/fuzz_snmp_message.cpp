#include "snmp/Outcome.h"
#include "snmp/PageLink.h"
#include "snmp/engine/NetSession.h"
#include "snmp/engine/Snmp.h"
#include "snmp/engine/SnmpInit.h"
#include "snmp/engine/SnmpOid.h"
#include "snmp/engine/SnmpPdu.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

// Any bytes as a datagram from the switch: net-snmp parses it as the
// engine's session would, and a message that parses goes on through the
// engine's conversion into values, the row a page receives (cells, row
// index) and the outcome line's words for it.
namespace {

void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

// One session per version, opened as the engine opens them; the v3 one
// knows the simulator's engine so that its noAuthNoPriv answers parse fully.
struct SSessions {
    void* v1 = nullptr;
    void* v2c = nullptr;
    void* v3 = nullptr;
    SSessions() {
        SnmpInit(nullptr);
        snmp_disable_log(); // the library's complaint about every broken message
        v1 = Open(SNMP_VERSION_1);
        v2c = Open(SNMP_VERSION_2c);
        v3 = Open(SNMP_VERSION_3);
        Check(v1 && v2c && v3);
    }
    static void* Open(long version) {
        static char peer[] = "udp:127.0.0.1:9";
        static char community[] = "ralvin";
        static char user[] = "fuzzer";
        // The engine ID the v3 seeds carry (put there by the capture script).
        static u_char engine[] = {0x80, 0x00, 0x1f, 0x88, 0x80, 'n', 's', 'w',
                                  '-',  'f',  'u',  'z',  'z',  '-',  'e', 'n', 'g'};
        netsnmp_session settings;
        snmp_sess_init(&settings);
        settings.peername = peer;
        settings.version = version;
        if (version == SNMP_VERSION_3) {
            settings.flags |= SNMP_FLAGS_DONT_PROBE;
            settings.securityModel = SNMP_SEC_MODEL_USM;
            settings.securityName = user;
            settings.securityNameLen = strlen(user);
            settings.securityLevel = SNMP_SEC_LEVEL_NOAUTH;
            settings.securityEngineID = engine;
            settings.securityEngineIDLen = sizeof engine;
        } else {
            settings.community = reinterpret_cast<u_char*>(community);
            settings.community_len = strlen(community);
        }
        return snmp_sess_open(&settings);
    }
};

void PageSide(const SnmpPdu::Answer& converted, unsigned depth) {
    std::unique_ptr<CSnmp> answer =
        CSnmp::makeAnswer(converted.vars, converted.requestId, converted.errorStatus, converted.errorIndex);
    Check(answer->getValuesCount() == converted.vars.size());
    // The walk's columns: each value's OID without its last depth arcs.
    static CSnmpV1 request;
    static CSnmpTable table(&request);
    request.setType(SnmpKind::kGetNext);
    request.clearVarBindList();
    for (const SnmpVarBind& var : converted.vars) {
        const size_t keep = var.oid.size() > depth + 2 ? var.oid.size() - depth : 2;
        const std::vector<uint32_t> column(var.oid.begin(), var.oid.begin() + std::min(keep, var.oid.size()));
        request.addValue(SnmpOid::Text(column).toLatin1().constData(), SnmpType::kNull, "");
    }
    for (unsigned i = 0; i < answer->getValuesCount(); ++i) {
        QString suffix;
        const int result = table.getSuffix(int(i), answer.get(), suffix);
        const std::vector<uint32_t>& oid = converted.vars[i].oid;
        if (result != SnmpResult::kOk)
            continue;
        SSnmpRow row = RowFromAnswer(*answer, suffix);
        Check(row.Count() == int(answer->getValuesCount()));
        const std::vector<uint32_t> arcs = row.IndexArcs();
        Check(std::equal(arcs.begin(), arcs.end(), oid.end() - std::ptrdiff_t(arcs.size()),
                         oid.end()));
        (void)RowNumber(row);
        for (int c = 0; c < row.Count(); ++c)
            (void)row.Text(c);
    }
    SOutcome outcome;
    outcome.result = converted.errorStatus ? SnmpResult::kErrorStatus : SnmpResult::kOk;
    outcome.errorStatus = converted.errorStatus;
    if (converted.errorIndex >= 1 && converted.errorIndex <= converted.vars.size())
        outcome.errorOid = answer->oidAt(unsigned(converted.errorIndex - 1));
    outcome.count = int(converted.vars.size());
    Check(!OutcomeText(outcome).isEmpty());
    for (unsigned i = 0; i < answer->getValuesCount(); ++i)
        Check(!ObjectName(answer->oidAt(i)).isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SSessions sessions;
    if (size < 1)
        return 0;
    // First byte: the session (version) and the depth of the row index.
    void* sessp = data[0] % 3 == 0 ? sessions.v1 : data[0] % 3 == 1 ? sessions.v2c : sessions.v3;
    const unsigned depth = 1 + (data[0] / 3) % 8;
    std::vector<u_char> message(data + 1, data + size); // the library may write into it
    snmp_pdu* pdu = SNMP_MALLOC_TYPEDEF(netsnmp_pdu);
    const int parsed =
        snmp_parse(static_cast<struct session_list*>(sessp), snmp_sess_session(sessp), pdu,
                   message.data(), message.size());
    if (parsed == SNMPERR_SUCCESS)
        PageSide(SnmpPdu::Convert(pdu), depth);
    snmp_free_pdu(pdu);
    return 0;
}
