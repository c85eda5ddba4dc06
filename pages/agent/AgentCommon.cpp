#include "AgentCommon.h"

#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

QString AgentOid::TrapOid(int n) {
    return kBase + QStringLiteral(".8.%1.0").arg(n);
}

QString AgentOid::Column(const QString& table, int column) {
    return table + u'.' + QString::number(column);
}

QString NameIndex(const QString& name) {
    return TextToRowIndex(name.toLatin1());
}

QString GroupIndex(const QString& name, int model) {
    return NameIndex(name) + u'.' + QString::number(model);
}

QString ViewIndex(const QString& name, const QString& subtree) {
    const QString tree = NormalisedSubtree(subtree);
    return NameIndex(name) + u'.' + QString::number(tree.count(u'.') + 1) + u'.' + tree;
}

QString NormalisedSubtree(const QString& text) {
    QString tree = text.trimmed();
    if (tree.startsWith(u'.'))
        tree.remove(0, 1);
    const QStringList arcs = tree.split(u'.');
    if (tree.isEmpty() || arcs.size() > 64)
        return {};
    for (const QString& arc : arcs) {
        bool ok = false;
        arc.toULongLong(&ok);
        if (!ok || arc.isEmpty() || arc.size() > 10 || arc.toULongLong() > 4294967295ULL ||
            !arc.front().isDigit())
            return {};
    }
    return tree;
}

namespace {

QString Pick(int value, std::initializer_list<const char*> texts) {
    int i = 1;
    for (const char* text : texts)
        if (i++ == value)
            return QString::fromLatin1(text);
    return QString::number(value);
}

// Printable ASCII that the name check lets through.
bool IsAgentName(const QString& text) {
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    return IsValidName(text);
}

QString TooLong(const QString& what) {
    return QStringLiteral("Max. %1 length is %2.").arg(what).arg(kMaxNameLength);
}

} // namespace

QString UserVersionText(int value) {
    return Pick(value, {"V1", "V2c", "V3"});
}
QString AuthProtocolText(int value) {
    return Pick(value, {"None", "MD5", "SHA"});
}
QString PrivProtocolText(int value) {
    // 4: AES-128, which users given at the switch's start may carry.
    return Pick(value, {"None", "DES_CBC", "3", "AES"});
}
QString ModelText(int value) {
    return Pick(value, {"v1", "v2c", "v3"});
}
QString LevelText(int value) {
    return Pick(value, {"NoAuthNoPriv", "AuthNoPriv", "AuthPriv"});
}
QString ViewTypeText(int value) {
    return Pick(value, {"Included", "Excluded"});
}
QString HostVersionText(int value) {
    return Pick(value, {"V1", "V2c", "V3-NoAuthNoPriv", "V3-AuthNoPriv", "V3-AuthPriv"});
}

QString CheckUserEntry(const SUserEntry& e, const std::vector<std::pair<QString, int>>& listed) {
    if (e.name.isEmpty())
        return QStringLiteral("Please enter valid User Name ");
    if (!IsAgentName(e.name))
        return QStringLiteral("Invalid User Name .");
    if (e.name.size() > kMaxNameLength)
        return TooLong(QStringLiteral("User Name"));
    if (e.group.isEmpty())
        return QStringLiteral("Please enter valid Group Name ");
    if (!IsAgentName(e.group))
        return QStringLiteral("Invalid Group Name.");
    if (e.group.size() > kMaxNameLength)
        return TooLong(QStringLiteral("Group Name"));
    for (const auto& [name, version] : listed)
        if (name == e.name && version == e.version)
            return QStringLiteral("This User Entry already exists.");
    if (listed.size() >= kMaxUsers)
        return QStringLiteral("Maximum number of User Entry is 50.");
    if (!e.encrypted)
        return {};
    const QString protocol = e.auth == 2 ? QStringLiteral("MD5") : QStringLiteral("SHA");
    if (e.authPassword.isEmpty())
        return QStringLiteral("Auth-Protocol Password can't be empty.");
    if (e.auth == 2 && e.authPassword.size() > 32)
        return QStringLiteral(" MD5 Max. Password length is 32.");
    if (e.auth == 3 && e.authPassword.size() > 40)
        return QStringLiteral(" SHA Max. Password length is 40.");
    // USM makes no key of a shorter password (RFC 3414), so the switch refuses it.
    if (e.authPassword.size() < 8)
        return QStringLiteral(" %1 Min. Password length is 8.").arg(protocol);
    if (e.priv != 2)
        return {};
    if (e.privPassword.isEmpty())
        return QStringLiteral("Priv-Protocol Password can't be empty.");
    if (e.privPassword.size() > 32)
        return QStringLiteral(" DES Max. Password length is 32.");
    if (e.privPassword.size() < 8)
        return QStringLiteral(" DES Min. Password length is 8.");
    return {};
}

