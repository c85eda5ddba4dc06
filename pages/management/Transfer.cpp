#include "Transfer.h"

#include "platform/IpAddressEdit.h"
#include "platform/MessageBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum Id {
    kIdServer = 203,
    kIdOperation = 212,
    kIdFileType = 207,
    kIdFileName = 206,
    kIdProgress = 1035,
    kIdApply = 242,
    kIdClose = 2,
};

// List positions.
constexpr int kUpgrade = 0;
constexpr int kFirmware = 1;

const QString kTimeOut = QStringLiteral("Time out! Please check TFTP Server IP and network.");

} // namespace

QString TransferOid::Object(bool firmware, int arc) {
    return QStringLiteral("1.3.6.1.4.1.32473.10.75.7.3.%1.0").arg((firmware ? 0 : 4) + arc);
}

ETransferStatus TransferStatusMeaning(const QString& value) {
    // 0 idle (not started yet), 1 in progress, 2 success, 3 failed; 4 is no
    // success either.
    const QString text = value.trimmed();
    if (text == u"0" || text == u"1")
        return ETransferStatus::kGoOn;
    if (text == u"2")
        return ETransferStatus::kSuccess;
    if (text == u"4" || text == u"3")
        return ETransferStatus::kFailure;
    return ETransferStatus::kUnknown;
}

QString CheckTransferServer(const QString& address, int filledFields) {
    // A unicast host the switch can reach: not 0.x.x.x, multicast, reserved
    // or broadcast, and every field filled.
    const QStringList octets = address.split(u'.');
    const int first = octets.size() == 4 ? octets.front().toInt() : 0;
    if (filledFields != 4 || first < 1 || first > 223)
        return QStringLiteral("Invalid TFTP server IP.");
    return QString();
}

QString CheckTransferFile(const QString& name) {
    // Printable ASCII without blanks or backslashes, inside the server's folder.
    bool ok = !name.isEmpty() && name.size() <= kTransferMaxFileName && !name.endsWith(u'/');
    for (const QChar ch : name)
        ok = ok && ch.unicode() > u' ' && ch.unicode() <= u'~' && ch != u'\\';
    ok = ok && !(u'/' + name + u'/').contains(QStringLiteral("/../"));
    return ok ? QString() : QStringLiteral("Invalid file.");
}

STransferTimings TransferTimings(bool firmware, bool upgrade) {
    if (!firmware)
        return {3000, 1000, 90000};
    return {15000, 5000, upgrade ? 260000 : 90000};
}

CTransferPage::CTransferPage(QWidget* parent)
    : CManagementPage(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSetOp(AddSession(QStringLiteral("m_cCommonSNMPSetOp"))),
      m_pServer(new CIpAddressEdit(this)), m_pOperation(new QComboBox(this)),
      m_pFileType(new QComboBox(this)), m_pFileName(NewEdit(kIdFileName)),
      m_pProgress(new QProgressBar(this)) {
    setWindowTitle(QStringLiteral("Firmware and Configuration Upgrade/Backup"));
    SetControlId(m_pServer, kIdServer);
    SetControlId(m_pOperation, kIdOperation);
    SetControlId(m_pFileType, kIdFileType);
    SetControlId(m_pProgress, kIdProgress);
    m_pOperation->addItems({QStringLiteral("Upgrade"), QStringLiteral("Backup")});
    m_pFileType->addItems({QStringLiteral("Configuration"), QStringLiteral("Firmware")});
    m_pProgress->setRange(0, 100);
    m_pProgress->setValue(0);

    auto* grid = new QGridLayout;
    const std::pair<const char*, QWidget*> fields[] = {{"TFTP Server IP:", m_pServer},
                                                       {"Operation Type:", m_pOperation},
                                                       {"FileType:", m_pFileType},
                                                       {"File Name:", m_pFileName},
                                                       {"Upgrade/BackUp:", m_pProgress}};
    int row = 0;
    for (const auto& [caption, widget] : fields) {
        grid->addWidget(NewLabel(QLatin1String(caption)), row, 0);
        grid->addWidget(widget, row++, 1);
    }
    QPushButton* apply = NewButton(QStringLiteral("&Apply"), kIdApply);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdClose);
    m_pApply = apply;
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(420, 260);

    for (QTimer* timer : {&m_progressTimer, &m_statusTimer, &m_overallTimer, &m_endTimer})
        timer->setSingleShot(true);
    connect(&m_progressTimer, &QTimer::timeout, this, &CTransferPage::OnProgressTick);
    connect(&m_statusTimer, &QTimer::timeout, this, &CTransferPage::OnStatusTick);
    connect(&m_overallTimer, &QTimer::timeout, this, &CTransferPage::OnOverallTimeOut);
    connect(&m_endTimer, &QTimer::timeout, this, &CTransferPage::OnEndTick);
    connect(m_pFileName, &QLineEdit::textEdited, this, &CTransferPage::OnFileNameEdited);
    connect(m_pFileType, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_bRunning)
            Load();
    });
    connect(apply, &QPushButton::clicked, this, &CTransferPage::Apply);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CTransferPage::OnInitDialog() {
    Load();
}

