#include "Dot1x.h"

#include "device/DeviceProfile.h"
#include "pages/switching/SwitchCommon.h"
#include "platform/IpAddressEdit.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum GlobalId {
    kIdEnable = 1012,
    kIdServer = 1013,
    kIdKey = 1004,
    kIdConfirm = 1005,
    kIdTxPeriod = 1003,
    kIdQuietPeriod = 1008,
    kIdReAuth = 1040,
    kIdSuppTimeout = 1009,
    kIdServerTimeout = 1041,
    kIdMaxReq = 1042,
    kIdReAuthPeriod = 1043,
    kIdApply = 242,
    kIdPortSet = 1000,
    kIdRefresh = 103,
    kIdList = 1011,
    kIdClose = 2,
};

enum PortId {
    kIdFrom = 1007,
    kIdTo = 1085,
    kIdControl = 1087,
    kIdPortList = 1045,
    kIdPortApply = 1,
    kIdCancel = 2,
    kIdPortRefresh = 1044,
};

const char* const kHeadings[] = {"Index",
                                 "AuthControlledPortStatus",
                                 "AuthControlledPortControl",
                                 "QuietPeriod",
                                 "TxPeriod",
                                 "SuppTimeout",
                                 "ServerTimeout",
                                 "MaxReq",
                                 "ReAuthPeriod",
                                 "ReAuthEnabled"};

// The global objects in the order of the one GET and the one SET.
const QStringList& GlobalOids() {
    static const QStringList oids = {Dot1xOid::kState,       Dot1xOid::kRadiusServer,
                                     Dot1xOid::kRadiusKey,   Dot1xOid::kReAuthEnabled,
                                     Dot1xOid::kQuietPeriod, Dot1xOid::kTxPeriod,
                                     Dot1xOid::kSuppTimeout, Dot1xOid::kServerTimeout,
                                     Dot1xOid::kMaxReq,      Dot1xOid::kReAuthPeriod};
    return oids;
}

QString ReAuthText(const QString& value) {
    return value.trimmed() == u"1" ? QStringLiteral("Enable") : QStringLiteral("Disabled");
}

void SetUpList(CListControl* list, int id) {
    CPageBase::SetControlId(list, id);
    for (const char* heading : kHeadings)
        list->AddColumn(QLatin1String(heading));
    list->horizontalHeader()->setStretchLastSection(true);
}

// One row per port: its access control and status, then the global timers
// (the same on every row), from the global GET's values 3 to 9.
void FillPortRows(CListControl* list, const std::vector<SSnmpRow>& ports,
                  const std::optional<SSnmpRow>& global) {
    list->DeleteAllItems();
    std::vector<QStringList> rows;
    for (const SSnmpRow& row : ports) {
        QStringList texts = {QString::number(RowNumber(row)), PortStatusText(row.Text(1)),
                             PortControlText(row.Text(0))};
        if (global)
            texts << global->Text(4) << global->Text(5) << global->Text(6) << global->Text(7)
                  << global->Text(8) << global->Text(9) << ReAuthText(global->Text(3));
        rows.push_back(texts);
    }
    list->AppendRows(std::move(rows));
}

QLineEdit* AddField(QGridLayout* grid, int row, int column, const QString& caption,
                    QLineEdit* edit) {
    grid->addWidget(new QLabel(caption), row, column);
    grid->addWidget(edit, row, column + 1);
    return edit;
}

} // namespace

QString PortControlText(const QString& value) {
    switch (value.trimmed().toInt()) {
    case 1:
        return QStringLiteral("ForceUnauthorized");
    case 2:
        return QStringLiteral("Auto");
    case 3:
        return QStringLiteral("ForceAuthorized");
    default:
        return QStringLiteral("Other");
    }
}

QString PortStatusText(const QString& value) {
    switch (value.trimmed().toInt()) {
    case 1:
        return QStringLiteral("Authorized");
    case 2:
        return QStringLiteral("Unauthorized");
    default:
        return QStringLiteral("Other");
    }
}