QString CheckGroupEntry(const QString& name, int model, const QStringList& views,
                        const std::vector<std::pair<QString, int>>& listed) {
    if (name.isEmpty())
        return QStringLiteral("Please enter valid group name!");
    if (!IsAgentName(name))
        return QStringLiteral("Invalid Group Name.");
    if (name.size() > kMaxNameLength)
        return TooLong(QStringLiteral("Group Name"));
    for (const QString& view : views)
        if (view.size() > kMaxNameLength || !IsAgentName(view))
            return QStringLiteral("Invalid View Name.");
    for (const auto& [listedName, listedModel] : listed)
        if (listedName == name && listedModel == model)
            return QStringLiteral("This Group Entry already exists.");
    if (listed.size() >= kMaxGroups)
        return QStringLiteral("Maximum number of Group Entry is 50.");
    return {};
}

QString CheckViewEntry(const QString& name, const QString& subtree, const QString& mask,
                       const std::vector<std::pair<QString, QString>>& listed) {
    if (name.isEmpty())
        return QStringLiteral("Please enter valid view name.");
    if (!IsAgentName(name) || name.size() > kMaxNameLength)
        return QStringLiteral("Invalid View Name.");
    if (subtree.trimmed().isEmpty())
        return QStringLiteral("Please enter valid subtree OID");
    const QString tree = NormalisedSubtree(subtree);
    if (tree.isEmpty())
        return QStringLiteral("Please enter valid subtree OID .");
    static const QRegularExpression bits(QStringLiteral("^[01]+$"));
    if (!bits.match(mask).hasMatch())
        return QStringLiteral("Please enter valid OID Mask.");
    if (mask.size() > tree.count(u'.') + 1)
        return QStringLiteral("Invalid  OID length");
    for (const auto& [listedName, listedTree] : listed)
        if (listedName == name && listedTree == tree)
            return QStringLiteral("This View Entry already exist.");
    if (listed.size() >= kMaxViews)
        return QStringLiteral("Maximum number of View Entry is 50.");
    return {};
}

QString CheckCommunityEntry(const QString& name, const QStringList& listed) {
    if (name.isEmpty())
        return QStringLiteral("Please enter valid Community Name !");
    if (!IsAgentName(name))
        return QStringLiteral("Invalid Community Name.");
    if (name.size() > kMaxNameLength)
        return TooLong(QStringLiteral("Community Name"));
    if (listed.contains(name))
        return QStringLiteral("This Community Entry already exists.");
    if (listed.size() >= kMaxCommunities)
        return QStringLiteral("Maximum number of Community Entry is 10.");
    return {};
}

