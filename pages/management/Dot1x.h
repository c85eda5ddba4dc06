#pragma once

// 802.1X: the global page ("802.1X Statistic Information") and the port page
// ("802.1X Port Configuration") it opens.

#include "ManagementCommon.h"

#include <QStringList>

#include <vector>

class CIpAddressEdit;
class CListControl;
class QCheckBox;
class QComboBox;
class QLineEdit;

namespace Dot1xOid {
inline const QString kState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.11.2.1.0");
inline const QString kRadiusServer = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.11.1.1.0");
inline const QString kRadiusKey = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.11.1.2.0");
inline const QString kReAuthEnabled = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.11.2.2.0");
inline const QString kQuietPeriod = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.11.2.3.0");
inline const QString kTxPeriod = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.11.2.4.0");
inline const QString kSuppTimeout = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.11.2.5.0");
inline const QString kServerTimeout = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.11.2.6.0");
inline const QString kMaxReq = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.11.2.7.0");
inline const QString kReAuthPeriod = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.11.2.8.0");
inline const QString kPortControl = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.11.2.9.1.2");
inline const QString kPortStatus = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.11.2.9.1.3");
} // namespace Dot1xOid

// The RADIUS key the switch holds: 1 to 32 octets.
constexpr int kMaxRadiusKeyOctets = 32;

// What the global page's Apply sends with 802.1X enabled, as typed.
struct SDot1xGlobal {
    QString server; // dotted, empty when the address control is blank
    QString key, confirmKey;
    int reAuthEntry = 0; // 0 "Enable", 1 "Disabled"
    QString quietPeriod, txPeriod, suppTimeout, serverTimeout, maxReq, reAuthPeriod;
};

// The checks of the enabled Apply, in their order; empty when all pass. vars
// receives the one request (in the order of the objects) when they pass.
QString CheckDot1xGlobal(const SDot1xGlobal& input, std::vector<SSetVar>* vars = nullptr);

// The port page's refusals for ports from..to (1-based, from <= to) set to
// control (1 ForceUnauthorized, 2 Auto, 3 ForceAuthorized); control and lag
// hold each port's current control and aggregation group (index port - 1).
QString CheckDot1xPorts(const std::vector<int>& control, const std::vector<int>& lag, int from,
                        int to, int controlValue, int portCount);

// Value texts of the port columns.
QString PortControlText(const QString& value);
QString PortStatusText(const QString& value);

// Ports written per SET by the port page, and the pause after each full batch.
constexpr int kDot1xBatchPorts = 30;
constexpr int kDot1xBatchPauseMs = 100;

class CDot1xPortPage;

class CDot1xPage : public CManagementPage {
    Q_OBJECT
public:
    explicit CDot1xPage(QWidget* parent = nullptr);

    void Load();
    void Apply();
    void OpenPortSet();

protected:
    void OnInitDialog() override;

private:
    void EnableFields(bool on);

    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    CCommonSNMP& m_cCommonSNMParg;
    QCheckBox* m_pEnable;
    CIpAddressEdit* m_pServer;
    QLineEdit *m_pKey, *m_pConfirm, *m_pTx, *m_pQuiet, *m_pSupp, *m_pServerTimeout, *m_pMaxReq,
        *m_pReAuthPeriod;
    QComboBox* m_pReAuth;
    CListControl* m_pList;
};

class CDot1xPortPage : public CManagementPage {
    Q_OBJECT
public:
    explicit CDot1xPortPage(QWidget* parent = nullptr);

    void Load();
    void Apply();

protected:
    void OnInitDialog() override;

private:
    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPTableTrunkInfo;
    CCommonSNMP& m_cCommonSNMPTable;
    QComboBox *m_pFrom, *m_pTo, *m_pControl;
    CPortRange* m_pRange;
    CListControl* m_pList;
    std::vector<int> m_nControl; // per port, as read
    std::vector<int> m_nLag;     // per port: its aggregation group, 0 for none
};
