#include "MibPages.h"

#include <algorithm>

#include "device/LaunchSettings.h"
#include "panel/PageRegistry.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QVBoxLayout>

#include <cstring>

namespace {

namespace Oid {
const QString kSysDescr = QStringLiteral("1.3.6.1.2.1.1.1.0");
const QString kSysObjectId = QStringLiteral("1.3.6.1.2.1.1.2.0");
const QString kSysUpTime = QStringLiteral("1.3.6.1.2.1.1.3.0");
const QString kSysContact = QStringLiteral("1.3.6.1.2.1.1.4.0");
const QString kSysName = QStringLiteral("1.3.6.1.2.1.1.5.0");
const QString kSysLocation = QStringLiteral("1.3.6.1.2.1.1.6.0");
const QString kAgingTime = QStringLiteral("1.3.6.1.2.1.17.4.2.0");
} // namespace Oid

// System Information control ids.
enum SystemInfoId {
    kIdDescription = 1302,
    kIdObjectOid = 1303,
    kIdRuntime = 1304,
    kIdName = 1310,
    kIdContact = 1312,
    kIdLocation = 1313,
    kIdSysRefresh = 103,
    kIdApply = 1145,
    kIdSysClose = 1146,
};

constexpr int kNameBuffer = 128;

} // namespace

QString LinkStatusText(const QString& value) {
    if (value == u"1")
        return QStringLiteral("Link");
    if (value == u"2")
        return QStringLiteral("UnLink");
    if (value == u"3")
        return QStringLiteral("Test");
    return QStringLiteral("Unknown");
}

QString SpeedText(const QString& bitsPerSecond) {
    return QString::number(bitsPerSecond.trimmed().toULongLong() / 1000000) + u'M';
}

QString FdbStatusText(const QString& value) {
    if (value.isEmpty())
        return value;
    switch (value.front().unicode()) {
    case u'1': return QStringLiteral("Other");
    case u'2': return QStringLiteral("Invalid");
    case u'3': return QStringLiteral("Learn");
    case u'4': return QStringLiteral("Own");
    case u'5': return QStringLiteral("Static");
    default: return value;
    }
}

QString FdbMacText(const std::vector<uint32_t>& indexArcs) {
    if (indexArcs.size() < 6)
        return QString();
    // Written by hand: a big forwarding table formats tens of thousands of these.
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    const uint32_t* octet = indexArcs.data() + indexArcs.size() - 6;
    if (std::any_of(octet, octet + 6, [](uint32_t v) { return v > 255; })) {
        QStringList octets; // a malformed index: every digit shown
        for (int i = 0; i < 6; ++i)
            octets.append(QString::number(octet[i], 16).toUpper().rightJustified(2, u'0'));
        return octets.join(u'-');
    }
    QString text(17, u'-');
    QChar* out = text.data();
    for (int i = 0; i < 6; ++i) {
        out[i * 3] = QChar(kHex[octet[i] >> 4]);
        out[i * 3 + 1] = QChar(kHex[octet[i] & 15]);
    }
    return text;
}

QString TcpStateText(const QString& value) {
    static const char* const kStates[] = {"listen",   "synSent",  "synReceived", "established",
                                          "finWait1", "finWait2", "closeWait",   "lastAck",
                                          "closing",  "timeWait", "deleteTCB"};
    bool ok = false;
    const int state = value.toInt(&ok);
    if (ok && state >= 2 && state <= 12)
        return QLatin1String(kStates[state - 2]);
    return QStringLiteral("closed");
}

QString UptimeText(const QString& ticks) {
    if (ticks.isEmpty())
        return QString();
    const qulonglong t = ticks.toULongLong();
    const qulonglong hours = t / 360000;
    const qulonglong minutes = (t - hours * 360000) / 6000;
    return QStringLiteral("%1 Hour %2 Min").arg(hours).arg(minutes);
}

QString CheckSystemInfo(const QString& name, const QString& location) {
    if (!IsValidName(name))
        return QStringLiteral("Invalid System Name.");
    if (!IsValidName(location))
        return QStringLiteral("Invalid System Location.");
    return QString();
}

// ---- table pages ----

