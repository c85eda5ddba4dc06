#include "PowerSaving.h"

#include "device/DeviceProfile.h"
#include "device/ModelVariants.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QString CheckPortShutOff(int from, int to, bool shutOff, int timeRange) {
    const QString range = CheckPortRange(from, to);
    if (!range.isEmpty())
        return range;
    if (shutOff && timeRange == 0)
        return QStringLiteral("Please choose the Time Range of the Port Shut Off.");
    return {};
}

CPowerSavingPage::CPowerSavingPage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_cCommonSNMPTimeRang(AddSession(QStringLiteral("m_cCommonSNMPTimeRang"))),
      m_cCommonSNMPTable(AddSession(QStringLiteral("m_cCommonSNMPTable"))),
      m_pList(new CListControl(this)), m_bPerPort(PowerSavingPerPort(g_strDeviceName)) {
    setWindowTitle(QStringLiteral("Power Saving Settings "));
    auto* global = new QGroupBox(QStringLiteral("Global Settings"), this);
    auto* globalLayout = new QVBoxLayout(global);
    const std::pair<const char*, int> boxes[] = {{"Link Detection Power Saving", kIdLinkDetect},
                                                 {"Length Detection Power Saving", kIdLengthDetect},
                                                 {"LED Shut Off", kIdLedShutOff}};
    for (const auto& [text, id] : boxes) {
        auto* box = new QCheckBox(QString::fromLatin1(text), global);
        SetControlId(box, id);
        globalLayout->addWidget(box);
    }
    globalLayout->addLayout(ButtonRow(*this, {{QStringLiteral("Apply"), kIdApplyGlobal}}));

    auto* ports = new QGroupBox(QStringLiteral("Port Shut Off"), this);
    SetControlId(m_pList, kIdPortList);
    m_pList->AddColumn(QStringLiteral("Port "));
    m_pList->AddColumn(QStringLiteral("Shut Off    "));
    m_pList->AddColumn(QStringLiteral("Time Range          "));
    m_pList->setMinimumHeight(220);
    auto combo = [this, ports](int id) {
        auto* c = new QComboBox(ports);
        SetControlId(c, id);
        return c;
    };
    QComboBox* from = combo(kIdFromPort);
    QComboBox* to = combo(kIdToPort);
    FillPortRange(from, to, g_nPortNum);
    QComboBox* state = combo(kIdShutOff);
    state->addItems({QStringLiteral("Enable"), QStringLiteral("Disable")});
    state->setCurrentIndex(1);
    QComboBox* range = combo(kIdTimeRange);
    range->setMinimumWidth(140);
    auto* grid = new QGridLayout(ports);
    grid->addWidget(m_pList, 0, 0, 1, 4);
    grid->addWidget(NewLabel(QStringLiteral("From Port")), 1, 0);
    grid->addWidget(NewLabel(QStringLiteral("To Port")), 1, 1);
    grid->addWidget(NewLabel(QStringLiteral("State")), 1, 2);
    grid->addWidget(NewLabel(QStringLiteral("Time Range")), 1, 3);
    grid->addWidget(from, 2, 0);
    grid->addWidget(to, 2, 1);
    grid->addWidget(state, 2, 2);
    grid->addWidget(range, 2, 3);
    grid->addLayout(ButtonRow(*this, {{QStringLiteral("Apply"), kIdApplyPorts}}), 3, 0, 1, 4);
    // The other models have no per-port power saving.
    ports->setEnabled(m_bPerPort);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(global);
    layout->addWidget(ports);
    layout->addLayout(ButtonRow(
        *this, {{QStringLiteral("&Refresh"), kIdRefresh}, {QStringLiteral("&Close"), kIdClose}}));

    connect(m_pList, &CListControl::RowActivated, this, [this, from](int row) {
        from->setCurrentIndex(row);
        Control<QComboBox>(kIdShutOff)
            ->setCurrentIndex(m_pList->ItemText(row, 1) == u"Enable" ? 0 : 1);
    });
    connect(to, &QComboBox::activated, this, [this, from, to](int index) {
        const QString message = CheckPortRange(from->currentIndex(), index);
        if (!message.isEmpty()) {
            ShowMessage(message, this);
            to->setCurrentIndex(from->currentIndex());
        }
    });
    connect(Control<QPushButton>(kIdApplyGlobal), &QPushButton::clicked, this,
            &CPowerSavingPage::ApplyGlobal);
    connect(Control<QPushButton>(kIdApplyPorts), &QPushButton::clicked, this,
            &CPowerSavingPage::ApplyPorts);
    connect(Control<QPushButton>(kIdRefresh), &QPushButton::clicked, this,
            &CPowerSavingPage::Refresh);
    connect(Control<QPushButton>(kIdClose), &QPushButton::clicked, this, &QDialog::reject);
}

