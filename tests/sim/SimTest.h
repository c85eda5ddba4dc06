#pragma once

#include "common/SimProcess.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// One simulator per test suite, and short names for the net-snmp tools.
class CSimSuite : public ::testing::Test {
protected:
    static void StartSim(const QStringList& args = {}) {
        s_sim = std::make_unique<CSimProcess>();
        ASSERT_TRUE(s_sim->Start(args)) << s_sim->Output().toStdString();
    }
    static void TearDownTestSuite() { s_sim.reset(); }

    static QString Enterprise(const QString& suffix) {
        return QStringLiteral("1.3.6.1.4.1.32473.10.75.7.") + suffix;
    }
    static QString Control(const QString& suffix) {
        return QStringLiteral("1.3.6.1.4.1.32473.99.") + suffix;
    }
    // One value (-Oqv), empty when the request failed.
    static QString Get(const QString& oid, const QString& community = QStringLiteral("ralvin"),
                       const QString& version = QStringLiteral("2c")) {
        QString out;
        int rc = s_sim->Tool(QStringLiteral("snmpget"),
                             {"-v" + version, "-c", community, "-Oqv", "-t", "2", "-r", "1"}, {oid},
                             &out);
        return rc == 0 ? out.trimmed() : QString();
    }
    static QString CtlGet(const QString& suffix) {
        return Get(Control(suffix), QStringLiteral("nsw-control"));
    }
    // snmpset with triples (oid, type, value); returns "" on success, else
    // the first word of the reason the tool reports ("wrongValue", "(badValue)").
    static QString Set(const QStringList& triples, const QString& version = QStringLiteral("2c"),
                       const QString& community = QStringLiteral("quorbet")) {
        QString out, err;
        int rc = s_sim->Tool(QStringLiteral("snmpset"),
                             {"-v" + version, "-c", community, "-t", "2", "-r", "1"}, triples, &out,
                             &err);
        if (rc == 0)
            return QString();
        for (const QString& line : err.split(u'\n'))
            if (line.startsWith(QStringLiteral("Reason: ")))
                return line.mid(8).trimmed().section(u' ', 0, 0);
        return err.isEmpty() ? QStringLiteral("failed") : err.trimmed();
    }
    static bool CtlSet(const QString& suffix, const QString& type, const QString& value) {
        return s_sim->SetControl(suffix, type, value);
    }
    // Walk lines "OID = value" with numeric OIDs (-On -Oq: "OID value").
    static QStringList Walk(const QString& oid, const QString& community = QStringLiteral("ralvin"),
                            const QString& tool = QStringLiteral("snmpwalk"),
                            const QStringList& extra = {}) {
        QString out;
        s_sim->Tool(
            tool, QStringList{"-v2c", "-c", community, "-On", "-Oq", "-t", "3", "-r", "1"} << extra,
            {oid}, &out);
        QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
        lines.removeIf([](const QString& l) {
            return l.contains(QStringLiteral("No more variables")) ||
                   l.contains(QStringLiteral("No Such"));
        });
        return lines;
    }

    static inline std::unique_ptr<CSimProcess> s_sim;
};
