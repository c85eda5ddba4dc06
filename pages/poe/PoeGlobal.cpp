#include "PoeGlobal.h"

#include "PoeCommon.h"
#include "device/DeviceProfile.h"
#include "platform/MessageBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

enum ControlId {
    kIdThresholdLabel = 1139,
    kIdThreshold = 1155,
    kIdSequence = 1156,
    kIdBudget = 1005,
    kIdUsed = 1006,
    kIdLeft = 1008,
    kIdPercent = 1009,
    kIdRps = 1157,
    kIdApply = 1158,
    kIdClose = 2,
};

const QString kWait = QStringLiteral("wait...");
constexpr unsigned long kWaitMs = 5000;

const QString& OidOf(int object) {
    static const QString oids[CPoeGlobalPage::kObjects] = {PoeOid::kThreshold, PoeOid::kSequence,
                                                           PoeOid::kBudget,    PoeOid::kUsed,
                                                           PoeOid::kLeft,      PoeOid::kPercent};
    return oids[object];
}

} // namespace

CPoeGlobalPage::CPoeGlobalPage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_pThreshold(NewEdit(kIdThreshold, 8)),
      m_pSequence(new QComboBox(this)), m_pStatus{NewEdit(kIdBudget), NewEdit(kIdUsed),
                                                  NewEdit(kIdLeft), NewEdit(kIdPercent)},
      m_pApply(NewButton(QStringLiteral("&Apply"), kIdApply)), m_pTimer(new QTimer(this)) {
    setWindowTitle(QStringLiteral("PoE Global Settings"));
    SetControlId(m_pSequence, kIdSequence);
    m_pSequence->addItems({QStringLiteral("DenyNextPort"), QStringLiteral("DenyLowPriorityPort")});
    QLineEdit* rps = NewEdit(kIdRps);
    rps->setReadOnly(true);
    rps->hide();

    auto* grid = new QGridLayout;
    grid->addWidget(NewLabel(ThresholdLabel(g_strDeviceName), kIdThresholdLabel), 0, 0);
    grid->addWidget(m_pThreshold, 0, 1);
    grid->addWidget(NewLabel(QStringLiteral("Power Shut-off Sequence")), 1, 0);
    grid->addWidget(m_pSequence, 1, 1);
    const char* const captions[4] = {"Total Power Budget (W)", "Power Used (W)", "Power Left (W)",
                                     "System Power Supplied (%)"};
    for (int i = 0; i < 4; ++i) {
        m_pStatus[i]->setReadOnly(true);
        grid->addWidget(NewLabel(QLatin1String(captions[i])), 2 + i, 0);
        grid->addWidget(m_pStatus[i], 2 + i, 1);
    }
    grid->addWidget(NewLabel(QStringLiteral("RPS Status ")), 6, 0);
    grid->addWidget(rps, 6, 1);
    grid->itemAtPosition(6, 0)->widget()->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_pApply);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdClose);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(buttons);
    resize(420, 300);

    m_pTimer->setSingleShot(true);
    connect(m_pTimer, &QTimer::timeout, this, &CPoeGlobalPage::Load);
    connect(m_pApply, &QPushButton::clicked, this, &CPoeGlobalPage::Apply);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CPoeGlobalPage::OnInitDialog() {
    SetEditable(false);
    m_pThreshold->setText(kWait);
    for (QLineEdit* edit : m_pStatus)
        edit->setText(kWait);
    // The switch is given a moment before it is asked.
    SetLoading(true);
    m_pTimer->start(kLoadDelayMs);
}

void CPoeGlobalPage::SetEditable(bool editable) {
    m_pApply->setEnabled(editable);
    m_pThreshold->setEnabled(editable);
    m_pSequence->setEnabled(editable);
}

void CPoeGlobalPage::Load() {
    SetLoading(true);
    for (int object = 0; object < kObjects; ++object) {
        const auto row = ReadObjects(m_cCommonSNMP, {OidOf(object)}, kWaitMs);
        if (!row)
            continue;
        const QString value = row->Text(0);
        m_values[object] = value;
        if (object == kThreshold)
            m_pThreshold->setText(value);
        else if (object == kSequence)
            m_pSequence->setCurrentIndex(value.toInt() - 1);
        else
            m_pStatus[object - kBudget]->setText(value);
    }
    SetEditable(true);
    SetLoading(false);
}

bool CPoeGlobalPage::Apply() {
    m_pApply->setEnabled(false);
    const QString threshold = m_pThreshold->text();
    const bool sequenceChanged = m_pSequence->currentIndex() != m_values[kSequence].toInt() - 1;
    const bool thresholdChanged = threshold != m_values[kThreshold];
    // Entries are checked before anything is sent.
    if (thresholdChanged) {
        const QString message = CheckThreshold(g_strDeviceName, threshold);
        if (!message.isEmpty()) {
            ShowMessage(message, this);
            m_pApply->setEnabled(true);
            return false;
        }
    }
    bool written = false;
    if (sequenceChanged)
        written |= WriteObjects(m_cCommonSNMPSet,
                                {{PoeOid::kSequence, SnmpType::kInteger,
                                  QByteArray::number(m_pSequence->currentIndex() + 1)}},
                                kWaitMs) == 0;
    if (thresholdChanged)
        written |= WriteObjects(m_cCommonSNMPSet,
                                {{PoeOid::kThreshold, SnmpType::kOctetString, threshold.toUtf8()}},
                                kWaitMs) == 0;
    if (written) {
        ShowMessage(QStringLiteral("set succeed,please wait for a moment"), this);
    } else {
        ShowMessage(QStringLiteral("check the data you input"), this);
        if (!sequenceChanged && !thresholdChanged) {
            ShowOutcome(QStringLiteral("Nothing sent: the values are those the switch holds"));
            m_pApply->setEnabled(true);
            return false;
        }
    }
    // What the switch holds now, taken or refused.
    Load();
    return written;
}
