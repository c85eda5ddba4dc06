// The five table pages of the switch's SNMP agent: users, groups, views,
// communities and trap hosts. Layout and flow are CAgentTablePage's; each
// page adds its entry fields, its list texts, its checks and its row writes.
#include "AgentPages.h"

#include "platform/IpAddressEdit.h"
#include "platform/ListControl.h"
#include "snmp/Encodings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

int IntAt(const SSnmpRow& row, int i) {
    return row.Text(i).toInt();
}

SSetVar Int(const QString& oid, int value) {
    return {oid, SnmpType::kInteger, QByteArray::number(value)};
}

SSetVar Text(const QString& oid, const QString& text) {
    return {oid, SnmpType::kOctetString, text.toLatin1()};
}

QComboBox* NewCombo(CPageBase& page, int id, const QStringList& items) {
    auto* combo = new QComboBox(&page);
    combo->addItems(items);
    CPageBase::SetControlId(combo, id);
    return combo;
}

// The value of an enumeration text of the list, 0 when unknown.
int ValueOf(const QString& text, const std::function<QString(int)>& textOf) {
    for (int value = 1; value <= 5; ++value)
        if (textOf(value) == text)
            return value;
    return 0;
}

} // namespace

// ---- users ----

CUserTablePage::CUserTablePage(QWidget* parent)
    : CAgentTablePage(QStringLiteral("SNMP User Table "), AgentOid::kUser, 8, {1, 2, 3, 4, 6},
                      {QStringLiteral("User Name"), QStringLiteral("Group Name"),
                       QStringLiteral("SNMP Version"), QStringLiteral("Auth Protocol"),
                       QStringLiteral("Priv-Protocol")},
                      QStringLiteral("Please select the item would be delete!\n"), parent),
      m_pName(NewEdit(kIdName, kMaxNameLength)), m_pGroup(NewEdit(kIdGroup, kMaxNameLength)),
      m_pVersion(NewCombo(*this, kIdVersion, {"V1", "V2c", "V3"})),
      m_pEncrypted(new QCheckBox(QStringLiteral("encrypted"), this)),
      m_pAuth(NewCombo(*this, kIdAuth, {"MD5", "SHA"})), m_pAuthPassword(NewEdit(kIdAuthPassword)),
      m_pPriv(NewCombo(*this, kIdPriv, {"DES", "None"})),
      m_pPrivPassword(NewEdit(kIdPrivPassword)) {
    SetControlId(m_pEncrypted, kIdEncrypted);
    Form()->addRow(QStringLiteral("User Name"), m_pName);
    Form()->addRow(QStringLiteral("Group Name"), m_pGroup);
    Form()->addRow(QStringLiteral("SNMP Version"), m_pVersion);
    Form()->addRow(QString(), m_pEncrypted);
    Form()->addRow(QStringLiteral("Auth-Protocol"), m_pAuth);
    Form()->addRow(QStringLiteral("Password"), m_pAuthPassword);
    Form()->addRow(QStringLiteral("Priv-Protocol"), m_pPriv);
    Form()->addRow(QStringLiteral("Password"), m_pPrivPassword);
    connect(m_pVersion, &QComboBox::currentIndexChanged, this, [this] { UpdateEnabling(); });
    connect(m_pEncrypted, &QCheckBox::toggled, this, [this] { UpdateEnabling(); });
    connect(m_pPriv, &QComboBox::currentIndexChanged, this, [this] { UpdateEnabling(); });
    UpdateEnabling();
}

void CUserTablePage::UpdateEnabling() {
    const bool v3 = m_pVersion->currentIndex() == 2;
    // Another version takes no protocols: the box is cleared, not only greyed.
    if (!v3)
        m_pEncrypted->setChecked(false);
    m_pEncrypted->setEnabled(v3);
    const bool encrypted = v3 && m_pEncrypted->isChecked();
    m_pAuth->setEnabled(encrypted);
    m_pAuthPassword->setEnabled(encrypted);
    m_pPriv->setEnabled(encrypted);
    m_pPrivPassword->setEnabled(encrypted && m_pPriv->currentIndex() == 0);
}

