#include "Snmp.h"

#include "NetSession.h"
#include "SnmpInit.h"
#include "SnmpOid.h"
#include "SnmpPdu.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <arpa/inet.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

bool ParseDecimal(const QByteArray& text, bool allowSign, long long min, long long max,
                  long long& value) {
    bool ok = false;
    const QByteArray trimmed = text.trimmed();
    if (trimmed.isEmpty() || (!allowSign && trimmed.startsWith('-')))
        return false;
    value = trimmed.toLongLong(&ok, 10);
    return ok && value >= min && value <= max;
}

bool IsValidValue(int type, const QByteArray& value) {
    long long number;
    in_addr address;
    switch (type) {
    case SnmpType::kInteger:
        return ParseDecimal(value, true, INT32_MIN, INT32_MAX, number);
    case SnmpType::kUnsigned:
        return ParseDecimal(value, false, 0, UINT32_MAX, number);
    case SnmpType::kIpAddress:
        return inet_pton(AF_INET, value.trimmed().constData(), &address) == 1;
    case SnmpType::kOctetString:
    case SnmpType::kNull:
        return true;
    default:
        return false;
    }
}

// A value for another object than asked must never be shown as the asked one.
bool AnswersRequest(int command, const std::vector<SnmpVarBind>& request,
                    const SnmpPdu::Answer& answer) {
    if (answer.vars.size() != request.size())
        return false;
    for (size_t i = 0; i < request.size(); ++i) {
        const std::vector<uint32_t>& asked = request[i].oid;
        const std::vector<uint32_t>& got = answer.vars[i].oid;
        const bool fits = command == SNMP_MSG_GETNEXT
                              ? answer.exception[i] || SnmpOid::Less(asked, got)
                              : got == asked;
        if (!fits)
            return false;
    }
    return true;
}

} // namespace

// ---------------------------------------------------------------- CSnmpAbort

CSnmpAbort::CSnmpAbort() : m_nEventFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CSnmpAbort::~CSnmpAbort() {
    if (m_nEventFd >= 0)
        ::close(m_nEventFd);
}

void CSnmpAbort::raise() {
    std::lock_guard lock(m_mutex);
    if (m_bRaised.exchange(true, std::memory_order_acq_rel))
        return;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_nEventFd, &one, sizeof one);
}

void CSnmpAbort::clear() {
    std::lock_guard lock(m_mutex);
    uint64_t count;
    while (::read(m_nEventFd, &count, sizeof count) > 0) {
    }
    m_bRaised.store(false, std::memory_order_release);
}

// ---------------------------------------------------------------- CSnmp

// Start-up normally did it already; a program or test that did not still works.
CSnmp::CSnmp() { SnmpInit(nullptr); }
CSnmp::~CSnmp() = default;

int CSnmp::setType(int kind) {
    if (kind != SnmpKind::kGet && kind != SnmpKind::kGetNext && kind != SnmpKind::kSet)
        return SnmpResult::kBadArgument;
    std::lock_guard lock(m_mutex);
    m_nKind = kind;
    ++m_uRevision;
    return SnmpResult::kOk;
}

int CSnmp::getType() const {
    std::lock_guard lock(m_mutex);
    return m_nKind;
}

void CSnmp::clearVarBindList() {
    std::lock_guard lock(m_mutex);
    m_vars.clear();
    ++m_uRevision;
}

int CSnmp::addValue(const char* oid, int type, const char* value) {
    if (type == SnmpType::kNull)
        return addValue(oid, type, nullptr, 0);
    if (!value)
        return SnmpResult::kBadArgument;
    return addValue(oid, type, value, std::strlen(value));
}

int CSnmp::addValue(const char* oid, int type, const char* value, unsigned long length) {
    SnmpVarBind var;
    if (!SnmpOid::Parse(oid, var.oid))
        return SnmpResult::kBadArgument;
    var.type = type;
    if (type != SnmpType::kNull) {
        if (!value)
            return SnmpResult::kBadArgument;
        var.value = QByteArray(value, qsizetype(length));
    }
    if (!IsValidValue(type, var.value))
        return SnmpResult::kBadArgument;
    std::lock_guard lock(m_mutex);
    m_vars.push_back(std::move(var));
    ++m_uRevision;
    return SnmpResult::kOk;
}

