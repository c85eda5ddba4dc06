#include "SnmpInit.h"

#include <QDir>
#include <QStandardPaths>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace {
std::once_flag g_initOnce;
std::atomic<bool> g_bInitialised{false};
std::atomic<unsigned long> g_uTimeoutMs{5000};
} // namespace

void SnmpInit(void* /*application*/) {
    std::call_once(g_initOnce, [] {
        // Keep the library out of /var/lib/snmp and away from MIB files we do not ship.
        const QString dir = QDir::tempPath() + QStringLiteral("/nsw-module-snmp");
        QDir().mkpath(dir);
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
