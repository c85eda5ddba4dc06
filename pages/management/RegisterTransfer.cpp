#include "RegisterTransfer.h"

#include "Syslog.h"
#include "Transfer.h"
#include "panel/PageRegistry.h"
#include "snmp/Outcome.h"

void RegisterTransferPages() {
    RegisterObjectNames({
        {"1.3.6.1.4.1.32473.10.75.7.3.1", "firmware TFTP server"},
        {"1.3.6.1.4.1.32473.10.75.7.3.2", "firmware file name"},
        {"1.3.6.1.4.1.32473.10.75.7.3.3", "firmware operation"},
        {"1.3.6.1.4.1.32473.10.75.7.3.4", "firmware transfer status"},
        {"1.3.6.1.4.1.32473.10.75.7.3.5", "configuration TFTP server"},
        {"1.3.6.1.4.1.32473.10.75.7.3.6", "configuration file name"},
        {"1.3.6.1.4.1.32473.10.75.7.3.7", "configuration operation"},
        {"1.3.6.1.4.1.32473.10.75.7.3.8", "configuration transfer status"},
        {"1.3.6.1.4.1.32473.10.75.7.16.1.1", "syslog server"},
        {"1.3.6.1.4.1.32473.10.75.7.16.1.2", "syslog UDP port"},
        {"1.3.6.1.4.1.32473.10.75.7.16.1.4", "syslog severity"},
        {"1.3.6.1.4.1.32473.10.75.7.16.1.5", "syslog facility"},
        {"1.3.6.1.4.1.32473.10.75.7.16.1.6", "syslog state"},
    });
    RegisterPage(32823, [](QWidget* parent) { return std::make_unique<CTransferPage>(parent); });
    RegisterPage(32832, [](QWidget* parent) { return std::make_unique<CSyslogPage>(parent); });
}
