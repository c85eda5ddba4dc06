#pragma once

// The SNMP engine: request objects (CSnmpV1 for community-based access, v1 or
// v2c messages; CSnmpV3 for user-based access) and the table walker
// CSnmpTable, on net-snmp's single-session API. Call SnmpInit (SnmpInit.h)
// once before the first request.
//
// Every operation returns 0 on success. Answers are CSnmp objects owned by the
// caller through std::unique_ptr; texts are QByteArray/QString, never
// caller-freed buffers. Each object may be used from any thread, and abort()
// may be called while another thread waits in send or getNext.

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Results of send, getNext, addValue, getValue, getOid and getSuffix.
namespace SnmpResult {
constexpr int kOk = 0;
constexpr int kNotReady = -1;   // the session has no request or no variable
constexpr int kTimeout = 1;     // no answer within the time-out
constexpr int kErrorStatus = 2; // the agent refused: getErrorInfo tells status and index
constexpr int kEndOfTable = 3;  // the walk is past its last row
constexpr int kSendFailed = 4;  // bad address or port, or the request could not be built
constexpr int kAuthFailed = 5;  // user-based security refused (user, password, level)
constexpr int kAborted = 6;     // cut short by abort() (a closing session)
constexpr int kBadArgument = 7; // OID, type code or value text not usable
constexpr int kBadIndex = 8;    // no variable with that index
constexpr int kProtocol = 9;    // the agent answered something unusable
constexpr int kRowLimit = 10;   // a walk stopped at its row limit: the table does not end
constexpr int kOutOfOrder = 11; // a walk stopped: the agent sent an OID that does not increase
} // namespace SnmpResult

// Value-type codes. Requests take 1, 2, 4, 8 and 10. Answers use all of them.
namespace SnmpType {
constexpr int kInteger = 1;     // INTEGER, decimal text ("-5")
constexpr int kOctetString = 2; // OCTET STRING (and BITS): the bytes, any length
constexpr int kNull = 4;        // no value: reads, and the empty cell of a walk
constexpr int kObjectId = 6;    // OBJECT IDENTIFIER, dotted ("1.3.6.1.4.1.32473")
constexpr int kIpAddress = 8;   // IpAddress, dotted quad
constexpr int kUnsigned = 10;   // Unsigned32/Gauge32, decimal
constexpr int kCounter32 = 11;  // decimal
constexpr int kTimeTicks = 12;  // hundredths of a second, decimal
constexpr int kCounter64 = 13;  // decimal
constexpr int kOpaque = 14;     // the bytes
} // namespace SnmpType

// Request kinds of setType.
namespace SnmpKind {
constexpr int kGet = 0;
constexpr int kGetNext = 1;
constexpr int kSet = 3;
} // namespace SnmpKind

// SNMP error-status values of getErrorInfo (RFC 3416 numbering).
namespace SnmpErrorStatus {
constexpr long kNoError = 0;
constexpr long kTooBig = 1;
constexpr long kNoSuchName = 2;
constexpr long kBadValue = 3;
constexpr long kReadOnly = 4;
constexpr long kGenErr = 5;
constexpr long kNotWritable = 17;
} // namespace SnmpErrorStatus

// Lets another thread cut short what a request is waiting for. Raised, it
// stays raised: every send or walk step fails at once with kAborted until
// clear() is called.
class CSnmpAbort {
public:
    CSnmpAbort();
    ~CSnmpAbort();
    CSnmpAbort(const CSnmpAbort&) = delete;
    CSnmpAbort& operator=(const CSnmpAbort&) = delete;

    void raise();
    void clear();
    bool isRaised() const { return m_bRaised.load(std::memory_order_acquire); }
    int fd() const { return m_nEventFd; } // readable while raised

private:
    std::atomic<bool> m_bRaised{false};
    std::mutex m_mutex;
    int m_nEventFd = -1;
};

class CNetSession;
struct SnmpTarget;
struct snmp_pdu;

// One variable of a request or an answer.
struct SnmpVarBind {
    std::vector<uint32_t> oid;
    int type = SnmpType::kNull;
    QByteArray value; // requests: the text given; answers: the value text or bytes
};

// A request, and also the answer to one. Answers are plain CSnmp objects.
//
// How v2c/v3 exceptions reach a caller: they are never values.
// - send (Get or Set): a noSuchObject or noSuchInstance variable makes the
//   send fail with kErrorStatus, getErrorInfo giving noSuchName (2) and the
//   1-based index of the variable, as a v1 agent would answer. endOfMibView
//   in a GetNext answer is reported the same way.
// - CSnmpTable walks: a column that has ended (endOfMibView, or the agent
//   moved past the column) gives an empty cell (type kNull, empty text) in
//   the rows that other columns still have; when every column has ended the
//   walk reports kEndOfTable. A column whose next OID is not greater than its
//   last ends the walk with kOutOfOrder; more rows than rowLimit() end it
//   with kRowLimit.
// - send: a Get or Set answer must name the requested OIDs in order, a
//   GetNext answer OIDs after them; anything else is kProtocol.
class CSnmp {
public:
    virtual ~CSnmp();
    CSnmp(const CSnmp&) = delete;
    CSnmp& operator=(const CSnmp&) = delete;

