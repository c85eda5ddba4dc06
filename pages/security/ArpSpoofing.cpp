#include "ArpSpoofing.h"

#include "SecurityCommon.h"
#include "device/DeviceProfile.h"
#include "pages/switching/SwitchCommon.h"
#include "platform/IpAddressEdit.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum ListId {
    kIdTotal = 1143,
    kIdList = 1133,
    kIdAdd = 1001,
    kIdDelete = 1003,
    kIdRefresh = 1044,
    kIdClose = 1200
};
enum EditorId {
    kIdIp = 1012,
    kIdMac = 1139,
    kIdAllPorts = 1141,
    kIdFirstPort = 6001,
    kIdApply = 1000,
    kIdCancel = 1025
};

} // namespace

QString CheckArpAdd(int rowCount) {
    return rowCount >= kMaxArpEntries
               ? QStringLiteral("The Maximum of Entry is 64, can not add any more")
               : QString();
}

QString CheckArpEntry(const QString& ip, const QString& mac, const std::vector<int>& ports,
                      const std::vector<SArpEntry>& existing, const std::vector<int>& lagOfPort) {
    if (std::none_of(ports.begin(), ports.end(), [](int f) { return f != 0; }))
        return QStringLiteral("Invalid Port Number");
    // The switch keys the entry by the address: it must name one host.
    if (ip.isEmpty() || ip == u"0.0.0.0" || ip == u"255.255.255.255")
        return QStringLiteral("Invalid IP address.");
    if (IsMulticastAddress(ip))
        return QStringLiteral("Multicast IP is not allowed");
    if (const QString format = CheckMac(mac, true); !format.isEmpty())
        return format;
    if (MacTextToBytes(mac)[0] & 1)
        return QStringLiteral("Multicast MAC address is not allowed.");
    for (const SArpEntry& entry : existing)
        if (entry.ip == ip)
            return entry.mac.compare(mac, Qt::CaseInsensitive) == 0
                       ? QStringLiteral("Duplicate MAC and IP.")
                       : QStringLiteral("Duplicate IP.");
    if (SplitsLag(ports, lagOfPort))
        return QStringLiteral(
            "ARP Spoofing Prevention enabled port must match to the aggregated link port.");
    return QString();
}

QByteArray MacTextToBytes(const QString& text) {
    return QByteArray::fromHex(text.toLatin1().replace('-', QByteArray())).leftJustified(6, '\0');
}

// ---- entry editor ----

