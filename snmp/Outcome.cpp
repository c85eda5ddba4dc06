#include "Outcome.h"

#include "snmp/engine/Snmp.h"

#include <QStringList>

#include <map>
#include <mutex>

namespace {

struct SNames {
    std::mutex mutex;
    std::map<QString, QString> byOid; // OID without its leading dot
};

SNames& Names() {
    static SNames* names = [] {
        auto* n = new SNames;
        const std::pair<const char*, const char*> standard[] = {
            {"1.3.6.1.2.1.1.1", "sysDescr"},
            {"1.3.6.1.2.1.1.2", "sysObjectID"},
            {"1.3.6.1.2.1.1.3", "sysUpTime"},
            {"1.3.6.1.2.1.1.4", "sysContact"},
            {"1.3.6.1.2.1.1.5", "sysName"},
            {"1.3.6.1.2.1.1.6", "sysLocation"},
            {"1.3.6.1.2.1.2.2.1.1", "ifIndex"},
            {"1.3.6.1.2.1.2.2.1.5", "ifSpeed"},
            {"1.3.6.1.2.1.2.2.1.7", "ifAdminStatus"},
            {"1.3.6.1.2.1.2.2.1.8", "ifOperStatus"},
            {"1.3.6.1.2.1.4.20.1.1", "ipAdEntAddr"},
            {"1.3.6.1.2.1.4.20.1.3", "ipAdEntNetMask"},
            {"1.3.6.1.2.1.6.13.1", "tcpConnEntry"},
            {"1.3.6.1.2.1.7.5.1", "udpEntry"},
            {"1.3.6.1.2.1.17.2.1", "dot1dStpProtocolSpecification"},
            {"1.3.6.1.2.1.17.2.2", "dot1dStpPriority"},
            {"1.3.6.1.2.1.17.2.15.1", "dot1dStpPortEntry"},
            {"1.3.6.1.2.1.17.4.2", "dot1dTpAgingTime"},
            {"1.3.6.1.2.1.17.7.1.2.2.1", "dot1qTpFdbEntry"},
            {"1.0.8802.1.1.2.1.4.1.1", "lldpRemEntry"},
            {"1.3.6.1.4.1.32473.10.75.7.1.9", "switch reboot"},
            {"1.3.6.1.4.1.32473.10.75.7.1.10", "switch save configuration"},
            {"1.3.6.1.4.1.32473.10.75.7.1.12", "jumbo frame state"},
            {"1.3.6.1.4.1.32473.10.75.7.1.13.1.2", "port speed"},
            {"1.3.6.1.4.1.32473.10.75.7.1.13.1.5", "port flow control"},
            {"1.3.6.1.4.1.32473.10.75.7.7.5", "VLAN mode"},
            {"1.3.6.1.4.1.32473.10.75.7.7.6.1.1", "VLAN name"},
            {"1.3.6.1.4.1.32473.10.75.7.7.6.1.2", "VLAN egress ports"},
            {"1.3.6.1.4.1.32473.10.75.7.7.6.1.4", "VLAN untagged ports"},
            {"1.3.6.1.4.1.32473.10.75.7.7.6.1.5", "VLAN row status"},
            {"1.3.6.1.4.1.32473.10.75.7.7.7.1.1", "PVID"},
            {"1.3.6.1.4.1.32473.10.75.7.8.1.2", "link aggregation state"},
            {"1.3.6.1.4.1.32473.10.75.7.8.1.3.1.2", "link aggregation members"},
            {"1.3.6.1.4.1.32473.10.75.7.8.1.3.1.3", "link aggregation mode"},
            {"1.3.6.1.4.1.32473.10.75.7.12.3.1.1.2", "802.1p default priority"},
        };
        for (const auto& [oid, name] : standard)
            n->byOid.emplace(QString::fromLatin1(oid), QString::fromLatin1(name));
        return n;
    }();
    return *names;
}

QString Plural(int count, const char* one, const char* many) {
    return QString::number(count) + u' ' + QLatin1String(count == 1 ? one : many);
}

QString Duration(qint64 ms) {
    if (ms < 1000)
        return QString::number(ms) + QStringLiteral(" ms");
    return QString::number(ms / 1000.0, 'f', 1) + QStringLiteral(" s");
}

QString Seconds(int ms) {
    return ms % 1000 == 0 ? QString::number(ms / 1000) + QStringLiteral(" s")
                          : QString::number(ms / 1000.0, 'f', 1) + QStringLiteral(" s");
}

// The failure in words; empty when the outcome is no failure.
QString FailureText(const SOutcome& o) {
    switch (o.result) {
    case SnmpResult::kOk:
    case SnmpResult::kEndOfTable:
        return {};
    case SnmpResult::kTimeout:
        return QStringLiteral("no answer from %1 after %2").arg(o.peer, Seconds(o.timeoutMs));
    case SnmpResult::kErrorStatus: {
        QString text = (o.kind == SOutcome::Kind::kWrite ? QStringLiteral("refused by the switch: ")
                                                         : QStringLiteral("the switch answered "))
                       + ErrorStatusName(o.errorStatus);
        if (!o.errorOid.isEmpty()) {
            const QString name = ObjectName(o.errorOid);
            text += QStringLiteral(" at ") + name;
            if (name != o.errorOid)
                text += QStringLiteral(" (") + o.errorOid + u')';
        }
        return text;
    }
    case SnmpResult::kSendFailed:
        return QStringLiteral("could not send to %1").arg(o.peer);
    case SnmpResult::kAuthFailed:
        return QStringLiteral("%1 refused the SNMPv3 user, its passwords or its security level")
            .arg(o.peer);
    case SnmpResult::kAborted:
        return QStringLiteral("cut short");
    case SnmpResult::kBadArgument:
        return QStringLiteral("not sent: an object or value could not be encoded");
    case SnmpResult::kProtocol:
        return QStringLiteral("%1 answered something unusable").arg(o.peer);
    case SnmpResult::kRowLimit:
        return QStringLiteral("stopped: the table does not end");
    case SnmpResult::kOutOfOrder:
        return QStringLiteral("stopped: %1 sent the rows out of order").arg(o.peer);
    case SnmpResult::kNotReady:
        return QStringLiteral("not sent: the session could not be opened");
    default:
        return QStringLiteral("failed with code %1").arg(o.result);
    }
}

QString Capitalised(QString text) {
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

} // namespace

bool SOutcome::Ok() const {
    return result == SnmpResult::kOk || (kind == Kind::kWalk && result == SnmpResult::kEndOfTable);
}

QString OutcomeText(const SOutcome& o) {
    QString text;
    const QString failure = FailureText(o);
    switch (o.kind) {
    case SOutcome::Kind::kRead:
        text = failure.isEmpty() ? QStringLiteral("Loaded %1 in %2")
                                       .arg(Plural(o.count, "value", "values"), Duration(o.elapsedMs))
                                 : QStringLiteral("Not loaded: ") + failure;
        break;
    case SOutcome::Kind::kWalk:
        if (failure.isEmpty())
            text = QStringLiteral("Loaded %1 in %2")
                       .arg(Plural(o.count, "row", "rows"), Duration(o.elapsedMs));
        else if (o.count > 0)
            text = QStringLiteral("Loaded %1, then %2")
                       .arg(Plural(o.count, "row", "rows"), failure);
        else
            text = QStringLiteral("Not loaded: ") + failure;
        break;
    case SOutcome::Kind::kWrite:
        if (failure.isEmpty())
            text = QStringLiteral("Applied");
        else if (o.steps > 1)
            text = QStringLiteral("Step %1 of %2%3 not applied: %4")
                       .arg(o.step)
                       .arg(o.steps)
                       .arg(o.stepName.isEmpty() ? QString() : QStringLiteral(" (") + o.stepName + u')',
                            failure);
        else
            text = Capitalised(failure);
        break;
    }
    return o.context.isEmpty() ? text : o.context + u' ' + text;
}

QString ErrorStatusName(long status) {
    static const char* const kNames[] = {
        "noError",    "tooBig",       "noSuchName",        "badValue",
        "readOnly",   "genErr",       "noAccess",          "wrongType",
        "wrongLength", "wrongEncoding", "wrongValue",      "noCreation",
        "inconsistentValue", "resourceUnavailable", "commitFailed", "undoFailed",
        "authorizationError", "notWritable", "inconsistentName"};
    if (status >= 0 && status < long(std::size(kNames)))
        return QLatin1String(kNames[status]);
    return QStringLiteral("error %1").arg(status);
}

QString ObjectName(const QString& oid) {
    QString bare = oid.startsWith(u'.') ? oid.mid(1) : oid;
    SNames& names = Names();
    std::lock_guard lock(names.mutex);
    // The longest known prefix that ends at an arc boundary.
    for (qsizetype end = bare.size(); end > 0; end = bare.lastIndexOf(u'.', end - 1)) {
        const auto it = names.byOid.find(bare.left(end));
        if (it != names.byOid.end())
            return it->second + bare.mid(end);
        if (end == 0)
            break;
    }
    return oid;
}

void RegisterObjectNames(std::initializer_list<std::pair<const char*, const char*>> names) {
    SNames& all = Names();
    std::lock_guard lock(all.mutex);
    for (const auto& [oid, name] : names)
        all.byOid[QString::fromLatin1(oid)] = QString::fromLatin1(name);
}
