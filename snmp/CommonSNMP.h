#pragma once

// CCommonSNMP: one independent conversation with the managed switch. Pages
// and the main window own one per purpose (reads, writes, each table walk).
//
// Settings come from the launch settings at construction: g_strSnmpVersion
// ("1" SNMPv1, "2" SNMPv2c, "3" SNMPv3 USM), g_strDeviceIp, g_strSnmpPort,
// the communities, the v3 credentials and g_strSnmpTimeout (milliseconds).
//
// Use: Open(kind), AddVarBind for each variable, then Send (Get/Set),
// GetNextSync (one row) or GetNext (asynchronous walk). Results are 0 on
// success; -1 means the session was not ready (no successful Open, or no
// variable); other codes are those of SnmpResult (Snmp.h).
//
// Walks (GetNext): the callback runs on an engine thread (community-based) or
// the session's worker thread (user-based), never on the caller's. Its
// contract:
// - first TakeRequest(requestId); on 0 the answer is stale: return (the
//   unique_ptr deletes it);
// - status 0: one row; read it, hand it to the page (Deliver below), call
//   GetNext for the following row;
// - non-zero status: the walk is over (end of table, error, time-out): report
//   the end and call SetDone.
// Rows: one value per requested column, in request order; an empty cell has
// type 4 and empty text (a sparse table, or a column that ended early). The
// exceptions noSuchObject/noSuchInstance/endOfMibView are never values (see
// CSnmp in Snmp.h).
//
// Close (and Open, and destruction) cut short a request in flight and return
// once no step is in flight and no callback is running, so after Close
// returns no callback of this session runs or touches the caller. A callback
// that hands rows over with Deliver (or queues them without waiting) is
// released at once when the session closes. Callbacks must not wait for the
// owner's thread any other way (Close would wait out the time-out + 1000 ms
// and destruction for ever), nor call Open, Close or destroy their session.
//
// Open, Add*, Send, GetNextSync, Close: the owner's thread. GetNext,
// GetSuffix, TakeRequest, SetDone, Deliver: also callbacks.

#include "snmp/Outcome.h"
#include "snmp/engine/Snmp.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CCourier;
class CDeliveryTicket;
class CSnmpWorker;

class CCommonSNMP {
public:
    // Open kinds.
    static constexpr int kGet = SnmpKind::kGet;
    static constexpr int kGetNext = SnmpKind::kGetNext;
    static constexpr int kSet = SnmpKind::kSet;
    // Close's result when the wait ran out (as WAIT_TIMEOUT).
    static constexpr int kWaitTimeout = 258;

    CCommonSNMP();
    virtual ~CCommonSNMP();
    CCommonSNMP(const CCommonSNMP&) = delete;
    CCommonSNMP& operator=(const CCommonSNMP&) = delete;

    // Discards the previous request (and any walk of it) and prepares a new
    // one of kind 0 Get, 1 GetNext or 3 Set. False when the version, the
    // port or the kind is unusable; Open may be called again afterwards.
    bool Open(int kind);
    // type: 1 integer (decimal text), 2 octet string (text up to its first
    // zero byte), 4 no value (reads; value ignored), 8 IP address (dotted),
    // 10 unsigned 32-bit (decimal text).
    int AddVarBind(const QString& oid, int type, const char* value = nullptr);
    int AddVarBind(const QString& oid, int type, const QByteArray& value);
    // Octet strings with their exact length (PortList bitmaps, MAC bytes).
    int AddVarBindBytes(const QString& oid, int type, const char* bytes, unsigned long length);
    int AddVarBindBytes(const QString& oid, int type, const QByteArray& bytes);

