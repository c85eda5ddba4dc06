#pragma once

// What the 802.1X and LLDP pages share: a page base that can put words of its
// own on the outcome line after the outcomes already on their way, and the
// "From Port" / "To Port" pair of a port range.

#include "snmp/PageBase.h"

#include <QObject>
#include <QString>

#include <vector>

class QComboBox;

// A page whose own words come after the outcomes of the requests it made:
// those travel through the page's channel, so words shown at once would be
// replaced by them.
class CManagementPage : public CPageBase {
    Q_OBJECT
public:
    using CPageBase::CPageBase;

protected:
    // Shows text on the outcome line once the outcomes sent before are shown.
    void SayAfterOutcomes(const QString& text);
    // Pages that handle reports of their own pass the others on to here.
    void OnSnmpNotify(const SSnmpReport& report) override;
    // Report code of the words; pages choose their codes below it.
    static constexpr int kSayReport = 900;
};

// A port range: choosing "From" selects the same port in "To"; a "To" below
// "From" shows "'To Port' can not be smaller than 'From Port'" and goes back
// to the "From" port.
class CPortRange : public QObject {
    Q_OBJECT
public:
    CPortRange(QComboBox* from, QComboBox* to, QWidget* page);
    // The ports offered, in ascending order (both boxes list them).
    void SetPorts(const std::vector<int>& ports);
    const std::vector<int>& Ports() const { return m_ports; }
    // 0 when the boxes are empty.
    int From() const;
    int To() const;

private:
    void OnFrom(int index);
    void OnTo(int index);

    QComboBox* m_pFrom;
    QComboBox* m_pTo;
    QWidget* m_pPage;
    std::vector<int> m_ports;
    bool m_bFilling = false;
};

// Ports 1 to count.
std::vector<int> PortsUpTo(int count);

// A number typed in a field, within lo..hi; false for anything else.
bool NumberIn(const QString& text, qint64 lo, qint64 hi, qint64& value);