    // Request side.
    int setType(int kind); // SnmpKind; kBadArgument for anything else
    int getType() const;
    void clearVarBindList();
    // type 4 ignores value. For type 2 the text ends at its first zero byte.
    int addValue(const char* oid, int type, const char* value);
    int addValue(const char* oid, int type, const char* value, unsigned long length);
    void setPort(int port); // agent UDP port, 161 unless set
    int getPort() const;
    // A Get or Set answer is handed over whenever the agent answered, also
    // when the result is kErrorStatus, so that getErrorInfo can be read.
    int send(const char* host, std::unique_ptr<CSnmp>& answer, unsigned long timeoutMs);
    void setAbort(std::shared_ptr<CSnmpAbort> abort);
    void abort(); // raises the abort object, if any

    // Answer side (on a request: its variables as added).
    unsigned getValuesCount() const;
    int getValue(unsigned index, int& type, QByteArray& value) const;
    int getValue(unsigned index, int& type, QByteArray& value, unsigned long& length) const;
    int getOid(unsigned index, QString& oid) const;
    // Request: id of its last request or walk step; answer: id it answers.
    int getRequestID() const;
    void setRequestID(int id);
    // The agent's error-status and 1-based error-index (0 and 0 when none).
    // On a request: those of its last answer.
    int getErrorInfo(long& status, unsigned long& index) const;

    // Shorthands for readers: empty when index is out of range.
    QByteArray valueAt(unsigned index) const;
    QString oidAt(unsigned index) const;
    int typeAt(unsigned index) const;

    // An answer made by hand (tests of callers, stand-in agents).
    static std::unique_ptr<CSnmp> makeAnswer(std::vector<SnmpVarBind> vars, int requestId = 0,
                                             long errorStatus = 0, unsigned long errorIndex = 0);

protected:
    CSnmp();
    virtual bool fillTarget(SnmpTarget& target) const;

private:
    friend class CSnmpTable;
    std::vector<SnmpVarBind> varBinds() const;
    unsigned revision() const;
    void setLastError(long status, unsigned long index);
    // Builds the target, opens the socket when needed and exchanges one PDU
    // (a netsnmp_pdu, consumed); *response gets the answering PDU.
    int exchange(const char* host, snmp_pdu* pdu, snmp_pdu** response, unsigned long timeoutMs);
    // exchange in two halves, so that a walk's next request travels while
    // the rows of the last answer are handed out. Any other exchange on this
    // request abandons a started one: its finish then fails at once.
    int startExchange(const char* host, snmp_pdu* pdu, unsigned long timeoutMs, long& ticket);
    int finishExchange(long ticket, snmp_pdu** response, unsigned long timeoutMs);
    int startExchangeLocked(const char* host, snmp_pdu* pdu, unsigned long& timeoutMs,
                            long& ticket); // m_ioMutex held
    int msgMaxSize() const;
    int snmpVersion() const; // 1, 2 (v2c) or 3

protected:
    mutable std::mutex m_mutex; // variables and settings
    int m_nKind = SnmpKind::kGet;
    std::vector<SnmpVarBind> m_vars;
    unsigned m_uRevision = 0;
    int m_nPort = 161;
    int m_nRequestId = 0;
    long m_lErrorStatus = 0;
    unsigned long m_ulErrorIndex = 0;
    std::shared_ptr<CSnmpAbort> m_pAbort;

private:
    std::mutex m_ioMutex; // one exchange at a time on the socket
    std::unique_ptr<CNetSession> m_pNet;
    std::string m_strNetKey; // what m_pNet was opened for
};

// Community-based access. version 1 sends SNMPv1 messages, 2 SNMPv2c.
class CSnmpV1 : public CSnmp {
public:
    explicit CSnmpV1(int flags = 0, int version = 1);
    void setCommunity(const char* community);
    void setVersion(int version); // 1 or 2

protected:
    bool fillTarget(SnmpTarget& target) const override;

private:
    QByteArray m_community{"public"};
    int m_nVersion = 1;
};

// Authentication algorithms of setAuthArith and privacy algorithms of setPriArith.
namespace SnmpAuthArith {
constexpr int kMd5 = 0;
constexpr int kSha = 1;
constexpr int kSha256 = 2;
constexpr int kSha384 = 3;
constexpr int kSha512 = 4;
} // namespace SnmpAuthArith
namespace SnmpPrivArith {
constexpr int kDes = 0;
constexpr int kAes128 = 1;
} // namespace SnmpPrivArith

