#include "Stp.h"

#include "SwitchCommon.h"
#include "device/DeviceProfile.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

namespace Oid {
const QString kBridge = QStringLiteral("1.3.6.1.2.1.17.2.");
const QString kPriority = QStringLiteral("1.3.6.1.2.1.17.2.2.0");
const QString kMaxAge = QStringLiteral("1.3.6.1.2.1.17.2.12.0");
const QString kHello = QStringLiteral("1.3.6.1.2.1.17.2.13.0");
const QString kDelay = QStringLiteral("1.3.6.1.2.1.17.2.14.0");
const QString kRstpState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.6.1.1.0");
const QString kVersion = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.6.1.2.0");
const QString kPort = QStringLiteral("1.3.6.1.2.1.17.2.15.1.");
const QString kRstpPriority = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.6.2.1.2");
// The configured path cost, 0 automatic (dot1dStpPortPathCost reads the cost in use).
const QString kRstpCost = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.6.2.1.5");
const QString kLoopback = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.17.5.1.2");
QString PortColumn(int column) {
    return kPort + QString::number(column);
}
} // namespace Oid

enum BridgeId {
    kIdBridgePriority = 1401,
    kIdAge = 1402,
    kIdHello = 1403,
    kIdDelay = 1404,
    kIdRstp = 1405,
    kIdVersion = 1406,
    kIdBridgeApply = 1407,
    kIdPortSetting = 1408,
    kIdBridgeRefresh = 1409,
    kIdFirstBridgeValue = 1411, // seven read-only values
};
enum TableId { kIdTable = 1430, kIdEntries = 1431, kIdPortConfig = 1432, kIdTableRefresh = 1433 };
enum PortId {
    kIdPort = 1450,
    kIdPrev = 1451,
    kIdNext = 1452,
    kIdPortPriority = 1453,
    kIdCost = 1454,
    kIdEnable = 1455,
    kIdFirstPortValue = 1456, // six read-only values
    kIdPortApply = 1462,
    kIdPortRefresh = 1463,
    kIdOk = 1,
    kIdCancel = 2,
};

constexpr unsigned long kRstpOnTimeoutMs = 3500;
constexpr int kMaxCost = 200000000;

// Number as typed; nullopt when the text is no whole number.
std::optional<int> Number(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

int At(const std::vector<int>& values, int port) {
    return port >= 1 && port <= static_cast<int>(values.size()) ? values[port - 1] : 0;
}

QString HexOctets(const QByteArray& octets, int count, QChar separator) {
    QStringList parts;
    for (int i = 0; i < count && i < octets.size(); ++i)
        parts << QString::asprintf("%02X", static_cast<unsigned char>(octets[i]));
    return parts.join(separator);
}

QComboBox* StepBox(QWidget* parent, int last, int step) {
    auto* box = new QComboBox(parent);
    for (int value = 0; value <= last; value += step)
        box->addItem(QString::number(value));
    return box;
}

} // namespace

QString BridgeIdText(const QByteArray& octets) {
    return HexOctets(octets, 8, u':');
}

QString DesignatedPortText(const QByteArray& octets) {
    return HexOctets(octets, 2, u' ');
}

QString StpPortStateText(const QString& value) {
    static const char* const kStates[] = {"Disabled", "Blocked", "Monitored",
                                          "Learn",    "Forward", "Token"};
    const int state = value.trimmed().toInt();
    return state >= 1 && state <= 6 ? QLatin1String(kStates[state - 1]) : QString();
}

