#include "PortMirror.h"

#include "TrafficCommon.h"
#include "device/DeviceProfile.h"
#include "pages/switching/SwitchCommon.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum MirrorId {
    kIdEnable = 7001,
    kIdTarget = 7002,
    kIdApply = 7003,
    kIdRefresh = 7004,
    kIdClose = 7005,
    kIdIngressFirst = 7101, // + port - 1
    kIdEgressFirst = 7201,
};

bool Has(const std::vector<int>& flags, int port) {
    return port >= 1 && port <= static_cast<int>(flags.size()) && flags[port - 1] != 0;
}

} // namespace

QString CheckMirror(const SMirrorSettings& s) {
    const bool anySource = std::find(s.ingress.begin(), s.ingress.end(), 1) != s.ingress.end() ||
                           std::find(s.egress.begin(), s.egress.end(), 1) != s.egress.end();
    if (s.enabled && !anySource)
        return QStringLiteral("Please select at least one source port.");
    if (Has(s.ingress, s.target) || Has(s.egress, s.target))
        return QStringLiteral("The target port cannot be a source port.");
    if (s.enabled && s.target >= 1 && s.target <= static_cast<int>(s.lagOfPort.size()) &&
        s.lagOfPort[s.target - 1] != 0)
        return QStringLiteral("A member of an aggregated link cannot be the target port.");
    // The link-aggregation rules want all members of a link mirrored alike.
    for (const auto* list : {&s.ingress, &s.egress})
        if (const int group = SplitGroup(s.lagOfPort, *list))
            return QStringLiteral("The source ports must take all or none of the ports of "
                                  "aggregated link %1.")
                .arg(group);
    return QString();
}

CPortMirrorPage::CPortMirrorPage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_cCommonSNMPTableTrunk(AddSession(QStringLiteral("m_cCommonSNMPTableTrunk"))),
      m_nPortNum(std::max(g_nPortNum, 0)), m_pBody(new QWidget(this)),
      m_pEnable(new QCheckBox(QStringLiteral("Enable Port Mirroring"), m_pBody)),
      m_pTarget(new QComboBox(m_pBody)) {
    setWindowTitle(QStringLiteral("PortMirroringConfiguration"));
    SetControlId(m_pEnable, kIdEnable);
    SetControlId(m_pTarget, kIdTarget);
    for (int p = 1; p <= m_nPortNum; ++p)
        m_pTarget->addItem(QString::number(p));

    auto* top = new QHBoxLayout;
    top->addWidget(m_pEnable);
    top->addSpacing(24);
    top->addWidget(NewLabel(QStringLiteral("Target Port:")));
    top->addWidget(m_pTarget);
    top->addStretch();

    auto* body = new QVBoxLayout(m_pBody);
    body->setContentsMargins(0, 0, 0, 0);
    body->addLayout(top);
    body->addWidget(MakePortGrid(m_pBody, QStringLiteral("Source Ports: Ingress (received)"),
                                 m_nPortNum, kIdIngressFirst, m_ingress));
    body->addWidget(MakePortGrid(m_pBody, QStringLiteral("Source Ports: Egress (sent)"), m_nPortNum,
                                 kIdEgressFirst, m_egress));

    QPushButton* apply = NewButton(QStringLiteral("&Apply"), kIdApply);
    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdRefresh);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdClose);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(refresh);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pBody);
    layout->addLayout(buttons);

    connect(apply, &QPushButton::clicked, this, &CPortMirrorPage::Apply);
    connect(refresh, &QPushButton::clicked, this, &CPortMirrorPage::Load);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    if (!ModelHasMirroring(g_strDeviceName)) {
        apply->setEnabled(false);
        refresh->setEnabled(false);
    }
}

void CPortMirrorPage::OnInitDialog() {
    if (!ModelHasMirroring(g_strDeviceName))
        ShowNotOffered(*this, m_pBody, QStringLiteral("Port mirroring"), g_strDeviceName);
    else
        Load();
}

void CPortMirrorPage::Load() {
    SetLoading(true);
    if (auto lag = LoadLagOfPorts(m_cCommonSNMPTableTrunk, m_nPortNum))
        m_lagOfPort = std::move(*lag);
    const auto row = ReadObjects(m_cCommonSNMP, {TrOid::kMirrorState, TrOid::kMirrorTarget,
                                                 TrOid::kMirrorIngress, TrOid::kMirrorEgress});
    if (row) {
        m_pEnable->setChecked(row->Text(0).trimmed().toInt() == kEnabled);
        m_pTarget->setCurrentIndex(row->Text(1).trimmed().toInt() - 1);
        SetFlags(m_ingress, PortFlagsOf(row->Bytes(2), m_nPortNum));
        SetFlags(m_egress, PortFlagsOf(row->Bytes(3), m_nPortNum));
    }
    SetLoading(false);
}

bool CPortMirrorPage::Apply() {
    SMirrorSettings s;
    s.enabled = m_pEnable->isChecked();
    s.target = m_pTarget->currentIndex() + 1;
    s.ingress = FlagsOf(m_ingress);
    s.egress = FlagsOf(m_egress);
    s.lagOfPort = m_lagOfPort;
    if (const QString message = CheckMirror(s); !message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    // One request: the switch checks target and sources together.
    const int status = WriteObjects(
        m_cCommonSNMPSet,
        {{TrOid::kMirrorState, SnmpType::kInteger,
          QByteArray::number(s.enabled ? kEnabled : kDisabled)},
         {TrOid::kMirrorTarget, SnmpType::kInteger, QByteArray::number(s.target)},
         {TrOid::kMirrorIngress, SnmpType::kOctetString, PortFlagsToBitmap(s.ingress, m_nPortNum)},
         {TrOid::kMirrorEgress, SnmpType::kOctetString, PortFlagsToBitmap(s.egress, m_nPortNum)}});
    Load();
    return status == 0;
}