void CSnmp::setPort(int port) {
    std::lock_guard lock(m_mutex);
    m_nPort = port;
}

int CSnmp::getPort() const {
    std::lock_guard lock(m_mutex);
    return m_nPort;
}

void CSnmp::setAbort(std::shared_ptr<CSnmpAbort> abort) {
    std::lock_guard lock(m_mutex);
    m_pAbort = std::move(abort);
}

void CSnmp::abort() {
    std::shared_ptr<CSnmpAbort> abort;
    {
        std::lock_guard lock(m_mutex);
        abort = m_pAbort;
    }
    if (abort)
        abort->raise();
}

unsigned CSnmp::getValuesCount() const {
    std::lock_guard lock(m_mutex);
    return unsigned(m_vars.size());
}

int CSnmp::getValue(unsigned index, int& type, QByteArray& value) const {
    std::lock_guard lock(m_mutex);
    if (index >= m_vars.size())
        return SnmpResult::kBadIndex;
    type = m_vars[index].type;
    value = m_vars[index].value;
    return SnmpResult::kOk;
}

int CSnmp::getValue(unsigned index, int& type, QByteArray& value, unsigned long& length) const {
    const int result = getValue(index, type, value);
    length = result == SnmpResult::kOk ? static_cast<unsigned long>(value.size()) : 0;
    return result;
}

int CSnmp::getOid(unsigned index, QString& oid) const {
    std::lock_guard lock(m_mutex);
    if (index >= m_vars.size())
        return SnmpResult::kBadIndex;
    oid = SnmpOid::Text(m_vars[index].oid);
    return SnmpResult::kOk;
}

int CSnmp::getRequestID() const {
    std::lock_guard lock(m_mutex);
    return m_nRequestId;
}

int CSnmp::getErrorInfo(long& status, unsigned long& index) const {
    std::lock_guard lock(m_mutex);
    status = m_lErrorStatus;
    index = m_ulErrorIndex;
    return SnmpResult::kOk;
}

QByteArray CSnmp::valueAt(unsigned index) const {
    int type;
    QByteArray value;
    getValue(index, type, value);
    return value;
}

QString CSnmp::oidAt(unsigned index) const {
    QString oid;
    getOid(index, oid);
    return oid;
}

int CSnmp::typeAt(unsigned index) const {
    int type = SnmpType::kNull;
    QByteArray value;
    getValue(index, type, value);
    return type;
}

std::unique_ptr<CSnmp> CSnmp::makeAnswer(std::vector<SnmpVarBind> vars, int requestId,
                                         long errorStatus, unsigned long errorIndex) {
    std::unique_ptr<CSnmp> answer(new CSnmp);
    answer->m_vars = std::move(vars);
    answer->m_nRequestId = requestId;
    answer->m_lErrorStatus = errorStatus;
    answer->m_ulErrorIndex = errorIndex;
    return answer;
}

std::vector<SnmpVarBind> CSnmp::varBinds() const {
    std::lock_guard lock(m_mutex);
    return m_vars;
}

unsigned CSnmp::revision() const {
    std::lock_guard lock(m_mutex);
    return m_uRevision;
}

void CSnmp::setRequestID(int id) {
    std::lock_guard lock(m_mutex);
    m_nRequestId = id;
}

void CSnmp::setLastError(long status, unsigned long index) {
    std::lock_guard lock(m_mutex);
    m_lErrorStatus = status;
    m_ulErrorIndex = index;
}

bool CSnmp::fillTarget(SnmpTarget& /*target*/) const {
    return false;
}

int CSnmp::msgMaxSize() const {
    SnmpTarget target;
    std::lock_guard lock(m_mutex);
    return fillTarget(target) ? target.msgMaxSize : 1024;
}

int CSnmp::snmpVersion() const {
    SnmpTarget target;
    std::lock_guard lock(m_mutex);
    return fillTarget(target) ? target.version : 0;
}

