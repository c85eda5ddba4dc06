#include "ModuleApp.h"

#include "device/DeviceProfile.h"
#include "device/LaunchSettings.h"
#include "pages/Pages.h"
#include "panel/ModuleDlg.h"
#include "platform/MessageBox.h"
#include "platform/SingleInstance.h"
#include "platform/Trace.h"
#include "snmp/engine/SnmpInit.h"

#include <QApplication>

#include <sys/socket.h>
#include <unistd.h>

CModuleApp::CModuleApp(QApplication& app, QByteArray commandLine)
    : m_app(app), m_commandLine(std::move(commandLine)) {}

QString CModuleApp::InstanceName(const QString& deviceName, const QString& deviceIp) {
    return QStringLiteral("Module:") + deviceName + deviceIp;
}

bool InitCommunicationPort() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool CModuleApp::InitInstance() {
    if (!InitCommunicationPort()) {
        ShowMessage(QStringLiteral("Failed to initialize communication port !"));
        return false;
    }
    SnmpInit(&m_app);
    SetSnmpTimeout(5000);
    RegisterAllPages();

    if (m_commandLine.isEmpty()) {
        ShowMessage(QStringLiteral("No parameter input !"));
        return false;
    }
    ParseCommandLine(m_commandLine);

    const QString deviceName = ReadDeviceName(ProfilePath());
    const QString instanceName = InstanceName(deviceName, g_strDeviceIp);
    CSingleInstance instance(instanceName);
    if (!instance.Acquire())
        return false;
    TraceF("instance %s started", qPrintable(instanceName));

    CModuleDlg dlg;
    QObject::connect(&instance, &CSingleInstance::ActivateRequested, &dlg,
                     &CModuleDlg::OnActivateRequested);
    dlg.exec();
    return false;
}
