#include "NetSession.h"

#include "Snmp.h"
#include "SnmpInit.h"

#include <QCryptographicHash>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
// These need the two above first.
#include <net-snmp/library/keytools.h>
#include <net-snmp/library/large_fd_set.h>
#include <net-snmp/library/snmpusm.h>
#include <net-snmp/library/transform_oids.h>

#include <poll.h>

#include <cstring>
#include <map>

namespace {

struct ProtocolOid {
    const oid* id;
    size_t length;
};

ProtocolOid AuthProtocol(int arith) {
    switch (arith) {
    case SnmpAuthArith::kMd5:
        return {usmHMACMD5AuthProtocol, USM_AUTH_PROTO_MD5_LEN};
    case SnmpAuthArith::kSha:
        return {usmHMACSHA1AuthProtocol, USM_AUTH_PROTO_SHA_LEN};
    case SnmpAuthArith::kSha256:
        return {usmHMAC192SHA256AuthProtocol, OID_LENGTH(usmHMAC192SHA256AuthProtocol)};
    case SnmpAuthArith::kSha384:
        return {usmHMAC256SHA384AuthProtocol, OID_LENGTH(usmHMAC256SHA384AuthProtocol)};
    case SnmpAuthArith::kSha512:
        return {usmHMAC384SHA512AuthProtocol, OID_LENGTH(usmHMAC384SHA512AuthProtocol)};
    default:
        return {nullptr, 0};
    }
}

ProtocolOid PrivProtocol(int arith) {
    switch (arith) {
    case SnmpPrivArith::kDes:
        return {usmDESPrivProtocol, USM_PRIV_PROTO_DES_LEN};
    case SnmpPrivArith::kAes128:
        return {usmAESPrivProtocol, USM_PRIV_PROTO_AES_LEN};
    default:
        return {nullptr, 0};
    }
}

bool IsPlainHost(const std::string& host) {
    if (host.empty() || host.size() > 253)
        return false;
    for (char c : host)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-'))
            return false;
    return true;
}

// USM users net-snmp keeps, by engine ID and name: the credentials they were
// made with. The library reuses a user it has whatever the password, so one
// made with other credentials is dropped before it is made again.
std::map<std::string, std::string>& InstalledUsers() {
    static std::map<std::string, std::string> users;
    return users;
}

void DropCachedUser(const std::string& name, const std::string& engineId) {
    for (usmUser* user = usm_get_userList(); user;) {
        usmUser* next = user->next;
        if (user->name && name == user->name &&
            std::string(reinterpret_cast<const char*>(user->engineID), user->engineIDLen) ==
                engineId) {
            usm_remove_user(user);
            usm_free_user(user);
        }
        user = next;
    }
}

// Engine IDs learned by discovery, by peer and credentials. Boots and time
// are not kept here: the library keeps them per engine ID for the process,
// advances them itself (get_enginetime) and takes new ones from every
// authenticated answer or report.
std::map<std::string, std::string>& KnownEngines() {
    static std::map<std::string, std::string> engines;
    return engines;
}

std::string CredentialsKey(const SnmpTarget& target) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QByteArray fields[] = {
        target.user,
        QByteArray::number(target.securityLevel),
        QByteArray::number(target.authArith),
        target.authPwd,
        QByteArray::number(target.privArith),
        target.privPwd,
    };
    for (const QByteArray& field : fields) {
        hash.addData(QByteArray::number(field.size()) + ':');
        hash.addData(field);
    }
    return hash.result().toHex().toStdString();
}

// The reports that say the engine we hold is not the one answering now:
// another agent on that port, or one that rebooted beyond what the library
// could resynchronise on its own.
bool IsStaleEngineReport(const snmp_pdu* report) {
    static const oid kUnknownEngineIds[] = {1, 3, 6, 1, 6, 3, 15, 1, 1, 4, 0};
    static const oid kNotInTimeWindows[] = {1, 3, 6, 1, 6, 3, 15, 1, 1, 2, 0};
    const netsnmp_variable_list* var = report->variables;
    if (!var)
        return false;
    return snmp_oid_compare(var->name, var->name_length, kUnknownEngineIds,
                            OID_LENGTH(kUnknownEngineIds)) == 0 ||
           snmp_oid_compare(var->name, var->name_length, kNotInTimeWindows,
                            OID_LENGTH(kNotInTimeWindows)) == 0;
}

