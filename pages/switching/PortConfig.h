#pragma once

// "Port Configuration": every port's speed/duplex, operating mode and flow
// control; speed and flow control of one port at a time.

#include "snmp/PageBase.h"

#include <vector>

class CListControl;
class QComboBox;
class QLineEdit;
class QPushButton;

// Speed box entries 0 to 6.
enum PortSpeedEntry {
    kSpeed1000Full,
    kSpeed100Full,
    kSpeed100Half,
    kSpeed10Full,
    kSpeed10Half,
    kSpeedAuto,
    kSpeedDisable
};

// Cell texts of the port table.
QString PortSpeedText(const QString& value);
QString OperModeText(const QString& value);
// The OperMode cell: combo ports show the copper or fibre form by media code.
QString OperModeCell(const QString& value, bool isCombo, int media);
QString FlowControlText(const QString& value);
QString DefaultPriorityText(const QString& value);
QString OperFlowControlText(const QString& value);
// Speed box entry of a PortControlSpeed cell text; -1 for none.
int SpeedEntryOfText(const QString& text);
// The cell text that a speed box entry reads as.
QString SpeedTextOfEntry(int entry);

// What the checks of an apply look at.
struct SPortTable {
    std::vector<QString> speedCells; // PortControlSpeed cell of list row r (port r + 1)
    std::vector<int> lagOfPort;      // index = port - 1
    std::vector<int> mediaOfPort;    // index = port - 1
    int portCount = 0;
    bool isAllGiga = false;
};
// The eight checks in order: the message of the first that fails, else empty.
QString CheckPortApply(const SPortTable& table, const QString& portText, int speedEntry);

class CPortSetInfo : public CPageBase {
    Q_OBJECT
public:
    // selectedPort: the port a click on the panel opened the page for (0: none).
    explicit CPortSetInfo(QWidget* parent = nullptr, int selectedPort = 0);

    void Load();
    // "&Apply"; true when a SET was sent and taken.
    bool Apply();
    // A click on row r (port r + 1).
    void OnRowSelected(int row);
    CListControl* List() const { return m_pList; }
    const std::vector<int>& LagOfPort() const { return m_lagOfPort; }
    const std::vector<int>& MediaOfPort() const { return m_mediaOfPort; }
    bool IsLoading() const { return m_nWalks > 0; }

signals:
    // Both walks are over.
    void Loaded();

protected:
    void OnInitDialog() override;
    void OnSnmpNotify(const SSnmpReport& report) override;

private:
    void AddPortRow(const SSnmpRow& row);
    void WalkEnded();

    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPTable;
    CCommonSNMP& m_cCommonSNMPTableTrunk;
    std::vector<int> m_lagOfPort;
    std::vector<int> m_mediaOfPort;
    const int m_nPortNum;
    const int m_nComboPortNum;
    const int m_nComboPortIndex;
    const bool m_bIsAllGiga;
    int m_nPortToSelect;
    int m_nWalks = 0;
    CListControl* m_pList;
    QLineEdit* m_pPortId;
    QComboBox* m_pSpeed;
    QComboBox* m_pFlow;
    QPushButton* m_pApply;
    QPushButton* m_pRefresh;
};