int CSnmp::exchange(const char* host, snmp_pdu* pdu, snmp_pdu** response, unsigned long timeoutMs) {
    *response = nullptr;
    std::lock_guard io(m_ioMutex);
    const auto deadline = CNetSession::Clock::now() + std::chrono::milliseconds(
                                                          timeoutMs ? timeoutMs : GetSnmpTimeout());
    long ticket = 0;
    const int result = startExchangeLocked(host, pdu, timeoutMs, ticket);
    if (result != SnmpResult::kOk)
        return result;
    std::shared_ptr<CSnmpAbort> abort;
    {
        std::lock_guard lock(m_mutex);
        abort = m_pAbort;
    }
    return m_pNet->Finish(ticket, response, deadline, abort.get());
}

int CSnmp::startExchange(const char* host, snmp_pdu* pdu, unsigned long timeoutMs, long& ticket) {
    std::lock_guard io(m_ioMutex);
    return startExchangeLocked(host, pdu, timeoutMs, ticket);
}

int CSnmp::startExchangeLocked(const char* host, snmp_pdu* pdu, unsigned long& timeoutMs,
                               long& ticket) {
    ticket = 0;
    SnmpTarget target;
    std::shared_ptr<CSnmpAbort> abort;
    bool usable;
    {
        std::lock_guard lock(m_mutex);
        usable = fillTarget(target) && host;
        target.port = m_nPort;
        abort = m_pAbort;
    }
    if (!usable) {
        SnmpPdu::Free(pdu);
        return SnmpResult::kBadArgument;
    }
    target.host = host;
    if (timeoutMs == 0)
        timeoutMs = GetSnmpTimeout();
    const auto deadline = CNetSession::Clock::now() + std::chrono::milliseconds(timeoutMs);
    // A lost datagram gets one more try within the same total; a set is sent
    // once, because repeating it (a row creation) can be refused after it worked.
    const int retries = (pdu->command != SNMP_MSG_SET && timeoutMs >= 1000) ? 1 : 0;

    const std::string key = target.Key();
    if (!m_pNet || m_strNetKey != key) {
        m_pNet.reset();
        const int result = CNetSession::Open(target, m_pNet);
        if (result != SnmpResult::kOk) {
            SnmpPdu::Free(pdu);
            return result;
        }
        m_strNetKey = key;
    }
    return m_pNet->Start(pdu, deadline, retries, abort.get(), ticket);
}

int CSnmp::finishExchange(long ticket, snmp_pdu** response, unsigned long timeoutMs) {
    *response = nullptr;
    std::shared_ptr<CSnmpAbort> abort;
    {
        std::lock_guard lock(m_mutex);
        abort = m_pAbort;
    }
    if (timeoutMs == 0)
        timeoutMs = GetSnmpTimeout();
    std::lock_guard io(m_ioMutex);
    if (!m_pNet)
        return SnmpResult::kSendFailed;
    return m_pNet->Finish(ticket, response,
                          CNetSession::Clock::now() + std::chrono::milliseconds(timeoutMs),
                          abort.get());
}

int CSnmp::send(const char* host, std::unique_ptr<CSnmp>& answer, unsigned long timeoutMs) {
    answer.reset();
    std::vector<SnmpVarBind> vars;
    int kind;
    {
        std::lock_guard lock(m_mutex);
        vars = m_vars;
        kind = m_nKind;
    }
    if (vars.empty())
        return SnmpResult::kBadArgument;
    const int command = kind == SnmpKind::kSet       ? SNMP_MSG_SET
                        : kind == SnmpKind::kGetNext ? SNMP_MSG_GETNEXT
                                                     : SNMP_MSG_GET;
    snmp_pdu* pdu = SnmpPdu::Build(command, vars);
    if (!pdu)
        return SnmpResult::kBadArgument;
    snmp_pdu* response = nullptr;
    const int result = exchange(host, pdu, &response, timeoutMs);
    if (result != SnmpResult::kOk) {
        setLastError(0, 0);
        return result;
    }
    SnmpPdu::Answer converted = SnmpPdu::Convert(response);
    SnmpPdu::Free(response);
    if (converted.errorStatus == SnmpErrorStatus::kNoError &&
        !AnswersRequest(command, vars, converted)) {
        setLastError(0, 0);
        return SnmpResult::kProtocol;
    }
    long status = converted.errorStatus;
    unsigned long index = converted.errorIndex;
    if (status == SnmpErrorStatus::kNoError && converted.firstException > 0) {
        status = SnmpErrorStatus::kNoSuchName;
        index = converted.firstException;
    }
    setLastError(status, index);
    setRequestID(converted.requestId);
    answer = makeAnswer(std::move(converted.vars), converted.requestId, status, index);
    return status == SnmpErrorStatus::kNoError ? SnmpResult::kOk : SnmpResult::kErrorStatus;
}