QString CheckBridgeTimers(const QString& ageText, const QString& helloText,
                          const QString& delayText) {
    const auto age = Number(ageText), hello = Number(helloText), delay = Number(delayText);
    if (!age || *age < 600 || *age > 4000)
        return QStringLiteral(
            "Invalid Age Time value, the valid Age Time range is  (600-4000) ms !");
    if (!delay || *delay < 400 || *delay > 3000)
        return QStringLiteral(
            "Invalid Forward Delay value, the valid Forward Delay range is (400-3000) ms !");
    if (!hello || *hello < 100 || *hello > 1000)
        return QStringLiteral(
            "Invalid Hello Time value, the valid Hello Time range is (100-1000) ms !");
    if (*age < 2 * *hello + 200)
        return QStringLiteral(
            "To set the parameters Hello Time and Max Age the following relation is to be satisfied: \nMax Age >= (2*(Hello Time + 1.0))");
    if (2 * *delay - 200 < *age)
        return QStringLiteral(
            "To set the parameters Forward Delay and Max Age, the following relation is to be satisfied: \n2*(Forward Delay - 1) >= Max Age");
    return QString();
}

std::vector<SWriteStep> BridgeWriteSteps(const SBridgeApply& a) {
    auto integer = [](const QString& oid, int value) {
        return SSetVar{oid, SnmpType::kInteger, QByteArray::number(value)};
    };
    if (!a.enableRstp)
        return {{QStringLiteral("RSTP state"), {integer(Oid::kRstpState, kDisabled)}, 30}};
    std::vector<SWriteStep> steps;
    if (a.rstpEnable == 0) {
        SWriteStep on{QStringLiteral("RSTP state"), {integer(Oid::kRstpState, kEnabled)}};
        on.timeoutMs = kRstpOnTimeoutMs;
        steps.push_back(on);
    }
    // The widest timers first, so that every later step keeps the 802.1D
    // relations whatever the switch held.
    steps.push_back({QStringLiteral("hello time and forward delay"),
                     {integer(Oid::kHello, 100), integer(Oid::kDelay, 3000)},
                     50});
    steps.push_back({QStringLiteral("max age"), {integer(Oid::kMaxAge, a.age)}});
    steps.push_back({QStringLiteral("forward delay"), {integer(Oid::kDelay, a.delay)}});
    steps.push_back({QStringLiteral("hello time"), {integer(Oid::kHello, a.hello)}});
    steps.push_back({QStringLiteral("priority"), {integer(Oid::kPriority, a.priority)}});
    steps.push_back({QStringLiteral("STP version"), {integer(Oid::kVersion, a.version)}, 30});
    return steps;
}

QString CheckStpPortApply(const SStpPorts& ports, int port, int priority, const QString& costText,
                          bool enable) {
    const auto cost = Number(costText);
    if (!cost || *cost < 0 || *cost > kMaxCost)
        return QStringLiteral("Invalid Path Cost(1-200000000)");
    if (enable && At(ports.loopback, port) == 1)
        return QStringLiteral("STP port ") + QString::number(port) +
               QStringLiteral(" can not both support Spanning Tree and LBD-enabled mode");
    // An aggregated link runs with one priority and one cost: a member may
    // only change to what the other members hold.
    const int group = At(ports.lagOfPort, port);
    const bool changes = priority != At(ports.priority, port) || *cost != At(ports.cost, port);
    if (group != 0 && changes)
        for (int p = 1; p <= static_cast<int>(ports.lagOfPort.size()); ++p)
            if (p != port && ports.lagOfPort[p - 1] == group &&
                (At(ports.priority, p) != priority || At(ports.cost, p) != *cost))
                return QStringLiteral(
                    "Cannot add ports with different STP configurations to an aggregated link.");
    return QString();
}

// ---- Bridge Config ----