bool CTransferPage::Firmware() const {
    return m_pFileType->currentIndex() == kFirmware;
}

bool CTransferPage::Upgrade() const {
    return m_pOperation->currentIndex() == kUpgrade;
}

// The server and file the switch last used for the chosen file type.
void CTransferPage::Load() {
    const bool firmware = Firmware();
    const auto values = ReadObjects(
        m_cCommonSNMP, {TransferOid::Object(firmware, 1), TransferOid::Object(firmware, 2)});
    if (!values)
        return;
    const QString server = values->Text(0).trimmed();
    if (server == u"0.0.0.0")
        m_pServer->ClearAddress();
    else
        m_pServer->SetAddress(server);
    m_pFileName->setText(values->Text(1));
}

void CTransferPage::OnFileNameEdited(const QString& text) {
    if (text.size() <= kTransferMaxFileName)
        return;
    ShowMessage(QStringLiteral("The maximum length of file name is 64!"), this);
    m_pFileName->setText(text.left(kTransferMaxFileName));
}

QString CTransferPage::What() const {
    return m_bFirmware ? (m_bUpgrade ? QStringLiteral("Firmware upgrade")
                                     : QStringLiteral("Firmware backup"))
                       : (m_bUpgrade ? QStringLiteral("Configuration restore")
                                     : QStringLiteral("Configuration backup"));
}

void CTransferPage::Apply() {
    if (m_bRunning)
        return;
    const QString server = m_pServer->Address();
    const QString file = m_pFileName->text();
    QString message = CheckTransferServer(server, m_pServer->FilledFieldCount());
    if (message.isEmpty())
        message = CheckTransferFile(file);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return;
    }
    m_bFirmware = Firmware();
    m_bUpgrade = Upgrade();
    // An upgrade may restart the switch or change how it is reached.
    if (m_bUpgrade)
        ShowMessage(QStringLiteral("The connection will be disconnected.\nPlease do not apply "
                                   "other changes when uploading.\nReconnect to the device later "
                                   "when uploading completes."),
                    this);
    m_bRunning = true;
    m_bFinished = false;
    m_pApply->setEnabled(false);
    SetLoading(true);
    if (WriteObjects(m_cCommonSNMPSetOp, {{TransferOid::Object(m_bFirmware, 1),
                                           SnmpType::kIpAddress, server.toLatin1()},
                                          {TransferOid::Object(m_bFirmware, 2),
                                           SnmpType::kOctetString, file.toLatin1()}}) != 0) {
        Finish(false, QStringLiteral("Setting file name TimeOut !"),
               What() + QStringLiteral(" not started: the server and file were not taken"));
        return;
    }
    if (WriteObjects(m_cCommonSNMPSetOp, {{TransferOid::Object(m_bFirmware, 3), SnmpType::kInteger,
                                           m_bUpgrade ? "1" : "2"}}) != 0) {
        Finish(false, QStringLiteral("Setting operation TimeOut !"),
               What() + QStringLiteral(" not started: the switch did not take the operation"));
        return;
    }
    const STransferTimings timings = TransferTimings(m_bFirmware, m_bUpgrade);
    m_nProgress = 0;
    m_nPolls = 0;
    m_pProgress->setValue(0);
    SayAfterOutcomes(What() + QStringLiteral(" running"));
    m_progressTimer.start(kTransferProgressFirstMs);
    m_statusTimer.start(timings.firstPollMs);
    m_overallTimer.start(timings.overallMs);
}

