#include "Lldp.h"

#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QVBoxLayout>
#include <QtEndian>

namespace {

enum GlobalId {
    kIdEnable = 1091,
    kIdApplyState = 1094,
    kIdHold = 1093,
    kIdInterval = 1105,
    kIdReinit = 1005,
    kIdTxDelay = 1008,
    kIdApplyParameters = 1095,
    kIdClose = 2,
    // The read-only system information (ids of our own).
    kIdChassisSubtype = 3100,
    kIdChassisId = 3101,
    kIdSysName = 3102,
    kIdSysDesc = 3103,
};

enum MedId {
    kIdMedList = 1104,
    kIdMedApply = 1102,
    kIdMedRefresh = 1044,
    kIdMedFrom = 3110,
    kIdMedTo = 3111,
    kIdMedTlv = 3112,
};

enum RemoteId {
    kIdCount = 1108,
    kIdRemoteList = 1099,
    kIdRemoteRefresh = 1109,
};

// Chassis subtype 4 and port subtype 3 are MACs; 5 and 4 network addresses.
enum class IdForm { kMac, kNetworkAddress, kOther };

QString HexOctets(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString IdText(IdForm form, const QByteArray& id) {
    if (form == IdForm::kMac && id.size() == 6)
        return MacToDashText(id);
    if (form == IdForm::kNetworkAddress && !id.isEmpty()) {
        // An IANA address family number, then the address.
        const int family = static_cast<uint8_t>(id[0]);
        const QByteArray address = id.mid(1);
        if (family == 1 && address.size() == 4)
            return QHostAddress(qFromBigEndian<quint32>(address.constData())).toString();
        if (family == 2 && address.size() == 16)
            return QHostAddress(reinterpret_cast<const quint8*>(address.constData())).toString();
        return HexOctets(id);
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(id);
    bool printable = !decoder.hasError();
    for (const QChar ch : text)
        printable = printable && ch.isPrint();
    return printable ? text : HexOctets(id);
}

QLineEdit* ReadOnlyEdit(CPageBase* page, int id) {
    QLineEdit* edit = page->NewEdit(id);
    edit->setReadOnly(true);
    return edit;
}

} // namespace

QString ChassisIdSubtypeText(int subtype) {
    static const char* const kTexts[] = {
        "chassisComponent", "interfaceAlias", "portComponent", "macAddress",
        "networkAddress",   "interfaceName",  "local"};
    return subtype >= 1 && subtype <= 7 ? QLatin1String(kTexts[subtype - 1]) : QString();
}

QString PortIdSubtypeText(int subtype) {
    static const char* const kTexts[] = {"interfaceAlias", "portComponent", "macAddress",
                                         "networkAddress", "interfaceName", "agentCircuitld",
                                         "local"};
    return subtype >= 1 && subtype <= 7 ? QLatin1String(kTexts[subtype - 1]) : QString();
}

QString ChassisIdText(int subtype, const QByteArray& id) {
    return IdText(subtype == 4   ? IdForm::kMac
                  : subtype == 5 ? IdForm::kNetworkAddress
                                 : IdForm::kOther,
                  id);
}

QString PortIdText(int subtype, const QByteArray& id) {
    return IdText(subtype == 3   ? IdForm::kMac
                  : subtype == 4 ? IdForm::kNetworkAddress
                                 : IdForm::kOther,
                  id);
}

QString CheckLldpParameters(const QString& holdText, const QString& intervalText,
                            const QString& reinitText, const QString& delayText) {
    qint64 hold = 0, interval = 0, reinit = 0, delay = 0;
    if (!NumberIn(holdText, 2, 10, hold))
        return QStringLiteral("The Message TX Hold Multipier should be 2-10");
    if (!NumberIn(intervalText, 5, 32768, interval))
        return QStringLiteral("The Message TX Interval should be 5-32768");
    if (interval * hold > 65535)
        return QStringLiteral("(Message TX Interval * Message TX Hold Multiplier) > 65535.");
    if (!NumberIn(reinitText, 1, 10, reinit))
        return QStringLiteral("The LLDP Reinit Delay should be 1-10");
    if (!NumberIn(delayText, 1, 8192, delay))
        return QStringLiteral("The LLDP TX Delay should be 1-8192");
    if (4 * delay > interval)
        return QStringLiteral("LLDP TX Delay should be <= 0.25 * (Message TX Interval)");
    return QString();
}

// ---- LLDP Global Settings ----

CLldpGlobalPage::CLldpGlobalPage(QWidget* parent)
    : CManagementPage(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_pEnable(new QCheckBox(QStringLiteral(" LLDP Enable "), this)), m_pHold(NewEdit(kIdHold, 2)),
      m_pInterval(NewEdit(kIdInterval, 5)), m_pReinit(NewEdit(kIdReinit, 2)),
      m_pTxDelay(NewEdit(kIdTxDelay, 4)), m_pChassisSubtype(ReadOnlyEdit(this, kIdChassisSubtype)),
      m_pChassisId(ReadOnlyEdit(this, kIdChassisId)), m_pSysName(ReadOnlyEdit(this, kIdSysName)),
      m_pSysDesc(ReadOnlyEdit(this, kIdSysDesc)) {
    setWindowTitle(QStringLiteral("LLDP Global Settings"));
    SetControlId(m_pEnable, kIdEnable);

    auto* stateRow = new QHBoxLayout;
    QPushButton* applyState = NewButton(QStringLiteral("&Apply"), kIdApplyState);
    stateRow->addWidget(m_pEnable);
    stateRow->addStretch();
    stateRow->addWidget(applyState);

    auto* parameters = new QGridLayout;
    const std::pair<const char*, QLineEdit*> fields[] = {
        {"Message TX Hold Multipier(2 - 10)", m_pHold},
        {"Message TX Interval(5 - 32768)", m_pInterval},
        {"LLDP Reinit Delay (1 - 10)", m_pReinit},
        {"LLDP TX Delay (1 - 8192)", m_pTxDelay}};
    int row = 0;
    for (const auto& [caption, edit] : fields) {
        parameters->addWidget(new QLabel(QLatin1String(caption)), row, 0);
        parameters->addWidget(edit, row++, 1);
    }
    QPushButton* applyParameters = NewButton(QStringLiteral("Apply"), kIdApplyParameters);
    parameters->addWidget(applyParameters, row, 1, Qt::AlignRight);

    auto* system = new QGroupBox(QStringLiteral("LLDP System Information"), this);
    auto* systemGrid = new QGridLayout(system);
    const std::pair<const char*, QLineEdit*> infos[] = {{"Chassis ID Subtype", m_pChassisSubtype},
                                                        {"Chassis ID", m_pChassisId},
                                                        {"System Name", m_pSysName},
                                                        {"System Description", m_pSysDesc}};
    row = 0;
    for (const auto& [caption, edit] : infos) {
        systemGrid->addWidget(new QLabel(QLatin1String(caption)), row, 0);
        systemGrid->addWidget(edit, row++, 1);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* close = NewButton(QStringLiteral("Close"), kIdClose);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(stateRow);
    layout->addLayout(parameters);
    layout->addWidget(system);
    layout->addLayout(buttons);
    resize(460, 420);

    connect(applyState, &QPushButton::clicked, this, &CLldpGlobalPage::ApplyState);
    connect(applyParameters, &QPushButton::clicked, this, &CLldpGlobalPage::ApplyParameters);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CLldpGlobalPage::OnInitDialog() {
    Load();
}

void CLldpGlobalPage::Load() {
    const auto values = ReadObjects(
        m_cCommonSNMP, {LldpOid::kState, LldpOid::kHoldMultiplier, LldpOid::kTxInterval,
                        LldpOid::kReinitDelay, LldpOid::kTxDelay, LldpOid::kLocChassisIdSubtype,
                        LldpOid::kLocChassisId, LldpOid::kLocSysName, LldpOid::kLocSysDesc});
    if (!values)
        return;
    m_pEnable->setChecked(values->Text(0).trimmed() == u"1");
    m_pHold->setText(values->Text(1));
    m_pInterval->setText(values->Text(2));
    m_pReinit->setText(values->Text(3));
    m_pTxDelay->setText(values->Text(4));
    const int subtype = values->Text(5).trimmed().toInt();
    m_pChassisSubtype->setText(ChassisIdSubtypeText(subtype));
    m_pChassisId->setText(ChassisIdText(subtype, values->Bytes(6)));
    m_pSysName->setText(FromUtf8(values->Bytes(7)));
    m_pSysDesc->setText(FromUtf8(values->Bytes(8)));
    for (QLineEdit* edit : {m_pChassisId, m_pSysName, m_pSysDesc})
        edit->setCursorPosition(0); // long texts show their start
}

void CLldpGlobalPage::Write(const std::vector<SSetVar>& vars) {
    SetLoading(true);
    for (int attempt = 1; attempt <= kLldpAttempts; ++attempt) {
        if (WriteObjects(m_cCommonSNMPSet, vars) == 0) {
            // The switch restarts its LLDP agent with the new settings.
            PageWait(kLldpSettlePauseMs);
            break;
        }
        if (attempt < kLldpAttempts)
            PageWait(kLldpRetryPauseMs);
    }
    Load();
    SetLoading(false);
}

void CLldpGlobalPage::ApplyState() {
    const int value = m_pEnable->isChecked() ? kEnabled : kDisabled;
    Write({{LldpOid::kState, SnmpType::kInteger, QByteArray::number(value)}});
}

void CLldpGlobalPage::ApplyParameters() {
    const QString message = CheckLldpParameters(m_pHold->text(), m_pInterval->text(),
                                                m_pReinit->text(), m_pTxDelay->text());
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return;
    }
    auto number = [](const QLineEdit* edit) {
        return QByteArray::number(edit->text().trimmed().toInt());
    };
    Write({{LldpOid::kHoldMultiplier, SnmpType::kInteger, number(m_pHold)},
           {LldpOid::kTxInterval, SnmpType::kInteger, number(m_pInterval)},
           {LldpOid::kReinitDelay, SnmpType::kInteger, number(m_pReinit)},
           {LldpOid::kTxDelay, SnmpType::kInteger, number(m_pTxDelay)}});
}

// ---- LLDP MED Settings ----

CLldpMedPage::CLldpMedPage(QWidget* parent)
    : CManagementPage(parent),
      m_cCommonSNMPEnable(AddSession(QStringLiteral("m_cCommonSNMPEnable"))),
      m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_pFrom(new QComboBox(this)), m_pTo(new QComboBox(this)), m_pTlv(new QComboBox(this)),
      m_pRange(new CPortRange(m_pFrom, m_pTo, this)), m_pList(new CListControl(this)) {
    setWindowTitle(QStringLiteral("LLDP MED Settings"));
    SetControlId(m_pFrom, kIdMedFrom);
    SetControlId(m_pTo, kIdMedTo);
    SetControlId(m_pTlv, kIdMedTlv);
    SetControlId(m_pList, kIdMedList);
    m_pTlv->addItems({QStringLiteral("Enable"), QStringLiteral("Disable")});
    m_pList->AddColumn(QStringLiteral("   Port"));
    m_pList->AddColumn(QStringLiteral("Power PSE TLV"));
    m_pList->horizontalHeader()->setStretchLastSection(true);

    auto* fields = new QHBoxLayout;
    fields->addWidget(NewLabel(QStringLiteral("From Port")));
    fields->addWidget(m_pFrom);
    fields->addWidget(NewLabel(QStringLiteral("To Port")));
    fields->addWidget(m_pTo);
    fields->addWidget(NewLabel(QStringLiteral("Power PSE TLV")));
    fields->addWidget(m_pTlv);
    fields->addStretch();

    QPushButton* apply = NewButton(QStringLiteral("&Apply"), kIdMedApply);
    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdMedRefresh);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdClose);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {apply, refresh, close})
        buttons->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_pList, 1);
    layout->addLayout(buttons);
    resize(460, 480);