CStpBridgePage::CStpBridgePage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_cCommonSNMPSet0(AddSession(QStringLiteral("m_cCommonSNMPSet0"))),
      m_pAge(NewEdit(kIdAge, 4)), m_pHello(NewEdit(kIdHello, 4)), m_pDelay(NewEdit(kIdDelay, 4)),
      m_pPriority(StepBox(this, 61440, 4096)),
      m_pRstp(new QCheckBox(QStringLiteral("Enable RSTP"), this)), m_pVersion(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("Bridge Config"));
    SetControlId(m_pPriority, kIdBridgePriority);
    SetControlId(m_pRstp, kIdRstp);
    SetControlId(m_pVersion, kIdVersion);
    m_pVersion->addItems({QStringLiteral("RSTP"), QStringLiteral("STP Compatible")});

    auto* state = new QGroupBox(QStringLiteral("Bridge State"), this);
    auto* shown = new QGridLayout(state);
    const char* names[] = {"TopoChangeTime:", "TopoChanged:", "Designated Root:", "RootPort:",
                           "Hello Time:",     "Hold Time:",   "Forward Delay:"};
    for (int i = 0; i < 7; ++i) {
        QLabel* value = NewLabel(QString(), kIdFirstBridgeValue + i);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_values.push_back(value);
        shown->addWidget(NewLabel(QLatin1String(names[i])), i, 0);
        shown->addWidget(value, i, 1);
    }
    shown->setColumnStretch(1, 1);

    auto* settings = new QGroupBox(QStringLiteral("Bridge Settings"), this);
    auto* edits = new QGridLayout(settings);
    int row = 0;
    auto add = [&](const char* label, QWidget* field) {
        edits->addWidget(NewLabel(QLatin1String(label)), row, 0);
        edits->addWidget(field, row++, 1);
    };
    add("Priority:", m_pPriority);
    add("Age Time(600-4000):", m_pAge);
    add("Hello Time(100-1000):", m_pHello);
    add("Delay(400-3000):", m_pDelay);
    edits->addWidget(NewLabel(QStringLiteral("(Time Unit: 1/100 Second)")), row++, 0, 1, 2);
    edits->addWidget(m_pRstp, row++, 0, 1, 2);
    add("STP Version:", m_pVersion);

    QPushButton* apply = NewButton(QStringLiteral("&Apply"), kIdBridgeApply);
    QPushButton* ports = NewButton(QStringLiteral("Port Setting"), kIdPortSetting);
    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdBridgeRefresh);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdCancel);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ports);
    buttons->addStretch();
    for (QPushButton* button : {apply, refresh, close})
        buttons->addWidget(button);

    auto* columns = new QHBoxLayout;
    columns->addWidget(state, 1);
    columns->addWidget(settings);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);
    resize(600, 320);

    connect(apply, &QPushButton::clicked, this, &CStpBridgePage::Apply);
    connect(ports, &QPushButton::clicked, this, &CStpBridgePage::OnPortSetting);
    connect(refresh, &QPushButton::clicked, this, &CStpBridgePage::Load);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CStpBridgePage::OnInitDialog() {
    Load();
}

void CStpBridgePage::Load() {
    const QStringList oids = {Oid::kPriority,        Oid::kBridge + "3.0",  Oid::kBridge + "4.0",
                              Oid::kBridge + "5.0",  Oid::kBridge + "7.0",  Oid::kBridge + "9.0",
                              Oid::kBridge + "10.0", Oid::kBridge + "11.0", Oid::kMaxAge,
                              Oid::kHello,           Oid::kDelay,           Oid::kRstpState,
                              Oid::kVersion};
    const auto row = ReadObjects(m_cCommonSNMP, oids);
    if (!row)
        return;
    const int index = m_pPriority->findText(row->Text(0).trimmed());
    if (index >= 0)
        m_pPriority->setCurrentIndex(index);
    m_values[0]->setText(row->Text(1));
    m_values[1]->setText(row->Text(2));
    m_values[2]->setText(BridgeIdText(row->Bytes(3)));
    for (int i = 3; i < 7; ++i)
        m_values[i]->setText(row->Text(i + 1));
    m_pAge->setText(row->Text(8));
    m_pHello->setText(row->Text(9));
    m_pDelay->setText(row->Text(10));
    // What the switch holds decides whether an apply switches RSTP on first.
    m_iRstpEnable = row->Text(11) == u"1" ? 1 : 0;
    m_pRstp->setChecked(m_iRstpEnable == 1);
    m_pVersion->setCurrentIndex(row->Text(12) == u"0" ? 1 : 0);
}