// User-based access (USM). Engine-ID discovery, time synchronisation and key
// localisation happen on the first request.
class CSnmpV3 : public CSnmp {
public:
    explicit CSnmpV3(int flags = 0);
    // The message size table walks aim their GETBULK answers at.
    void setMsgMaxSize(int size);
    void setMsgSecurityModel(int model); // 3 (USM) is the only one sent
    void setUserName(const char* name);
    void setMsgFlags(int flags); // 0 none, 1 authentication, 3 authentication and privacy
    void setAuthArith(int arith);
    void setAuthPwd(const char* bytes, unsigned long length);
    void setPriArith(int arith);
    void setPriPwd(const char* bytes, unsigned long length);
    int getMsgFlags() const;

protected:
    bool fillTarget(SnmpTarget& target) const override;

private:
    int m_nMsgMaxSize = 1024;
    int m_nSecurityModel = 3;
    QByteArray m_userName;
    int m_nMsgFlags = 0;
    int m_nAuthArith = SnmpAuthArith::kMd5;
    QByteArray m_authPwd;
    int m_nPriArith = SnmpPrivArith::kDes;
    QByteArray m_priPwd;
};

// Walk callback: status 0 brings one row in answer (owned by the callback);
// any other status ends the walk and answer is null. Called on an engine
// thread, never on the caller's.
using SnmpWalkCallback =
    std::function<void(std::unique_ptr<CSnmp> answer, int requestId, void* param, int status)>;

class CSnmpWorker;

// Walks the table whose columns are the variables of its request, one row per
// getNext. Each row answer holds one value per column, in request order; the
// OID of each value is its column followed by the row's index, also for
// empty cells. A request of kind Get is a table of one row: its variables,
// fetched with one GET.
//
// v1 fetches rows with GETNEXT; v2c and v3 with GETBULK into a prefetch
// buffer, max-repetitions sized to the message size. The next request goes
// out as soon as an answer arrives, so it travels while the caller takes the
// rows. Changing the request's variables starts the walk again from the
// first row.
class CSnmpTable {
public:
    explicit CSnmpTable(CSnmp* request); // request must outlive the table
    ~CSnmpTable();                       // waits for an asynchronous step in flight
    CSnmpTable(const CSnmpTable&) = delete;
    CSnmpTable& operator=(const CSnmpTable&) = delete;

    int getNext(const char* host, std::unique_ptr<CSnmp>& answer, unsigned long timeoutMs);
    // Asynchronous: returns at once; the callback comes later from the
    // table's own thread with the step's id, given in *stepId before the
    // step can run. (request->getRequestID() gives it too, but only until
    // the step sends: a Get-kind step then puts its packet's id there.)
    // Steps queue up in call order.
    int getNext(const char* host, SnmpWalkCallback callback, void* param, unsigned long timeoutMs,
                int* stepId = nullptr);
    // Row index of variable index of answer, dotted ("1.0.17.34.51.68.85.102").
    int getSuffix(int index, const CSnmp* answer, QString& suffix) const;
    void reset();

    int getMaxRepetitions() const; // the current GETBULK size; 0 before the first fetch

    // Rows a walk hands out before it stops with kRowLimit: far above any
    // table of a real switch, so that an agent whose table never ends
    // (ever-increasing indexes) cannot hold a page or fill the memory.
    static constexpr size_t kDefaultRowLimit = 100000;
    static size_t rowLimit();
    static void setRowLimit(size_t rows); // process-wide; 0 restores the default

private:
    struct Column {
        std::vector<uint32_t> base; // the column OID
        std::vector<uint32_t> pos;  // last OID fetched
        std::deque<SnmpVarBind> buffer;
        bool ended = false;
    };
    int fetch(const char* host, unsigned long timeoutMs);
    snmp_pdu* buildRequest(const std::vector<Column*>& wanted); // null when a value does not convert
    // Takes response (consumed) into the columns it was asked for, then asks
    // for the following block ahead when the walk goes on.
    int absorb(const char* host, unsigned long timeoutMs, snmp_pdu* response,
               std::vector<Column*> wanted);
    int getRow(const char* host, std::unique_ptr<CSnmp>& answer, unsigned long timeoutMs);
    void restartIfChanged();

    CSnmp* m_pRequest;
    mutable std::mutex m_mutex; // walk state
    std::vector<Column> m_columns;
    unsigned m_uRevision = ~0u;
    bool m_bGetDone = false;
    size_t m_nRows = 0;         // rows handed out by this walk
    bool m_bOutOfOrder = false; // a column went backwards or stood still
    int m_nMaxRepetitions = 0;
    int m_nRepetitionCap = 0;               // what the agent showed it takes (0: no limit seen)
    double m_dVarBindBytes = 0;             // running estimate of one encoded variable
    long m_lPrefetch = 0;                   // the next block's request in flight (0: none)
    std::vector<Column*> m_prefetchColumns; // what it asks for
    std::unique_ptr<CSnmpWorker> m_pWorker; // runs the asynchronous steps
};
