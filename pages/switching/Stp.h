#pragma once

// Spanning tree: "Bridge Config" (the bridge's priority, timers and RSTP
// state), the port table "Spanning Tree Table" it opens, and "Port Config",
// one port's priority, path cost and state, opened from the table.

#include "snmp/PageBase.h"

#include <vector>

class CListControl;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Bridge identifiers and designated roots: 8 octets "XX:XX:...:XX".
QString BridgeIdText(const QByteArray& octets);
// The designated port: 2 octets "XX XX".
QString DesignatedPortText(const QByteArray& octets);
// dot1dStpPortState as the table shows it.
QString StpPortStateText(const QString& value);

// The bridge timers as typed, checked in order: the message of the first
// that fails, else empty. Hundredths of a second.
QString CheckBridgeTimers(const QString& ageText, const QString& helloText,
                          const QString& delayText);

// The bridge write: the SETs in order, each on its own. rstpEnable is the
// RSTP state the page read from the switch (1 enabled, else 0).
struct SBridgeApply {
    bool enableRstp = false;
    int rstpEnable = 0;
    int age = 0, hello = 0, delay = 0;
    int priority = 0;
    int version = 2; // 2 RSTP, 0 STP compatible
};
std::vector<SWriteStep> BridgeWriteSteps(const SBridgeApply& apply);

// What a port apply is checked against: the port's values as the switch
// holds them and those of every port (index = port - 1).
struct SStpPorts {
    std::vector<int> lagOfPort;
    std::vector<int> priority;
    std::vector<int> cost;     // configured, 0 automatic
    std::vector<int> loopback; // 1 loopback detection enabled
};
// The port apply's checks in order: the message of the first that fails, else empty.
QString CheckStpPortApply(const SStpPorts& ports, int port, int priority, const QString& costText,
                          bool enable);

class CStpBridgePage : public CPageBase {
    Q_OBJECT
public:
    explicit CStpBridgePage(QWidget* parent = nullptr);

    void Load();
    // "&Apply"; true when every SET was taken.
    bool Apply();
    // "Port Setting": the port table, modally.
    void OnPortSetting();
    int RstpEnable() const { return m_iRstpEnable; }

protected:
    void OnInitDialog() override;

private:
    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    CCommonSNMP& m_cCommonSNMPSet0;
    int m_iRstpEnable = 0;
    std::vector<QLabel*> m_values;
    QLineEdit* m_pAge;
    QLineEdit* m_pHello;
    QLineEdit* m_pDelay;
    QComboBox* m_pPriority;
    QCheckBox* m_pRstp;
    QComboBox* m_pVersion;
};

class CStpTablePage : public CPageBase {
    Q_OBJECT
public:
    explicit CStpTablePage(QWidget* parent = nullptr);

    void Refresh();
    // "&Port Config" for the selected port (the first when none is).
    void OnPortConfig();
    CListControl* List() const { return m_pList; }

protected:
    void OnInitDialog() override;
    void OnSnmpNotify(const SSnmpReport& report) override;

private:
    CCommonSNMP& m_cCommonSNMP;
    CListControl* m_pList;
    QLabel* m_pEntries;
    QPushButton* m_pRefresh;
};

class CStpPortPage : public CPageBase {
    Q_OBJECT
public:
    CStpPortPage(int port, QWidget* parent = nullptr);

    void Load();
    // "&Apply"; true when sent and taken.
    bool Apply();
    void ShowPort(int port);
    int Port() const { return m_nPort; }

protected:
    void OnInitDialog() override;

private:
    void LoadPort();

    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    CCommonSNMP& m_cCommonSNMPTable;
    int m_nPort;
    SStpPorts m_ports;
    QLineEdit* m_pPort;
    QComboBox* m_pPriority;
    QLineEdit* m_pCost;
    QComboBox* m_pEnable;
    std::vector<QLineEdit*> m_values;
    QPushButton* m_pPrev;
    QPushButton* m_pNext;
};