SUserEntry CUserTablePage::Entry() const {
    SUserEntry e;
    e.name = m_pName->text();
    e.group = m_pGroup->text();
    e.version = m_pVersion->currentIndex() + 1;
    e.encrypted = m_pVersion->currentIndex() == 2 && m_pEncrypted->isChecked();
    e.auth = m_pAuth->currentIndex() == 0 ? 2 : 3;
    e.authPassword = m_pAuthPassword->text();
    e.priv = m_pPriv->currentIndex() == 0 ? 2 : 1;
    e.privPassword = m_pPrivPassword->text();
    return e;
}

QStringList CUserTablePage::RowTexts(const SSnmpRow& row) const {
    return {row.Text(0), row.Text(1), UserVersionText(IntAt(row, 2)),
            AuthProtocolText(IntAt(row, 3)), PrivProtocolText(IntAt(row, 4))};
}

QString CUserTablePage::CheckEntry() const {
    std::vector<std::pair<QString, int>> listed;
    for (int r = 0; r < RowCount(); ++r)
        listed.emplace_back(ListText(r, 0), ValueOf(ListText(r, 2), UserVersionText));
    const SUserEntry e = Entry();
    const QString message = CheckUserEntry(e, listed);
    // The password at fault gets the focus, its text selected.
    if (message.contains(QStringLiteral("Password length"))) {
        QLineEdit* field =
            message.startsWith(QStringLiteral(" DES")) ? m_pPrivPassword : m_pAuthPassword;
        field->setFocus();
        field->selectAll();
    }
    return message;
}

QString CUserTablePage::EntryIndex() const {
    return NameIndex(m_pName->text());
}

std::vector<SWriteStep> CUserTablePage::EntryWrites() const {
    const SUserEntry e = Entry();
    const int auth = e.encrypted ? e.auth : 1;
    const int priv = e.encrypted ? e.priv : 1;
    const QString index = u'.' + EntryIndex();
    std::vector<SWriteStep> steps{
        {QStringLiteral("SNMP version and group"),
         {Int(Cell(3) + index, e.version), Text(Cell(2) + index, e.group)}}};
    if (e.version == 3)
        steps.push_back({QStringLiteral("protocols"),
                         {Int(Cell(4) + index, auth), Int(Cell(6) + index, priv)}});
    steps.push_back({QStringLiteral("passwords"),
                     {Text(Cell(5) + index, auth == 1 ? QString() : e.authPassword),
                      Text(Cell(7) + index, priv == 1 ? QString() : e.privPassword)}});
    return steps;
}

void CUserTablePage::ClearEntry() {
    for (QLineEdit* edit : {m_pName, m_pGroup, m_pAuthPassword, m_pPrivPassword})
        edit->clear();
    m_pEncrypted->setChecked(false);
}

// ---- groups ----

CGroupTablePage::CGroupTablePage(QWidget* parent)
    : CAgentTablePage(QStringLiteral("SNMP Group Table Info"), AgentOid::kGroup, 7, {1, 2, 3, 4, 5, 6},
                      {QStringLiteral("Group Name"), QStringLiteral("Read View"),
                       QStringLiteral("Write View"), QStringLiteral("Notify View"),
                       QStringLiteral("Security Model"), QStringLiteral("Security Level")},
                      QStringLiteral("Please select the item would be delete!\n"), parent),
      m_pName(NewEdit(kIdName, kMaxNameLength)), m_pViews{NewEdit(kIdReadView, kMaxNameLength),
                                                          NewEdit(kIdWriteView, kMaxNameLength),
                                                          NewEdit(kIdNotifyView, kMaxNameLength)},
      m_pModel(NewCombo(*this, kIdModel, {"v1", "v2c", "v3"})),
      m_pLevel(NewCombo(*this, kIdLevel, {"NoAuthNoPriv", "AuthNoPriv", "AuthPriv"})) {
    Form()->addRow(QStringLiteral("Group Name"), m_pName);
    Form()->addRow(QStringLiteral("Read View Name "), m_pViews[0]);
    Form()->addRow(QStringLiteral("Write View Name"), m_pViews[1]);
    Form()->addRow(QStringLiteral("Notify View Name "), m_pViews[2]);
    Form()->addRow(QStringLiteral("Security Model"), m_pModel);
    Form()->addRow(QStringLiteral("Security Level"), m_pLevel);
}

