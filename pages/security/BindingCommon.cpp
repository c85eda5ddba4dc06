#include "BindingCommon.h"

#include "device/DeviceProfile.h"
#include "pages/switching/SwitchCommon.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"
#include "snmp/Outcome.h"

#include <QHostAddress>
#include <QLabel>
#include <QPushButton>

#include <cstring>

const QString kToBelowFrom = QStringLiteral("'To Port' can not be smaller than 'From Port'");
const QString kWholeSwitch = QStringLiteral("This operation will cause device to out of control.");
const QString kSelectToBind = QStringLiteral("Please select the item would be Binding!\n");
const QString kSelectToDelete = QStringLiteral("Please select the item would be delete!\n");

void RegisterBindingObjectNames() {
    RegisterObjectNames({
        {"1.3.6.1.4.1.32473.10.75.7.14.10.1.1.2", "smart binding admin state"},
        {"1.3.6.1.4.1.32473.10.75.7.14.10.1.1.3", "smart binding inspection"},
        {"1.3.6.1.4.1.32473.10.75.7.14.10.1.1.4", "smart binding DHCP snooping"},
        {"1.3.6.1.4.1.32473.10.75.7.14.10.2.1.5", "scan result binding"},
        {"1.3.6.1.4.1.32473.10.75.7.14.10.3.1.3", "white list port"},
        {"1.3.6.1.4.1.32473.10.75.7.14.10.3.1.4", "white list row status"},
        {"1.3.6.1.4.1.32473.10.75.7.14.10.4.1.5", "black list row status"},
        {"1.3.6.1.4.1.32473.10.75.7.14.10.5", "scan first address"},
        {"1.3.6.1.4.1.32473.10.75.7.14.10.6", "scan last address"},
        {"1.3.6.1.4.1.32473.10.75.7.14.10.7", "scan"},
    });
}

// ---- checks and texts ----

QStringList BindingSettingsTexts(const SSnmpRow& row) {
    const QString enabled = QStringLiteral("Enabled"), disabled = QStringLiteral("Disabled");
    return {row.Text(0), row.Text(1) == u"1" ? enabled : disabled,
            row.Text(2) == u"1" ? disabled : enabled, row.Text(3) == u"1" ? enabled : disabled};
}

QString CheckBindingSettings(int from, int to, bool enable, const std::vector<int>& lagOfPort,
                             int portCount) {
    if (to < from)
        return kToBelowFrom;
    // An aggregated link takes one setting: the range holds all its members or none.
    for (size_t p = 0; p < lagOfPort.size(); ++p) {
        const int group = lagOfPort[p];
        if (group == 0)
            continue;
        const int port = static_cast<int>(p) + 1;
        const bool inRange = port >= from && port <= to;
        for (size_t q = 0; q < lagOfPort.size(); ++q) {
            const int other = static_cast<int>(q) + 1;
            if (lagOfPort[q] == group && inRange != (other >= from && other <= to))
                return QStringLiteral(
                    "Cannot add a port-security enabled port to an aggregated link.");
        }
    }
    if (enable && from == 1 && to == portCount)
        return kWholeSwitch;
    return QString();
}

bool IsHostAddress(const QString& dotted) {
    const QStringList parts = dotted.split(u'.');
    if (parts.size() != 4)
        return false;
    int octets[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        octets[i] = parts[i].toInt(&ok);
        if (!ok || parts[i].isEmpty() || octets[i] < 0 || octets[i] > 255)
            return false;
    }
    return octets[0] != 0 && octets[0] != 127 && octets[0] < 224;
}

QString CheckManualBinding(const QString& ip, const QString& mac, const QString& portText,
                           int portCount, int& port) {
    if (!IsHostAddress(ip))
        return QStringLiteral("Invalid IP Address.");
    // The switch keeps hosts only: no broadcast or multicast MAC.
    const QString macMessage = CheckMac(mac.trimmed(), false);
    if (!macMessage.isEmpty())
        return macMessage;
    const QString text = portText.trimmed();
    bool digits = !text.isEmpty();
    for (QChar c : text)
        digits = digits && c.isDigit();
    const int value = digits && text.size() <= 3 ? text.toInt() : 0;
    if (value < 1 || value > portCount)
        return QStringLiteral("Invalid port number.");
    port = value;
    return QString();
}

