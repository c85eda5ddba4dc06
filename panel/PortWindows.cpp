#include "PortWindows.h"

namespace {
// Registered and used on the GUI thread only.
PortWindowFactory& TrafficFactory() {
    static PortWindowFactory factory;
    return factory;
}
} // namespace

void RegisterPortTrafficWindow(PortWindowFactory factory) {
    TrafficFactory() = std::move(factory);
}

bool IsPortTrafficWindowRegistered() {
    return static_cast<bool>(TrafficFactory());
}

std::unique_ptr<QDialog> CreatePortTrafficWindow(int port, QWidget* parent) {
    return TrafficFactory() ? TrafficFactory()(port, parent) : nullptr;
}
