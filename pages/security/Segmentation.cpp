#include "Segmentation.h"

#include "SecurityCommon.h"
#include "device/DeviceProfile.h"
#include "pages/switching/SwitchCommon.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum PageId {
    kIdEnable = 1037,
    kIdFrom = 1038,
    kIdTo = 1040, // ours: the template gives "To Port" no id
    kIdFirstPort = 6001,
    kIdAll = 1120,
    kIdClear = 1149,
    kIdApplyState = 1003,
    kIdApplyPorts = 1011,
    kIdRefresh = 1044,
    kIdList = 1039,
    kIdClose = 1041 // ours
};

} // namespace

std::vector<int> CommonForwarding(const std::vector<std::vector<int>>& lists, int from, int to) {
    if (from > to)
        std::swap(from, to);
    const size_t ports = lists.size();
    std::vector<int> common(ports, from >= 1 && from <= static_cast<int>(ports) ? 1 : 0);
    for (int port = std::max(from, 1); port <= to && port <= static_cast<int>(ports); ++port)
        for (size_t p = 0; p < ports; ++p)
            common[p] = common[p] && p < lists[port - 1].size() && lists[port - 1][p];
    return common;
}

QString CheckSegmentationSources(int from, int to, const std::vector<int>& lagOfPort) {
    if (from > to)
        std::swap(from, to);
    for (int port = std::max(from, 1); port <= to && port <= static_cast<int>(lagOfPort.size());
         ++port)
        if (lagOfPort[port - 1])
            return kLagMemberRefused;
    return QString();
}

CSegmentationPage::CSegmentationPage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_cCommonSNMPTable(AddSession(QStringLiteral("m_cCommonSNMPTable"))),
      m_lists(static_cast<size_t>(std::max(g_nPortNum, 0))), m_lagOfPort(m_lists.size()),
      m_pEnable(new QCheckBox(QStringLiteral("Enable Forwarding Port Settings"), this)),
      m_pFrom(new QComboBox(this)), m_pTo(new QComboBox(this)),
      m_ports(MakePortCheckBoxes(this, g_nPortNum, kIdFirstPort)), m_pList(new CListControl(this)) {
    setWindowTitle(QStringLiteral("Traffic Segmentation Settings "));
    SetControlId(m_pEnable, kIdEnable);
    SetControlId(m_pFrom, kIdFrom);
    SetControlId(m_pTo, kIdTo);
    SetControlId(m_pList, kIdList);
    for (int port = 1; port <= g_nPortNum; ++port) {
        m_pFrom->addItem(QString::number(port));
        m_pTo->addItem(QString::number(port));
    }
    m_pList->AddColumn(QStringLiteral("Port"));
    m_pList->AddColumn(QStringLiteral("Forwarding Port"));
    m_pList->horizontalHeader()->setStretchLastSection(true);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* global = new QGroupBox(QStringLiteral("Global Settings"), this);
    auto* globalLayout = new QHBoxLayout(global);
    globalLayout->addWidget(m_pEnable);
    globalLayout->addStretch();
    QPushButton* applyState = NewButton(QStringLiteral("&Apply"), kIdApplyState);
    globalLayout->addWidget(applyState);

    auto* ports = new QGroupBox(this);
    auto* portLayout = new QVBoxLayout(ports);
    auto* range = new QHBoxLayout;
    range->addWidget(NewLabel(QStringLiteral("From Port")));
    range->addWidget(m_pFrom);
    range->addWidget(NewLabel(QStringLiteral("To Port")));
    range->addWidget(m_pTo);
    range->addStretch();
    portLayout->addLayout(range);
    auto* grid = new QGridLayout;
    AddPortGrid(grid, m_ports, ports);
    portLayout->addLayout(grid);
    auto* portButtons = new QHBoxLayout;
    QPushButton* all = NewButton(QStringLiteral("&ALL"), kIdAll);
    QPushButton* clear = NewButton(QStringLiteral("&Clear"), kIdClear);
    QPushButton* applyPorts = NewButton(QStringLiteral("&Apply"), kIdApplyPorts);
    portButtons->addWidget(all);
    portButtons->addWidget(clear);
    portButtons->addStretch();
    portButtons->addWidget(applyPorts);
    portLayout->addLayout(portButtons);

    auto* table = new QGroupBox(QStringLiteral("Forwarding Port Table"), this);
    auto* tableLayout = new QVBoxLayout(table);
    tableLayout->addWidget(m_pList);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdRefresh);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdClose);
    buttons->addWidget(refresh);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(global);
    layout->addWidget(ports);
    layout->addWidget(table, 1);
    layout->addLayout(buttons);
    resize(std::max(560, 40 + 26 * PortsPerGridRow(g_nPortNum)), 620);

    connect(m_pFrom, &QComboBox::currentIndexChanged, this, &CSegmentationPage::ShowRange);
    connect(m_pTo, &QComboBox::currentIndexChanged, this, &CSegmentationPage::ShowRange);
    connect(m_pList, &CListControl::RowActivated, this, &CSegmentationPage::SelectFromList);
    connect(all, &QPushButton::clicked, this,
            [this] { CheckPorts(m_ports, std::vector<int>(m_ports.size(), 1)); });
    connect(clear, &QPushButton::clicked, this,
            [this] { CheckPorts(m_ports, std::vector<int>(m_ports.size(), 0)); });
    connect(applyState, &QPushButton::clicked, this, &CSegmentationPage::ApplyState);
    connect(applyPorts, &QPushButton::clicked, this, &CSegmentationPage::ApplyPorts);
    connect(refresh, &QPushButton::clicked, this, &CSegmentationPage::Refresh);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CSegmentationPage::OnInitDialog() {
    Refresh();
}

