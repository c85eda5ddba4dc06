#include "DhcpScreening.h"

#include "SecurityCommon.h"
#include "device/DeviceProfile.h"
#include "pages/switching/SwitchCommon.h"
#include "platform/IpAddressEdit.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum PageId {
    kIdTrusted = 1135,
    kIdApplyPorts = 1149,
    kIdServer = 203,
    kIdAdd = 1134,
    kIdList = 1131,
    kIdDelete = 1121,
    kIdRefresh = 1044,
    kIdClose = 1133
};

} // namespace

std::vector<int> TrustedPortsOf(const QByteArray& screened, int portCount) {
    std::vector<int> flags = PortFlagsOf(screened, portCount);
    for (int& flag : flags)
        flag = !flag;
    return flags;
}

QByteArray ScreenedBitmapOf(const std::vector<int>& trusted, int portCount) {
    std::vector<int> screened(static_cast<size_t>(std::max(portCount, 0)), 1);
    for (size_t p = 0; p < screened.size() && p < trusted.size(); ++p)
        screened[p] = trusted[p] ? 0 : 1;
    return PortFlagsToBitmap(screened, portCount);
}

QString CheckTrustedPorts(const QString& text, const std::vector<int>& lagOfPort,
                          std::vector<int>& trusted) {
    trusted.assign(lagOfPort.size(), 0);
    const QString plain = QString(text).remove(u' ');
    if (!IsPortListText(plain) || !CheckPortList(plain, trusted).isEmpty())
        return QStringLiteral("Invalid Port list");
    if (HasLagMember(trusted, lagOfPort))
        return kLagMemberRefused;
    return QString();
}

QString CheckServerAdd(int filledFields, const QString& ip, const std::vector<QString>& listed) {
    if (filledFields != 4)
        return QStringLiteral("Invalid IP address.");
    // A server is one unicast host.
    if (ip == u"0.0.0.0" || ip == u"255.255.255.255" || IsMulticastAddress(ip))
        return QStringLiteral("Invalid server IP address.");
    if (listed.size() >= kMaxTrustedServers)
        return QStringLiteral("The maximum entries is 5.");
    if (std::find(listed.begin(), listed.end(), ip) != listed.end())
        return QStringLiteral("Duplicate server IP address.");
    return QString();
}

CDhcpScreeningPage::CDhcpScreeningPage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_cCommonSNMPTable(AddSession(QStringLiteral("m_cCommonSNMPTable"))),
      m_lagOfPort(static_cast<size_t>(std::max(g_nPortNum, 0))), m_pTrusted(NewEdit(kIdTrusted)),
      m_pServer(new CIpAddressEdit(this)), m_pList(new CListControl(this)) {
    setWindowTitle(QStringLiteral("DHCP Server Screening Settings  "));
    SetControlId(m_pServer, kIdServer);
    SetControlId(m_pList, kIdList);
    m_pList->AddColumn(QStringLiteral("Index"));
    m_pList->AddColumn(QStringLiteral("IP Address"));
    m_pList->horizontalHeader()->setStretchLastSection(true);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* ports = new QGridLayout;
    ports->addWidget(NewLabel(QStringLiteral("DHCP Server Trusted Port :")), 0, 0);
    ports->addWidget(m_pTrusted, 0, 1);
    QPushButton* applyPorts = NewButton(QStringLiteral("&Apply"), kIdApplyPorts);
    ports->addWidget(applyPorts, 0, 2);
    ports->addWidget(NewLabel(QStringLiteral("Ex:(1,2,4-6) ")), 1, 1);

    auto* servers = new QGroupBox(this);
    auto* serverLayout = new QVBoxLayout(servers);
    auto* add = new QHBoxLayout;
    QPushButton* addButton = NewButton(QStringLiteral("&Add"), kIdAdd);
    add->addWidget(m_pServer);
    add->addWidget(addButton);
    add->addWidget(NewLabel(QStringLiteral("Note:Maximum 5 entries")));
    add->addStretch();
    serverLayout->addLayout(add);
    serverLayout->addWidget(m_pList, 1);

    auto* buttons = new QHBoxLayout;
    QPushButton* remove = NewButton(QStringLiteral("&Delete"), kIdDelete);
    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdRefresh);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdClose);
    buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(refresh);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(ports);
    layout->addWidget(servers, 1);
    layout->addLayout(buttons);
    resize(460, 380);

    connect(applyPorts, &QPushButton::clicked, this, &CDhcpScreeningPage::ApplyTrustedPorts);
    connect(addButton, &QPushButton::clicked, this, &CDhcpScreeningPage::AddServer);
    connect(remove, &QPushButton::clicked, this, &CDhcpScreeningPage::DeleteServer);
    connect(refresh, &QPushButton::clicked, this, &CDhcpScreeningPage::Refresh);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CDhcpScreeningPage::OnInitDialog() {
    Refresh();
}

