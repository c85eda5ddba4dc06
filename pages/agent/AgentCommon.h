#pragma once

// What the SNMP agent pages share: the objects, the row indexes, the checks
// (plain functions returning the message to show, empty when all pass), the
// agent-settings back-end and the one layout and flow of the five table pages.

#include "snmp/PageBase.h"

#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

class CListControl;
class QFormLayout;
class QPushButton;

namespace AgentOid {
inline const QString kBase = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.25");
inline const QString kGlobalState = kBase + QStringLiteral(".1.0");
inline const QString kUser = kBase + QStringLiteral(".2.1.1");
inline const QString kGroup = kBase + QStringLiteral(".3.1.1");
inline const QString kView = kBase + QStringLiteral(".4.1.1");
inline const QString kCommunity = kBase + QStringLiteral(".5.1.1");
inline const QString kHost = kBase + QStringLiteral(".6.1.1");
inline const QString kEngineId = kBase + QStringLiteral(".7.0");
// Trap switch n (1 to 8).
QString TrapOid(int n);
// "<table>.<column>".
QString Column(const QString& table, int column);
} // namespace AgentOid

constexpr int kMaxUsers = 50;
constexpr int kMaxGroups = 50;
constexpr int kMaxViews = 50;
constexpr int kMaxCommunities = 10;
constexpr int kMaxHosts = 10;
// Names, view names and host communities the switch keeps.
constexpr int kMaxNameLength = 32;

// Row indexes: a text as its length and character codes; a group adds its
// security model; a view adds the subtree's length and the subtree.
QString NameIndex(const QString& name);
QString GroupIndex(const QString& name, int model);
QString ViewIndex(const QString& name, const QString& subtree);
// The dotted subtree without a leading "."; empty when malformed (at most 64
// sub-identifiers of 0 to 4294967295).
QString NormalisedSubtree(const QString& text);

// Enumeration texts as the lists show them.
QString UserVersionText(int value);
QString AuthProtocolText(int value);
QString PrivProtocolText(int value);
QString ModelText(int value);
QString LevelText(int value);
QString ViewTypeText(int value);
QString HostVersionText(int value);

// A user entry as typed; protocols as the switch takes them (1 None).
struct SUserEntry {
    QString name;
    QString group;
    int version = 3; // 1 V1, 2 V2c, 3 V3
    bool encrypted = false;
    int auth = 2; // 2 MD5, 3 SHA
    QString authPassword;
    int priv = 2; // 1 None, 2 DES
    QString privPassword;
};
// listed: (user name, version) of every listed row.
QString CheckUserEntry(const SUserEntry& entry, const std::vector<std::pair<QString, int>>& listed);
QString CheckGroupEntry(const QString& name, int model, const QStringList& views,
                        const std::vector<std::pair<QString, int>>& listed);
// listed: (view name, normalised subtree).
QString CheckViewEntry(const QString& name, const QString& subtree, const QString& mask,
                       const std::vector<std::pair<QString, QString>>& listed);
QString CheckCommunityEntry(const QString& name, const QStringList& listed);
// address: dotted text, empty when the control is blank.
QString CheckHostEntry(const QString& address, const QString& community, const QStringList& listed);
QString CheckEngineId(const QString& text);
// The octets of an engine ID text (an odd count of digits gets a leading "0").
QByteArray EngineIdBytes(const QString& text);
// The engine ID "&Default" sends: RFC 3411 text format, enterprise 32473, "NS".
inline const QString kDefaultEngineId = QStringLiteral("80007ed9044e53");

// Report codes of the agent-settings back-end.
namespace AgentReport {
constexpr int kRow = 0;
constexpr int kFinished = 1;
constexpr int kWriteFinished = 3;
} // namespace AgentReport

// The agent-settings back-end of the eight pages: four sessions (closed in
// the order m_cCommonSNMP, m_cCommonSNMPSet, m_cCommonSNMPTable,
// m_cCommonSNMPGetUse), table walks reported to the page, scalar reads and
// writes, row creation and row status writes.
class CAgentBackEnd : public CFeatureBackEnd {
public:
    CAgentBackEnd();

    void LoadTable(const QStringList& columns);
    std::optional<SSnmpRow> ReadScalars(const QStringList& oids);
    // One SET of the scalars, then "WriteFinished".
    int WriteScalars(const std::vector<SSetVar>& vars);
    // createAndWait, the column SETs in order, then active; "WriteFinished".
    // -1 when every step was taken, else the index of the refused step.
    int CreateRow(const QString& statusOid, const std::vector<SWriteStep>& columns);
    // Row status 1, 5 or 6 only; any other value shows "error istatus value!".
    int SetRowStatus(const QString& statusOid, int value);
    // A walk of one column on the session kept for lookups (user names).
    QStringList ReadColumn(const QString& column);

private:
    CCommonSNMP& m_cCommonSNMPGetUse;
};

// The five table pages: the list with "&Delete", "&Refresh" and "&Close",
// beside it the entry fields with "&Add", "&Apply" and "&Cancel".
class CAgentTablePage : public CPageBase {
public:
    // Control ids of the shared layout.
    enum Id {
        kIdList = 3101,
        kIdAdd = 3102,
        kIdApply = 3103,
        kIdCancel = 3104,
        kIdDelete = 3105,
        kIdRefresh = 3106,
        kIdClose = 2
    };

    void Refresh();
    // Checks, then creates the row; false when a check refused it.
    bool Apply();
    bool Delete();
    CListControl* List() const { return m_pList; }

protected:
    // table: the entry OID; statusColumn: its row status column; columns:
    // the walked columns (list columns in order).
    CAgentTablePage(const QString& title, const QString& table, int statusColumn,
                    const QList<int>& columns, const QStringList& headings,
                    const QString& deleteMessage, QWidget* parent);

    // The list texts of a row.
    virtual QStringList RowTexts(const SSnmpRow& row) const = 0;
    // The first failed check's message, else empty.
    virtual QString CheckEntry() const = 0;
    // The new row's index and its column SETs.
    virtual QString EntryIndex() const = 0;
    virtual std::vector<SWriteStep> EntryWrites() const = 0;
    virtual void ClearEntry() = 0;
    virtual void OnAdd() {}
    virtual void OnCancel() { ClearEntry(); }

    void OnInitDialog() override;
    void OnSnmpNotify(const SSnmpReport& report) override;

    QString Cell(int column) const { return AgentOid::Column(m_strTable, column); }
    QFormLayout* Form() const { return m_pForm; }
    QPushButton* ApplyButton() const { return m_pApply; }
    QString ListText(int row, int column) const;
    int RowCount() const;

    CAgentBackEnd m_backEnd;

private:
    QString m_strTable;
    int m_nStatusColumn;
    QStringList m_columns;
    QString m_strDeleteMessage;
    std::vector<QString> m_suffixes; // row index per list row
    CListControl* m_pList;
    QFormLayout* m_pForm;
    QPushButton* m_pApply;
};
