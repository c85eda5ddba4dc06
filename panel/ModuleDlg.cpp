#include "ModuleDlg.h"

#include "app/LaunchSettings.h"
#include "platform/MessageBox.h"
#include "platform/Trace.h"

#include <QTimer>

CModuleDlg::CModuleDlg(QWidget* parent) : QDialog(parent) {
    setWindowFlag(Qt::WindowMinimizeButtonHint);
    resize(640, 240);
}

bool CModuleDlg::OnInitDialog() {
    m_bInitialised = true;
    const QString error = ReadDeviceProfile(ProfilePath(), m_profile);
    if (!error.isEmpty()) {
        ShowMessage(error, this);
        return false;
    }
    ApplyDeviceProfile(m_profile);
    setWindowTitle(m_profile.strDeviceName + QStringLiteral(": ") + g_strDeviceIp);
    m_bProfileOk = true;
    return true;
}

void CModuleDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_bInitialised)
        QTimer::singleShot(0, this, [this] { OnInitDialog(); });
    m_bInitialised = true;
}

void CModuleDlg::OnActivateRequested() {
    Trace(QStringLiteral("activate requested"));
    if (isMinimized())
        showNormal();
    else
        show();
    // Top-most and back, without moving or resizing, then to the front.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    show();
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    show();
    raise();
    activateWindow();
}
