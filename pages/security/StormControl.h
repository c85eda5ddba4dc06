#pragma once

// "Storm Control": state, type and threshold of the switch's storm control,
// read and written by a back-end that reports to the page.

#include "snmp/PageBase.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// The threshold unit in Kbit/s: 63 on two models, else 64.
int StormUnit(const QString& modelName);
// N as typed: the message to show, empty when it lies in 1 to 16000.
QString CheckStormN(const QString& text);
// The threshold N x unit as the result field shows it; empty when N is no
// number or the product overflows.
QString StormThresholdText(const QString& nText, int unit);
// The N field for a threshold the switch holds: "0" for 0, else value / unit.
QString StormNText(const QString& threshold, int unit);

// Report codes of the storm-control back-end.
namespace StormReport {
constexpr int kData = 0;
constexpr int kFinished = 1;
constexpr int kWriteFinished = 3;
} // namespace StormReport

class CStormControlBackEnd : public CFeatureBackEnd {
public:
    // Reads state, type and threshold in one request: a kData report with
    // the three values, then kFinished.
    void Load();
    // Writes the state and, when enabled, type and threshold (one request);
    // then kWriteFinished.
    void Apply(bool enabled, int type, int threshold);
};

class CStormControlPage : public CPageBase {
    Q_OBJECT
public:
    explicit CStormControlPage(QWidget* parent = nullptr);
    // The back-end's sessions close before the back-end goes.
    ~CStormControlPage() override;

    // Checks N and hands the values to the back-end; false when refused.
    bool Apply();
    void Refresh();

protected:
    void OnInitDialog() override;
    void OnSnmpNotify(const SSnmpReport& report) override;

private:
    void FollowState();

    CStormControlBackEnd m_backEnd;
    const int m_nUnit;
    QCheckBox* m_pEnable;
    QComboBox* m_pType;
    QLineEdit* m_pResult;
    QLineEdit* m_pN;
    QPushButton* m_pApply;
    QPushButton* m_pRefresh;
};