CMibTablePage::CMibTablePage(const SMibTable& table, QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))), m_table(table),
      m_pList(new CListControl(this)), m_pRefresh(NewButton(tr("Refresh"), table.refreshId)),
      m_pBottom(new QHBoxLayout) {
    setWindowTitle(table.caption);
    SetControlId(m_pList, table.listId);
    for (const QString& header : table.headers)
        m_pList->AddColumn(header);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pList, 1);
    if (table.countId) {
        m_pBottom->addWidget(NewLabel(tr("Entries:")));
        m_pCount = NewLabel(table.countPrefix + u'0', table.countId);
        m_pBottom->addWidget(m_pCount);
    }
    m_pBottom->addStretch();
    m_pBottom->addWidget(m_pRefresh);
    QPushButton* close = NewButton(tr("Close"), table.closeId);
    m_pBottom->addWidget(close);
    layout->addLayout(m_pBottom);

    int width = 40;
    for (int c = 0; c < m_pList->Model()->columnCount(); ++c)
        width += m_pList->columnWidth(c);
    resize(std::max(width, 420), 420);

    connect(m_pRefresh, &QPushButton::clicked, this, &CMibTablePage::Refresh);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CMibTablePage::OnInitDialog() { Refresh(); }

void CMibTablePage::Refresh() {
    m_pList->DeleteAllItems();
    UpdateCount();
    m_pRefresh->setEnabled(false);
    m_bLoading = true;
    SWalkSpec walk;
    walk.columns = m_table.columns;
    walk.rowCode = PageReport::kRow;
    walk.finishedCode = PageReport::kFinished;
    StartWalk(m_cCommonSNMP, Channel(), walk);
}

void CMibTablePage::OnSnmpNotifyBatch(std::vector<SSnmpReport>& batch) {
    std::vector<QStringList> rows;
    rows.reserve(batch.size());
    bool finished = false;
    for (const SSnmpReport& report : batch) {
        if (report.code == PageReport::kFinished) {
            finished = true;
            break;
        }
        QStringList texts = m_table.mapRow(report.row);
        rows.push_back(std::move(texts));
    }
    m_pList->AppendRows(std::move(rows));
    UpdateCount();
    if (finished) {
        m_bLoading = false;
        m_pRefresh->setEnabled(true);
        emit Loaded();
    }
}

void CMibTablePage::UpdateCount() {
    if (m_pCount)
        m_pCount->setText(m_table.countPrefix + QString::number(m_pList->ItemCount()));
}

// ---- forwarding table ----

SMibTable ForwardingTable() {
    SMibTable table;
    table.templateId = 278;
    table.caption = QStringLiteral("Forwarding Table");
    table.listId = 1205;
    table.countId = 1220;
    table.refreshId = 20;
    table.closeId = 1217;
    table.countPrefix = QStringLiteral(" ");
    table.headers = {QStringLiteral("       MAC              "), QStringLiteral(" Status      "),
                    QStringLiteral(" Port     ")};
    table.columns = {QStringLiteral("1.3.6.1.2.1.17.7.1.2.2.1.3"),
                    QStringLiteral("1.3.6.1.2.1.17.7.1.2.2.1.2")};
    table.mapRow = [](const SSnmpRow& row) {
        return QStringList{FdbMacText(row.IndexArcs()), FdbStatusText(row.Text(0)), row.Text(1)};
    };
    return table;
}

namespace {
constexpr int kFdbPortColumn = 2;
} // namespace

CForwardingTablePage::CForwardingTablePage(QWidget* parent)
    : CMibTablePage(ForwardingTable(), parent),
      m_cCommonSNMPGetTime(AddSession(QStringLiteral("m_cCommonSNMPGetTime"))),
      m_pAging(NewEdit(1216)), m_pFilter(NewEdit(1213, 4)),
      m_pStaticMac(NewButton(tr("&Static MAC..."), kIdStaticMac)) {
    m_pAging->setReadOnly(true);
    m_pAging->setMaximumWidth(90);
    m_pFilter->setMaximumWidth(60);
    m_pFilter->setPlaceholderText(tr("all"));
    m_pFilter->setToolTip(tr("List only the entries of this port"));
    auto* row = new QHBoxLayout;
    row->addWidget(NewLabel(tr("Aging Time:")));
    row->addWidget(m_pAging);
    row->addWidget(NewLabel(tr("(sec)")));
    row->addSpacing(16);
    row->addWidget(NewLabel(tr("Port:")));
    row->addWidget(m_pFilter);
    row->addStretch();
    row->addWidget(m_pStaticMac);
    static_cast<QVBoxLayout*>(layout())->insertLayout(1, row);
    connect(m_pFilter, &QLineEdit::textChanged, this, &CForwardingTablePage::ApplyFilter);
    // The count is of the entries shown, so the list's own filter counts too.
    connect(m_pList, &CListControl::FilterChanged, this, &CForwardingTablePage::UpdateCount);
    connect(m_pStaticMac, &QPushButton::clicked, this, &CForwardingTablePage::OpenStaticMac);
}