// Messages the library threw away for want of a user for their engine;
// process-wide, so read under the library lock around one read.
u_int RejectedByUsm() {
    return snmp_get_statistic(STAT_USMSTATSUNKNOWNUSERNAMES) +
           snmp_get_statistic(STAT_USMSTATSUNKNOWNENGINEIDS);
}

using Ms = std::chrono::milliseconds;

} // namespace

std::mutex& SnmpLibraryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string SnmpTarget::Key() const {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QByteArray fields[] = {
        QByteArray::number(version),
        QByteArray::fromStdString(host),
        QByteArray::number(port),
        community,
        user,
        QByteArray::number(securityLevel),
        QByteArray::number(authArith),
        authPwd,
        QByteArray::number(privArith),
        privPwd,
    };
    for (const QByteArray& field : fields) {
        hash.addData(QByteArray::number(field.size()) + ':');
        hash.addData(field);
    }
    return hash.result().toHex().toStdString();
}

int CNetSession::Open(const SnmpTarget& target, std::unique_ptr<CNetSession>& session) {
    session.reset();
    SnmpInit(nullptr);
    if (!IsPlainHost(target.host) || target.port <= 0 || target.port > 65535)
        return SnmpResult::kSendFailed;

    netsnmp_session settings;
    std::string peer = "udp:" + target.host + ":" + std::to_string(target.port);
    QByteArray community = target.community;
    QByteArray user = target.user;
    std::unique_ptr<CNetSession> created(new CNetSession);
    {
        std::lock_guard lock(SnmpLibraryMutex());
        snmp_sess_init(&settings);
    }
    settings.peername = peer.data();
    settings.retries = 0;
    settings.timeout = 1000000;
    if (target.version == 3) {
        settings.version = SNMP_VERSION_3;
        settings.flags |= SNMP_FLAGS_DONT_PROBE; // discovery is ours, so it can be aborted
        settings.securityModel = SNMP_SEC_MODEL_USM;
        settings.securityName = user.data();
        settings.securityNameLen = size_t(user.size());
        // The header announces what the socket takes, not msgMaxSize: an agent
        // that must cut a GETBULK answer to a small size may not cope (snmpd
        // 5.9.3 spins forever cutting one to 1024 bytes). msgMaxSize sizes the
        // walker's requests instead, so answers stay near it anyway.
        settings.securityLevel = target.securityLevel == 3   ? SNMP_SEC_LEVEL_AUTHPRIV
                                 : target.securityLevel == 2 ? SNMP_SEC_LEVEL_AUTHNOPRIV
                                                             : SNMP_SEC_LEVEL_NOAUTH;
        if (target.securityLevel >= 2) {
            const ProtocolOid auth = AuthProtocol(target.authArith);
            if (!auth.id)
                return SnmpResult::kBadArgument;
            settings.securityAuthProto = const_cast<oid*>(auth.id);
            settings.securityAuthProtoLen = auth.length;
            settings.securityAuthKeyLen = USM_AUTH_KU_LEN;
            if (generate_Ku(auth.id, u_int(auth.length),
                            reinterpret_cast<const u_char*>(target.authPwd.constData()),
                            size_t(target.authPwd.size()), settings.securityAuthKey,
                            &settings.securityAuthKeyLen) != SNMPERR_SUCCESS)
                return SnmpResult::kBadArgument;
            if (target.securityLevel == 3) {
                const ProtocolOid priv = PrivProtocol(target.privArith);
                if (!priv.id)
                    return SnmpResult::kBadArgument;
                settings.securityPrivProto = const_cast<oid*>(priv.id);
                settings.securityPrivProtoLen = priv.length;
                settings.securityPrivKeyLen = USM_PRIV_KU_LEN;
                if (generate_Ku(auth.id, u_int(auth.length),
                                reinterpret_cast<const u_char*>(target.privPwd.constData()),
                                size_t(target.privPwd.size()), settings.securityPrivKey,
                                &settings.securityPrivKeyLen) != SNMPERR_SUCCESS)
                    return SnmpResult::kBadArgument;
            }
        }
        created->m_bUserBased = true;
        created->m_strUser = target.user.toStdString();
        created->m_strUserKey = CredentialsKey(target);
        created->m_strEngineKey =
            target.host + ':' + std::to_string(target.port) + '/' + created->m_strUserKey;
    } else {
        settings.version = target.version == 2 ? SNMP_VERSION_2c : SNMP_VERSION_1;
        settings.community = reinterpret_cast<u_char*>(community.data());
        settings.community_len = size_t(community.size());
    }

    std::lock_guard lock(SnmpLibraryMutex());
    created->m_pSess = snmp_sess_open(&settings);
    if (!created->m_pSess)
        return SnmpResult::kSendFailed;
    // Opening clears the flag; without it every send would discover first,
    // synchronously.
    if (target.version == 3)
        snmp_sess_session(created->m_pSess)->flags |= SNMP_FLAGS_DONT_PROBE;
    session = std::move(created);
    return SnmpResult::kOk;
}

