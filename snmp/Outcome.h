#pragma once

// What a read, walk or write came to, in words an operator reads on the
// page's outcome line: how much was loaded and how long it took, "Applied",
// the switch's refusal with its error status and the object it names, or no
// answer from the switch after how many seconds.

#include <QString>

#include <initializer_list>
#include <utility>

struct SOutcome {
    enum class Kind { kRead, kWalk, kWrite };
    Kind kind = Kind::kRead;
    int result = 0;         // SnmpResult of the request (kEndOfTable ends a walk well)
    long errorStatus = 0;   // the agent's error-status when it refused
    QString errorOid;       // the variable the refusal names, when it names one
    int count = 0;          // values or rows loaded, values written
    qint64 elapsedMs = 0;   // from the first request to the answer
    QString peer;           // "127.0.0.1:161"
    int timeoutMs = 0;      // what the request waited before it gave up
    int step = 0, steps = 0; // a write sequence: the step that failed (1-based) of how many
    QString stepName;       // what that step writes
    QString context;        // said first ("Port 5:"), set by the page

    bool Ok() const;
};

// The line for an outcome.
QString OutcomeText(const SOutcome& outcome);

// RFC 3416 error-status names ("notWritable"); a number for unknown codes.
QString ErrorStatusName(long status);

// A readable name of an OID: the longest known prefix's name and the rest as
// its instance ("sysLocation.0", "ifAdminStatus.5"); the OID itself when no
// prefix is known. Standard MIB-II, bridge and LLDP objects are known; page
// families add the names of the objects they use at start-up.
QString ObjectName(const QString& oid);
void RegisterObjectNames(std::initializer_list<std::pair<const char*, const char*>> names);
