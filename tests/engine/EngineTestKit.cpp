#include "EngineTestKit.h"

#include "device/LaunchSettings.h"
#include "snmp/CommonSNMP.h"

#include <ostream>

void UseUser(const CSnmpdProcess::User& user, int port) {
    ResetLaunchSettings();
    g_strDeviceIp = QStringLiteral("127.0.0.1");
    g_strSnmpPort = QString::number(port);
    g_strSnmpVersion = QStringLiteral("3");
    g_strV3UserName = QLatin1String(user.name);
    g_strSecurityLevel = QLatin1String(user.level);
    g_strAuthProtocol = *user.authCode ? QLatin1String(user.authCode) : QLatin1String("1");
    g_strAuthPassword = QLatin1String(user.authPassword);
    g_strPrivProtocol = *user.privCode ? QLatin1String(user.privCode) : QLatin1String("1");
    g_strPrivPassword = QLatin1String(user.privPassword);
}

void UseAccess(const AccessMode& mode, int port) {
    if (mode.user) {
        UseUser(*mode.user, port);
        return;
    }
    ResetLaunchSettings();
    g_strDeviceIp = QStringLiteral("127.0.0.1");
    g_strSnmpPort = QString::number(port);
    g_strSnmpVersion = QLatin1String(mode.version);
    g_strReadCommunity = QLatin1String(CSnmpdProcess::kReadCommunity);
    g_strWriteCommunity = QLatin1String(CSnmpdProcess::kWriteCommunity);
}

QStringList ToolArgs(const AccessMode& mode) {
    if (!mode.user)
        return CSnmpdProcess::CommunityArgs(QByteArray(mode.version) == "1" ? "1" : "2c",
                                            CSnmpdProcess::kReadCommunity);
    const CSnmpdProcess::User& user = *mode.user;
    static const char* kAuth[] = {"", "", "MD5", "SHA", "", "SHA-256"};
    static const char* kPriv[] = {"", "", "DES", "", "AES"};
    QStringList args{"-v3", "-u", QLatin1String(user.name)};
    if (!*user.authCode)
        return args + QStringList{"-l", "noAuthNoPriv"};
    args += {"-a", QLatin1String(kAuth[QByteArray(user.authCode).toInt()]), "-A",
             QLatin1String(user.authPassword)};
    if (!*user.privCode)
        return args + QStringList{"-l", "authNoPriv"};
    return args + QStringList{"-l", "authPriv",
                              "-x", QLatin1String(kPriv[QByteArray(user.privCode).toInt()]),
                              "-X", QLatin1String(user.privPassword)};
}

std::vector<Cell> ParseToolOutput(const QByteArray& output) {
    // Long hex strings go on over the next lines.
    QList<QByteArray> lines;
    for (const QByteArray& line : output.split('\n')) {
        if (!line.startsWith('.') && !lines.isEmpty() && lines.last().contains("Hex-STRING: "))
            lines.last() += ' ' + line.trimmed();
        else
            lines.append(line);
    }
    std::vector<Cell> cells;
    for (const QByteArray& line : lines) {
        const int eq = line.indexOf(" = ");
        if (!line.startsWith('.') || eq < 0)
            continue;
        Cell cell;
        cell.oid = QString::fromLatin1(line.mid(1, eq - 1));
        const QByteArray rest = line.mid(eq + 3);
        const int colon = rest.indexOf(": ");
        const QByteArray kind = colon < 0 ? QByteArray() : rest.left(colon);
        const QByteArray value = (colon < 0 ? rest : rest.mid(colon + 2)).trimmed();
        cell.value = value;
        if (rest == "\"\"") {
            cell.type = SnmpType::kOctetString; // -Ox prints an empty string this way
            cell.value.clear();
        } else if (kind == "Hex-STRING") {
            cell.type = SnmpType::kOctetString;
            cell.value = QByteArray::fromHex(QByteArray(value).replace(' ', ""));
        } else if (kind == "INTEGER") {
            cell.type = SnmpType::kInteger;
        } else if (kind == "Gauge32") {
            cell.type = SnmpType::kUnsigned;
        } else if (kind == "Counter32") {
            cell.type = SnmpType::kCounter32;
        } else if (kind == "Counter64") {
            cell.type = SnmpType::kCounter64;
        } else if (kind == "Timeticks") { // "(12802) 0:02:08.02"
            cell.type = SnmpType::kTimeTicks;
            cell.value = value.mid(1, value.indexOf(')') - 1);
        } else if (kind == "IpAddress") {
            cell.type = SnmpType::kIpAddress;
        } else if (kind == "OID") {
            cell.type = SnmpType::kObjectId;
            cell.value = value.mid(1);
        } else {
            continue; // "No more variables ..." and the like
        }
        cells.push_back(cell);
    }
    return cells;
}

std::vector<Cell> CellsOf(const CSnmp& answer) {
    std::vector<Cell> cells;
    for (unsigned i = 0; i < answer.getValuesCount(); ++i)
        cells.push_back({answer.oidAt(i), answer.typeAt(i), answer.valueAt(i)});
    return cells;
}

void PrintTo(const Cell& cell, std::ostream* os) {
    *os << cell.oid.toStdString() << " type " << cell.type << " [" << cell.value.toStdString()
        << "]";
}

std::vector<Cell> WalkSync(const QStringList& columns, int* rows) {
    CCommonSNMP session;
    EXPECT_TRUE(session.Open(CCommonSNMP::kGetNext));
    for (const QString& column : columns)
        EXPECT_EQ(session.AddVarBind(column, SnmpType::kNull), 0);
    std::vector<Cell> cells;
    int count = 0;
    std::unique_ptr<CSnmp> answer;
    while (session.GetNextSync(answer) == 0 && count < 1000000) {
        EXPECT_EQ(answer->getValuesCount(), unsigned(columns.size()));
        const std::vector<Cell> row = CellsOf(*answer);
        cells.insert(cells.end(), row.begin(), row.end());
        ++count;
    }
    if (rows)
        *rows = count;
    return cells;
}
