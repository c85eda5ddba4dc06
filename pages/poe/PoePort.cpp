#include "PoePort.h"

#include "PoeCommon.h"
#include "TimeRange.h"
#include "device/DeviceProfile.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum ControlId {
    kIdList = 201,
    kIdFrom = 1069,
    kIdTo = 211,
    kIdState = 212,
    kIdPriority = 219,
    kIdLimit = 1065,
    kIdUserDefine = 1066,
    kIdWatts = 1070,
    kIdTimeRange = 1085,
    kIdRefresh = 241,
    kIdApply = 242,
    kIdClose = 2,
    kIdTimeRanges = 1300, // opens the time range list
};

const QString kNone = QStringLiteral("N/A");

// Walk order of the port table: state, range, priority, class, the five
// measurements, then the user-defined limit's two columns.
const int kWalkColumns[] = {3, 4, 5, 6, 9, 10, 11, 12, 13, 7, 8};

} // namespace

CPoePortPage::CPoePortPage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMPTimeRang(AddSession(QStringLiteral("m_cCommonSNMPTimeRang"))),
      m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_pList(new CListControl(this)), m_pFrom(new QComboBox(this)), m_pTo(new QComboBox(this)),
      m_pState(new QComboBox(this)), m_pPriority(new QComboBox(this)),
      m_pLimit(new QComboBox(this)),
      m_pUserDefine(new QCheckBox(QStringLiteral("User Define"), this)),
      m_pWatts(NewEdit(kIdWatts, 8)), m_pTimeRange(new QComboBox(this)),
      m_pRefresh(NewButton(QStringLiteral("&Refresh"), kIdRefresh)),
      m_pApply(NewButton(QStringLiteral("&Apply"), kIdApply)) {
    setWindowTitle(QStringLiteral("PoE Configuration"));
    SetControlId(m_pList, kIdList);
    SetControlId(m_pFrom, kIdFrom);
    SetControlId(m_pTo, kIdTo);
    SetControlId(m_pState, kIdState);
    SetControlId(m_pPriority, kIdPriority);
    SetControlId(m_pLimit, kIdLimit);
    SetControlId(m_pUserDefine, kIdUserDefine);
    SetControlId(m_pTimeRange, kIdTimeRange);
    for (const char* header : {"Index", "State", "Time Range", "Priority", "Power Limit",
                               "Power(W)", "Voltage(V)", "Current(mA)", "Classification", "Status"})
        m_pList->AddColumn(QLatin1String(header));
    m_pList->horizontalHeader()->setStretchLastSection(true);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);

    const int ports = PoePortPageCount(g_strDeviceName);
    for (int port = 1; port <= ports; ++port) {
        m_pFrom->addItem(QString::number(port));
        m_pTo->addItem(QString::number(port));
    }
    m_pTo->setCurrentIndex(ports - 1);
    m_pState->addItems({QStringLiteral("Enable"), QStringLiteral("Disable")});
    m_pPriority->addItems(PoePriorityNames());
    m_pPriority->setCurrentIndex(1);
    m_pLimit->addItems(PoeClassNames());
    m_pWatts->setEnabled(false);
    m_pTimeRange->addItem(kNone);

    auto* grid = new QGridLayout;
    auto place = [&](const char* caption, QWidget* control, int row, int column) {
        grid->addWidget(NewLabel(QLatin1String(caption)), row, column);
        grid->addWidget(control, row, column + 1);
    };
    place("Form Port", m_pFrom, 0, 0);
    place("To Port", m_pTo, 0, 2);
    place("State", m_pState, 0, 4);
    place("Priority", m_pPriority, 1, 0);
    place("Power Limit", m_pLimit, 1, 2);
    grid->addWidget(m_pUserDefine, 1, 4);
    grid->addWidget(m_pWatts, 1, 5);
    place("Time Range", m_pTimeRange, 2, 0);
    QPushButton* ranges = NewButton(QStringLiteral("&Time Range..."), kIdTimeRanges);
    grid->addWidget(ranges, 2, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_pRefresh);
    buttons->addWidget(m_pApply);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdClose);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pList, 1);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    resize(860, 560);

    connect(m_pList, &CListControl::RowActivated, this, &CPoePortPage::SelectLine);
    connect(m_pFrom, &QComboBox::currentIndexChanged, this, &CPoePortPage::OnFromPort);
    connect(m_pTo, &QComboBox::currentIndexChanged, this, &CPoePortPage::OnToPort);
    connect(m_pUserDefine, &QCheckBox::toggled, this, &CPoePortPage::OnUserDefine);
    connect(m_pRefresh, &QPushButton::clicked, this, &CPoePortPage::Refresh);
    connect(m_pApply, &QPushButton::clicked, this, &CPoePortPage::Apply);
    connect(ranges, &QPushButton::clicked, this, &CPoePortPage::OnTimeRanges);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CPoePortPage::OnInitDialog() {
    Refresh();
}

void CPoePortPage::Refresh() {
    if (m_bWalking)
        return;
    m_rangeIndexes.clear();
    m_rangeNames.clear();
    m_pTimeRange->clear();
    m_pTimeRange->addItem(kNone);
    m_bWalking = true;
    m_pRefresh->setEnabled(false);
    m_pApply->setEnabled(false);
    SetLoading(true);
    SWalkSpec walk;
    walk.columns = {PoeOid::kRangeName + u'1', PoeOid::kRangeName + u'2'};
    walk.rowCode = kNameRow;
    walk.finishedCode = kNamesFinished;
    StartWalk(m_cCommonSNMPTimeRang, Channel(), walk);
}

