// The scalar pages of the switch's SNMP agent: global state, engine ID and
// trap switches. Each reads its objects with one GET and writes them with one
// SET, then reads them again.
#include "AgentPages.h"

#include "device/DeviceProfile.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* button : buttons)
        row->addWidget(button);
    return row;
}

SSetVar Switch(const QString& oid, bool on) {
    return {oid, SnmpType::kInteger, QByteArray::number(on ? kEnabled : kDisabled)};
}

} // namespace

bool IsPoeModelName(const QString& deviceName) {
    return deviceName.contains(u'P', Qt::CaseInsensitive);
}

// ---- global state ----

CGlobalStatePage::CGlobalStatePage(QWidget* parent)
    : CPageBase(parent), m_pEnable(new QCheckBox(QStringLiteral("Enable SNMP Global "), this)) {
    setWindowTitle(QStringLiteral("SNMP Global State Settings"));
    AttachBackEnd(m_backEnd);
    SetControlId(m_pEnable, kIdEnable);
    QPushButton* apply = NewButton(QStringLiteral("&Apply"), kIdApply);
    QPushButton* cancel = NewButton(QStringLiteral("&Cancel"), kIdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pEnable);
    layout->addLayout(ButtonRow({apply, cancel}));
    resize(320, 110);
    connect(apply, &QPushButton::clicked, this, [this] { Apply(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CGlobalStatePage::OnInitDialog() {
    if (m_backEnd.SetOwner(this))
        Load();
}

void CGlobalStatePage::Load() {
    if (const auto row = m_backEnd.ReadScalars({AgentOid::kGlobalState}))
        m_pEnable->setChecked(row->Text(0).toInt() == kEnabled);
}

bool CGlobalStatePage::Apply() {
    return m_backEnd.WriteScalars({Switch(AgentOid::kGlobalState, m_pEnable->isChecked())}) == 0;
}

void CGlobalStatePage::OnSnmpNotify(const SSnmpReport& report) {
    if (report.code == AgentReport::kWriteFinished)
        Load();
}

// ---- engine ID ----

CEngineIdPage::CEngineIdPage(QWidget* parent)
    : CPageBase(parent), m_pEngineId(NewEdit(kIdEngineId, 64)) {
    setWindowTitle(QStringLiteral("SNMP Engine ID"));
    AttachBackEnd(m_backEnd);
    QPushButton* apply = NewButton(QStringLiteral("&Apply"), kIdApply);
    QPushButton* byDefault = NewButton(QStringLiteral("&Default"), kIdDefault);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdClose);
    auto* field = new QHBoxLayout;
    field->addWidget(NewLabel(QStringLiteral("Engine ID")));
    field->addWidget(m_pEngineId, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(field);
    layout->addWidget(NewLabel(
        QStringLiteral("Note: Engine ID length is 10-64, the accepted character is from 0 to F.")));
    layout->addLayout(ButtonRow({apply, byDefault, close}));
    resize(560, 130);
    connect(apply, &QPushButton::clicked, this, [this] { Write(m_pEngineId->text(), true); });
    connect(byDefault, &QPushButton::clicked, this, [this] { Write(kDefaultEngineId, false); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CEngineIdPage::OnInitDialog() {
    if (m_backEnd.SetOwner(this))
        Load();
}

void CEngineIdPage::Load() {
    if (const auto row = m_backEnd.ReadScalars({AgentOid::kEngineId}))
        m_pEngineId->setText(QString::fromLatin1(row->Bytes(0).toHex()));
}

bool CEngineIdPage::Write(const QString& text, bool check) {
    if (check) {
        const QString message = CheckEngineId(text);
        if (!message.isEmpty()) {
            ShowMessage(message, this);
            return false;
        }
    }
    return m_backEnd.WriteScalars(
               {{AgentOid::kEngineId, SnmpType::kOctetString, EngineIdBytes(text)}}) == 0;
}

void CEngineIdPage::OnSnmpNotify(const SSnmpReport& report) {
    if (report.code == AgentReport::kWriteFinished)
        Load();
}

// ---- trap switches ----

CTrapPage::CTrapPage(QWidget* parent) : CPageBase(parent) {
    setWindowTitle(QStringLiteral("SNMP Trap Configuration"));
    AttachBackEnd(m_backEnd);
    static const char* const kTexts[8] = {"SNMP Authentication Traps",
                                          "System Device Bootup",
                                          "Port Link Up / Link Down",
                                          "RSTP Port State Change",
                                          "Firmware Upgrade State",
                                          "Trap notification if POE Power On / Off",
                                          "Trap notification if POE Power Error ",
                                          "Trap notification if over max power budget"};
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < 8; ++i) {
        m_pTraps[i] = new QCheckBox(QString::fromLatin1(kTexts[i]), this);
        SetControlId(m_pTraps[i], kIdFirstTrap + i);
        layout->addWidget(m_pTraps[i]);
        // Without PoE the three PoE boxes are off and out of the way: the
        // controls below move up into their place.
        if (i >= TrapCount()) {
            m_pTraps[i]->setEnabled(false);
            m_pTraps[i]->setVisible(false);
        }
    }
    QPushButton* apply = NewButton(QStringLiteral("&Apply"), kIdApply);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdClose);
    layout->addLayout(ButtonRow({apply, close}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(apply, &QPushButton::clicked, this, [this] { Apply(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

int CTrapPage::TrapCount() const {
    return IsPoeModelName(g_strDeviceName) ? 8 : 5;
}

void CTrapPage::OnInitDialog() {
    if (m_backEnd.SetOwner(this))
        Load();
}

void CTrapPage::Load() {
    QStringList oids;
    for (int n = 1; n <= TrapCount(); ++n)
        oids << AgentOid::TrapOid(n);
    if (const auto row = m_backEnd.ReadScalars(oids))
        for (int i = 0; i < TrapCount(); ++i)
            m_pTraps[i]->setChecked(row->Text(i).toInt() == kEnabled);
}

bool CTrapPage::Apply() {
    std::vector<SSetVar> vars;
    for (int i = 0; i < TrapCount(); ++i)
        vars.push_back(Switch(AgentOid::TrapOid(i + 1), m_pTraps[i]->isChecked()));
    return m_backEnd.WriteScalars(vars) == 0;
}

void CTrapPage::OnSnmpNotify(const SSnmpReport& report) {
    if (report.code == AgentReport::kWriteFinished)
        Load();
}