QString CheckHostEntry(const QString& address, const QString& community,
                       const QStringList& listed) {
    const QStringList parts = address.split(u'.');
    bool valid = parts.size() == 4 && address != u"0.0.0.0";
    for (const QString& part : parts) {
        bool ok = false;
        const int value = part.toInt(&ok);
        valid = valid && ok && value >= 0 && value <= 255;
    }
    if (!valid)
        return QStringLiteral("Invalid Host IP.");
    if (listed.contains(address))
        return QStringLiteral("This IP Address has used,please enter other IP Address");
    if (community.isEmpty())
        return QStringLiteral("The Community String or SNMPv3 User Name can not be empty.");
    if (!IsAgentName(community))
        return QStringLiteral("Invalid Community String/SNMPv3 User Name. ");
    if (community.size() > kMaxNameLength)
        return TooLong(QStringLiteral("Community String/SNMPv3 User Name"));
    if (listed.size() >= kMaxHosts)
        return QStringLiteral("Maximum number of Host Entry is 10.");
    return {};
}

QString CheckEngineId(const QString& text) {
    if (text.size() < 10 || text.size() > 64)
        return QStringLiteral("ID length is 10-64");
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]+$"));
    if (!hex.match(text).hasMatch())
        return QStringLiteral("the accepted character is from 0 to F");
    return {};
}

QByteArray EngineIdBytes(const QString& text) {
    const QString even = text.size() % 2 ? u'0' + text : text;
    return QByteArray::fromHex(even.toLatin1());
}

// ---- back-end ----

CAgentBackEnd::CAgentBackEnd()
    : m_cCommonSNMPGetUse(AddSession(QStringLiteral("m_cCommonSNMPGetUse"))) {}

void CAgentBackEnd::LoadTable(const QStringList& columns) {
    SWalkSpec walk;
    walk.columns = columns;
    walk.rowCode = AgentReport::kRow;
    walk.finishedCode = AgentReport::kFinished;
    walk.minValues = 1;
    StartWalk(m_cCommonSNMPTable, Channel(), walk);
}

std::optional<SSnmpRow> CAgentBackEnd::ReadScalars(const QStringList& oids) {
    return ReadObjects(m_cCommonSNMP, oids);
}

int CAgentBackEnd::WriteScalars(const std::vector<SSetVar>& vars) {
    const int result = WriteObjects(m_cCommonSNMPSet, vars);
    NotifyMarker(AgentReport::kWriteFinished, kWriteFinished);
    return result;
}

int CAgentBackEnd::CreateRow(const QString& statusOid, const std::vector<SWriteStep>& columns) {
    auto status = [&](const QString& name, int value) {
        return SWriteStep{name, {{statusOid, SnmpType::kInteger, QByteArray::number(value)}}};
    };
    std::vector<SWriteStep> steps{
        status(QStringLiteral("createAndWait"), RowStatus::kCreateAndWait)};
    steps.insert(steps.end(), columns.begin(), columns.end());
    steps.push_back(status(QStringLiteral("active"), RowStatus::kActive));
    // A row the switch did not take whole stays as it is (listed, to be
    // deleted): a destroy here would put its "Applied" over the refusal.
    const int failed = WriteSequence(m_cCommonSNMPSet, steps);
    NotifyMarker(AgentReport::kWriteFinished, kWriteFinished);
    return failed;
}

int CAgentBackEnd::SetRowStatus(const QString& statusOid, int value) {
    if (value != RowStatus::kActive && value != RowStatus::kCreateAndWait &&
        value != RowStatus::kDestroy) {
        ShowMessage(QStringLiteral("error istatus value!"), Owner());
        return -1;
    }
    const int result = WriteObjects(m_cCommonSNMPSet,
                                    {{statusOid, SnmpType::kInteger, QByteArray::number(value)}});
    NotifyMarker(AgentReport::kWriteFinished, kWriteFinished);
    return result;
}

QStringList CAgentBackEnd::ReadColumn(const QString& column) {
    QStringList texts;
    if (const auto rows = WalkTable(m_cCommonSNMPGetUse, {column}))
        for (const SSnmpRow& row : *rows)
            texts << row.Text(0);
    return texts;
}

// ---- table pages ----