QString CheckDot1xGlobal(const SDot1xGlobal& in, std::vector<SSetVar>* vars) {
    const QStringList parts = in.server.split(u'.');
    bool valid = parts.size() == 4 && in.server != u"0.0.0.0";
    for (const QString& part : parts) {
        qint64 octet = 0;
        valid = valid && NumberIn(part, 0, 255, octet);
    }
    if (!valid)
        return QStringLiteral("Invalid RADIUS Server IP Address.");
    const QByteArray key = in.key.toUtf8();
    if (key.isEmpty())
        return QStringLiteral("Invalid Key.");
    // The switch keeps at most 32 octets; a longer key would be refused.
    if (key.size() > kMaxRadiusKeyOctets)
        return QStringLiteral("Invalid Key. The key can hold at most 32 characters.");
    if (in.key != in.confirmKey)
        return QStringLiteral("Please confirm the key again !");

    std::vector<SSetVar> request = {
        {Dot1xOid::kState, SnmpType::kInteger, "1"},
        {Dot1xOid::kRadiusServer, SnmpType::kIpAddress, in.server.toLatin1()},
        {Dot1xOid::kRadiusKey, SnmpType::kOctetString, key},
        {Dot1xOid::kReAuthEnabled, SnmpType::kInteger, in.reAuthEntry == 0 ? "1" : "2"}};
    const struct {
        const QString& text;
        const QString& oid;
        qint64 lo, hi;
        int type;
        const char* message;
    } ranges[] = {
        {in.quietPeriod, Dot1xOid::kQuietPeriod, 0, 65535, SnmpType::kInteger,
         "Invalid QuietPeriod (0-65535)"},
        {in.txPeriod, Dot1xOid::kTxPeriod, 1, 65535, SnmpType::kInteger,
         "Invalid TxPeriod (1-65535)"},
        {in.suppTimeout, Dot1xOid::kSuppTimeout, 1, 65535, SnmpType::kInteger,
         "Invalid SuppTimeout (1-65535)"},
        {in.serverTimeout, Dot1xOid::kServerTimeout, 1, 65535, SnmpType::kInteger,
         "Invalid ServerTimeout (1-65535)"},
        {in.maxReq, Dot1xOid::kMaxReq, 1, 10, SnmpType::kInteger, "Invalid MaxReq (1-10)"},
        {in.reAuthPeriod, Dot1xOid::kReAuthPeriod, 1, 4294967295LL, SnmpType::kUnsigned,
         "Invalid ReAuthPeriod (1-4294967295)"}};
    // Each value is checked just before it joins the request.
    for (const auto& r : ranges) {
        qint64 value = 0;
        if (!NumberIn(r.text, r.lo, r.hi, value))
            return QLatin1String(r.message);
        request.push_back({r.oid, r.type, QByteArray::number(value)});
    }
    if (vars)
        *vars = std::move(request);
    return QString();
}

QString CheckDot1xPorts(const std::vector<int>& control, const std::vector<int>& lag, int from,
                        int to, int c, int portCount) {
    auto at = [](const std::vector<int>& values, int port) {
        return port >= 1 && port <= static_cast<int>(values.size()) ? values[port - 1] : 0;
    };
    for (int p = from; p <= to; ++p)
        if (at(lag, p) != 0)
            return QStringLiteral("Cannot add an aggregated link to the 802.1X-enabled port");
    int u = 0, a = 0;
    for (int p = 1; p <= portCount; ++p) {
        if (p >= from && p <= to)
            continue;
        u += at(control, p) == 1;
        a += at(control, p) == 2;
    }
    const int n = to - from + 1;
    if (c == 1 && u + n == portCount)
        return QStringLiteral(
            "Could not set all ports to  Force Unauthorized to the port access control.");
    if (c == 2 && a + n == portCount)
        return QStringLiteral("Could not set all ports to AUTO  to the port access control.");
    if ((c == 1 || c == 2) && u + a + n == portCount)
        return QStringLiteral(
            "Could not set all ports to AUTO or Force Unauthorized to the port access control.");
    return QString();
}

// ---- 802.1X Statistic Information ----