CArpEntryDlg::CArpEntryDlg(std::vector<SArpEntry> existing, QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_existing(std::move(existing)), m_lagOfPort(static_cast<size_t>(std::max(g_nPortNum, 0))),
      m_pIp(new CIpAddressEdit(this)), m_pMac(NewEdit(kIdMac, 17)),
      m_pAll(new QCheckBox(QStringLiteral("All Ports"), this)),
      m_ports(MakePortCheckBoxes(this, g_nPortNum, kIdFirstPort)) {
    setWindowTitle(QStringLiteral("Add ARP Spoofing Prevention Entry"));
    SetControlId(m_pIp, kIdIp);
    SetControlId(m_pAll, kIdAllPorts);

    auto* fields = new QGridLayout;
    fields->addWidget(NewLabel(QStringLiteral("Router / Gateway IP Address")), 0, 0);
    fields->addWidget(m_pIp, 0, 1, Qt::AlignLeft);
    fields->addWidget(NewLabel(QStringLiteral("Router / Gateway MAC Address")), 1, 0);
    fields->addWidget(m_pMac, 1, 1, Qt::AlignLeft);
    m_pMac->setMinimumWidth(150);

    auto* ports = new QGroupBox(QStringLiteral("Ports"), this);
    auto* portLayout = new QVBoxLayout(ports);
    portLayout->addWidget(m_pAll);
    auto* grid = new QGridLayout;
    AddPortGrid(grid, m_ports, ports);
    portLayout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* apply = NewButton(QStringLiteral("&Apply"), kIdApply);
    QPushButton* cancel = NewButton(QStringLiteral("&Cancel"), kIdCancel);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(ports);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_pAll, &QCheckBox::clicked, this, [this](bool all) {
        CheckPorts(m_ports, std::vector<int>(m_ports.size(), all ? 1 : 0));
    });
    for (QCheckBox* box : m_ports)
        connect(box, &QCheckBox::toggled, this, [this] {
            const std::vector<int> flags = CheckedPorts(m_ports);
            const QSignalBlocker block(m_pAll);
            m_pAll->setChecked(std::all_of(flags.begin(), flags.end(), [](int f) { return f; }));
        });
    connect(apply, &QPushButton::clicked, this, &CArpEntryDlg::Submit);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CArpEntryDlg::OnInitDialog() {
    if (const auto lag = LoadLagOfPorts(m_cCommonSNMP, g_nPortNum))
        m_lagOfPort = *lag;
}

bool CArpEntryDlg::Submit() {
    const QString ip = m_pIp->FilledFieldCount() == 4 ? m_pIp->Address() : QString();
    const QString mac = m_pMac->text().trimmed();
    const std::vector<int> ports = CheckedPorts(m_ports);
    const QString message = CheckArpEntry(ip, mac, ports, m_existing, m_lagOfPort);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    if (!AskOkCancel(
            QStringLiteral("Make sure the host IP and MAC exists or you will lose the connection."),
            this))
        return false;
    // One request creates the whole row: the switch never holds half an entry.
    const int status =
        WriteObjects(m_cCommonSNMPSet,
                     {{SecOid::kArpMac + u'.' + ip, SnmpType::kOctetString, MacTextToBytes(mac)},
                      {SecOid::kArpPorts + u'.' + ip, SnmpType::kOctetString,
                       PortFlagsToBitmap(ports, g_nPortNum)},
                      {SecOid::kArpStatus + u'.' + ip, SnmpType::kInteger,
                       QByteArray::number(RowStatus::kCreateAndGo)}});
    if (status != 0)
        return false;
    accept();
    return true;
}

// ---- list page ----

CArpSpoofingPage::CArpSpoofingPage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPTable(AddSession(QStringLiteral("m_cCommonSNMPTable"))),
      m_pList(new CListControl(this)), m_pTotal(NewLabel(QStringLiteral("0"), kIdTotal)) {
    setWindowTitle(QStringLiteral("ARP Spoofing Prevention Setting"));
    SetControlId(m_pList, kIdList);
    for (const char* header :
         {"Index", "Router/Gateway IP Address", "Router/Gateway MAC Address", "Ports"})
        m_pList->AddColumn(QLatin1String(header));
    m_pList->horizontalHeader()->setStretchLastSection(true);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* total = new QHBoxLayout;
    total->addWidget(NewLabel(QStringLiteral("Total Entries:")));
    total->addWidget(m_pTotal);
    total->addStretch();
    total->addWidget(NewLabel(QStringLiteral("( Note:64 Entries Maximum ) ")));

    auto* buttons = new QHBoxLayout;
    QPushButton* add = NewButton(QStringLiteral("&Add"), kIdAdd);
    QPushButton* remove = NewButton(QStringLiteral("&Delete"), kIdDelete);
    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdRefresh);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdClose);
    for (QPushButton* button : {add, remove, refresh})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(total);
    layout->addWidget(m_pList, 1);
    layout->addLayout(buttons);
    resize(620, 400);

    connect(add, &QPushButton::clicked, this, &CArpSpoofingPage::OnAdd);
    connect(remove, &QPushButton::clicked, this, &CArpSpoofingPage::OnDelete);
    connect(refresh, &QPushButton::clicked, this, &CArpSpoofingPage::Refresh);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CArpSpoofingPage::OnInitDialog() {
    Refresh();
}

void CArpSpoofingPage::Refresh() {
    if (IsBusy())
        return;
    m_pList->DeleteAllItems();
    m_pTotal->setText(QStringLiteral("0"));
    SWalkSpec walk;
    walk.columns = {SecOid::kArpGateway, SecOid::kArpMac, SecOid::kArpPorts, SecOid::kArpStatus};
    StartWalk(m_cCommonSNMPTable, Channel(), walk);
}

void CArpSpoofingPage::OnSnmpNotify(const SSnmpReport& report) {
    if (report.code == PageReport::kFinished) {
        m_pTotal->setText(QString::number(m_pList->ItemCount()));
        return;
    }
    const SSnmpRow& row = report.row;
    m_pList->AppendRow({QString::number(m_pList->ItemCount() + 1), row.Text(0),
                        MacToDashText(row.Bytes(1)),
                        PortRangeText(PortFlagsOf(row.Bytes(2), g_nPortNum))});
}

std::vector<SArpEntry> CArpSpoofingPage::Listed() const {
    std::vector<SArpEntry> entries;
    for (int row = 0; row < m_pList->ItemCount(); ++row)
        entries.push_back({m_pList->ItemText(row, 1), m_pList->ItemText(row, 2)});
    return entries;
}

void CArpSpoofingPage::OnAdd() {
    if (const QString message = CheckArpAdd(m_pList->ItemCount()); !message.isEmpty()) {
        ShowMessage(message, this);
        return;
    }
    CArpEntryDlg editor(Listed(), this);
    editor.exec();
    Refresh();
}

bool CArpSpoofingPage::OnDelete() {
    const int row = m_pList->SelectedRow();
    if (row < 0) {
        ShowMessage(QStringLiteral("Please select the entry you would be delete!"), this);
        return false;
    }
    const QString ip = m_pList->ItemText(row, 1);
    const int status =
        WriteObjects(m_cCommonSNMP, {{SecOid::kArpStatus + u'.' + ip, SnmpType::kInteger,
                                      QByteArray::number(RowStatus::kDestroy)}});
    Refresh();
    return status == 0;
}