void CSegmentationPage::Refresh() {
    if (const auto state = ReadObjects(m_cCommonSNMP, {SecOid::kSegState}))
        m_pEnable->setChecked(state->Text(0) == u"1");
    if (const auto lag = LoadLagOfPorts(m_cCommonSNMPTable, g_nPortNum))
        m_lagOfPort = *lag;
    m_pList->DeleteAllItems();
    if (const auto rows = WalkTable(m_cCommonSNMPTable, {SecOid::kSegPort, SecOid::kSegList})) {
        std::vector<QStringList> lines;
        for (const SSnmpRow& row : *rows) {
            const int port = RowNumber(row);
            if (port < 1 || port > static_cast<int>(m_lists.size()))
                continue;
            m_lists[port - 1] = PortFlagsOf(row.Bytes(1), g_nPortNum);
            lines.push_back({QString::number(port), PortRangeText(m_lists[port - 1])});
        }
        m_pList->AppendRows(std::move(lines));
    }
    ShowRange();
}

void CSegmentationPage::ShowRange() {
    CheckPorts(m_ports,
               CommonForwarding(m_lists, m_pFrom->currentIndex() + 1, m_pTo->currentIndex() + 1));
}

void CSegmentationPage::SelectFromList(int row) {
    const int index = m_pList->ItemText(row, 0).toInt() - 1;
    {
        const QSignalBlocker blockFrom(m_pFrom), blockTo(m_pTo);
        m_pFrom->setCurrentIndex(index);
        m_pTo->setCurrentIndex(index);
    }
    ShowRange();
}

bool CSegmentationPage::ApplyState() {
    const int status = WriteObjects(
        m_cCommonSNMPSet, {{SecOid::kSegState, SnmpType::kInteger,
                            QByteArray::number(m_pEnable->isChecked() ? kEnabled : kDisabled)}});
    Refresh();
    return status == 0;
}

bool CSegmentationPage::ApplyPorts() {
    int from = m_pFrom->currentIndex() + 1, to = m_pTo->currentIndex() + 1;
    if (from > to)
        std::swap(from, to);
    const QString message = CheckSegmentationSources(from, to, m_lagOfPort);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    const QByteArray list = PortFlagsToBitmap(CheckedPorts(m_ports), g_nPortNum);
    // One request: the range changes together or not at all.
    std::vector<SSetVar> vars;
    for (int port = from; port <= to; ++port)
        vars.push_back({CellOid(SecOid::kSegList, port), SnmpType::kOctetString, list});
    const int status = WriteObjects(m_cCommonSNMPSet, vars);
    Refresh();
    return status == 0;
}