bool CStpBridgePage::Apply() {
    SBridgeApply apply;
    apply.enableRstp = m_pRstp->isChecked();
    apply.rstpEnable = m_iRstpEnable;
    // Switching RSTP off writes no timer, so the timers do not stand in its way.
    if (apply.enableRstp) {
        const QString message =
            CheckBridgeTimers(m_pAge->text(), m_pHello->text(), m_pDelay->text());
        if (!message.isEmpty()) {
            ShowMessage(message, this);
            return false;
        }
        apply.age = m_pAge->text().trimmed().toInt();
        apply.hello = m_pHello->text().trimmed().toInt();
        apply.delay = m_pDelay->text().trimmed().toInt();
        apply.priority = m_pPriority->currentText().toInt();
        apply.version = m_pVersion->currentIndex() == 0 ? 2 : 0;
    }
    const int failed = WriteSequence(m_cCommonSNMPSet, BridgeWriteSteps(apply));
    Load();
    return failed < 0;
}

void CStpBridgePage::OnPortSetting() {
    CStpTablePage table(this);
    table.exec();
}

// ---- Spanning Tree Table ----

CStpTablePage::CStpTablePage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_pList(new CListControl(this)), m_pEntries(NewLabel(QString(), kIdEntries)),
      m_pRefresh(NewButton(QStringLiteral("&Refresh"), kIdTableRefresh)) {
    setWindowTitle(QStringLiteral("Spanning Tree Table"));
    SetControlId(m_pList, kIdTable);
    for (const char* header :
         {"Port", "Priority", "Cost", "Enable", "Status", " ==Designated Root==", "Designated Cost",
          " ==Designated Bridge==", "Designated Port", "Forwardings"})
        m_pList->AddColumn(QLatin1String(header));
    // Costs, states and bridge identifiers are wider than their headings.
    for (auto [column, width] : {std::pair{2, 80}, {4, 75}, {5, 170}, {7, 170}})
        m_pList->setColumnWidth(column, std::max(width, m_pList->columnWidth(column)));
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);

    QPushButton* config = NewButton(QStringLiteral("&Port Config"), kIdPortConfig);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdCancel);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(NewLabel(QStringLiteral("Entries:")));
    buttons->addWidget(m_pEntries);
    buttons->addStretch();
    for (QPushButton* button : {config, m_pRefresh, close})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pList, 1);
    layout->addLayout(buttons);
    int width = 40;
    for (int c = 0; c < m_pList->Model()->columnCount(); ++c)
        width += m_pList->columnWidth(c);
    resize(std::max(width, 700), 480);

    connect(config, &QPushButton::clicked, this, &CStpTablePage::OnPortConfig);
    connect(m_pList, &QAbstractItemView::doubleClicked, this, &CStpTablePage::OnPortConfig);
    connect(m_pRefresh, &QPushButton::clicked, this, &CStpTablePage::Refresh);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CStpTablePage::OnInitDialog() {
    Refresh();
}

void CStpTablePage::Refresh() {
    if (IsBusy())
        return;
    m_pList->DeleteAllItems();
    m_pEntries->clear();
    m_pRefresh->setEnabled(false);
    SWalkSpec walk;
    for (int column = 1; column <= 10; ++column)
        walk.columns << Oid::PortColumn(column);
    StartWalk(m_cCommonSNMP, Channel(), walk);
}

