#pragma once

// Engine-internal: one net-snmp session (a UDP socket with its security
// settings) and the exchange of one PDU over it, abortable from another
// thread. net-snmp here is built without its own locking, so every call into
// the library goes through SnmpLibraryMutex(); the waits do not.
//
// A v3 session sends a discovery probe only when no earlier session of the
// process learned the agent's engine for the same peer and credentials; if
// the first answer shows that engine gone (another agent on the port, or
// one that rebooted), it discovers again and resends the request once.

#include <QByteArray>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>

struct snmp_pdu;
class CSnmpAbort;

std::mutex& SnmpLibraryMutex();

struct SnmpTarget {
    int version = 1; // 1, 2 (v2c) or 3
    std::string host;
    int port = 161;
    QByteArray community;
    // User-based only.
    QByteArray user;
    int securityLevel = 1; // 1 noAuthNoPriv, 2 authNoPriv, 3 authPriv
    int authArith = 0;
    QByteArray authPwd;
    int privArith = 0;
    QByteArray privPwd;
    int msgMaxSize = 1024;

    // Everything that needs a new socket or new keys when it changes.
    std::string Key() const;
};

class CNetSession {
public:
    using Clock = std::chrono::steady_clock;

    // SnmpResult::kOk, or kSendFailed / kBadArgument with no session.
    static int Open(const SnmpTarget& target, std::unique_ptr<CNetSession>& session);
    ~CNetSession();
    CNetSession(const CNetSession&) = delete;
    CNetSession& operator=(const CNetSession&) = delete;

    // Sends pdu (consumed) and waits for its answer until deadline, retrying
    // within it when retries > 0. kOk gives the answering PDU (a Response;
    // refusals in it are the caller's to read).
    int Exchange(snmp_pdu* pdu, snmp_pdu** response, Clock::time_point deadline, int retries,
                 const CSnmpAbort* abort);
    // Exchange in two halves: Start sends pdu (consumed) and gives its id;
    // Finish waits for that answer. One request is outstanding at a time: a
    // later Start abandons an earlier one, whose Finish then fails with
    // kSendFailed at once. The answer waits in the socket meanwhile.
    int Start(snmp_pdu* pdu, Clock::time_point deadline, int retries, const CSnmpAbort* abort,
              long& requestId);
    int Finish(long requestId, snmp_pdu** response, Clock::time_point deadline,
               const CSnmpAbort* abort);

private:
    CNetSession() = default;
    int Discover(Clock::time_point deadline, int retries, const CSnmpAbort* abort);
    // Puts the engine into the session and the user with its keys into the
    // library's USM list; under the library lock.
    int UseEngine(const std::string& engineId);
    int Send(snmp_pdu* pdu, Clock::time_point deadline, int retries, const CSnmpAbort* abort,
             long& requestId);
    int Wait(long requestId, snmp_pdu** response, Clock::time_point deadline,
             const CSnmpAbort* abort);
    static int OnAnswer(int op, struct snmp_session* session, int reqid, snmp_pdu* pdu,
                        void* magic);

    void* m_pSess = nullptr;
    bool m_bUserBased = false;
    bool m_bDiscovered = false;
    bool m_bFromCache = false;   // the engine came from the cache, not a probe
    bool m_bStaleEngine = false; // another engine answered the cached one's request
    std::string m_strUser;
    std::string m_strUserKey;   // credentials the cached USM user must have
    std::string m_strEngineKey; // peer and credentials: the engine cache's key
    // A copy of the request sent to a cached engine, sent again once after
    // rediscovery if the agent turns out to be another engine or rebooted.
    snmp_pdu* m_pRetry = nullptr;
    int m_nRetries = 0;

    // The answer being waited for; written by OnAnswer under the library lock.
    long m_lWaitReqId = 0;
    bool m_bDone = false;
    int m_nOp = 0;
    snmp_pdu* m_pResponse = nullptr;
};
