#include "PortConfig.h"

#include "SwitchCommon.h"
#include "device/DeviceProfile.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

enum PortId {
    kIdList = 201,
    kIdPortId = 216,
    kIdSpeed = 209,
    kIdFlow = 210,
    kIdApply = 242,
    kIdRefresh = 241,
    kIdClose = 2,
};

// Report codes of the two walks.
enum PortReport { kPortRow = 0, kPortFinished = 1, kLagRow = 10, kLagFinished = 11 };

constexpr unsigned long kPortWalkTimeoutMs = 8000;
constexpr unsigned long kApplyTimeoutMs = 9000;

enum Column { kColIndex, kColSpeed, kColOperMode, kColFlow, kColPriority, kColOperFlow };

const char* const kSpeedEntries[] = {"1000M-Full", "100M-Full", "100M-Half", "10M-Full",
                                     "10M-Half",   "Auto",      "Disable"};
const char* const kSpeedTexts[] = {"1000MFull", "100MFull", "100MHalf", "10MFull",
                                   "10MHalf",   "Auto",     "Disable"};

int Number(const QString& value) {
    return value.trimmed().toInt();
}

} // namespace

QString PortSpeedText(const QString& value) {
    const int v = Number(value);
    return QLatin1String(kSpeedTexts[v >= 1 && v <= 7 ? v - 1 : 0]);
}

QString OperModeText(const QString& value) {
    switch (Number(value)) {
    case 1:
        return QStringLiteral("Down");
    case 3:
        return QStringLiteral("100MFull");
    case 4:
        return QStringLiteral("100MHalf");
    case 5:
        return QStringLiteral("10MFull");
    case 6:
        return QStringLiteral("10MHalf");
    default:
        return QStringLiteral("1000MFull");
    }
}

QString OperModeCell(const QString& value, bool isCombo, int media) {
    const int v = Number(value);
    if (!isCombo || v == 1)
        return OperModeText(value);
    if (media == 2) {
        switch (v) {
        case 3:
            return QStringLiteral("100M C Full");
        case 4:
            return QStringLiteral("100M C Half");
        case 5:
            return QStringLiteral("10M C Full");
        case 6:
            return QStringLiteral("10M C Half");
        default:
            return QStringLiteral("1000M C Full");
        }
    }
    if (media == 3 && v == 3)
        return QStringLiteral("100M F Full");
    if (media == 3 && v == 4)
        return QStringLiteral("100M F Half");
    if (media == 4 && v == 2)
        return QStringLiteral("1000M F Full");
    return OperModeText(value);
}

QString FlowControlText(const QString& value) {
    return Number(value) == 1 ? QStringLiteral("Enable") : QStringLiteral("Disable");
}

QString DefaultPriorityText(const QString& value) {
    switch (Number(value)) {
    case 2:
        return QStringLiteral("Middle");
    case 3:
        return QStringLiteral("High");
    case 4:
        return QStringLiteral("Highest");
    default:
        return QStringLiteral("Low");
    }
}

QString OperFlowControlText(const QString& value) {
    switch (Number(value)) {
    case 1:
        return QStringLiteral("Enabled");
    case 2:
        return QStringLiteral("Disabled");
    default:
        return QString();
    }
}

int SpeedEntryOfText(const QString& text) {
    for (int i = 0; i < 7; ++i)
        if (text == QLatin1String(kSpeedTexts[i]))
            return i;
    return -1;
}

QString SpeedTextOfEntry(int entry) {
    return entry >= 0 && entry < 7 ? QLatin1String(kSpeedTexts[entry]) : QString();
}

QString CheckPortApply(const SPortTable& t, const QString& portText, int s) {
    if (portText.trimmed().isEmpty())
        return QStringLiteral("Please Select one port !");
    const int n = portText.trimmed().toInt();
    if (n < 1 || n > t.portCount)
        return QStringLiteral("Please Select one port !");
    auto at = [](const std::vector<int>& values, int port) {
        return port >= 1 && port <= static_cast<int>(values.size()) ? values[port - 1] : 0;
    };
    const int group = at(t.lagOfPort, n);
    const int media = at(t.mediaOfPort, n);
    const int rows = static_cast<int>(t.speedCells.size());

    if (group != 0)
        for (int p = 1; p <= t.portCount && p <= rows; ++p)
            if (p != n && at(t.lagOfPort, p) == group && t.speedCells[p - 1] != SpeedTextOfEntry(s))
                return QStringLiteral("LA port can not support in different speed.");

    if (s == kSpeedDisable) {
        int disabled = 0;
        for (int r = 0; r < rows; ++r)
            if (r != n - 1 && t.speedCells[r] == u"Disable")
                ++disabled;
        if (disabled == t.portCount - 1)
            return QStringLiteral("Sorry, you cannot disable all ports.");
    }
    if (media == 1 && s == kSpeed1000Full && !t.isAllGiga)
        return QStringLiteral("Port ") + portText + QStringLiteral(" can not support 1000M speed.");
    if (s == kSpeedAuto && media == 3)
        return QStringLiteral("Fiber Port ") + portText +
               QStringLiteral(" with 100Base-x SFP Module can not support in Auto mode.");
    if (media == 4 &&
        (s == kSpeed100Full || s == kSpeed100Half || s == kSpeed10Full || s == kSpeed10Half))
        return QStringLiteral("Fiber Port ") + portText +
               QStringLiteral(" with 1000Base-x SFP Module can not support this speed.");
    if (media == 3 && s != kSpeed100Full && s != kSpeed100Half && s != kSpeedDisable)
        return QStringLiteral("Fiber Port ") + portText +
               QStringLiteral(" with 100Base-x SFP Module can not support this speed.");
    if (group != 0 && (s == kSpeed100Half || s == kSpeed10Half))
        return QStringLiteral("LA port ") + portText +
               QStringLiteral(" can not support in half-duplex mode.");
    return QString();
}

