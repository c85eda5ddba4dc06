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

// The command line as the platform passes it: the arguments joined by blanks
// (blanks inside values are dropped by the parser anyway).
QByteArray JoinCommandLine(int argc, char** argv);

// Stands in for the socket-layer start: true when the process can open a UDP socket.
bool InitCommunicationPort();
