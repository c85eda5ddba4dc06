#include "BindingSettings.h"

#include "device/DeviceProfile.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum SettingsId {
    kIdFrom = 1166,
    kIdTo = 1165,
    kIdAdmin = 1164,
    kIdInspection = 1054,
    kIdSnooping = 1055,
    kIdApply = 1051,
    kIdRefresh = 1167,
};

} // namespace

CSmartBindingSettingsPage::CSmartBindingSettingsPage(QWidget* parent)
    : CBindingListPage(
          parent, {BindOid::kPortNumber, BindOid::kAdmin, BindOid::kInspection, BindOid::kSnooping},
          BindingReport::kSettingsRow),
      m_pFrom(new QComboBox(this)), m_pTo(new QComboBox(this)), m_pAdmin(new QComboBox(this)),
      m_pInspection(new QComboBox(this)), m_pSnooping(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("Smart Binding Settings"));
    SetControlId(m_pFrom, kIdFrom);
    SetControlId(m_pTo, kIdTo);
    SetControlId(m_pAdmin, kIdAdmin);
    SetControlId(m_pInspection, kIdInspection);
    SetControlId(m_pSnooping, kIdSnooping);
    for (int port = 1; port <= g_nPortNum; ++port) {
        m_pFrom->addItem(QString::number(port));
        m_pTo->addItem(QString::number(port));
    }
    m_pTo->setCurrentIndex(m_pTo->count() - 1);
    m_pAdmin->addItems({QStringLiteral("Disabled"), QStringLiteral("Enabled")});
    m_pInspection->addItems(
        {QStringLiteral("ARP Inspection"), QStringLiteral("ARP+IP Inspection")});
    m_pSnooping->addItems({QStringLiteral("Disabled"), QStringLiteral("Enabled")});

    auto* fields = new QGridLayout;
    const QString captions[] = {
        QStringLiteral("From Port"), QStringLiteral("To Port"), QStringLiteral("Admin State"),
        QStringLiteral("Also inspect IP packets"), QStringLiteral("DHCP Snooping")};
    QComboBox* boxes[] = {m_pFrom, m_pTo, m_pAdmin, m_pInspection, m_pSnooping};
    for (int i = 0; i < 5; ++i) {
        fields->addWidget(NewLabel(captions[i]), 0, i);
        fields->addWidget(boxes[i], 1, i);
    }
    QPushButton* apply = NewButton(QStringLiteral("&Apply"), kIdApply);
    fields->addWidget(apply, 1, 5);

    const int widths[] = {80, 120, 180, 120};
    const QString headers[] = {QStringLiteral("Port"), QStringLiteral("Admin State"),
                               QStringLiteral("Also inspect IP packets"),
                               QStringLiteral("DHCP Snooping")};
    for (int c = 0; c < 4; ++c)
        AddColumn(headers[c], widths[c]);
    auto* listBox = new QGroupBox(QStringLiteral("IMPB Setting List Info"), this);
    auto* listLayout = new QVBoxLayout(listBox);
    listLayout->addWidget(m_pList);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdRefresh);
    buttons->addWidget(refresh);
    SetRefreshButton(refresh);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(listBox, 1);
    layout->addLayout(buttons);
    resize(620, 480);

    connect(m_pTo, &QComboBox::currentIndexChanged, this,
            &CSmartBindingSettingsPage::OnToPortChanged);
    connect(apply, &QPushButton::clicked, this, &CSmartBindingSettingsPage::Apply);
}

void CSmartBindingSettingsPage::OnToPortChanged() {
    if (m_pTo->currentIndex() >= m_pFrom->currentIndex())
        return;
    ShowMessage(kToBelowFrom, this);
    m_pTo->setCurrentIndex(m_pTo->count() - 1);
}

void CSmartBindingSettingsPage::Apply() {
    const int from = m_pFrom->currentIndex() + 1;
    const int to = m_pTo->currentIndex() + 1;
    const bool enable = m_pAdmin->currentIndex() == 1;
    std::vector<int> lagOfPort;
    if (to >= from) {
        const auto lag = m_pBackEnd->LoadLagOfPorts();
        if (!lag)
            return; // the outcome line says the switch did not answer
        lagOfPort = *lag;
    }
    const QString message = CheckBindingSettings(from, to, enable, lagOfPort, g_nPortNum);
    if (!message.isEmpty()) {
        if (message == kWholeSwitch)
            m_pAdmin->setCurrentIndex(0);
        ShowMessage(message, this);
        return;
    }
    const QByteArray admin = QByteArray::number(enable ? kEnabled : kDisabled);
    const QByteArray inspection =
        QByteArray::number(m_pInspection->currentIndex() == 1 ? BindValue::kArpIpInspection
                                                              : BindValue::kArpInspection);
    const QByteArray snooping =
        QByteArray::number(m_pSnooping->currentIndex() == 1 ? kEnabled : kDisabled);
    std::vector<SWriteStep> steps;
    for (int port = from; port <= to; ++port)
        steps.push_back({QStringLiteral("port %1").arg(port),
                         {{CellOid(BindOid::kAdmin, port), SnmpType::kInteger, admin},
                          {CellOid(BindOid::kInspection, port), SnmpType::kInteger, inspection},
                          {CellOid(BindOid::kSnooping, port), SnmpType::kInteger, snooping}}});
    m_pBackEnd->Apply(steps, 50);
}