void CForwardingTablePage::OpenStaticMac() {
    if (std::unique_ptr<QDialog> page = CreatePage(kStaticMacCommand, this)) {
        page->exec();
        Refresh(); // the static entries the operator changed
    }
}

void CForwardingTablePage::OnInitDialog() {
    Refresh();
    LoadAgingTime();
}

void CForwardingTablePage::LoadAgingTime() {
    if (const auto row = ReadObjects(m_cCommonSNMPGetTime, {Oid::kAgingTime}))
        if (row->Count() >= 1)
            m_pAging->setText(row->Text(0));
}

void CForwardingTablePage::ApplyFilter() {
    // Keep only the entries of the port typed; an empty filter lists all.
    const QString port = m_pFilter->text().trimmed();
    auto* proxy = qobject_cast<QSortFilterProxyModel*>(m_pList->model());
    if (!proxy)
        return;
    proxy->setFilterKeyColumn(kFdbPortColumn);
    proxy->setFilterRegularExpression(
        port.isEmpty() ? QRegularExpression()
                       : QRegularExpression(QRegularExpression::anchoredPattern(
                             QRegularExpression::escape(port))));
    UpdateCount();
}

void CForwardingTablePage::UpdateCount() {
    if (m_pCount)
        m_pCount->setText(m_table.countPrefix + QString::number(m_pList->model()->rowCount()));
}

// ---- the other tables ----

SMibTable InterfaceTable() {
    SMibTable table;
    table.templateId = 49;
    table.caption = QStringLiteral("Interface Table");
    table.listId = 1088;
    table.countId = 1095;
    table.refreshId = 3;
    table.closeId = 2;
    table.headers = {QStringLiteral(" Index        "), QStringLiteral(" Link Status            "),
                    QStringLiteral(" Speed(b/s)                     ")};
    table.columns = {QStringLiteral("1.3.6.1.2.1.2.2.1.1"), QStringLiteral("1.3.6.1.2.1.2.2.1.8"),
                    QStringLiteral("1.3.6.1.2.1.2.2.1.5")};
    table.mapRow = [](const SSnmpRow& row) {
        return QStringList{row.Text(0), LinkStatusText(row.Text(1)), SpeedText(row.Text(2))};
    };
    return table;
}

std::unique_ptr<CMibTablePage> MakeInterfaceTablePage(QWidget* parent) {
    return std::make_unique<CMibTablePage>(InterfaceTable(), parent);
}

SMibTable IpTable() {
    SMibTable table;
    table.templateId = 208;
    table.caption = QStringLiteral("IP Table : ") + g_strDeviceIp;
    table.listId = 208;
    table.countId = 209;
    table.refreshId = 103;
    table.closeId = 2;
    table.headers = {QStringLiteral(" IP                "), QStringLiteral(" Netmask               ")};
    table.columns = {QStringLiteral("1.3.6.1.2.1.4.20.1.1"), QStringLiteral("1.3.6.1.2.1.4.20.1.3")};
    table.mapRow = [](const SSnmpRow& row) { return QStringList{row.Text(0), row.Text(1)}; };
    return table;
}

std::unique_ptr<CMibTablePage> MakeIpTablePage(QWidget* parent) {
    return std::make_unique<CMibTablePage>(IpTable(), parent);
}

SMibTable TcpServiceTable() {
    SMibTable table;
    table.templateId = 481;
    table.caption = QStringLiteral("TCP Service");
    table.listId = 234;
    table.refreshId = 241;
    table.closeId = 2;
    table.headers = {QStringLiteral("Local Port "), QStringLiteral(" Local IP        "),
                    QStringLiteral(" Remote IP       "), QStringLiteral("Remote Port"),
                    QStringLiteral(" Status ")};
    table.columns = {QStringLiteral("1.3.6.1.2.1.6.13.1.3"), QStringLiteral("1.3.6.1.2.1.6.13.1.2"),
                    QStringLiteral("1.3.6.1.2.1.6.13.1.4"), QStringLiteral("1.3.6.1.2.1.6.13.1.5"),
                    QStringLiteral("1.3.6.1.2.1.6.13.1.1")};
    table.mapRow = [](const SSnmpRow& row) {
        return QStringList{row.Text(0), row.Text(1), row.Text(2), row.Text(3),
                           TcpStateText(row.Text(4))};
    };
    return table;
}

std::unique_ptr<CMibTablePage> MakeTcpServicePage(QWidget* parent) {
    return std::make_unique<CMibTablePage>(TcpServiceTable(), parent);
}

