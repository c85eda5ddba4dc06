#include "ManagementVlan.h"

#include "SystemCommon.h"
#include "platform/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

QString CheckManagementVlan(bool enable, const QString& vidText, const std::vector<int>& vlans,
                            bool asymmetric) {
    int vid = 0;
    if (!ParseNumber(vidText, 1, 4094, vid))
        return QStringLiteral("Invalid VLAN ID, VLAN ID should be (1-4094) !");
    if (std::find(vlans.begin(), vlans.end(), vid) == vlans.end())
        return QStringLiteral("The VLAN %1 does not exist, please create it first !").arg(vid);
    if (enable && asymmetric)
        return QStringLiteral("The Management VLAN needs the symmetric VLAN mode !");
    return {};
}

CManagementVlanPage::CManagementVlanPage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_cCommonSNMPTableVlan(AddSession(QStringLiteral("m_cCommonSNMPTableVlan"))) {
    setWindowTitle(QStringLiteral("IEEE 802.1Q Management VLAN Configuration"));
    auto* enable = new QCheckBox(QStringLiteral("Enable Management VLAN"), this);
    SetControlId(enable, kIdEnable);
    auto* vid = new QComboBox(this);
    vid->setEditable(true);
    vid->setMinimumWidth(120);
    SetControlId(vid, kIdVid);

    auto* form = new QFormLayout;
    form->addRow(enable);
    form->addRow(NewLabel(QStringLiteral("VLAN ID (1-4094):")), vid);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(NewLabel(
        QStringLiteral("The switch answers management traffic only in this VLAN when enabled.")));
    layout->addLayout(ButtonRow(*this, {{QStringLiteral("&Refresh"), kIdRefresh},
                                        {QStringLiteral("&Apply"), kIdApply},
                                        {QStringLiteral("&Close"), kIdClose}}));

    connect(Control<QPushButton>(kIdRefresh), &QPushButton::clicked, this,
            &CManagementVlanPage::Refresh);
    connect(Control<QPushButton>(kIdApply), &QPushButton::clicked, this,
            &CManagementVlanPage::Apply);
    connect(Control<QPushButton>(kIdClose), &QPushButton::clicked, this, &QDialog::reject);
}

void CManagementVlanPage::Refresh() {
    m_vlans = LoadActiveVlans(m_cCommonSNMPTableVlan);
    auto* vid = Control<QComboBox>(kIdVid);
    vid->clear();
    for (int v : m_vlans)
        vid->addItem(QString::number(v));
    const auto row =
        ReadObjects(m_cCommonSNMP, {SysOid::kMgmtState, SysOid::kMgmtVid, SysOid::kVlanMode});
    if (!row)
        return;
    Control<QCheckBox>(kIdEnable)->setChecked(row->Text(0) == u"1");
    vid->setEditText(row->Text(1));
    m_bAsymmetric = row->Text(2) == u"1";
}

bool CManagementVlanPage::Apply() {
    const bool enable = Control<QCheckBox>(kIdEnable)->isChecked();
    const QString vidText = Control<QComboBox>(kIdVid)->currentText();
    const QString message = CheckManagementVlan(enable, vidText, m_vlans, m_bAsymmetric);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    const int status =
        WriteObjects(m_cCommonSNMPSet,
                     {{SysOid::kMgmtVid, SnmpType::kInteger, vidText.trimmed().toUtf8()},
                      {SysOid::kMgmtState, SnmpType::kInteger, QByteArray(enable ? "1" : "2")}});
    Refresh();
    return status == 0;
}