CDot1xPage::CDot1xPage(QWidget* parent)
    : CManagementPage(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_cCommonSNMParg(AddSession(QStringLiteral("m_cCommonSNMParg"))),
      m_pEnable(new QCheckBox(QStringLiteral("Enable 802.1X"), this)),
      m_pServer(new CIpAddressEdit(this)), m_pKey(NewEdit(kIdKey)), m_pConfirm(NewEdit(kIdConfirm)),
      m_pTx(NewEdit(kIdTxPeriod, 5)), m_pQuiet(NewEdit(kIdQuietPeriod, 5)),
      m_pSupp(NewEdit(kIdSuppTimeout, 5)), m_pServerTimeout(NewEdit(kIdServerTimeout, 5)),
      m_pMaxReq(NewEdit(kIdMaxReq, 2)), m_pReAuthPeriod(NewEdit(kIdReAuthPeriod, 10)),
      m_pReAuth(new QComboBox(this)), m_pList(new CListControl(this)) {
    setWindowTitle(QStringLiteral("802.1X Statistic Information"));
    SetControlId(m_pEnable, kIdEnable);
    SetControlId(m_pServer, kIdServer);
    SetControlId(m_pReAuth, kIdReAuth);
    m_pReAuth->addItems({QStringLiteral("Enable"), QStringLiteral("Disabled")});
    m_pKey->setEchoMode(QLineEdit::Password);
    m_pConfirm->setEchoMode(QLineEdit::Password);
    SetUpList(m_pList, kIdList);

    auto* grid = new QGridLayout;
    grid->addWidget(m_pEnable, 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Radius Server IP:")), 1, 0);
    grid->addWidget(m_pServer, 1, 1);
    AddField(grid, 2, 0, QStringLiteral("Key:"), m_pKey);
    AddField(grid, 3, 0, QStringLiteral("Confirm Key:"), m_pConfirm);
    grid->addWidget(new QLabel(QStringLiteral("ReAuthEnabled")), 4, 0);
    grid->addWidget(m_pReAuth, 4, 1);
    AddField(grid, 0, 2, QStringLiteral("TxPeriod(1-65535 sec)"), m_pTx);
    AddField(grid, 1, 2, QStringLiteral("QuietPeriod(0-65535 sec)"), m_pQuiet);
    AddField(grid, 2, 2, QStringLiteral("SuppTimeout(1-65535 sec)"), m_pSupp);
    AddField(grid, 3, 2, QStringLiteral("ServerTimeout(1-65535 sec)"), m_pServerTimeout);
    AddField(grid, 4, 2, QStringLiteral("MaxReq(1-10)"), m_pMaxReq);
    AddField(grid, 5, 2, QStringLiteral("ReAuthPeriod(1-4294967295 sec)"), m_pReAuthPeriod);
    grid->setColumnMinimumWidth(1, 170);

    QPushButton* apply = NewButton(QStringLiteral("&Apply"), kIdApply);
    QPushButton* portSet = NewButton(QStringLiteral("&PortSet"), kIdPortSet);
    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdRefresh);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdClose);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {apply, portSet, refresh, close})
        buttons->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addWidget(m_pList, 1);
    resize(820, 520);

    connect(m_pEnable, &QCheckBox::toggled, this, &CDot1xPage::EnableFields);
    connect(apply, &QPushButton::clicked, this, &CDot1xPage::Apply);
    connect(portSet, &QPushButton::clicked, this, &CDot1xPage::OpenPortSet);
    connect(refresh, &QPushButton::clicked, this, &CDot1xPage::Load);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    EnableFields(false);
}

void CDot1xPage::OnInitDialog() {
    Load();
}

void CDot1xPage::EnableFields(bool on) {
    for (QWidget* field :
         std::initializer_list<QWidget*>{m_pServer, m_pKey, m_pConfirm, m_pTx, m_pQuiet, m_pReAuth,
                                         m_pSupp, m_pServerTimeout, m_pMaxReq, m_pReAuthPeriod})
        field->setEnabled(on);
}

