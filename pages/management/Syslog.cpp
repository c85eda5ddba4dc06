#include "Syslog.h"

#include "platform/IpAddressEdit.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum Id {
    kIdList = 202,
    kIdServer = 203,
    kIdPort = 206,
    kIdSeverity = 207,
    kIdFacility = 211,
    kIdRefresh = 241,
    kIdApply = 242,
    kIdApplyState = 1000,
    kIdEnable = 1016,
    kIdClose = 2,
};

constexpr int kSeverities[] = {4, 6, 7};
constexpr int kFacilities = 8;

} // namespace

int SyslogSeverityValue(int position) {
    return position >= 0 && position < 3 ? kSeverities[position] : 0;
}

int SyslogSeverityPosition(const QString& value) {
    for (int position = 0; position < 3; ++position)
        if (value.trimmed() == QString::number(kSeverities[position]))
            return position;
    return -1;
}

int SyslogFacilityValue(int position) {
    return 128 + 8 * position;
}

int SyslogFacilityPosition(const QString& value) {
    for (int position = 0; position < kFacilities; ++position)
        if (value.trimmed() == QString::number(SyslogFacilityValue(position)))
            return position;
    return 0;
}

QString CheckSyslogServer(const QString& address, const QString& port) {
    // Neither a network nor a broadcast address at either end. A blank
    // address is refused too: there would be nowhere to log to.
    const QString first = address.section(u'.', 0, 0);
    const QString last = address.section(u'.', -1);
    if (address.isEmpty() || first == u"0" || first == u"255" || last == u"0" || last == u"255")
        return QStringLiteral("Syslog Server IP Error.");
    qint64 number = 0;
    if (!NumberIn(port, 1, 65535, number))
        return QStringLiteral("Invalid UDP port range (1-65535)");
    return QString();
}

CSyslogPage::CSyslogPage(QWidget* parent)
    : CManagementPage(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_pServer(new CIpAddressEdit(this)), m_pPort(NewEdit(kIdPort)),
      m_pSeverity(new QComboBox(this)), m_pFacility(new QComboBox(this)),
      m_pEnable(new QCheckBox(QStringLiteral("SysLogEnable"), this)),
      m_pList(new CListControl(this)) {
    setWindowTitle(QStringLiteral("Syslog Host Configuration"));
    SetControlId(m_pServer, kIdServer);
    SetControlId(m_pSeverity, kIdSeverity);
    SetControlId(m_pFacility, kIdFacility);
    SetControlId(m_pEnable, kIdEnable);
    SetControlId(m_pList, kIdList);
    m_pSeverity->addItems(
        {QStringLiteral("Warning"), QStringLiteral("Info"), QStringLiteral("All")});
    for (int n = 0; n < kFacilities; ++n)
        m_pFacility->addItem(QStringLiteral("local%1").arg(n));
    for (const char* heading :
         {"  Host IP                ", "  UDP Port ", "  Facility    ", "  Severity    "})
        m_pList->AddColumn(QLatin1String(heading));

    QPushButton* applyState = NewButton(QStringLiteral("Apply"), kIdApplyState);
    auto* stateRow = new QHBoxLayout;
    stateRow->addWidget(m_pEnable);
    stateRow->addStretch();
    stateRow->addWidget(applyState);

    auto* grid = new QGridLayout;
    const std::pair<const char*, QWidget*> fields[] = {{"Host IP:", m_pServer},
                                                       {"UDP Port(1-65535):", m_pPort},
                                                       {"Facility:", m_pFacility},
                                                       {"Severity:", m_pSeverity}};
    int row = 0;
    for (const auto& [caption, widget] : fields) {
        grid->addWidget(NewLabel(QLatin1String(caption)), row, 0);
        grid->addWidget(widget, row++, 1);
    }

    QPushButton* refresh = NewButton(QStringLiteral("Refresh"), kIdRefresh);
    QPushButton* apply = NewButton(QStringLiteral("Apply"), kIdApply);
    QPushButton* close = NewButton(QStringLiteral("Close"), kIdClose);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {refresh, apply, close})
        buttons->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(stateRow);
    layout->addLayout(grid);
    layout->addWidget(m_pList, 1);
    layout->addLayout(buttons);
    resize(460, 400);

    EnableServerControls(false);
    m_pPort->setText(QStringLiteral("514"));

    connect(m_pEnable, &QCheckBox::toggled, this, &CSyslogPage::EnableServerControls);
    connect(m_pPort, &QLineEdit::textChanged, this, &CSyslogPage::OnPortChanged);
    connect(refresh, &QPushButton::clicked, this, &CSyslogPage::Load);
    connect(apply, &QPushButton::clicked, this, &CSyslogPage::ApplyServer);
    connect(applyState, &QPushButton::clicked, this, &CSyslogPage::ApplyState);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CSyslogPage::OnInitDialog() {
    Load();
}

void CSyslogPage::EnableServerControls(bool enable) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{m_pFacility, m_pSeverity, m_pServer, m_pPort})
        control->setEnabled(enable);
}