SMibTable UdpServiceTable() {
    SMibTable table;
    table.templateId = 482;
    table.caption = QStringLiteral("UDP Service");
    table.listId = 209;
    table.refreshId = 241;
    table.closeId = 2;
    table.headers = {QStringLiteral("  Local Port "), QStringLiteral("  Local IP      ")};
    table.columns = {QStringLiteral("1.3.6.1.2.1.7.5.1.2"), QStringLiteral("1.3.6.1.2.1.7.5.1.1")};
    table.mapRow = [](const SSnmpRow& row) { return QStringList{row.Text(0), row.Text(1)}; };
    return table;
}

std::unique_ptr<CMibTablePage> MakeUdpServicePage(QWidget* parent) {
    return std::make_unique<CMibTablePage>(UdpServiceTable(), parent);
}

// ---- system information ----

CSystemInfoPage::CSystemInfoPage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))) {
    setWindowTitle(QStringLiteral("System Information"));
    auto* form = new QFormLayout;
    auto staticField = [this](int id) {
        QLabel* label = NewLabel(QString(), id);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setMinimumWidth(420);
        return label;
    };
    form->addRow(tr("Description:"), staticField(kIdDescription));
    form->addRow(tr("Object OID:"), staticField(kIdObjectOid));
    form->addRow(tr("Runtime:"), staticField(kIdRuntime));
    form->addRow(tr("Name:"), NewEdit(kIdName, 20));
    form->addRow(tr("Contact:"), NewEdit(kIdContact, 32));
    form->addRow(tr("Location:"), NewEdit(kIdLocation, 20));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* refresh = NewButton(tr("Refresh"), kIdSysRefresh);
    QPushButton* apply = NewButton(tr("Apply"), kIdApply);
    QPushButton* close = NewButton(tr("Close"), kIdSysClose);
    buttons->addWidget(refresh);
    buttons->addWidget(apply);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(refresh, &QPushButton::clicked, this, &CSystemInfoPage::Refresh);
    connect(apply, &QPushButton::clicked, this, &CSystemInfoPage::Apply);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CSystemInfoPage::OnInitDialog() { Refresh(); }

void CSystemInfoPage::Refresh() {
    SWalkSpec get;
    get.kind = CCommonSNMP::kGet;
    get.columns = {Oid::kSysDescr, Oid::kSysObjectId, Oid::kSysUpTime,
                   Oid::kSysContact, Oid::kSysName,    Oid::kSysLocation};
    get.withSuffix = false;
    get.rowCode = PageReport::kRow;
    get.finishedCode = PageReport::kFinished;
    StartWalk(m_cCommonSNMP, Channel(), get);
}

void CSystemInfoPage::OnSnmpNotify(const SSnmpReport& report) {
    if (report.code == PageReport::kFinished) {
        emit Loaded();
        return;
    }
    const SSnmpRow& row = report.row;
    if (row.Count() < 6)
        return;
    // A long description is shortened on the page and whole in its tool tip.
    QLabel* description = Control<QLabel>(kIdDescription);
    description->setText(description->fontMetrics().elidedText(row.Text(0), Qt::ElideRight,
                                                                description->width()));
    description->setToolTip(row.Text(0));
    Control<QLabel>(kIdObjectOid)->setText(row.Text(1));
    const QString uptime = UptimeText(row.Text(2));
    if (!uptime.isEmpty())
        Control<QLabel>(kIdRuntime)->setText(uptime);
    Control<QLineEdit>(kIdContact)->setText(row.Text(3));
    Control<QLineEdit>(kIdName)->setText(FromUtf8(row.Bytes(4)));
    Control<QLineEdit>(kIdLocation)->setText(FromUtf8(row.Bytes(5)));
}

bool CSystemInfoPage::Apply() {
    const QString name = Control<QLineEdit>(kIdName)->text();
    const QString location = Control<QLineEdit>(kIdLocation)->text();
    const QString message = CheckSystemInfo(name, location);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    char nameBuffer[kNameBuffer] = {};
    char locationBuffer[kNameBuffer] = {};
    ToUtf8(name, nameBuffer, sizeof nameBuffer);
    ToUtf8(location, locationBuffer, sizeof locationBuffer);
    const int status =
        WriteObjects(m_cCommonSNMPSet,
                     {{Oid::kSysName, SnmpType::kOctetString, QByteArray(nameBuffer)},
                      {Oid::kSysLocation, SnmpType::kOctetString, QByteArray(locationBuffer)}});
    // Refused or not, the fields show what the switch holds.
    Refresh();
    return status == 0;
}
