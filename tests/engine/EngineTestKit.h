#pragma once

// Helpers of the engine tests: launch settings for an access mode, and what
// net-snmp's own tools print, in the engine's terms.

#include "common/SnmpdProcess.h"

#include "device/LaunchSettings.h"
#include "snmp/engine/Snmp.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>
#include <ostream>

#include <memory>
#include <vector>

// One way of reaching an agent, as the launch settings give it.
struct AccessMode {
    const char* name;
    const char* version;             // "1", "2", "3"
    const CSnmpdProcess::User* user; // v3 only
    bool operator==(const AccessMode&) const = default;
};
inline void PrintTo(const AccessMode& mode, std::ostream* os) {
    *os << mode.name;
}

// Sets the launch settings for mode against 127.0.0.1:port (defaults first).
void UseAccess(const AccessMode& mode, int port);
// Launch settings for one v3 user.
void UseUser(const CSnmpdProcess::User& user, int port);

// The tool arguments that reach the agent the same way ("-v3 -l authPriv ...").
QStringList ToolArgs(const AccessMode& mode);

// A cell as the engine shows it: value-type code, value text.
struct Cell {
    QString oid;
    int type = 0;
    QByteArray value;
    bool operator==(const Cell&) const = default;
};

// Lines of snmpwalk/snmpget run with -On -Oe -Ox, as cells.
std::vector<Cell> ParseToolOutput(const QByteArray& output);

// Cells of an answer.
std::vector<Cell> CellsOf(const CSnmp& answer);

// Prints cells in test failures.
void PrintTo(const Cell& cell, std::ostream* os);

// Tests against one private snmpd, started once for the suite.
class CAgentTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_agent = std::make_unique<CSnmpdProcess>();
        if (!s_agent->Start())
            s_strStartError = s_agent->Error();
    }
    static void TearDownTestSuite() { s_agent.reset(); }
    void SetUp() override {
        ASSERT_TRUE(s_strStartError.isEmpty()) << s_strStartError.toStdString();
    }
    void TearDown() override { ResetLaunchSettings(); }

    static int Port() { return s_agent->Port(); }
    static CSnmpdProcess& Agent() { return *s_agent; }

private:
    static inline std::unique_ptr<CSnmpdProcess> s_agent;
    static inline QString s_strStartError;
};

// Walks columns with a session's GetNextSync (launch settings as they are);
// all cells in walk order.
std::vector<Cell> WalkSync(const QStringList& columns, int* rows = nullptr);
