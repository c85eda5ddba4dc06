#include "SnmpPdu.h"

#include "NetSession.h"
#include "SnmpOid.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <arpa/inet.h>

namespace {

// Length of a BER length field plus the tag for content of n bytes.
size_t TlvOverhead(size_t n) {
    return 1 + (n < 128 ? 1 : n < 256 ? 2 : n < 65536 ? 3 : 4);
}

size_t OidContentBytes(const std::vector<uint32_t>& oid) {
    size_t bytes = 1; // the first two arcs share one byte
    for (size_t i = 2; i < oid.size(); ++i) {
        uint32_t v = oid[i];
        do {
            ++bytes;
            v >>= 7;
        } while (v);
    }
    return bytes;
}

QByteArray Unsigned(unsigned long long value) {
    return QByteArray::number(value);
}

} // namespace

namespace SnmpPdu {

snmp_pdu* Build(int command, const std::vector<SnmpVarBind>& vars) {
    snmp_pdu* pdu;
    {
        std::lock_guard lock(SnmpLibraryMutex());
        pdu = snmp_pdu_create(command);
    }
    if (!pdu)
        return nullptr;
    bool ok = true;
    for (const SnmpVarBind& var : vars) {
        std::vector<oid> name(var.oid.begin(), var.oid.end());
        netsnmp_variable_list* added = nullptr;
        const QByteArray text = var.value.trimmed();
        switch (var.type) {
        case SnmpType::kInteger: {
            const long value = text.toLong();
            added = snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_INTEGER, &value,
                                          sizeof value);
            break;
        }
        case SnmpType::kUnsigned: {
            const u_long value = text.toULong();
            added = snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_GAUGE, &value,
                                          sizeof value);
            break;
        }
        case SnmpType::kIpAddress: {
            in_addr address{};
            if (inet_pton(AF_INET, text.constData(), &address) == 1)
                added = snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_IPADDRESS,
                                              &address.s_addr, 4);
            break;
        }
        case SnmpType::kOctetString:
            added = snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_OCTET_STR,
                                          var.value.constData(), size_t(var.value.size()));
            break;
        case SnmpType::kNull:
            added = snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_NULL, nullptr, 0);
            break;
        default:
            break;
        }
        if (!added) {
            ok = false;
            break;
        }
    }
    if (!ok) {
        Free(pdu);
        return nullptr;
    }
    return pdu;
}

void Free(snmp_pdu* pdu) {
    if (!pdu)
        return;
    std::lock_guard lock(SnmpLibraryMutex());
    snmp_free_pdu(pdu);
}

Answer Convert(const snmp_pdu* pdu) {
    Answer answer;
    answer.requestId = int(pdu->reqid);
    answer.errorStatus = pdu->errstat;
    answer.errorIndex = static_cast<unsigned long>(pdu->errindex);
    for (const netsnmp_variable_list* v = pdu->variables; v; v = v->next_variable) {
        SnmpVarBind var;
        var.oid.assign(v->name, v->name + v->name_length);
        bool exception = false;
        switch (v->type) {
        case ASN_INTEGER:
            var.type = SnmpType::kInteger;
            var.value = QByteArray::number(qlonglong(int32_t(*v->val.integer)));
            break;
        case ASN_OCTET_STR:
        case ASN_BIT_STR:
            var.type = SnmpType::kOctetString;
            var.value =
                QByteArray(reinterpret_cast<const char*>(v->val.string), qsizetype(v->val_len));
            break;
        case ASN_IPADDRESS:
            var.type = SnmpType::kIpAddress;
            if (v->val_len == 4) {
                const u_char* b = v->val.string;
                var.value = QByteArray::number(b[0]) + '.' + QByteArray::number(b[1]) + '.' +
                            QByteArray::number(b[2]) + '.' + QByteArray::number(b[3]);
            }
            break;
        case ASN_OBJECT_ID: {
            var.type = SnmpType::kObjectId;
            const size_t n = v->val_len / sizeof(oid);
            std::vector<uint32_t> value(v->val.objid, v->val.objid + n);
            var.value = SnmpOid::Text(value).toLatin1();
            break;
        }
        case ASN_COUNTER:
            var.type = SnmpType::kCounter32;
            var.value = Unsigned(*v->val.integer & 0xFFFFFFFFul);
            break;
        case ASN_GAUGE:
            var.type = SnmpType::kUnsigned;
            var.value = Unsigned(*v->val.integer & 0xFFFFFFFFul);
            break;
        case ASN_TIMETICKS:
            var.type = SnmpType::kTimeTicks;
            var.value = Unsigned(*v->val.integer & 0xFFFFFFFFul);
            break;
        case ASN_COUNTER64:
            var.type = SnmpType::kCounter64;
            var.value = Unsigned(
                (static_cast<unsigned long long>(v->val.counter64->high & 0xFFFFFFFFul) << 32) |
                (v->val.counter64->low & 0xFFFFFFFFul));
            break;
        case ASN_NULL:
            var.type = SnmpType::kNull;
            break;
        case SNMP_NOSUCHOBJECT:
        case SNMP_NOSUCHINSTANCE:
        case SNMP_ENDOFMIBVIEW:
            var.type = SnmpType::kNull;
            exception = true;
            break;
        default: // Opaque and anything newer: the bytes as they came
            var.type = SnmpType::kOpaque;
            if (v->val.string)
                var.value =
                    QByteArray(reinterpret_cast<const char*>(v->val.string), qsizetype(v->val_len));
            break;
        }
        const size_t oidBytes = OidContentBytes(var.oid);
        const size_t valueBytes = v->val_len;
        const size_t content =
            oidBytes + TlvOverhead(oidBytes) + valueBytes + TlvOverhead(valueBytes);
        answer.encodedBytes += content + TlvOverhead(content);
        if (exception && answer.firstException == 0)
            answer.firstException = unsigned(answer.vars.size() + 1);
        answer.exception.push_back(exception);
        answer.vars.push_back(std::move(var));
    }
    return answer;
}

} // namespace SnmpPdu