CPortSetInfo::CPortSetInfo(QWidget* parent, int selectedPort)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPTable(AddSession(QStringLiteral("m_cCommonSNMPTable"))),
      m_cCommonSNMPTableTrunk(AddSession(QStringLiteral("m_cCommonSNMPTableTrunk"))),
      m_nPortNum(g_nPortNum), m_nComboPortNum(g_nComboPortNum),
      m_nComboPortIndex(g_nComboPortIndex), m_bIsAllGiga(g_bIsAllGiga != 0),
      m_nPortToSelect(selectedPort), m_pList(new CListControl(this)), m_pPortId(NewEdit(kIdPortId)),
      m_pSpeed(new QComboBox(this)), m_pFlow(new QComboBox(this)),
      m_pApply(NewButton(QStringLiteral("&Apply"), kIdApply)),
      m_pRefresh(NewButton(QStringLiteral("&Refresh"), kIdRefresh)) {
    setWindowTitle(QStringLiteral("Port Configuration"));
    SetControlId(m_pList, kIdList);
    SetControlId(m_pSpeed, kIdSpeed);
    SetControlId(m_pFlow, kIdFlow);
    for (const char* header : {"Index", "PortControlSpeed", "OperMode", "FlowControlMode",
                               "DefaultPriority", "OperFlowControlMode"})
        m_pList->AddColumn(QLatin1String(header));
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->horizontalHeader()->setStretchLastSection(true);
    for (const char* entry : kSpeedEntries)
        m_pSpeed->addItem(QLatin1String(entry));
    m_pSpeed->setEnabled(false);
    m_pFlow->addItems({QStringLiteral("Enable"), QStringLiteral("Disable")});
    // The port comes from the list, so it is always one the switch has.
    m_pPortId->setReadOnly(true);
    m_pPortId->setMaximumWidth(60);

    auto* fields = new QHBoxLayout;
    fields->addWidget(NewLabel(QStringLiteral("Port ID:")));
    fields->addWidget(m_pPortId);
    fields->addSpacing(12);
    fields->addWidget(NewLabel(QStringLiteral("PortControlSpeed:")));
    fields->addWidget(m_pSpeed);
    fields->addSpacing(12);
    fields->addWidget(NewLabel(QStringLiteral("FlowControlMode:")));
    fields->addWidget(m_pFlow);
    fields->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_pApply);
    buttons->addWidget(m_pRefresh);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdClose);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pList, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    int width = 40;
    for (int c = 0; c < m_pList->Model()->columnCount(); ++c)
        width += m_pList->columnWidth(c);
    resize(std::max(width, 640), 520);

    connect(m_pList, &CListControl::RowActivated, this, &CPortSetInfo::OnRowSelected);
    connect(m_pList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { OnRowSelected(m_pList->SelectedRow()); });
    connect(m_pApply, &QPushButton::clicked, this, &CPortSetInfo::Apply);
    connect(m_pRefresh, &QPushButton::clicked, this, &CPortSetInfo::Load);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CPortSetInfo::OnInitDialog() {
    Load();
}

void CPortSetInfo::Load() {
    if (IsLoading())
        return;
    m_lagOfPort.assign(static_cast<size_t>(std::max(m_nPortNum, 0)), 0);
    m_mediaOfPort.assign(m_lagOfPort.size(), 0);
    m_pList->DeleteAllItems();
    m_pApply->setEnabled(false);
    setEnabled(false);
    m_nWalks = 2;

    SWalkSpec lag;
    lag.columns = {SwOid::kTrunkMembers};
    lag.rowCode = kLagRow;
    lag.finishedCode = kLagFinished;
    StartWalk(m_cCommonSNMPTableTrunk, Channel(), lag);

    SWalkSpec ports;
    ports.columns = {SwOid::kPortSpeed,    SwOid::kPortOperMode, SwOid::kPortFlow,
                     SwOid::kPortPriority, SwOid::kPortOperFlow, SwOid::kPortMedia};
    ports.rowCode = kPortRow;
    ports.finishedCode = kPortFinished;
    ports.timeoutMs = kPortWalkTimeoutMs;
    StartWalk(m_cCommonSNMPTable, Channel(), ports);
}

