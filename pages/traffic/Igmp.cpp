#include "Igmp.h"

#include "TrafficCommon.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum IgmpId {
    kIdEnable = 7401,
    kIdHostTimeout = 7402,
    kIdQuerier = 7403,
    kIdApplyGlobal = 7404,
    kIdList = 7405,
    kIdVid = 7406,
    kIdVlanState = 7407,
    kIdFastLeave = 7408,
    kIdApplyVlan = 7409,
    kIdRefresh = 7410,
    kIdClose = 7411,
};

constexpr int kMinHostTimeout = 130;
constexpr int kMaxHostTimeout = 1225;

QString StateText(const QString& value) {
    return value.trimmed().toInt() == kEnabled ? QStringLiteral("Enabled")
                                               : QStringLiteral("Disabled");
}

QByteArray StateValue(bool on) {
    return QByteArray::number(on ? kEnabled : kDisabled);
}

} // namespace

QString CheckIgmpGlobal(const QString& hostTimeout) {
    bool ok = false;
    const int v = hostTimeout.trimmed().toInt(&ok);
    if (!ok || v < kMinHostTimeout || v > kMaxHostTimeout)
        return QStringLiteral("Invalid Host Timeout (130 - 1225 seconds).");
    return QString();
}

QString CheckIgmpVlan(const QString& vid) {
    bool ok = false;
    const int v = vid.trimmed().toInt(&ok);
    if (!ok || v < 1 || v > 4094)
        return QStringLiteral("Please select a VLAN first.");
    return QString();
}

CIgmpSnoopingPage::CIgmpSnoopingPage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_cCommonSNMPTable(AddSession(QStringLiteral("m_cCommonSNMPTable"))),
      m_pEnable(new QCheckBox(QStringLiteral("Enable IGMP Snooping"), this)),
      m_pHostTimeout(NewEdit(kIdHostTimeout, 4)),
      m_pQuerier(new QCheckBox(QStringLiteral("Enable IGMP Querier"), this)),
      m_pList(new CListControl(this)), m_pVid(NewEdit(kIdVid, 4)),
      m_pVlanState(new QComboBox(this)), m_pFastLeave(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("IGMP Snooping Configuration"));
    SetControlId(m_pEnable, kIdEnable);
    SetControlId(m_pQuerier, kIdQuerier);
    SetControlId(m_pList, kIdList);
    SetControlId(m_pVlanState, kIdVlanState);
    SetControlId(m_pFastLeave, kIdFastLeave);
    m_pHostTimeout->setMaximumWidth(70);
    m_pVid->setReadOnly(true);
    m_pVid->setMaximumWidth(70);
    for (QComboBox* box : {m_pVlanState, m_pFastLeave})
        box->addItems({QStringLiteral("Enabled"), QStringLiteral("Disabled")});
    for (const char* header : {"VID      ", "IGMP Snooping   ", "Fast Leave      "})
        m_pList->AddColumn(QLatin1String(header));
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->horizontalHeader()->setStretchLastSection(true);

    auto* global = new QGroupBox(QStringLiteral("Global Settings"), this);
    auto* globalRow = new QHBoxLayout(global);
    globalRow->addWidget(m_pEnable);
    globalRow->addSpacing(16);
    globalRow->addWidget(NewLabel(QStringLiteral("Host Timeout:")));
    globalRow->addWidget(m_pHostTimeout);
    globalRow->addWidget(NewLabel(QStringLiteral("(130-1225 sec)")));
    globalRow->addSpacing(16);
    globalRow->addWidget(m_pQuerier);
    globalRow->addStretch();
    QPushButton* applyGlobal = NewButton(QStringLiteral("&Apply"), kIdApplyGlobal);
    globalRow->addWidget(applyGlobal);

    auto* vlans = new QGroupBox(QStringLiteral("VLAN Settings"), this);
    auto* vlanLayout = new QVBoxLayout(vlans);
    vlanLayout->addWidget(m_pList, 1);
    auto* vlanRow = new QHBoxLayout;
    vlanRow->addWidget(NewLabel(QStringLiteral("VID:")));
    vlanRow->addWidget(m_pVid);
    vlanRow->addSpacing(12);
    vlanRow->addWidget(NewLabel(QStringLiteral("IGMP Snooping:")));
    vlanRow->addWidget(m_pVlanState);
    vlanRow->addSpacing(12);
    vlanRow->addWidget(NewLabel(QStringLiteral("Fast Leave:")));
    vlanRow->addWidget(m_pFastLeave);
    vlanRow->addStretch();
    QPushButton* applyVlan = NewButton(QStringLiteral("A&pply"), kIdApplyVlan);
    vlanRow->addWidget(applyVlan);
    vlanLayout->addLayout(vlanRow);

    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdRefresh);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdClose);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(refresh);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(global);
    layout->addWidget(vlans, 1);
    layout->addLayout(buttons);
    resize(640, 480);

    connect(m_pList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { OnRowSelected(m_pList->SelectedRow()); });
    connect(applyGlobal, &QPushButton::clicked, this, &CIgmpSnoopingPage::ApplyGlobal);
    connect(applyVlan, &QPushButton::clicked, this, &CIgmpSnoopingPage::ApplyVlan);
    connect(refresh, &QPushButton::clicked, this, &CIgmpSnoopingPage::Load);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CIgmpSnoopingPage::OnInitDialog() {
    Load();
}

