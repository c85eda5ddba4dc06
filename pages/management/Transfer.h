#pragma once

// "Firmware and Configuration Upgrade/Backup": starts a TFTP transfer on the
// switch and follows it by polling its status object.

#include "ManagementCommon.h"

#include <QTimer>

class CIpAddressEdit;
class QComboBox;
class QLineEdit;
class QProgressBar;

namespace TransferOid {
// Firmware: server .1, file .2, operation .3, status .4; configuration .5 to .8.
QString Object(bool firmware, int arc);
} // namespace TransferOid

// What a status value means to the page.
enum class ETransferStatus { kGoOn, kSuccess, kFailure, kUnknown };
ETransferStatus TransferStatusMeaning(const QString& value);

// The checks before anything is sent; empty when all pass. The address is the
// IP control's dotted text ("" when blank) and its count of filled fields.
QString CheckTransferServer(const QString& address, int filledFields);
QString CheckTransferFile(const QString& name);

constexpr int kTransferMaxFileName = 64;
constexpr int kTransferMaxPolls = 53;
constexpr int kTransferProgressFirstMs = 2000;
constexpr int kTransferProgressMs = 2500;

struct STransferTimings {
    int firstPollMs;
    int pollMs;
    int overallMs;
};
STransferTimings TransferTimings(bool firmware, bool upgrade);

class CTransferPage : public CManagementPage {
    Q_OBJECT
public:
    explicit CTransferPage(QWidget* parent = nullptr);

    void Load();
    void Apply();
    bool Running() const { return m_bRunning; }

public slots:
    void done(int result) override;

protected:
    void OnInitDialog() override;

private:
    bool Firmware() const;
    bool Upgrade() const;
    void OnFileNameEdited(const QString& text);
    void OnProgressTick();
    void OnStatusTick();
    void OnOverallTimeOut();
    void OnEndTick();
    // Stops the timers, tells the operator and ends the transfer shortly after.
    void Finish(bool success, const QString& message, const QString& outcome);
    QString What() const;

    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSetOp;
    CIpAddressEdit* m_pServer;
    QComboBox* m_pOperation;
    QComboBox* m_pFileType;
    QLineEdit* m_pFileName;
    QProgressBar* m_pProgress;
    QWidget* m_pApply;
    // Timers 2125 progress, 2074 status, 2126 overall limit, 2124 end.
    QTimer m_progressTimer, m_statusTimer, m_overallTimer, m_endTimer;
    // The running transfer.
    bool m_bRunning = false;
    bool m_bFirmware = false;
    bool m_bUpgrade = false;
    bool m_bFinished = false;
    int m_nProgress = 0;
    int m_nPolls = 0;
    QString m_strOutcome;
};
