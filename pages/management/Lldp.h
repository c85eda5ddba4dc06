#pragma once

// LLDP: "LLDP Global Settings", "LLDP MED Settings" and "LLDP Remote Port
// Information".

#include "ManagementCommon.h"

#include <QByteArray>

class CListControl;
class QCheckBox;
class QComboBox;
class QLineEdit;

namespace LldpOid {
inline const QString kState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.24.1.0");
inline const QString kHoldMultiplier = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.24.2.0");
inline const QString kTxInterval = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.24.3.0");
inline const QString kReinitDelay = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.24.4.0");
inline const QString kTxDelay = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.24.5.0");
inline const QString kPowerTlv = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.24.8.1.2");
inline const QString kLocChassisIdSubtype = QStringLiteral("1.0.8802.1.1.2.1.3.1.0");
inline const QString kLocChassisId = QStringLiteral("1.0.8802.1.1.2.1.3.2.0");
inline const QString kLocSysName = QStringLiteral("1.0.8802.1.1.2.1.3.3.0");
inline const QString kLocSysDesc = QStringLiteral("1.0.8802.1.1.2.1.3.4.0");
inline const QString kRemTable = QStringLiteral("1.0.8802.1.1.2.1.4.1.1");
} // namespace LldpOid

// The LLDP-MIB subtype texts; empty for values outside 1-7.
QString ChassisIdSubtypeText(int subtype);
QString PortIdSubtypeText(int subtype);

// A chassis or port identifier as a person reads it: MACs as
// 00-1D-AA-00-00-01, network addresses as their IPv4 (dotted) or IPv6 text,
// other identifiers as text when printable, else as hexadecimal octets.
QString ChassisIdText(int subtype, const QByteArray& id);
QString PortIdText(int subtype, const QByteArray& id);

// The parameter checks of the global page, in order; empty when all pass.
QString CheckLldpParameters(const QString& holdMultiplier, const QString& txInterval,
                            const QString& reinitDelay, const QString& txDelay);

// The state and parameter SETs: at most this many attempts, with these pauses.
constexpr int kLldpAttempts = 3;
constexpr int kLldpRetryPauseMs = 1000;
constexpr int kLldpSettlePauseMs = 2000;
// The MED page's pause between its SET and the walk after it.
constexpr int kLldpMedPauseMs = 500;

class CLldpGlobalPage : public CManagementPage {
    Q_OBJECT
public:
    explicit CLldpGlobalPage(QWidget* parent = nullptr);

    void Load();
    void ApplyState();
    void ApplyParameters();

protected:
    void OnInitDialog() override;

private:
    void Write(const std::vector<SSetVar>& vars);

    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    QCheckBox* m_pEnable;
    QLineEdit *m_pHold, *m_pInterval, *m_pReinit, *m_pTxDelay;
    QLineEdit *m_pChassisSubtype, *m_pChassisId, *m_pSysName, *m_pSysDesc;
};

class CLldpMedPage : public CManagementPage {
    Q_OBJECT
public:
    explicit CLldpMedPage(QWidget* parent = nullptr);

    void Load();
    void Apply();

protected:
    void OnInitDialog() override;

private:
    CCommonSNMP& m_cCommonSNMPEnable;
    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    QComboBox *m_pFrom, *m_pTo, *m_pTlv;
    CPortRange* m_pRange;
    CListControl* m_pList;
};

class CLldpRemotePage : public CManagementPage {
    Q_OBJECT
public:
    explicit CLldpRemotePage(QWidget* parent = nullptr);

    void Load();

protected:
    void OnInitDialog() override;

private:
    CCommonSNMP& m_cCommonSNMPEnabled;
    CCommonSNMP& m_cCommonSNMP;
    QLineEdit* m_pCount;
    CListControl* m_pList;
};