void CTransferPage::OnProgressTick() {
    m_nProgress = std::min(m_nProgress + 5, 90);
    m_pProgress->setValue(m_nProgress);
    if (m_nProgress < 90 && !m_bFinished)
        m_progressTimer.start(kTransferProgressMs);
}

void CTransferPage::OnStatusTick() {
    if (m_bFinished)
        return;
    ++m_nPolls;
    SSnmpCell cell;
    const ReadResult read = ReadObject(m_cCommonSNMP, TransferOid::Object(m_bFirmware, 4), cell);
    // No answer: the switch may be busy with the transfer; ask again.
    const ETransferStatus status = read == ReadResult::kValue ? TransferStatusMeaning(cell.Text())
                                   : read == ReadResult::kFailed ? ETransferStatus::kGoOn
                                                                 : ETransferStatus::kUnknown;
    switch (status) {
    case ETransferStatus::kSuccess:
        m_pProgress->setValue(100);
        Finish(true, QStringLiteral("Success!"), What() + QStringLiteral(" done"));
        return;
    case ETransferStatus::kFailure:
        Finish(false,
               m_bFirmware ? QStringLiteral("Firmware Upgrade Fail !")
                           : QStringLiteral("Config Restore Fail !"),
               What() + QStringLiteral(" failed: the switch reports status ") + cell.Text());
        return;
    case ETransferStatus::kUnknown:
        Finish(false, QStringLiteral("Get Info Fail !"),
               What() + QStringLiteral(": the switch gives no transfer status"));
        return;
    case ETransferStatus::kGoOn:
        break;
    }
    if (m_nPolls >= kTransferMaxPolls) {
        Finish(false,
               m_bFirmware ? kTimeOut + QStringLiteral("\nIf the upgrade has completed, close the "
                                                       "module and rediscover the device.")
                           : kTimeOut,
               What() + QStringLiteral(": no end after %1 status polls").arg(kTransferMaxPolls));
        return;
    }
    m_statusTimer.start(TransferTimings(m_bFirmware, m_bUpgrade).pollMs);
}

void CTransferPage::OnOverallTimeOut() {
    if (m_bFinished)
        return;
    Finish(false,
           m_bFirmware ? QStringLiteral("Get Firmware BackUp/Upgrade status Time Out !")
                       : QStringLiteral("Get Config BackUp/Upgrade status Time Out !"),
           What() + QStringLiteral(": no end within %1 s")
                        .arg(TransferTimings(m_bFirmware, m_bUpgrade).overallMs / 1000));
}

void CTransferPage::Finish(bool success, const QString& message, const QString& outcome) {
    m_bFinished = true;
    for (QTimer* timer : {&m_progressTimer, &m_statusTimer, &m_overallTimer})
        timer->stop();
    if (!success)
        m_pProgress->setValue(0);
    m_strOutcome = outcome;
    ShowMessage(message, this);
    m_endTimer.start(5);
}

void CTransferPage::done(int result) {
    // No timer may read through the sessions once they are closed.
    for (QTimer* timer : {&m_progressTimer, &m_statusTimer, &m_overallTimer, &m_endTimer})
        timer->stop();
    m_bFinished = true;
    CManagementPage::done(result);
}

void CTransferPage::OnEndTick() {
    // Shows what the switch now holds for the file type; the words about the
    // transfer come after that load's outcome so that they stay on the line.
    Load();
    SayAfterOutcomes(m_strOutcome);
    m_bRunning = false;
    m_pApply->setEnabled(true);
    SetLoading(false);
}