void CPowerSavingPage::Refresh() {
    if (const auto row = ReadObjects(
            m_cCommonSNMP, {SysOid::kLinkDetect, SysOid::kLengthDetect, SysOid::kLedShutOff})) {
        const int ids[] = {kIdLinkDetect, kIdLengthDetect, kIdLedShutOff};
        for (int i = 0; i < 3; ++i)
            Control<QCheckBox>(ids[i])->setChecked(row->Text(i) == u"1");
    }
    if (!m_bPerPort)
        return;
    m_names = LoadTimeRangeNames(m_cCommonSNMPTimeRang);
    auto* range = Control<QComboBox>(kIdTimeRange);
    range->clear();
    range->addItem(QStringLiteral("N/A"));
    for (const STimeRangeName& n : m_names)
        range->addItem(n.name);
    m_pList->DeleteAllItems();
    const auto rows = WalkTable(m_cCommonSNMPTable, {SysOid::kPortShutOff, SysOid::kPortTimeRange});
    if (!rows)
        return;
    std::vector<QStringList> lines;
    for (const SSnmpRow& row : *rows)
        if (RowNumber(row) <= g_nPortNum)
            lines.push_back(
                {QString::number(RowNumber(row)),
                 row.Text(0) == u"1" ? QStringLiteral("Enable") : QStringLiteral("Disable"),
                 TimeRangeText(m_names, row.Text(1).toInt())});
    m_pList->AppendRows(std::move(lines));
}

bool CPowerSavingPage::ApplyGlobal() {
    auto value = [this](int id) {
        return QByteArray(Control<QCheckBox>(id)->isChecked() ? "1" : "2");
    };
    const int status = WriteObjects(
        m_cCommonSNMPSet, {{SysOid::kLinkDetect, SnmpType::kInteger, value(kIdLinkDetect)},
                           {SysOid::kLengthDetect, SnmpType::kInteger, value(kIdLengthDetect)},
                           {SysOid::kLedShutOff, SnmpType::kInteger, value(kIdLedShutOff)}});
    Refresh();
    return status == 0;
}

bool CPowerSavingPage::ApplyPorts() {
    const int from = Control<QComboBox>(kIdFromPort)->currentIndex() + 1;
    const int to = Control<QComboBox>(kIdToPort)->currentIndex() + 1;
    const bool shutOff = Control<QComboBox>(kIdShutOff)->currentIndex() == 0;
    const int choice = Control<QComboBox>(kIdTimeRange)->currentIndex();
    const int range = choice >= 1 && choice <= static_cast<int>(m_names.size())
                          ? m_names[static_cast<size_t>(choice - 1)].index
                          : 0;
    const QString message = CheckPortShutOff(from, to, shutOff, range);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    // One request per port, the range first: shut-off needs it in place.
    std::vector<SWriteStep> steps;
    for (int port = from; port <= to; ++port)
        steps.push_back({QStringLiteral("Port %1").arg(port),
                         {{CellOid(SysOid::kPortTimeRange, port), SnmpType::kInteger,
                           QByteArray::number(range)},
                          {CellOid(SysOid::kPortShutOff, port), SnmpType::kInteger,
                           QByteArray(shutOff ? "1" : "2")}}});
    // A refusal names its port on the outcome line; the list shows the rest.
    const int failed = WriteSequence(m_cCommonSNMPSet, steps);
    Refresh();
    return failed < 0;
}