void CStpTablePage::OnSnmpNotify(const SSnmpReport& report) {
    if (report.code == PageReport::kFinished) {
        m_pEntries->setText(QString::number(m_pList->ItemCount()));
        m_pRefresh->setEnabled(true);
        return;
    }
    const SSnmpRow& r = report.row;
    m_pList->AppendRow({r.Text(0), r.Text(1), r.Text(4),
                        r.Text(3) == u"1" ? QStringLiteral("Y") : QStringLiteral("N"),
                        StpPortStateText(r.Text(2)), BridgeIdText(r.Bytes(5)), r.Text(6),
                        BridgeIdText(r.Bytes(7)), DesignatedPortText(r.Bytes(8)), r.Text(9)});
}

void CStpTablePage::OnPortConfig() {
    const int row = m_pList->SelectedRow();
    const int port = row >= 0 ? m_pList->ItemText(row, 0).toInt() : 1;
    CStpPortPage page(port, this);
    page.exec();
    Refresh();
}

// ---- Port Config ----

CStpPortPage::CStpPortPage(int port, QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_cCommonSNMPTable(AddSession(QStringLiteral("m_cCommonSNMPTable"))),
      m_nPort(std::clamp(port, 1, std::max(g_nPortNum, 1))), m_pPort(NewEdit(kIdPort)),
      m_pPriority(StepBox(this, 240, 16)), m_pCost(NewEdit(kIdCost, 9)),
      m_pEnable(new QComboBox(this)), m_pPrev(NewButton(QStringLiteral("<= Prev Port"), kIdPrev)),
      m_pNext(NewButton(QStringLiteral("Next Port =>"), kIdNext)) {
    setWindowTitle(QStringLiteral("Port Config"));
    SetControlId(m_pPriority, kIdPortPriority);
    SetControlId(m_pEnable, kIdEnable);
    m_pEnable->addItems({QStringLiteral("Enabled"), QStringLiteral("Disabled")});
    m_pPort->setReadOnly(true);
    m_pPort->setMaximumWidth(50);

    auto* choose = new QHBoxLayout;
    choose->addWidget(m_pPrev);
    choose->addWidget(NewLabel(QStringLiteral("Port:")));
    choose->addWidget(m_pPort);
    choose->addWidget(m_pNext);
    choose->addStretch();

    auto* fields = new QGridLayout;
    fields->addWidget(NewLabel(QStringLiteral("Priority:")), 0, 0);
    fields->addWidget(m_pPriority, 0, 1);
    fields->addWidget(NewLabel(QStringLiteral("Cost:(1-200000000, 0=auto)")), 1, 0);
    fields->addWidget(m_pCost, 1, 1);
    fields->addWidget(NewLabel(QStringLiteral("Enable:")), 2, 0);
    fields->addWidget(m_pEnable, 2, 1);
    const char* names[] = {
        "Status:", "Desig Root:", "Desig Cost:", "Desig Bridge:", "Desig Port:", "Forward:"};
    for (int i = 0; i < 6; ++i) {
        QLineEdit* value = NewEdit(kIdFirstPortValue + i);
        value->setReadOnly(true);
        m_values.push_back(value);
        fields->addWidget(NewLabel(QLatin1String(names[i])), 3 + i, 0);
        fields->addWidget(value, 3 + i, 1);
    }
    fields->setColumnStretch(1, 1);

    QPushButton* apply = NewButton(QStringLiteral("&Apply"), kIdPortApply);
    QPushButton* ok = NewButton(QStringLiteral("&OK"), kIdOk);
    QPushButton* cancel = NewButton(QStringLiteral("&Cancel"), kIdCancel);
    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdPortRefresh);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {apply, ok, cancel, refresh})
        buttons->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choose);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(420, 360);

    connect(m_pPrev, &QPushButton::clicked, this, [this] { ShowPort(m_nPort - 1); });
    connect(m_pNext, &QPushButton::clicked, this, [this] { ShowPort(m_nPort + 1); });
    connect(apply, &QPushButton::clicked, this, &CStpPortPage::Apply);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (Apply())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(refresh, &QPushButton::clicked, this, &CStpPortPage::Load);
}

void CStpPortPage::OnInitDialog() {
    Load();
}