void CPoePortPage::WalkPorts() {
    m_pList->DeleteAllItems();
    m_bWalking = true;
    m_pRefresh->setEnabled(false);
    m_pApply->setEnabled(false);
    SetLoading(true);
    SWalkSpec walk;
    for (int column : kWalkColumns)
        walk.columns << PoeOid::kPort + QString::number(column);
    StartWalk(m_cCommonSNMP, Channel(), walk);
}

void CPoePortPage::OnSnmpNotify(const SSnmpReport& report) {
    const SSnmpRow& row = report.row;
    switch (report.code) {
    case kNameRow:
        m_rangeIndexes.push_back(row.Text(0).toInt());
        m_rangeNames << FromUtf8(row.Bytes(1));
        m_pTimeRange->addItem(m_rangeNames.back());
        return;
    case kNamesFinished:
        WalkPorts();
        return;
    case PageReport::kFinished:
        m_bWalking = false;
        m_pRefresh->setEnabled(true);
        m_pApply->setEnabled(true);
        SetLoading(false);
        emit Loaded();
        return;
    default:
        break;
    }
    const QString state = row.Text(0);
    const QString limit =
        row.Text(9) == u"1" && state == u"1" ? row.Text(10) : PoeClassText(row.Text(3));
    m_pList->AppendRow({QString::number(m_pList->ItemCount() + 1), PoeStateText(state),
                        RangeName(row.Text(1)), PoePriorityText(row.Text(2)), limit, row.Text(4),
                        row.Text(5), row.Text(6), row.Text(7), row.Text(8)});
}

QString CPoePortPage::RangeName(const QString& index) const {
    if (index == u"0")
        return kNone;
    for (size_t i = 0; i < m_rangeIndexes.size(); ++i)
        if (QString::number(m_rangeIndexes[i]) == index)
            return m_rangeNames[int(i)];
    return QString(); // a range that is gone
}

int CPoePortPage::RangeIndex(const QString& name) const {
    const int i = m_rangeNames.indexOf(name);
    return i < 0 ? 0 : m_rangeIndexes[size_t(i)];
}

void CPoePortPage::SelectLine(int row) {
    if (row < 0 || row >= m_pList->ItemCount() || row >= m_pFrom->count())
        return;
    m_pFrom->setCurrentIndex(row);
    m_pTo->setCurrentIndex(row);
    m_pState->setCurrentIndex(m_pList->ItemText(row, 1) == u"Enable" ? 0 : 1);
}

void CPoePortPage::OnFromPort(int index) {
    m_pTo->setCurrentIndex(index);
}

void CPoePortPage::OnToPort(int index) {
    if (index >= m_pFrom->currentIndex())
        return;
    ShowMessage(QStringLiteral("'To Port' can not be smaller than 'From Port'"), this);
    m_pTo->setCurrentIndex(m_pFrom->currentIndex());
}

void CPoePortPage::OnUserDefine(bool checked) {
    m_pWatts->setEnabled(checked);
    m_pLimit->setEnabled(!checked);
}

bool CPoePortPage::Apply() {
    const int from = m_pFrom->currentIndex() + 1;
    const int to = m_pTo->currentIndex() + 1;
    const bool enable = m_pState->currentIndex() == 0;
    const bool userDefine = m_pUserDefine->isChecked();
    const QString watts = m_pWatts->text();
    // The limit is the same for every port: a refusal stops before the first.
    if (userDefine) {
        const QString message = CheckPortPowerLimit(watts);
        if (!message.isEmpty()) {
            ShowMessage(message, this);
            return false;
        }
    }
    const int range = enable && m_pTimeRange->currentText() != kNone
                          ? RangeIndex(m_pTimeRange->currentText())
                          : 0;
    const int priority = enable ? m_pPriority->currentIndex() + 1 : 2;
    const int limitClass = enable ? m_pLimit->currentIndex() + 1 : 1;
    auto integer = [](int column, int port, int value) {
        return SSetVar{PoePortCell(column, port), SnmpType::kInteger, QByteArray::number(value)};
    };
    std::vector<SWriteStep> steps;
    for (int port = from; port <= to; ++port) {
        SWriteStep step;
        step.name =
            port == from ? QStringLiteral("port %1").arg(port)
            : port == from + 1
                ? QStringLiteral("port %1; port %2 written").arg(port).arg(from)
                : QStringLiteral("port %1; ports %2-%3 written").arg(port).arg(from).arg(port - 1);
        step.vars = {integer(PoeCol::kState, port, enable ? 1 : 2),
                     integer(PoeCol::kTimeRange, port, range),
                     integer(PoeCol::kPriority, port, priority)};
        if (userDefine) {
            step.vars.push_back(integer(PoeCol::kUserLimitOn, port, 1));
            step.vars.push_back(
                {PoePortCell(PoeCol::kUserLimit, port), SnmpType::kOctetString, watts.toUtf8()});
        } else {
            step.vars.push_back(integer(PoeCol::kUserLimitOn, port, 2));
            step.vars.push_back(integer(PoeCol::kClass, port, limitClass));
        }
        step.pauseAfterMs = port < to ? kPauseMs : 0;
        step.timeoutMs = kSetWaitMs;
        steps.push_back(std::move(step));
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int stopped = WriteSequence(m_cCommonSNMPSet, steps);
    // What the switch holds now, taken or refused.
    WalkPorts();
    QApplication::restoreOverrideCursor();
    return stopped < 0;
}

void CPoePortPage::OnTimeRanges() {
    CTimeRangePage ranges(this);
    ranges.exec();
    // Names may have come or gone.
    Refresh();
}