CNetSession::~CNetSession() {
    std::lock_guard lock(SnmpLibraryMutex());
    if (m_pRetry)
        snmp_free_pdu(m_pRetry);
    if (m_pResponse)
        snmp_free_pdu(m_pResponse);
    if (m_pSess)
        snmp_sess_close(m_pSess);
}

int CNetSession::OnAnswer(int op, netsnmp_session* /*session*/, int reqid, netsnmp_pdu* pdu,
                          void* magic) {
    // Runs inside snmp_sess_read/snmp_sess_timeout, under the library lock.
    auto* self = static_cast<CNetSession*>(magic);
    if (reqid != self->m_lWaitReqId || self->m_bDone)
        return 1; // an abandoned request's late answer or time-out
    if (op == NETSNMP_CALLBACK_OP_SEC_ERROR || op == NETSNMP_CALLBACK_OP_RESEND)
        return 1; // the report itself follows, or the library tries again
    self->m_bDone = true;
    self->m_nOp = op;
    if (op == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE && pdu)
        self->m_pResponse = snmp_clone_pdu(pdu);
    return 1;
}

int CNetSession::Exchange(snmp_pdu* pdu, snmp_pdu** response, Clock::time_point deadline,
                          int retries, const CSnmpAbort* abort) {
    long requestId = 0;
    const int result = Start(pdu, deadline, retries, abort, requestId);
    return result == SnmpResult::kOk ? Finish(requestId, response, deadline, abort) : result;
}

int CNetSession::Start(snmp_pdu* pdu, Clock::time_point deadline, int retries,
                       const CSnmpAbort* abort, long& requestId) {
    requestId = 0;
    if (m_bUserBased && !m_bDiscovered) {
        int result = SnmpResult::kProtocol;
        {
            std::lock_guard lock(SnmpLibraryMutex());
            const auto known = KnownEngines().find(m_strEngineKey);
            if (known != KnownEngines().end()) {
                result = UseEngine(known->second);
                m_bFromCache = result == SnmpResult::kOk;
            }
        }
        if (result != SnmpResult::kOk)
            result = Discover(deadline, retries, abort);
        if (result != SnmpResult::kOk) {
            std::lock_guard lock(SnmpLibraryMutex());
            snmp_free_pdu(pdu);
            return result;
        }
    }
    {
        std::lock_guard lock(SnmpLibraryMutex());
        if (m_pRetry) {
            snmp_free_pdu(m_pRetry);
            m_pRetry = nullptr;
        }
        if (m_bFromCache)
            m_pRetry = snmp_clone_pdu(pdu);
        m_nRetries = retries;
    }
    return Send(pdu, deadline, retries, abort, requestId);
}

