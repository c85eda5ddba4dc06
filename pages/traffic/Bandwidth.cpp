#include "Bandwidth.h"

#include "TrafficCommon.h"
#include "device/DeviceProfile.h"
#include "pages/switching/SwitchCommon.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

enum BandwidthId {
    kIdList = 7301,
    kIdFrom = 7302,
    kIdTo = 7303,
    kIdIngress = 7304,
    kIdEgress = 7305,
    kIdStormType = 7306,
    kIdStormRate = 7307,
    kIdApply = 7308,
    kIdRefresh = 7309,
    kIdClose = 7310,
};

constexpr int kMaxRate = 1000000;      // Kbit/s, a gigabit port
constexpr int kMaxStormRate = 1024000; // 16000 x 64 Kbit/s

const char* const kStormTypes[] = {"None",
                                   "Broadcast",
                                   "Multicast",
                                   "Unknown Unicast",
                                   "Broadcast+Multicast",
                                   "Broadcast+Unknow Unicast",
                                   "Multicast+Unknown Unicast",
                                   "Broadcast+Multicast+Unknown Unicast"};

bool InRange(const QString& text, int max) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok && v >= 0 && v <= max;
}

} // namespace

QString StormTypeText(int value) {
    return value >= 1 && value <= 8 ? QLatin1String(kStormTypes[value - 1])
                                    : QString::number(value);
}

QString RateText(const QString& value, const QString& unlimited) {
    return value.trimmed() == u"0" ? unlimited : value.trimmed();
}

QString CheckBandwidth(const SBandwidthEntry& e) {
    if (e.fromPort < 1 || e.toPort < e.fromPort)
        return QStringLiteral("The From Port must not be greater than the To Port.");
    if (!InRange(e.ingress, kMaxRate))
        return QStringLiteral("Invalid ingress rate (0 - 1000000 Kbps, 0 for no limit).");
    if (!InRange(e.egress, kMaxRate))
        return QStringLiteral("Invalid egress rate (0 - 1000000 Kbps, 0 for no limit).");
    if (!InRange(e.stormRate, kMaxStormRate))
        return QStringLiteral("Invalid storm control rate (0 - 1024000 Kbps, 0 for unlimited).");
    // The link-aggregation rules want one rate control on all members of a link.
    std::vector<int> flags(e.lagOfPort.size(), 0);
    for (int p = e.fromPort; p <= e.toPort && p <= static_cast<int>(flags.size()); ++p)
        flags[p - 1] = 1;
    if (const int group = SplitGroup(e.lagOfPort, flags))
        return QStringLiteral("The ports must take all or none of the ports of aggregated link %1.")
            .arg(group);
    return QString();
}

CBandwidthPage::CBandwidthPage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMPTable(AddSession(QStringLiteral("m_cCommonSNMPTable"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_cCommonSNMPTableTrunk(AddSession(QStringLiteral("m_cCommonSNMPTableTrunk"))),
      m_nPortNum(std::max(g_nPortNum, 0)), m_pBody(new QWidget(this)),
      m_pList(new CListControl(m_pBody)), m_pFrom(new QComboBox(m_pBody)),
      m_pTo(new QComboBox(m_pBody)), m_pIngress(NewEdit(kIdIngress, 7)),
      m_pEgress(NewEdit(kIdEgress, 7)), m_pStormType(new QComboBox(m_pBody)),
      m_pStormRate(NewEdit(kIdStormRate, 7)) {
    setWindowTitle(QStringLiteral("BandWidth Control"));
    SetControlId(m_pList, kIdList);
    SetControlId(m_pFrom, kIdFrom);
    SetControlId(m_pTo, kIdTo);
    SetControlId(m_pStormType, kIdStormType);
    for (const char* header : {"Port ", "Ingress Rate(Kbps) ", "Egress Rate(Kbps) ",
                               "Storm Control Type                ", "Storm Rate(Kbps) "})
        m_pList->AddColumn(QLatin1String(header));
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->horizontalHeader()->setStretchLastSection(true);
    for (int p = 1; p <= m_nPortNum; ++p) {
        m_pFrom->addItem(QString::number(p));
        m_pTo->addItem(QString::number(p));
    }
    for (const char* type : kStormTypes)
        m_pStormType->addItem(QLatin1String(type));

    auto* fields = new QGridLayout;
    fields->addWidget(NewLabel(QStringLiteral("From Port")), 0, 0);
    fields->addWidget(m_pFrom, 1, 0);
    fields->addWidget(NewLabel(QStringLiteral("To Port")), 0, 1);
    fields->addWidget(m_pTo, 1, 1);
    fields->addWidget(NewLabel(QStringLiteral("Ingress Rate(Kbps)")), 0, 2);
    fields->addWidget(m_pIngress, 1, 2);
    fields->addWidget(NewLabel(QStringLiteral("Egress Rate(Kbps)")), 0, 3);
    fields->addWidget(m_pEgress, 1, 3);
    fields->addWidget(NewLabel(QStringLiteral("Storm Control Type")), 0, 4);
    fields->addWidget(m_pStormType, 1, 4);
    fields->addWidget(NewLabel(QStringLiteral("Storm Rate(Kbps)")), 0, 5);
    fields->addWidget(m_pStormRate, 1, 5);
    fields->addWidget(NewLabel(QStringLiteral("0: no limit")), 2, 2, 1, 4);

    auto* body = new QVBoxLayout(m_pBody);
    body->setContentsMargins(0, 0, 0, 0);
    body->addWidget(m_pList, 1);
    body->addLayout(fields);

    QPushButton* apply = NewButton(QStringLiteral("&Apply"), kIdApply);
    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdRefresh);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdClose);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(refresh);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pBody, 1);
    layout->addLayout(buttons);
    resize(720, 560);

    connect(m_pList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { OnRowSelected(m_pList->SelectedRow()); });
    connect(apply, &QPushButton::clicked, this, &CBandwidthPage::Apply);
    connect(refresh, &QPushButton::clicked, this, &CBandwidthPage::Load);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    if (!ModelHasBandwidthControl(g_strDeviceName)) {
        apply->setEnabled(false);
        refresh->setEnabled(false);
    }
}