    connect(apply, &QPushButton::clicked, this, &CLldpMedPage::Apply);
    connect(refresh, &QPushButton::clicked, this, &CLldpMedPage::Load);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CLldpMedPage::OnInitDialog() {
    Load();
}

void CLldpMedPage::Load() {
    m_pList->DeleteAllItems();
    std::vector<int> ports;
    const auto state = ReadObjects(m_cCommonSNMPEnable, {LldpOid::kState});
    if (state && state->Text(0).trimmed() != u"1") {
        ShowMessage(QStringLiteral("The LLDP is disable ,so can not set LLDP MED !"), this);
    } else if (state) {
        std::vector<QStringList> rows;
        for (const SSnmpRow& row :
             WalkTable(m_cCommonSNMP, {LldpOid::kPowerTlv}).value_or(std::vector<SSnmpRow>{})) {
            ports.push_back(RowNumber(row));
            rows.push_back({QString::number(ports.back()), row.Text(0).trimmed() == u"2"
                                                               ? QStringLiteral("Disable")
                                                               : QStringLiteral("Enable")});
        }
        m_pList->AppendRows(std::move(rows));
    }
    // Only ports the switch has a MED row for can be set.
    m_pRange->SetPorts(ports);
}

void CLldpMedPage::Apply() {
    const int from = m_pRange->From(), to = m_pRange->To();
    const QByteArray value = m_pTlv->currentIndex() == 0 ? "1" : "2";
    std::vector<SSetVar> vars;
    for (int port : m_pRange->Ports())
        if (port >= from && port <= to)
            vars.push_back({CellOid(LldpOid::kPowerTlv, port), SnmpType::kInteger, value});
    if (vars.empty())
        return;
    SetLoading(true);
    WriteObjects(m_cCommonSNMPSet, vars);
    PageWait(kLldpMedPauseMs);
    Load();
    SetLoading(false);
}

// ---- LLDP Remote Port Information ----

CLldpRemotePage::CLldpRemotePage(QWidget* parent)
    : CManagementPage(parent),
      m_cCommonSNMPEnabled(AddSession(QStringLiteral("m_cCommonSNMPEnabled"))),
      m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_pCount(ReadOnlyEdit(this, kIdCount)), m_pList(new CListControl(this)) {
    setWindowTitle(QStringLiteral("LLDP Remote Port Information"));
    SetControlId(m_pList, kIdRemoteList);
    for (const char* heading :
         {"Port", "Entity", "Chassis ID Subtype", "Chassis ID", "Port ID Subtype", "Port ID",
          "Port Description", "System Name", "System Description"})
        m_pList->AddColumn(QLatin1String(heading));
    m_pList->horizontalHeader()->setStretchLastSection(true);
    m_pCount->setMaximumWidth(80);

    auto* countRow = new QHBoxLayout;
    countRow->addWidget(NewLabel(QStringLiteral("Remote Entities Count: ")));
    countRow->addWidget(m_pCount);
    countRow->addStretch();

    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdRemoteRefresh);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdClose);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(refresh);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(countRow);
    layout->addWidget(m_pList, 1);
    layout->addLayout(buttons);
    resize(980, 460);

    connect(refresh, &QPushButton::clicked, this, &CLldpRemotePage::Load);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CLldpRemotePage::OnInitDialog() {
    Load();
}