void CDot1xPage::Load() {
    const auto global = ReadObjects(m_cCommonSNMP, GlobalOids());
    if (global) {
        m_pEnable->setChecked(global->Text(0).trimmed() == u"1");
        EnableFields(m_pEnable->isChecked());
        m_pServer->SetAddress(global->Text(1));
        m_pKey->setText(global->Text(2));
        m_pConfirm->setText(global->Text(2));
        m_pReAuth->setCurrentIndex(global->Text(3).trimmed() == u"1" ? 0 : 1);
        m_pQuiet->setText(global->Text(4));
        m_pTx->setText(global->Text(5));
        m_pSupp->setText(global->Text(6));
        m_pServerTimeout->setText(global->Text(7));
        m_pMaxReq->setText(global->Text(8));
        m_pReAuthPeriod->setText(global->Text(9));
    }
    const auto ports = WalkTable(m_cCommonSNMParg, {Dot1xOid::kPortControl, Dot1xOid::kPortStatus});
    FillPortRows(m_pList, ports.value_or(std::vector<SSnmpRow>{}), global);
}

void CDot1xPage::Apply() {
    std::vector<SSetVar> vars;
    if (!m_pEnable->isChecked()) {
        vars = {{Dot1xOid::kState, SnmpType::kInteger, QByteArray::number(kDisabled)}};
    } else {
        SDot1xGlobal in;
        in.server = m_pServer->Address();
        in.key = m_pKey->text();
        in.confirmKey = m_pConfirm->text();
        in.reAuthEntry = m_pReAuth->currentIndex();
        in.quietPeriod = m_pQuiet->text();
        in.txPeriod = m_pTx->text();
        in.suppTimeout = m_pSupp->text();
        in.serverTimeout = m_pServerTimeout->text();
        in.maxReq = m_pMaxReq->text();
        in.reAuthPeriod = m_pReAuthPeriod->text();
        const QString message = CheckDot1xGlobal(in, &vars);
        if (!message.isEmpty()) {
            ShowMessage(message, this);
            return;
        }
    }
    WriteObjects(m_cCommonSNMPSet, vars);
    // Refused or not: show what the switch holds.
    Load();
}

void CDot1xPage::OpenPortSet() {
    CDot1xPortPage ports(this);
    ports.exec();
    Load();
}

// ---- 802.1X Port Configuration ----

CDot1xPortPage::CDot1xPortPage(QWidget* parent)
    : CManagementPage(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPTableTrunkInfo(AddSession(QStringLiteral("m_cCommonSNMPTableTrunkInfo"))),
      m_cCommonSNMPTable(AddSession(QStringLiteral("m_cCommonSNMPTable"))),
      m_pFrom(new QComboBox(this)), m_pTo(new QComboBox(this)), m_pControl(new QComboBox(this)),
      m_pRange(new CPortRange(m_pFrom, m_pTo, this)), m_pList(new CListControl(this)) {
    setWindowTitle(QStringLiteral("802.1X Port Configuration"));
    SetControlId(m_pFrom, kIdFrom);
    SetControlId(m_pTo, kIdTo);
    SetControlId(m_pControl, kIdControl);
    m_pControl->addItems({QStringLiteral("ForceUnauthorized"), QStringLiteral("Auto"),
                          QStringLiteral("ForceAuthorized")});
    m_pRange->SetPorts(PortsUpTo(g_nPortNum));
    SetUpList(m_pList, kIdPortList);

    auto* fields = new QHBoxLayout;
    fields->addWidget(NewLabel(QStringLiteral("From Port:")));
    fields->addWidget(m_pFrom);
    fields->addWidget(NewLabel(QStringLiteral("To Port:")));
    fields->addWidget(m_pTo);
    fields->addWidget(NewLabel(QStringLiteral("Control:")));
    fields->addWidget(m_pControl);
    fields->addStretch();

    QPushButton* apply = NewButton(QStringLiteral("Apply"), kIdPortApply);
    QPushButton* cancel = NewButton(QStringLiteral("Cancel"), kIdCancel);
    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdPortRefresh);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {apply, refresh, cancel})
        buttons->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_pList, 1);
    layout->addLayout(buttons);
    resize(820, 480);

    connect(apply, &QPushButton::clicked, this, &CDot1xPortPage::Apply);
    connect(refresh, &QPushButton::clicked, this, &CDot1xPortPage::Load);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CDot1xPortPage::OnInitDialog() {
    Load();
}