QStringList CGroupTablePage::RowTexts(const SSnmpRow& row) const {
    return {row.Text(0),
            row.Text(1),
            row.Text(2),
            row.Text(3),
            ModelText(IntAt(row, 4)),
            LevelText(IntAt(row, 5))};
}

QString CGroupTablePage::CheckEntry() const {
    std::vector<std::pair<QString, int>> listed;
    for (int r = 0; r < RowCount(); ++r)
        listed.emplace_back(ListText(r, 0), ValueOf(ListText(r, 4), ModelText));
    QStringList views;
    for (const QLineEdit* view : m_pViews)
        views << view->text();
    return CheckGroupEntry(m_pName->text(), m_pModel->currentIndex() + 1, views, listed);
}

QString CGroupTablePage::EntryIndex() const {
    return GroupIndex(m_pName->text(), m_pModel->currentIndex() + 1);
}

std::vector<SWriteStep> CGroupTablePage::EntryWrites() const {
    const QString index = u'.' + EntryIndex();
    return {
        {QStringLiteral("views and security level"),
         {Text(Cell(2) + index, m_pViews[0]->text()), Text(Cell(3) + index, m_pViews[1]->text()),
          Text(Cell(4) + index, m_pViews[2]->text()),
          Int(Cell(6) + index, m_pLevel->currentIndex() + 1)}}};
}

void CGroupTablePage::ClearEntry() {
    m_pName->clear();
    for (QLineEdit* view : m_pViews)
        view->clear();
}

// ---- views ----

CViewTablePage::CViewTablePage(QWidget* parent)
    : CAgentTablePage(QStringLiteral("SNMP View Table Configuration"), AgentOid::kView, 5, {1, 2, 3, 4},
                      {QStringLiteral("View Name"), QStringLiteral("Subtree OID"),
                       QStringLiteral("OID Mask"), QStringLiteral("View Type")},
                      QStringLiteral("Please Selecte the Item you would delete"), parent),
      m_pName(NewEdit(kIdName, kMaxNameLength)), m_pSubtree(NewEdit(kIdSubtree)),
      m_pMask(NewEdit(kIdMask, 64)), m_pType(NewCombo(*this, kIdType, {"Included", "Excluded"})) {
    Form()->addRow(QStringLiteral("View Name "), m_pName);
    Form()->addRow(QStringLiteral("Subtree OID "), m_pSubtree);
    Form()->addRow(QStringLiteral("OID Mask "), m_pMask);
    Form()->addRow(QStringLiteral("View Type"), m_pType);
}

QStringList CViewTablePage::RowTexts(const SSnmpRow& row) const {
    return {row.Text(0), NormalisedSubtree(row.Text(1)), row.Text(2), ViewTypeText(IntAt(row, 3))};
}

QString CViewTablePage::CheckEntry() const {
    std::vector<std::pair<QString, QString>> listed;
    for (int r = 0; r < RowCount(); ++r)
        listed.emplace_back(ListText(r, 0), ListText(r, 1));
    return CheckViewEntry(m_pName->text(), m_pSubtree->text(), m_pMask->text(), listed);
}

QString CViewTablePage::EntryIndex() const {
    return ViewIndex(m_pName->text(), m_pSubtree->text());
}

std::vector<SWriteStep> CViewTablePage::EntryWrites() const {
    const QString index = u'.' + EntryIndex();
    return {{QStringLiteral("mask and view type"),
             {Text(Cell(3) + index, m_pMask->text()),
              Int(Cell(4) + index, m_pType->currentIndex() + 1)}}};
}

void CViewTablePage::ClearEntry() {
    for (QLineEdit* edit : {m_pName, m_pSubtree, m_pMask})
        edit->clear();
}

// ---- communities ----

