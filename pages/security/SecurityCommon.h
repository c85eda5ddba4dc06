#pragma once

// What the security pages share: their objects, the grid of port check boxes
// and the link-aggregation rules of a port selection.

#include <QString>

#include <vector>

class QCheckBox;
class QGridLayout;
class QWidget;

namespace SecOid {
// ARP spoofing prevention, indexed by the gateway address.
inline const QString kArpGateway = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.3.1.1.1");
inline const QString kArpMac = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.3.1.1.2");
inline const QString kArpPorts = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.3.1.1.3");
inline const QString kArpStatus = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.3.1.1.4");
// DHCP server screening: the screened ports and the trusted servers (indexed
// by the server's address).
inline const QString kScreeningPorts = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.7.1.0");
inline const QString kServerIndex = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.7.2.1.1");
inline const QString kServerAddress = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.7.2.1.2");
inline const QString kServerStatus = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.7.2.1.3");
// Traffic segmentation.
inline const QString kSegState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.9.1.0");
inline const QString kSegPort = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.9.2.1.1");
inline const QString kSegList = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.9.2.1.2");
// Storm control.
inline const QString kStormState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.13.3.1.0");
inline const QString kStormType = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.13.3.2.0");
inline const QString kStormThreshold = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.13.3.3.0");
} // namespace SecOid

inline const QString kLagMemberRefused =
    QStringLiteral("The link aggregation member port can not be configured.");

// Places the boxes (one per port, index port - 1) under their port numbers;
// two rows of ports on 48- and 52-port switches.
void AddPortGrid(QGridLayout* grid, const std::vector<QCheckBox*>& boxes, QWidget* parent);
std::vector<int> CheckedPorts(const std::vector<QCheckBox*>& boxes);
void CheckPorts(const std::vector<QCheckBox*>& boxes, const std::vector<int>& flags);

// lagOfPort: the group of each port (index port - 1), 0 for none.
// Whether a selected port belongs to an aggregated link.
bool HasLagMember(const std::vector<int>& flags, const std::vector<int>& lagOfPort);
// Whether the selection takes some but not all members of a link.
bool SplitsLag(const std::vector<int>& flags, const std::vector<int>& lagOfPort);

// A dotted address in 224.0.0.0 to 239.255.255.255.
bool IsMulticastAddress(const QString& dotted);