void CDot1xPortPage::Load() {
    const int n = g_nPortNum;
    m_nLag = LoadLagOfPorts(m_cCommonSNMPTableTrunkInfo, n)
                 .value_or(std::vector<int>(static_cast<size_t>(std::max(n, 0)), 0));
    const auto ports =
        WalkTable(m_cCommonSNMPTable, {Dot1xOid::kPortControl, Dot1xOid::kPortStatus});
    const auto global = ReadObjects(m_cCommonSNMP, GlobalOids());
    m_nControl.assign(static_cast<size_t>(std::max(n, 0)), 0);
    for (const SSnmpRow& row : ports.value_or(std::vector<SSnmpRow>{})) {
        const int port = RowNumber(row);
        if (port >= 1 && port <= n)
            m_nControl[port - 1] = row.Text(0).trimmed().toInt();
    }
    FillPortRows(m_pList, ports.value_or(std::vector<SSnmpRow>{}), global);
}

void CDot1xPortPage::Apply() {
    const int from = m_pRange->From(), to = m_pRange->To();
    const int c = m_pControl->currentIndex() + 1;
    if (from < 1 || to < from)
        return;
    const QString message = CheckDot1xPorts(m_nControl, m_nLag, from, to, c, g_nPortNum);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return;
    }
    SetLoading(true);
    std::vector<int> applied(static_cast<size_t>(std::max(g_nPortNum, 0)), 0);
    std::vector<int> failed(applied.size(), 0);
    // Collect the switch's words on each refused batch as its outcome shows.
    QStringList contexts, failures;
    const QMetaObject::Connection watch =
        connect(this, &CPageBase::OutcomeShown, this, [&contexts, &failures](const QString& text) {
            const QString first = text.section(QStringLiteral(". "), 0, 0);
            for (const QString& context : contexts)
                if (text.startsWith(context) && !failures.contains(first))
                    failures << first;
        });
    for (int first = from; first <= to; first += kDot1xBatchPorts) {
        const int last = std::min(first + kDot1xBatchPorts - 1, to);
        SWriteStep step;
        step.name = QStringLiteral("ports %1-%2").arg(first).arg(last);
        for (int p = first; p <= last; ++p)
            step.vars.push_back(
                {CellOid(Dot1xOid::kPortControl, p), SnmpType::kInteger, QByteArray::number(c)});
        const QString context = QStringLiteral("Ports %1-%2:").arg(first).arg(last);
        // A refused batch does not stop the others.
        const bool ok = WriteSequence(m_cCommonSNMP, {step}, context) < 0;
        if (!ok)
            contexts << context;
        for (int p = first; p <= last; ++p)
            (ok ? applied : failed)[p - 1] = 1;
        if (last - first + 1 == kDot1xBatchPorts)
            PageWait(kDot1xBatchPauseMs);
    }
    Load();
    // The last batch's outcome arrives with the reload's: say it all after them.
    PageWait(CNotifyChannel::kPaceMs * 2);
    disconnect(watch);
    int appliedCount = 0, failedCount = 0;
    const QString appliedText = PortRangeText(applied, &appliedCount);
    const QString failedText = PortRangeText(failed, &failedCount);
    QString text;
    if (failedCount == 0)
        text = QStringLiteral("Applied to ports %1").arg(appliedText);
    else
        text = QStringLiteral("Not applied to ports %1%2")
                   .arg(failedText, appliedCount
                                        ? QStringLiteral(" (applied to ports %1)").arg(appliedText)
                                        : QString()) +
               (failures.isEmpty() ? QString() : QStringLiteral(". ") + failures.join(u"; "));
    SayAfterOutcomes(text);
    SetLoading(false);
}
