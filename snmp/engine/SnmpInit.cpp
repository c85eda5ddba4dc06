#include "SnmpInit.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <atomic>
#include <cstdlib>
#include <unistd.h>
#include <mutex>

namespace {
std::once_flag g_initOnce;
std::atomic<bool> g_bInitialised{false};
std::atomic<unsigned long> g_uTimeoutMs{5000};
} // namespace

QString SnmpStateDir() {
    // Qt makes the runtime folder 0700 and checks it is ours; a shared name
    // under /tmp would let another user prepare it for us.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) {
        // A folder of this process's own (mkdtemp makes it 0700).
        QByteArray name = QFile::encodeName(QDir::tempPath() + QStringLiteral("/nsw-module-XXXXXX"));
        return ::mkdtemp(name.data()) ? QFile::decodeName(name) : QString();
    }
    const QString dir = runtime + QStringLiteral("/nsw-module-snmp");
    if (!QDir().mkpath(dir) ||
        !QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return {};
    return dir;
}

void SnmpInit(void* /*application*/) {
    std::call_once(g_initOnce, [] {
        // Keep the library out of /var/lib/snmp and away from MIB files we do not ship.
        if (const QString dir = SnmpStateDir(); !dir.isEmpty())
            setenv("SNMP_PERSISTENT_DIR", QFile::encodeName(dir).constData(), 0);
        setenv("MIBS", "", 0);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_QUICK_PRINT, 1);
        init_snmp("nsw-module");
        g_bInitialised = true;
    });
}

void SetSnmpTimeout(unsigned long timeoutMs) {
    g_uTimeoutMs = timeoutMs;
}
unsigned long GetSnmpTimeout() {
    return g_uTimeoutMs;
}
bool IsSnmpInitialised() {
    return g_bInitialised;
}
