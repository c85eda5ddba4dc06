#include "RegisterTraffic.h"

#include "Bandwidth.h"
#include "Igmp.h"
#include "PortMirror.h"
#include "StaticMac.h"
#include "TrafficCommon.h"
#include "panel/PageRegistry.h"

namespace {

template <class Page> void Register(int commandId) {
    RegisterPage(commandId, [](QWidget* parent) { return std::make_unique<Page>(parent); });
}

} // namespace

void RegisterTrafficPages() {
    RegisterTrafficObjectNames();
    Register<CPortMirrorPage>(32857);
    Register<CIgmpSnoopingPage>(32861);
    Register<CBandwidthPage>(32836);
    // Opened from the Forwarding Table page.
    Register<CStaticMacPage>(32835);
}