void CLldpRemotePage::Load() {
    m_pList->DeleteAllItems();
    m_pCount->setText(QStringLiteral("0"));
    const auto state = ReadObjects(m_cCommonSNMPEnabled, {LldpOid::kState});
    if (!state) {
        ShowMessage(QStringLiteral("Get LLDP remote port information unsuccessful!"), this);
        return;
    }
    if (state->Text(0).trimmed() != u"1") {
        // A switch without LLDP learns no neighbours: nothing to walk.
        SayAfterOutcomes(QStringLiteral("LLDP is disabled on the switch: no remote ports"));
        return;
    }
    QStringList columns;
    for (int column = 4; column <= 10; ++column)
        columns << LldpOid::kRemTable + u'.' + QString::number(column);
    const auto rows = WalkTable(m_cCommonSNMP, columns);
    if (!rows)
        return;
    std::vector<QStringList> texts;
    for (const SSnmpRow& row : *rows) {
        // Index: time mark, local port, remote entity.
        const std::vector<uint32_t> index = row.IndexArcs();
        const int chassisSubtype = row.Text(0).trimmed().toInt();
        const int portSubtype = row.Text(2).trimmed().toInt();
        texts.push_back({index.size() > 1 ? QString::number(index[1]) : QString(),
                         index.size() > 2 ? QString::number(index[2]) : QString(),
                         ChassisIdSubtypeText(chassisSubtype),
                         ChassisIdText(chassisSubtype, row.Bytes(1)),
                         PortIdSubtypeText(portSubtype), PortIdText(portSubtype, row.Bytes(3)),
                         FromUtf8(row.Bytes(4)), FromUtf8(row.Bytes(5)), FromUtf8(row.Bytes(6))});
    }
    m_pCount->setText(QString::number(texts.size()));
    m_pList->AppendRows(std::move(texts));
    // Identifiers are wider than their headings.
    m_pList->FitColumnsToContents();
    if (rows->empty())
        ShowMessage(QStringLiteral("There is no LLDP Remote Port"), this);
}
