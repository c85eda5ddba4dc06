#pragma once

// The Public MIB viewers: System Information (read and write) and five
// read-only tables, each filled by one walk.

#include "snmp/PageBase.h"

#include <QHBoxLayout>

#include <functional>

class CListControl;
class QLabel;
class QLineEdit;
class QPushButton;

// Value mappings of the viewers.
QString LinkStatusText(const QString& value);
QString SpeedText(const QString& bitsPerSecond);
QString FdbStatusText(const QString& value);
QString FdbMacText(const std::vector<uint32_t>& indexArcs);
QString TcpStateText(const QString& value);
// Hundredths of a second as "H Hour M Min"; empty for an empty text.
QString UptimeText(const QString& ticks);
// The message to show for the System Information entries, empty when both pass.
QString CheckSystemInfo(const QString& name, const QString& location);

// One walked table shown in one list.
struct SMibTable {
    int templateId = 0;
    QString caption;
    int listId = 0;
    int countId = 0; // 0: the page shows no count
    int refreshId = 0;
    int closeId = 0;
    QString countPrefix; // " " on the forwarding table
    QStringList headers;
    QStringList columns;
    // Display texts of one row (one per header).
    std::function<QStringList(const SSnmpRow&)> mapRow;
};

// The viewers' tables: what each walks and how it shows a row.
SMibTable ForwardingTable();
SMibTable InterfaceTable();
SMibTable IpTable();
SMibTable TcpServiceTable();
SMibTable UdpServiceTable();

class CMibTablePage : public CPageBase {
    Q_OBJECT
public:
    CMibTablePage(const SMibTable& table, QWidget* parent = nullptr);

    void Refresh();
    CListControl* List() const { return m_pList; }
    bool IsLoading() const { return m_bLoading; }

signals:
    // The walk is over (finished, failed or cut short).
    void Loaded();

protected:
    void OnInitDialog() override;
    void OnSnmpNotifyBatch(std::vector<SSnmpReport>& batch) override;
    // Rows the page lists; the forwarding table filters by port.
    virtual bool Accept(const QStringList&) const { return true; }
    virtual void UpdateCount();
    QHBoxLayout* BottomRow() const { return m_pBottom; }

    CCommonSNMP& m_cCommonSNMP;
    const SMibTable m_table;
    CListControl* m_pList;
    QLabel* m_pCount = nullptr;
    QPushButton* m_pRefresh;

private:
    QHBoxLayout* m_pBottom;
    bool m_bLoading = false;
};

class CForwardingTablePage : public CMibTablePage {
    Q_OBJECT
public:
    explicit CForwardingTablePage(QWidget* parent = nullptr);

    void LoadAgingTime();
    QLineEdit* AgingTime() const { return m_pAging; }
    QLineEdit* PortFilter() const { return m_pFilter; }
    // The static entries, on the page of command 32835; the table reloads after it.
    void OpenStaticMac();
    static constexpr int kIdStaticMac = 7520;
    static constexpr int kStaticMacCommand = 32835;

protected:
    void OnInitDialog() override;
    void UpdateCount() override;

private:
    void ApplyFilter();

    CCommonSNMP& m_cCommonSNMPGetTime;
    QLineEdit* m_pAging;
    QLineEdit* m_pFilter;
    QPushButton* m_pStaticMac;
};

class CSystemInfoPage : public CPageBase {
    Q_OBJECT
public:
    explicit CSystemInfoPage(QWidget* parent = nullptr);

    void Refresh();
    // Checks and writes name and location; true when the switch took them.
    bool Apply();

signals:
    void Loaded();

protected:
    void OnInitDialog() override;
    void OnSnmpNotify(const SSnmpReport& report) override;

private:
    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
};

std::unique_ptr<CMibTablePage> MakeInterfaceTablePage(QWidget* parent = nullptr);
std::unique_ptr<CMibTablePage> MakeIpTablePage(QWidget* parent = nullptr);
std::unique_ptr<CMibTablePage> MakeTcpServicePage(QWidget* parent = nullptr);
std::unique_ptr<CMibTablePage> MakeUdpServicePage(QWidget* parent = nullptr);