CCommunityTablePage::CCommunityTablePage(QWidget* parent)
    : CAgentTablePage(QStringLiteral("SNMP Community Table Configuration"), AgentOid::kCommunity, 3, {1, 2},
                      {QStringLiteral("Community Name"), QStringLiteral("User Name")},
                      QStringLiteral("Please select the item would be delete!\n"), parent),
      m_pName(NewEdit(kIdName, kMaxNameLength)), m_pUser(NewCombo(*this, kIdUser, {})) {
    Form()->addRow(QStringLiteral("Community Name "), m_pName);
    Form()->addRow(QStringLiteral("User Name (View Policy)"), m_pUser);
    ApplyButton()->setEnabled(false);
}

void CCommunityTablePage::OnInitDialog() {
    CAgentTablePage::OnInitDialog();
    // The view policies to choose from: the switch's users.
    m_pUser->addItems(m_backEnd.ReadColumn(AgentOid::Column(AgentOid::kUser, 1)));
}

void CCommunityTablePage::OnAdd() {
    ApplyButton()->setEnabled(true);
}

void CCommunityTablePage::OnCancel() {
    ClearEntry();
    Refresh();
}

QStringList CCommunityTablePage::RowTexts(const SSnmpRow& row) const {
    return {row.Text(0), row.Text(1)};
}

QString CCommunityTablePage::CheckEntry() const {
    QStringList listed;
    for (int r = 0; r < RowCount(); ++r)
        listed << ListText(r, 0);
    return CheckCommunityEntry(m_pName->text(), listed);
}

QString CCommunityTablePage::EntryIndex() const {
    return NameIndex(m_pName->text());
}

std::vector<SWriteStep> CCommunityTablePage::EntryWrites() const {
    return {{QStringLiteral("user name"),
             {Text(Cell(2) + u'.' + EntryIndex(), m_pUser->currentText())}}};
}

void CCommunityTablePage::ClearEntry() {
    m_pName->clear();
    ApplyButton()->setEnabled(false);
}

// ---- trap hosts ----

CHostTablePage::CHostTablePage(QWidget* parent)
    : CAgentTablePage(QStringLiteral("SNMP Host Table"), AgentOid::kHost, 4, {1, 2, 3},
                      {QStringLiteral("Host IP Address"), QStringLiteral("SNMP Version"),
                       QStringLiteral("Community Name/SNMPv3 User Name ")},
                      QStringLiteral("Please Selecte the Item you would delete"), parent),
      m_pAddress(new CIpAddressEdit(this)),
      m_pVersion(NewCombo(*this, kIdVersion,
                          {"V1", "V2c", "V3-NoAuthNoPriv", "V3-AuthNoPriv", "V3-AuthPriv"})),
      m_pCommunity(NewEdit(kIdCommunity, kMaxNameLength)) {
    SetControlId(m_pAddress, kIdAddress);
    Form()->addRow(QStringLiteral("Host IP Adress"), m_pAddress);
    Form()->addRow(QStringLiteral("SNMP Version"), m_pVersion);
    Form()->addRow(QStringLiteral("Community String/SNMPv3 User Name"), m_pCommunity);
}

QStringList CHostTablePage::RowTexts(const SSnmpRow& row) const {
    return {row.Text(0), HostVersionText(IntAt(row, 1)), row.Text(2)};
}

QString CHostTablePage::CheckEntry() const {
    QStringList listed;
    for (int r = 0; r < RowCount(); ++r)
        listed << ListText(r, 0);
    const QString address =
        m_pAddress->IsBlank() ? QStringLiteral("0.0.0.0") : m_pAddress->Address();
    return CheckHostEntry(address, m_pCommunity->text(), listed);
}

QString CHostTablePage::EntryIndex() const {
    return m_pAddress->Address();
}

std::vector<SWriteStep> CHostTablePage::EntryWrites() const {
    const QString index = u'.' + EntryIndex();
    return {{QStringLiteral("version and community"),
             {Int(Cell(2) + index, m_pVersion->currentIndex() + 1),
              Text(Cell(3) + index, m_pCommunity->text())}}};
}

void CHostTablePage::ClearEntry() {
    m_pAddress->ClearAddress();
    m_pCommunity->clear();
}