CAgentTablePage::CAgentTablePage(const QString& title, const QString& table, int statusColumn,
                                 const QList<int>& columns, const QStringList& headings,
                                 const QString& deleteMessage, QWidget* parent)
    : CPageBase(parent), m_strTable(table), m_nStatusColumn(statusColumn),
      m_strDeleteMessage(deleteMessage), m_pList(new CListControl(this)), m_pForm(new QFormLayout),
      m_pApply(NewButton(QStringLiteral("&Apply"), kIdApply)) {
    setWindowTitle(title);
    AttachBackEnd(m_backEnd);
    for (int column : columns)
        m_columns << Cell(column);
    SetControlId(m_pList, kIdList);
    for (const QString& heading : headings)
        m_pList->AddColumn(heading);
    m_pList->horizontalHeader()->setStretchLastSection(true);

    auto* listButtons = new QHBoxLayout;
    listButtons->addStretch();
    for (auto [text, id] :
         {std::pair{"&Delete", kIdDelete}, {"&Refresh", kIdRefresh}, {"&Close", kIdClose}})
        listButtons->addWidget(NewButton(QString::fromLatin1(text), id));
    auto* left = new QVBoxLayout;
    left->addWidget(m_pList, 1);
    left->addLayout(listButtons);

    auto* entry = new QGroupBox(QStringLiteral("Entry"), this);
    auto* entryLayout = new QVBoxLayout(entry);
    entryLayout->addLayout(m_pForm);
    entryLayout->addStretch();
    auto* entryButtons = new QHBoxLayout;
    QPushButton* add = NewButton(QStringLiteral("&Add"), kIdAdd);
    QPushButton* cancel = NewButton(QStringLiteral("&Cancel"), kIdCancel);
    entryButtons->addWidget(add);
    entryButtons->addWidget(m_pApply);
    entryButtons->addWidget(cancel);
    entryLayout->addLayout(entryButtons);

    auto* sides = new QHBoxLayout;
    sides->addLayout(left, 3);
    sides->addWidget(entry, 2);
    // Vertical at the top, so that the outcome line goes below both.
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sides);
    resize(860, 400);

    connect(add, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(m_pApply, &QPushButton::clicked, this, [this] { Apply(); });
    connect(cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
    connect(Control<QPushButton>(kIdDelete), &QPushButton::clicked, this, [this] { Delete(); });
    connect(Control<QPushButton>(kIdRefresh), &QPushButton::clicked, this, [this] { Refresh(); });
    connect(Control<QPushButton>(kIdClose), &QPushButton::clicked, this, &QDialog::reject);
}

void CAgentTablePage::OnInitDialog() {
    if (m_backEnd.SetOwner(this))
        Refresh();
}

void CAgentTablePage::Refresh() {
    m_pList->DeleteAllItems();
    m_suffixes.clear();
    m_backEnd.LoadTable(m_columns);
}

void CAgentTablePage::OnSnmpNotify(const SSnmpReport& report) {
    if (report.code == AgentReport::kRow) {
        m_pList->AppendRow(RowTexts(report.row));
        m_suffixes.push_back(report.row.suffix);
    } else if (report.code == AgentReport::kWriteFinished) {
        Refresh();
    }
}

QString CAgentTablePage::ListText(int row, int column) const {
    return m_pList->ItemText(row, column);
}

int CAgentTablePage::RowCount() const {
    return m_pList->ItemCount();
}

bool CAgentTablePage::Apply() {
    const QString message = CheckEntry();
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    if (m_backEnd.CreateRow(Cell(m_nStatusColumn) + u'.' + EntryIndex(), EntryWrites()) < 0)
        ClearEntry();
    return true;
}

bool CAgentTablePage::Delete() {
    const int row = m_pList->SelectedRow();
    if (row < 0 || row >= static_cast<int>(m_suffixes.size())) {
        ShowMessage(m_strDeleteMessage, this);
        return false;
    }
    m_backEnd.SetRowStatus(Cell(m_nStatusColumn) + u'.' + m_suffixes[row], RowStatus::kDestroy);
    return true;
}
