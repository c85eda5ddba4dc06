#pragma once

// "Syslog Host Configuration": the switch's remote log server and whether it
// logs there.

#include "ManagementCommon.h"

class CIpAddressEdit;
class CListControl;
class QCheckBox;
class QComboBox;
class QLineEdit;

namespace SyslogOid {
inline const QString kServer = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.16.1.1.0");
inline const QString kPort = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.16.1.2.0");
inline const QString kSeverity = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.16.1.4.0");
inline const QString kFacility = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.16.1.5.0");
inline const QString kState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.16.1.6.0");
} // namespace SyslogOid

// Severity: "Warning" 4, "Info" 6, "All" 7; the list position of a value, -1
// for any other.
int SyslogSeverityValue(int position);
int SyslogSeverityPosition(const QString& value);
// Facility: localn is 128 + 8n; any other value reads as local0.
int SyslogFacilityValue(int position);
int SyslogFacilityPosition(const QString& value);

// The server checks before sending; empty when all pass. The address is the
// IP control's dotted text, "" when blank.
QString CheckSyslogServer(const QString& address, const QString& port);

constexpr int kSyslogPortDigits = 5;

class CSyslogPage : public CManagementPage {
    Q_OBJECT
public:
    explicit CSyslogPage(QWidget* parent = nullptr);

    void Load();
    void ApplyServer();
    void ApplyState();

protected:
    void OnInitDialog() override;
    void OnSnmpNotify(const SSnmpReport& report) override;

private:
    void EnableServerControls(bool enable);
    void OnPortChanged(const QString& text);
    // Writes the state; true when the switch took it.
    bool WriteState();

    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    CIpAddressEdit* m_pServer;
    QLineEdit* m_pPort;
    QComboBox* m_pSeverity;
    QComboBox* m_pFacility;
    QCheckBox* m_pEnable;
    CListControl* m_pList;
};