void CDhcpScreeningPage::Refresh() {
    if (const auto lag = LoadLagOfPorts(m_cCommonSNMPTable, g_nPortNum))
        m_lagOfPort = *lag;
    if (const auto row = ReadObjects(m_cCommonSNMP, {SecOid::kScreeningPorts}))
        m_pTrusted->setText(PortRangeText(TrustedPortsOf(row->Bytes(0), g_nPortNum)));
    m_pList->DeleteAllItems();
    m_suffixes.clear();
    const auto rows = WalkTable(
        m_cCommonSNMPTable, {SecOid::kServerIndex, SecOid::kServerAddress, SecOid::kServerStatus});
    if (!rows)
        return;
    for (const SSnmpRow& row : *rows) {
        m_suffixes.push_back(row.suffix);
        m_pList->AppendRow({QString::number(m_pList->ItemCount() + 1), row.Text(1)});
    }
}

bool CDhcpScreeningPage::ApplyTrustedPorts() {
    std::vector<int> trusted;
    const QString message = CheckTrustedPorts(m_pTrusted->text(), m_lagOfPort, trusted);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    const int status = WriteObjects(
        m_cCommonSNMPSet,
        {{SecOid::kScreeningPorts, SnmpType::kOctetString, ScreenedBitmapOf(trusted, g_nPortNum)}});
    Refresh();
    return status == 0;
}

bool CDhcpScreeningPage::AddServer() {
    std::vector<QString> listed;
    for (int row = 0; row < m_pList->ItemCount(); ++row)
        listed.push_back(m_pList->ItemText(row, 1));
    const QString ip = m_pServer->Address();
    const QString message = CheckServerAdd(m_pServer->FilledFieldCount(), ip, listed);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    // The row is keyed by the address and created whole, in one request.
    const int status = WriteObjects(
        m_cCommonSNMPSet,
        {{QString::asprintf("%s.%s", qUtf8Printable(SecOid::kServerAddress), qUtf8Printable(ip)),
          SnmpType::kIpAddress, ip.toLatin1()},
         {QString::asprintf("%s.%s", qUtf8Printable(SecOid::kServerStatus), qUtf8Printable(ip)),
          SnmpType::kInteger, QByteArray::number(RowStatus::kCreateAndGo)}});
    Refresh();
    if (status == 0)
        m_pServer->ClearAddress();
    return status == 0;
}

bool CDhcpScreeningPage::DeleteServer() {
    const int row = m_pList->SelectedRow();
    if (row < 0 || row >= static_cast<int>(m_suffixes.size())) {
        ShowMessage(QStringLiteral("Please select the entry to delete."), this);
        return false;
    }
    const int status = WriteObjects(
        m_cCommonSNMPSet, {{SecOid::kServerStatus + u'.' + m_suffixes[static_cast<size_t>(row)],
                            SnmpType::kInteger, QByteArray::number(RowStatus::kDestroy)}});
    Refresh();
    return status == 0;
}