void CIgmpSnoopingPage::Load() {
    SetLoading(true);
    if (const auto row = ReadObjects(
            m_cCommonSNMP, {TrOid::kIgmpState, TrOid::kIgmpHostTimeout, TrOid::kIgmpQuerier})) {
        m_pEnable->setChecked(row->Text(0).trimmed().toInt() == kEnabled);
        m_pHostTimeout->setText(row->Text(1).trimmed());
        m_pQuerier->setChecked(row->Text(2).trimmed().toInt() == kEnabled);
    }
    const QString selectedVid = m_pVid->text();
    m_pList->DeleteAllItems();
    const auto rows = WalkTable(m_cCommonSNMPTable, {TrOid::kIgmpVlanVid, TrOid::kIgmpVlanState,
                                                     TrOid::kIgmpVlanFastLeave});
    std::vector<QStringList> lines;
    for (const SSnmpRow& row : rows.value_or(std::vector<SSnmpRow>{}))
        lines.push_back(
            {QString::number(RowNumber(row)), StateText(row.Text(1)), StateText(row.Text(2))});
    m_pList->AppendRows(std::move(lines));
    // Keep the VLAN the operator worked on.
    for (int r = 0; r < m_pList->ItemCount(); ++r)
        if (m_pList->ItemText(r, 0) == selectedVid)
            m_pList->SelectRow(r);
    SetLoading(false);
}

void CIgmpSnoopingPage::OnRowSelected(int row) {
    if (row < 0 || row >= m_pList->ItemCount())
        return;
    m_pVid->setText(m_pList->ItemText(row, 0));
    m_pVlanState->setCurrentText(m_pList->ItemText(row, 1));
    m_pFastLeave->setCurrentText(m_pList->ItemText(row, 2));
}

bool CIgmpSnoopingPage::ApplyGlobal() {
    if (const QString message = CheckIgmpGlobal(m_pHostTimeout->text()); !message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    const int status = WriteObjects(
        m_cCommonSNMPSet,
        {{TrOid::kIgmpState, SnmpType::kInteger, StateValue(m_pEnable->isChecked())},
         {TrOid::kIgmpHostTimeout, SnmpType::kInteger,
          QByteArray::number(m_pHostTimeout->text().trimmed().toInt())},
         {TrOid::kIgmpQuerier, SnmpType::kInteger, StateValue(m_pQuerier->isChecked())}});
    Load();
    return status == 0;
}

bool CIgmpSnoopingPage::ApplyVlan() {
    if (const QString message = CheckIgmpVlan(m_pVid->text()); !message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    const int vid = m_pVid->text().trimmed().toInt();
    const int status = WriteObjects(m_cCommonSNMPSet,
                                    {{CellOid(TrOid::kIgmpVlanState, vid), SnmpType::kInteger,
                                      StateValue(m_pVlanState->currentIndex() == 0)},
                                     {CellOid(TrOid::kIgmpVlanFastLeave, vid), SnmpType::kInteger,
                                      StateValue(m_pFastLeave->currentIndex() == 0)}});
    Load();
    return status == 0;
}
