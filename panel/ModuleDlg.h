#pragma once

#include "app/DeviceProfile.h"

#include <QDialog>

// The main window of the module.
class CModuleDlg : public QDialog {
    Q_OBJECT
public:
    explicit CModuleDlg(QWidget* parent = nullptr);

    // Reads the profile and names the window; false when the profile is unusable.
    bool OnInitDialog();
    const SDeviceProfile& Profile() const { return m_profile; }

public slots:
    // A second start for the same switch asks this window to come forward.
    void OnActivateRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_bInitialised = false;
    bool m_bProfileOk = false;
    SDeviceProfile m_profile;
};