// ---------------------------------------------------------------- CSnmpV1

CSnmpV1::CSnmpV1(int /*flags*/, int version) : m_nVersion(version == 2 ? 2 : 1) {}

void CSnmpV1::setCommunity(const char* community) {
    std::lock_guard lock(m_mutex);
    m_community = community ? QByteArray(community) : QByteArray();
}

void CSnmpV1::setVersion(int version) {
    std::lock_guard lock(m_mutex);
    m_nVersion = version == 2 ? 2 : 1;
}

bool CSnmpV1::fillTarget(SnmpTarget& target) const {
    target.version = m_nVersion;
    target.community = m_community;
    // No size is negotiated in v2c; this fits one Ethernet frame.
    target.msgMaxSize = 1472;
    return true;
}

// ---------------------------------------------------------------- CSnmpV3

CSnmpV3::CSnmpV3(int /*flags*/) {}

void CSnmpV3::setMsgMaxSize(int size) {
    std::lock_guard lock(m_mutex);
    m_nMsgMaxSize = std::clamp(size, 484, 65507); // 484: the smallest an engine must take
}

void CSnmpV3::setMsgSecurityModel(int model) {
    std::lock_guard lock(m_mutex);
    m_nSecurityModel = model;
}

void CSnmpV3::setUserName(const char* name) {
    std::lock_guard lock(m_mutex);
    m_userName = name ? QByteArray(name) : QByteArray();
}

void CSnmpV3::setMsgFlags(int flags) {
    std::lock_guard lock(m_mutex);
    m_nMsgFlags = flags;
}

int CSnmpV3::getMsgFlags() const {
    std::lock_guard lock(m_mutex);
    return m_nMsgFlags;
}

void CSnmpV3::setAuthArith(int arith) {
    std::lock_guard lock(m_mutex);
    m_nAuthArith = arith;
}

void CSnmpV3::setAuthPwd(const char* bytes, unsigned long length) {
    std::lock_guard lock(m_mutex);
    m_authPwd = bytes ? QByteArray(bytes, qsizetype(length)) : QByteArray();
}

void CSnmpV3::setPriArith(int arith) {
    std::lock_guard lock(m_mutex);
    m_nPriArith = arith;
}

void CSnmpV3::setPriPwd(const char* bytes, unsigned long length) {
    std::lock_guard lock(m_mutex);
    m_priPwd = bytes ? QByteArray(bytes, qsizetype(length)) : QByteArray();
}

bool CSnmpV3::fillTarget(SnmpTarget& target) const {
    if (m_nSecurityModel != 3 || m_userName.isEmpty())
        return false;
    target.version = 3;
    target.user = m_userName;
    target.msgMaxSize = m_nMsgMaxSize;
    // Flags: bit 0 authentication, bit 1 privacy (privacy needs authentication).
    const bool auth = m_nMsgFlags & 1;
    const bool priv = auth && (m_nMsgFlags & 2);
    target.securityLevel = priv ? 3 : auth ? 2 : 1;
    if (auth) {
        target.authArith = m_nAuthArith;
        target.authPwd = m_authPwd;
    }
    if (priv) {
        target.privArith = m_nPriArith;
        target.privPwd = m_priPwd;
    }
    return true;
}