int CNetSession::Finish(long requestId, snmp_pdu** response, Clock::time_point deadline,
                        const CSnmpAbort* abort) {
    *response = nullptr;
    snmp_pdu* answer = nullptr;
    int result = Wait(requestId, &answer, deadline, abort);
    if (m_bFromCache) {
        // The first answer through a cached engine decides whether it holds.
        snmp_pdu* retry = nullptr;
        bool stale = false;
        {
            std::lock_guard lock(SnmpLibraryMutex());
            retry = m_pRetry;
            m_pRetry = nullptr;
            stale = m_bStaleEngine ||
                    (result == SnmpResult::kOk && answer->command == SNMP_MSG_REPORT &&
                     IsStaleEngineReport(answer));
            m_bStaleEngine = false;
            if (stale || result == SnmpResult::kTimeout)
                KnownEngines().erase(m_strEngineKey); // the next session discovers
            if (stale && answer) {
                snmp_free_pdu(answer);
                answer = nullptr;
            }
            if (!stale && retry) {
                snmp_free_pdu(retry);
                retry = nullptr;
            }
        }
        m_bFromCache = false;
        if (stale) {
            // Once, within the request's own deadline.
            result = retry ? Discover(deadline, m_nRetries, abort) : SnmpResult::kAuthFailed;
            long retryId = 0;
            if (result == SnmpResult::kOk) {
                {
                    // New ids: the library would match the answer to the
                    // abandoned first send and drop it as from the old engine.
                    std::lock_guard lock(SnmpLibraryMutex());
                    retry->reqid = snmp_get_next_reqid();
                    retry->msgid = snmp_get_next_msgid();
                }
                result = Send(retry, deadline, m_nRetries, abort, retryId);
            } else if (retry) {
                std::lock_guard lock(SnmpLibraryMutex());
                snmp_free_pdu(retry);
            }
            if (result == SnmpResult::kOk)
                result = Wait(retryId, &answer, deadline, abort);
        }
    }
    if (result != SnmpResult::kOk)
        return result;
    if (answer->command == SNMP_MSG_REPORT) {
        // USM refusals (unknown user, wrong digest, unsupported level) come as reports.
        std::lock_guard lock(SnmpLibraryMutex());
        snmp_free_pdu(answer);
        return SnmpResult::kAuthFailed;
    }
    if (answer->command != SNMP_MSG_RESPONSE) {
        std::lock_guard lock(SnmpLibraryMutex());
        snmp_free_pdu(answer);
        return SnmpResult::kProtocol;
    }
    *response = answer;
    return SnmpResult::kOk;
}

int CNetSession::Discover(Clock::time_point deadline, int retries, const CSnmpAbort* abort) {
    snmp_pdu* probe;
    {
        std::lock_guard lock(SnmpLibraryMutex());
        probe = snmp_pdu_create(SNMP_MSG_GET);
        probe->version = SNMP_VERSION_3;
        probe->securityName = strdup("");
        probe->securityNameLen = 0;
        probe->securityLevel = SNMP_SEC_LEVEL_NOAUTH;
        probe->securityModel = SNMP_SEC_MODEL_USM;
    }
    snmp_pdu* report = nullptr;
    long probeId = 0;
    int result = Send(probe, deadline, retries, abort, probeId);
    if (result == SnmpResult::kOk)
        result = Wait(probeId, &report, deadline, abort);
    std::lock_guard lock(SnmpLibraryMutex());
    std::string engineId;
    if (report) {
        if (report->securityEngineIDLen > 0)
            engineId.assign(reinterpret_cast<const char*>(report->securityEngineID),
                            report->securityEngineIDLen);
        snmp_free_pdu(report);
    }
    if (result != SnmpResult::kOk)
        return result;
    if (engineId.empty())
        return SnmpResult::kProtocol;
    result = UseEngine(engineId);
    if (result == SnmpResult::kOk)
        KnownEngines()[m_strEngineKey] = engineId;
    return result;
}

int CNetSession::UseEngine(const std::string& engineId) {
    netsnmp_session* session = snmp_sess_session(m_pSess);
    // The target never names a context engine: it is the authoritative one.
    SNMP_FREE(session->securityEngineID);
    SNMP_FREE(session->contextEngineID);
    session->securityEngineID =
        static_cast<u_char*>(netsnmp_memdup(engineId.data(), engineId.size()));
    session->securityEngineIDLen = engineId.size();
    session->contextEngineID =
        static_cast<u_char*>(netsnmp_memdup(engineId.data(), engineId.size()));
    session->contextEngineIDLen = engineId.size();
    session->flags &= ~SNMP_FLAGS_USER_CREATED;
    m_bDiscovered = false;

    std::string& installed = InstalledUsers()[engineId + '\0' + m_strUser];
    if (installed != m_strUserKey) {
        DropCachedUser(m_strUser, engineId);
        installed = m_strUserKey;
    }
    if (usm_create_user_from_session(session) != SNMPERR_SUCCESS) {
        installed.clear();
        return SnmpResult::kAuthFailed;
    }
    m_bDiscovered = true;
    return SnmpResult::kOk;
}