void CPortSetInfo::OnSnmpNotify(const SSnmpReport& report) {
    switch (report.code) {
    case kPortRow:
        AddPortRow(report.row);
        break;
    case kLagRow: {
        const int group = RowNumber(report.row);
        const std::vector<int> lag = LagOfPorts({report.row}, m_nPortNum);
        for (size_t p = 0; p < lag.size(); ++p)
            if (lag[p])
                m_lagOfPort[p] = group;
        break;
    }
    case kPortFinished:
    case kLagFinished:
        WalkEnded();
        break;
    default:
        break;
    }
}

void CPortSetInfo::AddPortRow(const SSnmpRow& row) {
    const int r = m_pList->ItemCount();
    const int port = r + 1;
    const int media = row.Text(5).trimmed().toInt();
    if (r < m_nPortNum)
        m_mediaOfPort[r] = media;
    const bool combo = port >= m_nComboPortIndex && port < m_nComboPortIndex + m_nComboPortNum;
    m_pList->AppendRow({QString::number(port), PortSpeedText(row.Text(0)),
                        OperModeCell(row.Text(1), combo, media), FlowControlText(row.Text(2)),
                        DefaultPriorityText(row.Text(3)), OperFlowControlText(row.Text(4))});
}

void CPortSetInfo::WalkEnded() {
    if (m_nWalks == 0 || --m_nWalks > 0)
        return;
    setEnabled(true);
    m_pApply->setEnabled(true);
    // Opened from a port of the panel: that port, once.
    if (m_nPortToSelect > 0 && m_nPortToSelect <= m_pList->ItemCount()) {
        m_pList->SelectRow(m_nPortToSelect - 1);
        OnRowSelected(m_nPortToSelect - 1);
    }
    m_nPortToSelect = 0;
    emit Loaded();
}

void CPortSetInfo::OnRowSelected(int row) {
    if (row < 0 || row >= m_pList->ItemCount())
        return;
    m_pPortId->setText(m_pList->ItemText(row, kColIndex));
    const int entry = SpeedEntryOfText(m_pList->ItemText(row, kColSpeed));
    if (entry >= 0)
        m_pSpeed->setCurrentIndex(entry);
    m_pSpeed->setEnabled(true);
    m_pFlow->setCurrentIndex(m_pList->ItemText(row, kColFlow) == u"Enable" ? 0 : 1);
}

bool CPortSetInfo::Apply() {
    const QString portText = m_pPortId->text();
    const int s = m_pSpeed->currentIndex();
    SPortTable table;
    for (int r = 0; r < m_pList->ItemCount(); ++r)
        table.speedCells.push_back(m_pList->ItemText(r, kColSpeed));
    table.lagOfPort = m_lagOfPort;
    table.mediaOfPort = m_mediaOfPort;
    table.portCount = m_nPortNum;
    table.isAllGiga = m_bIsAllGiga;
    const QString message = CheckPortApply(table, portText, s);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    const int n = portText.trimmed().toInt();
    const int speed = s + 1;
    if (speed != 6 && speed != 7 &&
        !AskOkCancel(
            QStringLiteral("The speed is set to force mode. \n* The speed mode must be the same as the counterpart. "),
            this))
        return false;
    std::vector<SSetVar> vars;
    // A port of an aggregated link keeps the link's speed.
    if (m_lagOfPort[n - 1] == 0)
        vars.push_back(
            {CellOid(SwOid::kPortSpeed, n), SnmpType::kInteger, QByteArray::number(speed)});
    const int flow = m_pFlow->currentIndex() == 0 ? 1 : 2;
    if (flow == 1 &&
        !AskOkCancel(QStringLiteral("QoS works best when Flow Control is disabled. \n* When Flow Control is enabled.QoS may not perform accurate bandwidth allocation. \n* Do you still want to enable Flow Control?. "),
                     this))
        return false;
    m_pRefresh->setEnabled(false);
    vars.push_back({CellOid(SwOid::kPortFlow, n), SnmpType::kInteger, QByteArray::number(flow)});
    const int status = WriteObjects(m_cCommonSNMP, vars, kApplyTimeoutMs);
    m_pRefresh->setEnabled(true);
    if (status == 0)
        Load();
    else
        QTimer::singleShot(50, this, &CPortSetInfo::Load);
    return status == 0;
}
