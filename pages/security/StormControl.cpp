#include "StormControl.h"

#include "SecurityCommon.h"
#include "device/DeviceProfile.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum PageId {
    kIdEnable = 1091,
    kIdType = 1277,
    kIdResult = 1005,
    kIdN = 1279,
    kIdUnit = 1278,
    kIdApply = 1276,
    kIdRefresh = 1044,
    kIdHiddenApply = 1149,
    kIdClose = 1280 // ours
};

constexpr int kMaxN = 16000;

} // namespace

int StormUnit(const QString& modelName) {
    return modelName == u"NSW-4410-28P B1" || modelName == u"NSW-4410-08P B1" ? 63 : 64;
}

QString CheckStormN(const QString& text) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok || n < 1 || n > kMaxN)
        return QStringLiteral("Invalid input of N ( input range must between 1~16000)");
    return QString();
}

QString StormThresholdText(const QString& nText, int unit) {
    bool ok = false;
    const qlonglong n = nText.trimmed().toLongLong(&ok);
    // A product beyond 64 bits is no threshold either (it would show wrapped round).
    qlonglong threshold = 0;
    if (!ok || __builtin_mul_overflow(n, qlonglong(unit), &threshold))
        return QString();
    return QString::number(threshold);
}

QString StormNText(const QString& threshold, int unit) {
    const long long value = threshold.toLongLong();
    return value == 0 ? QStringLiteral("0") : QString::number(value / unit);
}

void CStormControlBackEnd::Load() {
    if (const auto row = ReadObjects(
            m_cCommonSNMP, {SecOid::kStormState, SecOid::kStormType, SecOid::kStormThreshold}))
        Notify(StormReport::kData, *row);
    NotifyMarker(StormReport::kFinished, kFinished);
}

void CStormControlBackEnd::Apply(bool enabled, int type, int threshold) {
    std::vector<SSetVar> vars{{SecOid::kStormState, SnmpType::kInteger,
                               QByteArray::number(enabled ? kEnabled : kDisabled)}};
    // Switched off, the type and threshold the switch holds stay as they are.
    if (enabled) {
        vars.push_back({SecOid::kStormType, SnmpType::kInteger, QByteArray::number(type)});
        vars.push_back(
            {SecOid::kStormThreshold, SnmpType::kInteger, QByteArray::number(threshold)});
    }
    WriteObjects(m_cCommonSNMPSet, vars);
    NotifyMarker(StormReport::kWriteFinished, kWriteFinished);
}

CStormControlPage::CStormControlPage(QWidget* parent)
    : CPageBase(parent), m_nUnit(StormUnit(g_strDeviceName)),
      m_pEnable(new QCheckBox(QStringLiteral("Enable Storm Control "), this)),
      m_pType(new QComboBox(this)), m_pResult(NewEdit(kIdResult)), m_pN(NewEdit(kIdN, 5)),
      m_pApply(NewButton(QStringLiteral("Apply"), kIdApply)),
      m_pRefresh(NewButton(QStringLiteral("&Refresh"), kIdRefresh)) {
    setWindowTitle(QStringLiteral("Storm Control"));
    AttachBackEnd(m_backEnd);
    SetControlId(m_pEnable, kIdEnable);
    SetControlId(m_pType, kIdType);
    m_pType->addItems({QStringLiteral("Broadcast Only"), QStringLiteral("Multicast & Broadcast"),
                       QStringLiteral("Multicast & Broadcast & Unknown Unicast")});
    m_pResult->setReadOnly(true);
    QLineEdit* unit = NewEdit(kIdUnit);
    unit->setReadOnly(true);
    unit->setText(QStringLiteral("%1Kbps  ").arg(m_nUnit));
    QPushButton* hidden = NewButton(QStringLiteral("Apply"), kIdHiddenApply);
    hidden->hide();
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdClose);

    auto* fields = new QGridLayout;
    fields->addWidget(m_pEnable, 0, 0, 1, 3);
    fields->addWidget(NewLabel(QStringLiteral("Storm Control Type")), 1, 0);
    fields->addWidget(m_pType, 1, 1, 1, 2);
    fields->addWidget(NewLabel(QStringLiteral("Threshold(64Kbps * N)")), 2, 0);
    fields->addWidget(m_pResult, 2, 1);
    fields->addWidget(NewLabel(QStringLiteral("Kbps")), 2, 2);
    fields->addWidget(unit, 3, 0);
    fields->addWidget(m_pN, 3, 1);
    fields->addWidget(NewLabel(QStringLiteral(" N = ( 1 - 16000 ) ")), 3, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_pApply);
    buttons->addWidget(hidden);
    buttons->addWidget(m_pRefresh);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_pEnable, &QCheckBox::toggled, this, &CStormControlPage::FollowState);
    connect(m_pN, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_pResult->setText(StormThresholdText(text, m_nUnit)); });
    connect(m_pApply, &QPushButton::clicked, this, &CStormControlPage::Apply);
    connect(m_pRefresh, &QPushButton::clicked, this, &CStormControlPage::Refresh);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    FollowState();
}

CStormControlPage::~CStormControlPage() {
    CloseSessions();
}

void CStormControlPage::OnInitDialog() {
    if (m_backEnd.SetOwner(this))
        Refresh();
}

void CStormControlPage::Refresh() {
    // Enabled again when the back-end reports "Finished".
    m_pApply->setEnabled(false);
    m_pRefresh->setEnabled(false);
    m_backEnd.Load();
}

void CStormControlPage::FollowState() {
    m_pN->setEnabled(m_pEnable->isChecked());
    m_pType->setEnabled(m_pEnable->isChecked());
}

void CStormControlPage::OnSnmpNotify(const SSnmpReport& report) {
    switch (report.code) {
    case StormReport::kData: {
        const SSnmpRow& row = report.row;
        m_pEnable->setChecked(row.Text(0) == u"1");
        m_pType->setCurrentIndex(row.Text(1).toInt() - 1);
        m_pN->setText(StormNText(row.Text(2), m_nUnit));
        m_pResult->setText(row.Text(2)); // what the switch holds, after the recompute
        FollowState();
        break;
    }
    case StormReport::kFinished:
        m_pApply->setEnabled(true);
        m_pRefresh->setEnabled(true);
        break;
    case StormReport::kWriteFinished:
        Refresh();
        break;
    default:
        break;
    }
}

bool CStormControlPage::Apply() {
    const bool enabled = m_pEnable->isChecked();
    // Only an enabled storm control uses N: switching it off always goes.
    if (enabled) {
        if (const QString message = CheckStormN(m_pN->text()); !message.isEmpty()) {
            ShowMessage(message, this);
            return false;
        }
    }
    m_backEnd.Apply(enabled, m_pType->currentIndex() + 1, m_pN->text().trimmed().toInt() * m_nUnit);
    return true;
}