QString CheckScanRange(const QString& from, const QString& to) {
    if (!IsHostAddress(from))
        return QStringLiteral("Invalid From IP address !");
    if (!IsHostAddress(to))
        return QStringLiteral("Invalid To IP address !");
    const quint32 first = QHostAddress(from).toIPv4Address();
    const quint32 last = QHostAddress(to).toIPv4Address();
    if (last < first)
        return QStringLiteral("Invalid IP Address.");
    if (last - first >= static_cast<quint32>(BindValue::kMaxScanAddresses))
        return QStringLiteral("A scan covers at most 256 addresses.");
    return QString();
}

QString CheckBindSelection(int selectedRow, const QString& bindingText) {
    if (selectedRow < 0)
        return kSelectToBind;
    if (bindingText == u"Bound")
        return QStringLiteral("The entry is bound.");
    return QString();
}

QByteArray MacFromText(const QString& text) {
    if (!CheckMac(text.trimmed(), true).isEmpty())
        return {};
    return QByteArray::fromHex(text.trimmed().remove(u'-').toLatin1());
}

QString HostIndex(const QString& ip, const QByteArray& mac) {
    QString index = ip;
    for (char c : mac)
        index += u'.' + QString::number(static_cast<uint8_t>(c));
    return index;
}

QString ParseBlackFilter(const QString& vidText, const QString& ip, const QString& macText,
                         const QString& portsText, int portCount, SBlackFilter& filter) {
    filter = SBlackFilter{};
    if (!vidText.trimmed().isEmpty()) {
        bool ok = false;
        filter.vid = vidText.trimmed().toInt(&ok);
        if (!ok || filter.vid < 1 || filter.vid > 4094)
            return QStringLiteral("Invalid VID.");
    }
    if (!ip.isEmpty()) {
        if (!IsHostAddress(ip))
            return QStringLiteral("Invalid IP Address.");
        filter.ip = ip;
    }
    if (!macText.trimmed().isEmpty()) {
        const QString message = CheckMac(macText.trimmed(), true);
        if (!message.isEmpty())
            return message;
        filter.mac = MacFromText(macText);
    }
    if (!portsText.trimmed().isEmpty()) {
        std::vector<int> flags(static_cast<size_t>(std::max(portCount, 0)), 0);
        const QString message = IsPortListText(portsText)
                                    ? CheckPortList(portsText.trimmed(), flags)
                                    : QStringLiteral("Invalid Portlist");
        if (!message.isEmpty())
            return message;
        filter.ports = flags;
    }
    return QString();
}

bool BlackRowMatches(const SBlackFilter& f, const SSnmpRow& row) {
    if (f.vid && row.Text(0).toInt() != f.vid)
        return false;
    if (!f.ip.isEmpty() && row.Text(1) != f.ip)
        return false;
    if (!f.mac.isEmpty() && row.Bytes(2) != f.mac)
        return false;
    if (!f.ports.empty()) {
        const int port = row.Text(3).toInt();
        if (port < 1 || port > static_cast<int>(f.ports.size()) || !f.ports[port - 1])
            return false;
    }
    return true;
}

// ---- back-end ----

void CBindingBackEnd::Load(const QStringList& columns, int rowCode) {
    SWalkSpec walk;
    walk.columns = columns;
    walk.rowCode = rowCode;
    walk.finishedCode = BindingReport::kFinished;
    StartWalk(m_cCommonSNMPTable, Channel(), walk);
}

int CBindingBackEnd::Apply(const std::vector<SWriteStep>& steps, int pauseMs) {
    const int failed = WriteSequence(m_cCommonSNMPSet, steps);
    PageWait(pauseMs);
    NotifyMarker(BindingReport::kWriteFinished, kWriteFinished);
    return failed;
}

