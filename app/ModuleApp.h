#pragma once

#include <QByteArray>
#include <QString>

class QApplication;
class CSingleInstance;

// The start-up sequence. InitInstance runs the main window modally and always
// returns false: the process ends after it.
class CModuleApp {
public:
    CModuleApp(QApplication& app, QByteArray commandLine);
    bool InitInstance();

    // "Module:" + model + address.
    static QString InstanceName(const QString& deviceName, const QString& deviceIp);

private:
    QApplication& m_app;
    QByteArray m_commandLine;
};

// Stands in for the socket-layer start: true when the process can open a UDP socket.
bool InitCommunicationPort();
