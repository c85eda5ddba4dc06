#pragma once

// Page tests against nsw-sim: a simulated switch of a chosen model, the launch
// settings and device profile pointing at it, message boxes answered, and
// helpers to read the agent back on its own (net-snmp's tools).

#include "LaunchFixture.h"
#include "ModalPage.h"
#include "QtPrint.h"
#include "SimProcess.h"
#include "device/DeviceProfile.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

class CSimPageTest : public ::testing::Test {
protected:
    // Starts the simulator for the model and points everything at it.
    void StartSwitch(const QString& model) {
        ASSERT_TRUE(m_sim.Start({QStringLiteral("--model"), model}))
            << m_sim.Output().toStdString();
        m_launch = std::make_unique<CLaunchFixture>(m_sim.Port(), "2", CSimProcess::kReadCommunity,
                                                    CSimProcess::kWriteCommunity);
        SDeviceProfile profile;
        const QString message = ReadDeviceProfile(QStringLiteral(NSW_SOURCE_DIR "/res/profiles/") +
                                                      model + QStringLiteral("/User.ini"),
                                                  profile);
        ASSERT_TRUE(message.isEmpty()) << message.toStdString();
        ApplyDeviceProfile(profile);
    }

    void TearDown() override { ApplyDeviceProfile(SDeviceProfile{}); }

    // SET requests the agent served so far (the tools' included).
    int SetRequests() const {
        return m_sim
            .Get(QStringLiteral("1.3.6.1.4.1.32473.99.3.4.0"), CSimProcess::kControlCommunity)
            .toInt();
    }
    QString Get(const QString& oid) const { return m_sim.Get(oid); }
    // An octet string as lower-case hex without blanks.
    QString GetHex(const QString& oid) const {
        QString out;
        m_sim.Tool(QStringLiteral("snmpget"),
                   {QStringLiteral("-v2c"), QStringLiteral("-c"), CSimProcess::kReadCommunity,
                    QStringLiteral("-Oqvx")},
                   {oid}, &out);
        return out.simplified().remove(u' ').remove(u'"').toLower();
    }
    bool Set(const QString& oid, const QString& type, const QString& value) const {
        return m_sim.Set(oid, type, value);
    }

    // Waits for a signal that may already have come.
    static bool WaitFor(QSignalSpy& spy, int timeoutMs = 15000) {
        return spy.count() > 0 || spy.wait(timeoutMs);
    }

    CSimProcess m_sim;
    std::unique_ptr<CLaunchFixture> m_launch;
    CMessageRecorder m_boxes{QMessageBox::Ok};
};