std::optional<std::vector<int>> CBindingBackEnd::LoadLagOfPorts() {
    return ::LoadLagOfPorts(m_cCommonSNMP, g_nPortNum);
}

// ---- list page ----

CBindingListPage::CBindingListPage(QWidget* parent, QStringList columns, int rowCode)
    : CPageBase(parent), m_pBackEnd(std::make_unique<CBindingBackEnd>()),
      m_pList(new CListControl(this)), m_columns(std::move(columns)), m_nRowCode(rowCode) {
    SetControlId(m_pList, 1010);
    AttachBackEnd(*m_pBackEnd);
}

CBindingListPage::~CBindingListPage() {
    CloseSessions();
}

void CBindingListPage::OnInitDialog() {
    if (m_pBackEnd->SetOwner(this))
        Refresh();
}

void CBindingListPage::Refresh() {
    m_walked.clear();
    m_lines.clear();
    m_pList->DeleteAllItems();
    UpdateTotal();
    if (m_pRefresh)
        m_pRefresh->setEnabled(false);
    m_pBackEnd->Load(m_columns, m_nRowCode);
}

void CBindingListPage::OnSnmpNotifyBatch(std::vector<SSnmpReport>& batch) {
    std::vector<QStringList> lines;
    for (SSnmpReport& report : batch) {
        if (report.code == m_nRowCode) {
            m_walked.push_back(std::move(report.row));
            if (Shows(m_walked.back())) {
                m_lines.push_back(static_cast<int>(m_walked.size()) - 1);
                lines.push_back(Texts(m_walked.back()));
            }
        } else if (report.code == BindingReport::kFinished) {
            if (m_pRefresh)
                m_pRefresh->setEnabled(true);
        } else if (report.code == BindingReport::kWriteFinished) {
            // What the switch holds now, whether it took the write or not.
            lines.clear();
            Refresh();
        }
    }
    m_pList->AppendRows(std::move(lines));
    UpdateTotal();
}

void CBindingListPage::Relist() {
    m_lines.clear();
    m_pList->DeleteAllItems();
    std::vector<QStringList> lines;
    for (size_t i = 0; i < m_walked.size(); ++i)
        if (Shows(m_walked[i])) {
            m_lines.push_back(static_cast<int>(i));
            lines.push_back(Texts(m_walked[i]));
        }
    m_pList->AppendRows(std::move(lines));
    UpdateTotal();
}

const SSnmpRow* CBindingListPage::RowAt(int line) const {
    if (line < 0 || line >= static_cast<int>(m_lines.size()))
        return nullptr;
    return &m_walked[static_cast<size_t>(m_lines[static_cast<size_t>(line)])];
}

const SSnmpRow* CBindingListPage::SelectedRow() const {
    return RowAt(m_pList->SelectedRow());
}

void CBindingListPage::DeleteSelected(const QString& statusColumn, const QString& selectMessage) {
    const SSnmpRow* row = SelectedRow();
    if (!row) {
        ShowMessage(selectMessage, this);
        return;
    }
    m_pBackEnd->Apply({{QStringLiteral("row status"),
                        {{statusColumn + u'.' + row->suffix, SnmpType::kInteger,
                          QByteArray::number(RowStatus::kDestroy)}}}});
}

void CBindingListPage::AddColumn(const QString& header, int width) {
    m_pList->setColumnWidth(m_pList->AddColumn(header), width);
}

void CBindingListPage::SetTotalLabel(QLabel* label, const QString& prefix) {
    m_pTotal = label;
    m_strTotalPrefix = prefix;
    UpdateTotal();
}

void CBindingListPage::SetRefreshButton(QPushButton* button) {
    m_pRefresh = button;
    connect(button, &QPushButton::clicked, this, &CBindingListPage::Refresh);
}

void CBindingListPage::UpdateTotal() {
    if (m_pTotal)
        m_pTotal->setText(m_strTotalPrefix + QString::number(m_pList->ItemCount()));
}