void CSyslogPage::OnPortChanged(const QString& text) {
    if (text.size() <= kSyslogPortDigits)
        return;
    const int caret = m_pPort->cursorPosition() - static_cast<int>(text.size() - kSyslogPortDigits);
    m_pPort->setText(text.left(kSyslogPortDigits));
    m_pPort->setCursorPosition(std::clamp(caret, 0, kSyslogPortDigits));
}

void CSyslogPage::Load() {
    // One asynchronous get; the answer arrives as one row.
    SWalkSpec get;
    get.kind = CCommonSNMP::kGet;
    get.columns = {SyslogOid::kServer, SyslogOid::kPort, SyslogOid::kFacility, SyslogOid::kSeverity,
                   SyslogOid::kState};
    get.withSuffix = false;
    get.rowCode = PageReport::kRow;
    get.finishedCode = PageReport::kFinished;
    StartWalk(m_cCommonSNMP, Channel(), get);
}

void CSyslogPage::OnSnmpNotify(const SSnmpReport& report) {
    if (report.code == PageReport::kFinished)
        return;
    if (report.code != PageReport::kRow) {
        CManagementPage::OnSnmpNotify(report);
        return;
    }
    const SSnmpRow& row = report.row;
    if (row.Count() < 5)
        return;
    m_pServer->SetAddress(row.Text(0).trimmed());
    m_pPort->setText(row.Text(1).trimmed());
    m_pFacility->setCurrentIndex(SyslogFacilityPosition(row.Text(2)));
    // A severity the list does not offer leaves the selection as it is.
    if (const int position = SyslogSeverityPosition(row.Text(3)); position >= 0)
        m_pSeverity->setCurrentIndex(position);
    const bool enabled = row.Text(4).trimmed() == u"1";
    m_pEnable->setChecked(enabled);
    EnableServerControls(enabled);
}

bool CSyslogPage::WriteState() {
    const QByteArray state = m_pEnable->isChecked() ? "1" : "2";
    if (WriteObjects(m_cCommonSNMPSet, {{SyslogOid::kState, SnmpType::kInteger, state}}) != 0)
        return false;
    ShowMessage(QStringLiteral("Set System log Server successfully"), this);
    return true;
}

void CSyslogPage::ApplyServer() {
    if (m_pEnable->isChecked()) {
        const QString address = m_pServer->Address();
        const QString message = CheckSyslogServer(address, m_pPort->text());
        if (!message.isEmpty()) {
            ShowMessage(message, this);
            return;
        }
        const int port = m_pPort->text().trimmed().toInt();
        const bool written =
            WriteObjects(
                m_cCommonSNMPSet,
                {{SyslogOid::kServer, SnmpType::kIpAddress, address.toLatin1()},
                 {SyslogOid::kPort, SnmpType::kInteger, QByteArray::number(port)},
                 {SyslogOid::kSeverity, SnmpType::kInteger,
                  QByteArray::number(SyslogSeverityValue(m_pSeverity->currentIndex()))},
                 {SyslogOid::kFacility, SnmpType::kInteger,
                  QByteArray::number(SyslogFacilityValue(m_pFacility->currentIndex()))}}) == 0;
        // Logging is not switched on towards a server the switch refused.
        if (!written) {
            Load();
            return;
        }
    }
    WriteState();
    Load();
}

void CSyslogPage::ApplyState() {
    WriteState();
    Load();
}