    // timeoutMs 0 means the session's time-out. A refused request (the
    // agent's error-status is not noError) is a failure; the answer is still
    // handed over so that getErrorInfo tells which status and variable.
    int Send(std::unique_ptr<CSnmp>& answer, unsigned long timeoutMs = 0);
    // One row of the walk; non-zero at the end of the table, on error or
    // time-out.
    int GetNextSync(std::unique_ptr<CSnmp>& answer, unsigned long timeoutMs = 0);
    // One asynchronous walk step; the callback gets its row or the end.
    // -1 when not ready or closed (no callback then).
    int GetNext(SnmpWalkCallback callback, void* param, unsigned long timeoutMs = 0);
    int GetSuffix(int index, const CSnmp* answer, QString& suffix);
    // 1 if the id was pending (it is then removed), else 0.
    int TakeRequest(int requestId);
    // The walk is over (the session also knows this by itself).
    void SetDone();
    // 0 when no step was left in flight, kWaitTimeout when the wait (at most
    // the time-out + 1000 ms) ran out.
    int Close();

    // Runs work on receiver's thread and waits until it has run, as a
    // synchronous window message does. Returns false without running it when
    // the session is closed or reopened first (or the receiver is gone), so a
    // closing page never waits for its walk's callback nor the other way
    // round. Called on the receiver's own thread, runs work at once.
    bool Deliver(QObject* receiver, std::function<void()> work);

    // Where the outcomes of the request flows (PageLink.h) go: the owning
    // page's outcome line. Any thread may report; the sink must not block.
    using OutcomeSink = std::function<void(const SOutcome&)>;
    void SetOutcomeSink(OutcomeSink sink);
    void ReportOutcome(SOutcome outcome) const;
    // "address:port" as the operator knows the switch.
    QString Peer() const;

    int Version() const { return m_nVersion; } // 1, 2, 3 or 0 (unusable)

    // Tests only: runs on the caller's thread right after a community-based
    // walk step has been handed to the engine, before GetNext returns.
    static inline void (*s_pAfterStepPosted)() = nullptr;
    int TimeoutMs() const { return m_nTimeoutMs; }
    bool IsClosed() const;
    // True while a walk step is in flight or its callback runs.
    bool IsBusy() const;

private:
    bool IsReadyLocked() const; // m_lock held
    void CancelWalk();          // closed: pending ids, hand-overs and the request in flight dropped
    void StopWalk();            // CancelWalk, then waits for the threads of the current request
    void RunStep(std::unique_ptr<CSnmp> answer, int requestId, int status,
                 const SnmpWalkCallback& callback, void* param);
    void ApplyUserCredentials(CSnmpV3& request) const;

    int m_nVersion = 0;
    int m_nPort = 0;
    std::unique_ptr<CSnmp> m_pRequest;
    std::unique_ptr<CSnmpTable> m_pTable;
    std::string m_strHost;
    int m_nTimeoutMs = 3000;
    QByteArray m_strReadCommunity;
    QByteArray m_strWriteCommunity;
    QString m_strSecurityLevel;
    QString m_strAuthProtocol;
    QString m_strPrivProtocol;
    QByteArray m_strUserName;
    QByteArray m_strAuthPassword;
    QByteArray m_strPrivPassword;

    // The session's lock: every use of m_pRequest and m_pTable.
    mutable std::mutex m_lock;

    // Walk state, under m_stateMutex (taken after m_lock, never before).
    mutable std::mutex m_stateMutex;
    std::condition_variable m_stateChanged;
    std::vector<int> m_pendingIds;
    bool m_bClosed = false;
    bool m_bWalkActive = false;
    int m_nStepsInFlight = 0;
    int m_nCallbacksRunning = 0;
    std::vector<std::shared_ptr<CDeliveryTicket>> m_tickets;

    struct CourierDeleter {
        void operator()(CCourier* courier) const;
    };
    std::unique_ptr<CCourier, CourierDeleter> m_pCourier; // Deliver's, in the receivers' thread

    std::shared_ptr<CSnmpAbort> m_pAbort;
    std::unique_ptr<CSnmpWorker> m_pWorker; // user-based walks

    mutable std::mutex m_outcomeMutex;
    OutcomeSink m_outcomeSink;
};
