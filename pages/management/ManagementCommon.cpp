#include "ManagementCommon.h"

#include "platform/MessageBox.h"

#include <QComboBox>

CPortRange::CPortRange(QComboBox* from, QComboBox* to, QWidget* page)
    : QObject(page), m_pFrom(from), m_pTo(to), m_pPage(page) {
    connect(m_pFrom, &QComboBox::activated, this, &CPortRange::OnFrom);
    connect(m_pFrom, &QComboBox::currentIndexChanged, this, &CPortRange::OnFrom);
    connect(m_pTo, &QComboBox::currentIndexChanged, this, &CPortRange::OnTo);
}

void CPortRange::SetPorts(const std::vector<int>& ports) {
    const int from = From(), to = To();
    m_bFilling = true;
    m_ports = ports;
    m_pFrom->clear();
    m_pTo->clear();
    for (int port : ports) {
        m_pFrom->addItem(QString::number(port));
        m_pTo->addItem(QString::number(port));
    }
    // Keep the operator's range across a reload where the ports are still there.
    const int fromIndex = m_pFrom->findText(QString::number(from));
    const int toIndex = m_pTo->findText(QString::number(to));
    m_pFrom->setCurrentIndex(fromIndex >= 0 ? fromIndex : 0);
    m_pTo->setCurrentIndex(toIndex >= fromIndex && fromIndex >= 0 ? toIndex
                                                                  : m_pFrom->currentIndex());
    m_bFilling = false;
}

int CPortRange::From() const {
    return m_pFrom->currentText().toInt();
}

int CPortRange::To() const {
    return m_pTo->currentText().toInt();
}

void CPortRange::OnFrom(int index) {
    if (!m_bFilling && index >= 0)
        m_pTo->setCurrentIndex(index);
}

void CPortRange::OnTo(int index) {
    if (m_bFilling || index < 0 || index >= m_pFrom->currentIndex())
        return;
    ShowMessage(QStringLiteral("'To Port' can not be smaller than 'From Port'"), m_pPage);
    m_pTo->setCurrentIndex(m_pFrom->currentIndex());
}

std::vector<int> PortsUpTo(int count) {
    std::vector<int> ports;
    for (int p = 1; p <= count; ++p)
        ports.push_back(p);
    return ports;
}

bool NumberIn(const QString& text, qint64 lo, qint64 hi, qint64& value) {
    bool ok = false;
    value = text.trimmed().toLongLong(&ok);
    return ok && value >= lo && value <= hi;
}
