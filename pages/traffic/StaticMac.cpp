#include "StaticMac.h"

#include "TrafficCommon.h"
#include "device/DeviceProfile.h"
#include "pages/switching/SwitchCommon.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum StaticMacId {
    kIdList = 7501,
    kIdMac = 7502,
    kIdVid = 7503,
    kIdPort = 7504,
    kIdAdd = 7505,
    kIdDelete = 7506,
    kIdRefresh = 7507,
    kIdClose = 7508,
    kIdTotal = 7509,
};

enum Column { kColMac, kColVid, kColPort };

} // namespace

QString CheckStaticMac(const SStaticMacTable& table, const QString& mac, const QString& vid) {
    if (QString message = CheckMac(mac.trimmed(), false); !message.isEmpty())
        return message;
    bool ok = false;
    const int v = vid.trimmed().toInt(&ok);
    if (!ok || v < 1 || v > 4094)
        return QStringLiteral("Invalid VID (1 - 4094).");
    if (!table.vlans.count(v))
        return QStringLiteral("VLAN %1 does not exist.").arg(v);
    if (table.entries.count({v, mac.trimmed().toUpper()}))
        return QStringLiteral("The MAC address already exists in VLAN %1.").arg(v);
    if (table.entries.size() >= kMaxStaticMacs)
        return QStringLiteral("The Maximum of Entry is 256, can not add any more");
    return QString();
}

QString StaticMacIndex(int vid, const QString& mac) {
    QStringList arcs{QString::number(vid)};
    for (const QString& octet : mac.trimmed().split(u'-'))
        arcs << QString::number(octet.toInt(nullptr, 16));
    return arcs.join(u'.');
}

CStaticMacPage::CStaticMacPage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_cCommonSNMPTable(AddSession(QStringLiteral("m_cCommonSNMPTable"))),
      m_cCommonSNMPTableVlan(AddSession(QStringLiteral("m_cCommonSNMPTableVlan"))),
      m_pList(new CListControl(this)), m_pTotal(NewLabel(QStringLiteral("0"), kIdTotal)),
      m_pMac(NewEdit(kIdMac, 17)), m_pVid(NewEdit(kIdVid, 4)), m_pPort(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("Static MAC Configuration"));
    SetControlId(m_pList, kIdList);
    SetControlId(m_pPort, kIdPort);
    for (const char* header : {"       MAC Address      ", " VID      ", " Port     "})
        m_pList->AddColumn(QLatin1String(header));
    m_pList->horizontalHeader()->setStretchLastSection(true);
    m_pMac->setPlaceholderText(QStringLiteral("00-00-00-00-00-01"));
    m_pVid->setText(QStringLiteral("1"));
    m_pVid->setMaximumWidth(60);
    for (int p = 1; p <= g_nPortNum; ++p)
        m_pPort->addItem(QString::number(p));

    auto* total = new QHBoxLayout;
    total->addWidget(NewLabel(QStringLiteral("Total Entries:")));
    total->addWidget(m_pTotal);
    total->addStretch();
    total->addWidget(NewLabel(QStringLiteral("( Note:256 Entries Maximum ) ")));

    auto* fields = new QHBoxLayout;
    fields->addWidget(NewLabel(QStringLiteral("MAC Address:")));
    fields->addWidget(m_pMac);
    fields->addSpacing(12);
    fields->addWidget(NewLabel(QStringLiteral("VID:")));
    fields->addWidget(m_pVid);
    fields->addSpacing(12);
    fields->addWidget(NewLabel(QStringLiteral("Port:")));
    fields->addWidget(m_pPort);
    fields->addStretch();

    QPushButton* add = NewButton(QStringLiteral("&Add"), kIdAdd);
    QPushButton* remove = NewButton(QStringLiteral("&Delete"), kIdDelete);
    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdRefresh);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdClose);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {add, remove, refresh, close})
        buttons->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(total);
    layout->addWidget(m_pList, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(560, 460);

    connect(add, &QPushButton::clicked, this, &CStaticMacPage::Add);
    connect(remove, &QPushButton::clicked, this, &CStaticMacPage::Delete);
    connect(refresh, &QPushButton::clicked, this, &CStaticMacPage::Load);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CStaticMacPage::OnInitDialog() {
    Load();
}

void CStaticMacPage::Load() {
    SetLoading(true);
    m_table = {};
    if (const auto vlans = WalkTable(m_cCommonSNMPTableVlan, {SwOid::kVlanRowStatus}))
        for (const SSnmpRow& row : *vlans)
            if (row.Text(0).trimmed().toInt() == RowStatus::kActive)
                m_table.vlans.insert(RowNumber(row));
    m_pList->DeleteAllItems();
    const auto rows = WalkTable(m_cCommonSNMPTable,
                                {TrOid::kStaticMacVid, TrOid::kStaticMacAddress,
                                 TrOid::kStaticMacPort, TrOid::kStaticMacStatus},
                                kMaxStaticMacs + 1);
    std::vector<QStringList> lines;
    for (const SSnmpRow& row : rows.value_or(std::vector<SSnmpRow>{})) {
        const QString mac = MacToDashText(row.Bytes(1));
        const int vid = row.Text(0).trimmed().toInt();
        m_table.entries.insert({vid, mac});
        lines.push_back({mac, QString::number(vid), row.Text(2).trimmed()});
    }
    m_pList->AppendRows(std::move(lines));
    m_pTotal->setText(QString::number(m_pList->ItemCount()));
    SetLoading(false);
}

bool CStaticMacPage::Add() {
    const QString mac = m_pMac->text().trimmed().toUpper();
    if (const QString message = CheckStaticMac(m_table, mac, m_pVid->text()); !message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    const QString index = StaticMacIndex(m_pVid->text().trimmed().toInt(), mac);
    const int status =
        WriteObjects(m_cCommonSNMPSet, {{TrOid::kStaticMacPort + u'.' + index, SnmpType::kInteger,
                                         QByteArray::number(m_pPort->currentIndex() + 1)},
                                        {TrOid::kStaticMacStatus + u'.' + index, SnmpType::kInteger,
                                         QByteArray::number(RowStatus::kCreateAndGo)}});
    Load();
    return status == 0;
}

bool CStaticMacPage::Delete() {
    const int row = m_pList->SelectedRow();
    if (row < 0) {
        ShowMessage(QStringLiteral("Please select the entry to delete."), this);
        return false;
    }
    const QString index =
        StaticMacIndex(m_pList->ItemText(row, kColVid).toInt(), m_pList->ItemText(row, kColMac));
    const int status =
        WriteObjects(m_cCommonSNMPSet, {{TrOid::kStaticMacStatus + u'.' + index, SnmpType::kInteger,
                                         QByteArray::number(RowStatus::kDestroy)}});
    Load();
    return status == 0;
}