void CBandwidthPage::OnInitDialog() {
    if (!ModelHasBandwidthControl(g_strDeviceName))
        ShowNotOffered(*this, m_pBody, QStringLiteral("Bandwidth control"), g_strDeviceName);
    else
        Load();
}

void CBandwidthPage::Load() {
    SetLoading(true);
    if (auto lag = LoadLagOfPorts(m_cCommonSNMPTableTrunk, m_nPortNum))
        m_lagOfPort = std::move(*lag);
    const int selected = m_pList->SelectedRow();
    m_pList->DeleteAllItems();
    m_values.clear();
    const auto rows = WalkTable(m_cCommonSNMPTable, {TrOid::kRateIngress, TrOid::kRateEgress,
                                                     TrOid::kStormPortType, TrOid::kStormPortRate});
    std::vector<QStringList> lines;
    for (const SSnmpRow& row : rows.value_or(std::vector<SSnmpRow>{})) {
        const int port = RowNumber(row);
        if (port < 1 || port > m_nPortNum)
            continue;
        m_values.push_back({row.Text(0), row.Text(1), row.Text(2), row.Text(3)});
        lines.push_back({QString::number(port), RateText(row.Text(0), QStringLiteral("No Limit")),
                         RateText(row.Text(1), QStringLiteral("No Limit")),
                         StormTypeText(row.Text(2).trimmed().toInt()),
                         RateText(row.Text(3), QStringLiteral("unlimited"))});
    }
    m_pList->AppendRows(std::move(lines));
    if (selected >= 0 && selected < m_pList->ItemCount())
        m_pList->SelectRow(selected);
    SetLoading(false);
}

void CBandwidthPage::OnRowSelected(int row) {
    if (row < 0 || row >= static_cast<int>(m_values.size()))
        return;
    const int port = m_pList->ItemText(row, 0).toInt();
    m_pFrom->setCurrentIndex(port - 1);
    m_pTo->setCurrentIndex(port - 1);
    m_pIngress->setText(m_values[row][0]);
    m_pEgress->setText(m_values[row][1]);
    m_pStormType->setCurrentIndex(m_values[row][2].trimmed().toInt() - 1);
    m_pStormRate->setText(m_values[row][3]);
}

bool CBandwidthPage::Apply() {
    SBandwidthEntry e;
    e.fromPort = m_pFrom->currentIndex() + 1;
    e.toPort = m_pTo->currentIndex() + 1;
    e.ingress = m_pIngress->text();
    e.egress = m_pEgress->text();
    e.stormRate = m_pStormRate->text();
    e.lagOfPort = m_lagOfPort;
    if (const QString message = CheckBandwidth(e); !message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    auto number = [](const QString& text) { return QByteArray::number(text.trimmed().toInt()); };
    // One step per port; the members of an aggregated link go in one step,
    // as the switch keeps their rate control equal.
    std::vector<SWriteStep> steps;
    std::vector<int> written(static_cast<size_t>(m_nPortNum), 0);
    for (int p = e.fromPort; p <= e.toPort; ++p) {
        if (written[p - 1])
            continue;
        const int group = p <= static_cast<int>(m_lagOfPort.size()) ? m_lagOfPort[p - 1] : 0;
        std::vector<int> flags(written.size(), 0);
        for (int q = p; q <= e.toPort; ++q)
            flags[q - 1] = q == p || (group != 0 && m_lagOfPort[q - 1] == group);
        SWriteStep step;
        for (int q = p; q <= e.toPort; ++q) {
            if (!flags[q - 1])
                continue;
            written[q - 1] = 1;
            step.vars.push_back(
                {CellOid(TrOid::kRateIngress, q), SnmpType::kInteger, number(e.ingress)});
            step.vars.push_back(
                {CellOid(TrOid::kRateEgress, q), SnmpType::kInteger, number(e.egress)});
            step.vars.push_back({CellOid(TrOid::kStormPortType, q), SnmpType::kInteger,
                                 QByteArray::number(m_pStormType->currentIndex() + 1)});
            step.vars.push_back(
                {CellOid(TrOid::kStormPortRate, q), SnmpType::kInteger, number(e.stormRate)});
        }
        step.name = group ? QStringLiteral("ports ") + PortRangeText(flags)
                          : QStringLiteral("port %1").arg(p);
        steps.push_back(std::move(step));
    }
    const int failed = WriteSequence(m_cCommonSNMPSet, steps);
    Load();
    return failed < 0;
}
