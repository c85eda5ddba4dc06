#pragma once

// What the 802.1X, LLDP, transfer and syslog pages share: their page base
// and the "From Port" / "To Port" pair of a port range.

#include "snmp/PageBase.h"

#include <QObject>
#include <QString>

#include <vector>

class QComboBox;

// A page of the family: its own words go on the outcome line after the
// outcomes of the requests it made (ShowOutcome keeps that order).
class CManagementPage : public CPageBase {
    Q_OBJECT
public:
    using CPageBase::CPageBase;

protected:
    void SayAfterOutcomes(const QString& text) { ShowOutcome(text); }
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