void CStpPortPage::ShowPort(int port) {
    if (port < 1 || port > g_nPortNum)
        return;
    m_nPort = port;
    LoadPort();
}

void CStpPortPage::Load() {
    const int ports = std::max(g_nPortNum, 0);
    m_ports.lagOfPort.assign(static_cast<size_t>(ports), 0);
    m_ports.priority.assign(m_ports.lagOfPort.size(), 0);
    m_ports.cost.assign(m_ports.lagOfPort.size(), 0);
    m_ports.loopback.assign(m_ports.lagOfPort.size(), 0);
    if (const auto lag = LoadLagOfPorts(m_cCommonSNMPTable, ports))
        m_ports.lagOfPort = *lag;
    if (const auto rows = WalkTable(m_cCommonSNMPTable, {Oid::kRstpPriority, Oid::kRstpCost}))
        for (const SSnmpRow& row : *rows)
            if (const int p = RowNumber(row); p >= 1 && p <= ports) {
                m_ports.priority[p - 1] = row.Text(0).toInt();
                m_ports.cost[p - 1] = row.Text(1).toInt();
            }
    if (const auto rows = WalkTable(m_cCommonSNMPTable, {Oid::kLoopback}))
        for (const SSnmpRow& row : *rows)
            if (const int p = RowNumber(row); p >= 1 && p <= ports)
                m_ports.loopback[p - 1] = row.Text(0).toInt();
    LoadPort();
}

void CStpPortPage::LoadPort() {
    const int n = m_nPort;
    m_pPort->setText(QString::number(n));
    m_pPrev->setEnabled(n > 1);
    m_pNext->setEnabled(n < g_nPortNum);
    QStringList oids;
    for (int column : {2, 3, 4, 6, 7, 8, 9, 10})
        oids << CellOid(Oid::PortColumn(column), n);
    oids << CellOid(Oid::kRstpCost, n);
    const auto row = ReadObjects(m_cCommonSNMP, oids);
    if (!row)
        return;
    const int priority = m_pPriority->findText(row->Text(0).trimmed());
    if (priority >= 0)
        m_pPriority->setCurrentIndex(priority);
    m_pEnable->setCurrentIndex(row->Text(2) == u"1" ? 0 : 1);
    m_pCost->setText(row->Text(8));
    m_values[0]->setText(StpPortStateText(row->Text(1)));
    m_values[1]->setText(BridgeIdText(row->Bytes(3)));
    m_values[2]->setText(row->Text(4));
    m_values[3]->setText(BridgeIdText(row->Bytes(5)));
    m_values[4]->setText(DesignatedPortText(row->Bytes(6)));
    m_values[5]->setText(row->Text(7));
    // The rules compare with what the switch holds now.
    if (n <= static_cast<int>(m_ports.priority.size())) {
        m_ports.priority[n - 1] = row->Text(0).toInt();
        m_ports.cost[n - 1] = row->Text(8).toInt();
    }
}

bool CStpPortPage::Apply() {
    const int n = m_nPort;
    const int priority = m_pPriority->currentText().toInt();
    const bool enable = m_pEnable->currentIndex() == 0;
    const QString message = CheckStpPortApply(m_ports, n, priority, m_pCost->text(), enable);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    const QByteArray cost = QByteArray::number(m_pCost->text().trimmed().toInt());
    // One request: the switch takes the port's settings together or not at all.
    const int status = WriteObjects(
        m_cCommonSNMPSet,
        {{CellOid(Oid::PortColumn(2), n), SnmpType::kInteger, QByteArray::number(priority)},
         {CellOid(Oid::kRstpCost, n), SnmpType::kInteger, cost},
         {CellOid(Oid::PortColumn(4), n), SnmpType::kInteger,
          QByteArray::number(enable ? kEnabled : kDisabled)},
         {CellOid(Oid::PortColumn(5), n), SnmpType::kInteger, cost}});
    Load();
    return status == 0;
}