int CNetSession::Send(snmp_pdu* pdu, Clock::time_point deadline, int retries,
                      const CSnmpAbort* abort, long& requestId) {
    requestId = 0;
    const auto total =
        std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
    if ((abort && abort->isRaised()) || total.count() <= 0) {
        std::lock_guard lock(SnmpLibraryMutex());
        snmp_free_pdu(pdu);
        return abort && abort->isRaised() ? SnmpResult::kAborted : SnmpResult::kTimeout;
    }
    std::lock_guard lock(SnmpLibraryMutex());
    netsnmp_session* session = snmp_sess_session(m_pSess);
    session->retries = retries;
    session->timeout = long(total.count() / (retries + 1));
    // An earlier request still outstanding is abandoned; its answer is dropped.
    m_bDone = false;
    m_nOp = 0;
    m_lWaitReqId = 0;
    if (m_pResponse) {
        snmp_free_pdu(m_pResponse);
        m_pResponse = nullptr;
    }
    const int reqid = snmp_sess_async_send(m_pSess, pdu, &CNetSession::OnAnswer, this);
    if (reqid == 0) {
        snmp_free_pdu(pdu);
        return SnmpResult::kSendFailed;
    }
    m_lWaitReqId = reqid;
    requestId = reqid;
    return SnmpResult::kOk;
}

int CNetSession::Wait(long requestId, snmp_pdu** response, Clock::time_point deadline,
                      const CSnmpAbort* abort) {
    *response = nullptr;
    int sock = -1;
    {
        std::lock_guard lock(SnmpLibraryMutex());
        if (requestId == 0 || m_lWaitReqId != requestId)
            return SnmpResult::kSendFailed; // abandoned for a later request
        sock = snmp_sess_transport(m_pSess)->sock;
    }

    // Give the library a little beyond its own time-out so that it reports it.
    const Clock::time_point hardDeadline = deadline + Ms(200);
    for (;;) {
        int waitMs;
        {
            std::lock_guard lock(SnmpLibraryMutex());
            if (m_bDone)
                break;
            int fds = 0, block = 1;
            timeval tv{};
            netsnmp_large_fd_set set;
            netsnmp_large_fd_set_init(&set, sock + 1);
            snmp_sess_select_info2(m_pSess, &fds, &set, &tv, &block);
            netsnmp_large_fd_set_cleanup(&set);
            const auto left =
                std::chrono::duration_cast<Ms>(hardDeadline - Clock::now()).count() + 1;
            const long libraryMs = block ? left : tv.tv_sec * 1000 + (tv.tv_usec + 999) / 1000;
            waitMs = int(std::max<long>(0, std::min<long>(left, libraryMs)));
        }
        pollfd fds[2] = {{sock, POLLIN, 0}, {abort ? abort->fd() : -1, POLLIN, 0}};
        const int ready = poll(fds, abort ? 2 : 1, waitMs);
        if (abort && abort->isRaised()) {
            std::lock_guard lock(SnmpLibraryMutex());
            m_lWaitReqId = 0; // its answer, if it still comes, is dropped
            return SnmpResult::kAborted;
        }
        {
            std::lock_guard lock(SnmpLibraryMutex());
            if (ready > 0 && (fds[0].revents & POLLIN)) {
                netsnmp_large_fd_set set;
                netsnmp_large_fd_set_init(&set, sock + 1);
                NETSNMP_LARGE_FD_SET(sock, &set);
                const u_int rejected = RejectedByUsm();
                snmp_sess_read2(m_pSess, &set);
                netsnmp_large_fd_set_cleanup(&set);
                // An answer from an engine other than the cached one never
                // reaches us: the library drops it as from an unknown user.
                if (m_bFromCache && !m_bDone && RejectedByUsm() != rejected) {
                    m_lWaitReqId = 0;
                    m_bStaleEngine = true;
                    return SnmpResult::kAuthFailed;
                }
            } else {
                snmp_sess_timeout(m_pSess);
            }
            if (m_bDone)
                break;
            if (Clock::now() >= hardDeadline) {
                m_lWaitReqId = 0;
                return SnmpResult::kTimeout;
            }
        }
    }

    std::lock_guard lock(SnmpLibraryMutex());
    m_lWaitReqId = 0;
    if (m_nOp == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE && m_pResponse) {
        *response = m_pResponse;
        m_pResponse = nullptr;
        return SnmpResult::kOk;
    }
    return m_nOp == NETSNMP_CALLBACK_OP_TIMED_OUT ? SnmpResult::kTimeout : SnmpResult::kSendFailed;
}
