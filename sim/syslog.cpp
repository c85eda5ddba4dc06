// Syslog host 16.1: one server, its UDP port, severity, facility and state.
#include "Features.h"

namespace nswsim {

void RegisterSyslog(Switch& sw) {
    Store& store = sw.GetStore();
    const Oid syslog = Concat(kSwitchMib, {16, 1});
    store.AddScalar(Concat(syslog, {1}), "syslogServer", Syntax::Ip(), Access::ReadWrite,
                    Value::Ip(0));
    store.AddScalar(Concat(syslog, {2}), "syslogPort", Syntax::Int(1, 65535), Access::ReadWrite,
                    Value::Int(514));
    // Severity threshold: 4 warning, 6 info, 7 all.
    store.AddScalar(Concat(syslog, {4}), "syslogSeverity", Syntax::Enum({4, 6, 7}),
                    Access::ReadWrite, Value::Int(4));
    // Facility local0 to local7 (128 + 8n).
    store.AddScalar(Concat(syslog, {5}), "syslogFacility",
                    Syntax::Enum({128, 136, 144, 152, 160, 168, 176, 184}), Access::ReadWrite,
                    Value::Int(128));
    store.AddScalar(Concat(syslog, {6}), "syslogState", EnabledDisabled(), Access::ReadWrite,
                    Value::Int(2));
}

} // namespace nswsim
