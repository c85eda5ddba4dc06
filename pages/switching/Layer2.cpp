#include "Layer2.h"

#include "SwitchCommon.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

namespace Oid {
const QString kJumbo = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.1.12.0");
const QString kMulticastVid = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.7.8.1.1");
const QString kMulticastMode = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.7.8.1.2");
} // namespace Oid

enum JumboId { kIdJumbo = 1062, kIdJumboApply = 1, kIdJumboClose = 2 };
enum MulticastId {
    kIdMulticastList = 1126,
    kIdVlan = 1127,
    kIdMode = 1129,
    kIdMulticastApply = 1130,
    kIdMulticastRefresh = 1044,
    kIdMulticastClose = 1128,
};

const char* const kModes[] = {"Forward Unregistered Groups", "Filtering Unregistered Groups"};

} // namespace

QString MulticastModeText(const QString& value) {
    return QLatin1String(kModes[value.trimmed() == u"0" ? 0 : 1]);
}

int MulticastModeCode(int entry) {
    return entry == 0 ? 0 : 1;
}

// ---- Jumbo Frame Configuration ----

CJumboFramePage::CJumboFramePage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_pEnable(new QCheckBox(QStringLiteral("Enable Jumbo Frame"), this)) {
    setWindowTitle(QStringLiteral("Jumbo Frame Configuration"));
    SetControlId(m_pEnable, kIdJumbo);
    QPushButton* apply = NewButton(QStringLiteral("&Apply"), kIdJumboApply);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdJumboClose);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pEnable);
    layout->addWidget(NewLabel(QStringLiteral("Note: Maximum Length is 10000 bytes")));
    layout->addLayout(buttons);
    resize(340, 140);
    connect(apply, &QPushButton::clicked, this, &CJumboFramePage::Apply);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CJumboFramePage::OnInitDialog() {
    Load();
}

void CJumboFramePage::Load() {
    if (const auto row = ReadObjects(m_cCommonSNMP, {Oid::kJumbo}))
        m_pEnable->setChecked(row->Text(0) == u"1");
}

bool CJumboFramePage::Apply() {
    const bool enable = m_pEnable->isChecked();
    ShowMessage(enable ? QStringLiteral("Enabled Jumbo Frame")
                       : QStringLiteral("Disabled Jumbo Frame"),
                this);
    const int status = WriteObjects(
        m_cCommonSNMP,
        {{Oid::kJumbo, SnmpType::kInteger, QByteArray::number(enable ? kEnabled : kDisabled)}});
    // The box shows what the switch holds, also after a refusal.
    Load();
    return status == 0;
}

// ---- Multicast Filtering Mode Configuration ----

void CMulticastBackEnd::Load() {
    m_names.clear();
    if (const auto rows = WalkTable(m_cCommonSNMPTable, {SwOid::kVlanName}))
        for (const SSnmpRow& row : *rows)
            m_names[RowNumber(row)] = FromUtf8(row.Bytes(0));
    SWalkSpec walk;
    walk.columns = {Oid::kMulticastVid, Oid::kMulticastMode};
    walk.rowCode = MulticastReport::kRow;
    walk.finishedCode = MulticastReport::kFinished;
    StartWalk(m_cCommonSNMP, Channel(), walk);
}

void CMulticastBackEnd::Apply(int vid, int code) {
    WriteObjects(m_cCommonSNMPSet, {{CellOid(Oid::kMulticastMode, vid), SnmpType::kInteger,
                                     QByteArray::number(code)}});
    NotifyMarker(MulticastReport::kWriteFinished, kWriteFinished);
}

QString CMulticastBackEnd::VlanName(int vid) const {
    const auto it = m_names.find(vid);
    return it == m_names.end() ? QString() : it->second;
}

CMulticastFilterPage::CMulticastFilterPage(QWidget* parent)
    // Value-initialised: the back-end base reads its owner while its
    // sessions are made, before that member's own initialiser has run.
    : CPageBase(parent), m_backEnd(), m_pList(new CListControl(this)), m_pVlan(new QComboBox(this)),
      m_pMode(new QComboBox(this)),
      m_pApply(NewButton(QStringLiteral("&Apply"), kIdMulticastApply)),
      m_pRefresh(NewButton(QStringLiteral("&Refresh"), kIdMulticastRefresh)) {
    setWindowTitle(QStringLiteral("Multicast Filtering Mode Configuration"));
    AttachBackEnd(m_backEnd);
    SetControlId(m_pList, kIdMulticastList);
    SetControlId(m_pVlan, kIdVlan);
    SetControlId(m_pMode, kIdMode);
    for (const char* header : {"VLAN ID", "VLAN Name", "Multicast Filtering Mode"})
        m_pList->AddColumn(QLatin1String(header));
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->horizontalHeader()->setStretchLastSection(true);
    for (const char* mode : kModes)
        m_pMode->addItem(QLatin1String(mode));
    m_pVlan->setMinimumWidth(80);

    auto* fields = new QHBoxLayout;
    fields->addWidget(NewLabel(QStringLiteral("VLAN ID")));
    fields->addWidget(m_pVlan);
    fields->addSpacing(12);
    fields->addWidget(NewLabel(QStringLiteral("Multicast Filtering Mode")));
    fields->addWidget(m_pMode, 1);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdMulticastClose);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {m_pApply, m_pRefresh, close})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pList, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(520, 400);

    // A click on a row chooses its VLAN and shows its mode.
    connect(m_pList, &CListControl::RowActivated, this, [this](int row) {
        m_pVlan->setCurrentIndex(m_pVlan->findText(m_pList->ItemText(row, 0)));
        m_pMode->setCurrentIndex(m_pList->ItemText(row, 2) == QLatin1String(kModes[0]) ? 0 : 1);
    });
    connect(m_pApply, &QPushButton::clicked, this, &CMulticastFilterPage::Apply);
    connect(m_pRefresh, &QPushButton::clicked, this, &CMulticastFilterPage::Refresh);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

CMulticastFilterPage::~CMulticastFilterPage() {
    CloseSessions();
}

void CMulticastFilterPage::OnInitDialog() {
    if (m_backEnd.SetOwner(this))
        Refresh();
}

void CMulticastFilterPage::SetBusy(bool busy) {
    m_pApply->setEnabled(!busy);
    m_pRefresh->setEnabled(!busy);
}

void CMulticastFilterPage::Refresh() {
    SetBusy(true);
    m_pList->DeleteAllItems();
    m_pVlan->clear();
    m_backEnd.Load();
}

void CMulticastFilterPage::OnSnmpNotify(const SSnmpReport& report) {
    switch (report.code) {
    case MulticastReport::kRow: {
        const int vid = RowNumber(report.row);
        m_pList->AppendRow(
            {QString::number(vid), m_backEnd.VlanName(vid), MulticastModeText(report.row.Text(1))});
        m_pVlan->addItem(QString::number(vid));
        break;
    }
    case MulticastReport::kFinished:
        SetBusy(false);
        break;
    case MulticastReport::kWriteFinished:
        Refresh();
        break;
    default:
        break;
    }
}

bool CMulticastFilterPage::Apply() {
    const int vid = m_pVlan->currentText().toInt();
    if (vid <= 0)
        return false;
    SetBusy(true);
    m_backEnd.Apply(vid, MulticastModeCode(m_pMode->currentIndex()));
    return true;
}
