#pragma once

// The page test kit: a switch to talk to (nsw-sim of a model, or any agent on
// loopback), a page opened by its command id from the main window's command
// table, controls driven by their ids, Apply pressed and waited for, the
// switch read back through a second session, and screenshots.
//
//   TEST_F(JumboPage, EnablesJumboFrames) {
//       StartSwitch("NSW-4410-28P B1");
//       auto page = OpenPage(32817);
//       Check(*page, 1001, true);
//       ASSERT_TRUE(Press(*page, 1));
//       EXPECT_EQ(Get("1.3.6.1.4.1.32473.10.75.7.1.12.0"), "1");
//       EXPECT_EQ(page->OutcomeLine().left(7), "Applied");
//       Shot(*page, "jumbo");
//   }

#include "LaunchFixture.h"
#include "QtPrint.h"
#include "SimProcess.h"
#include "device/DeviceProfile.h"
#include "pages/Pages.h"
#include "panel/PageRegistry.h"
#include "platform/MessageBox.h"
#include "snmp/PageBase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

class CPageTestKit : public ::testing::Test {
protected:
    // The SNMPv3 user the kit gives the simulator (SHA and AES).
    static constexpr const char* kV3User = "kituser";
    static constexpr const char* kV3AuthPassword = "kitauthpass";
    static constexpr const char* kV3PrivPassword = "kitprivpass";

    void SetUp() override {
        if (!IsPageRegistered(32805))
            RegisterAllPages();
    }
    void TearDown() override {
        SetPageSelectedPort(0);
        ApplyDeviceProfile(SDeviceProfile{});
    }

    // Starts nsw-sim for the model (its profile applied to the module) and
    // points the launch settings at it: version "1", "2" (v2c) or "3" (the
    // kit's user with authentication and privacy).
    void StartSwitch(const QString& model, const QString& version = QStringLiteral("2"),
                     QStringList simArgs = {}) {
        simArgs << QStringLiteral("--model") << model << QStringLiteral("--v3-user")
                << QStringLiteral("%1:priv:SHA:%2:AES:%3")
                       .arg(QLatin1String(kV3User), QLatin1String(kV3AuthPassword),
                            QLatin1String(kV3PrivPassword));
        ASSERT_TRUE(m_sim.Start(simArgs)) << m_sim.Output().toStdString();
        UseAgent(m_sim.Port(), model, version);
    }

    // Points at any agent on loopback (Debian's snmpd for the standard MIB
    // pages) with the model's profile.
    void UseAgent(int port, const QString& model, const QString& version = QStringLiteral("2"),
                  const char* readCommunity = CSimProcess::kReadCommunity,
                  const char* writeCommunity = CSimProcess::kWriteCommunity) {
        m_launch.reset();
        if (version == u"3")
            m_launch = std::make_unique<CLaunchFixture>(port, kV3User, "3", "3", kV3AuthPassword,
                                                        "4", kV3PrivPassword);
        else
            m_launch = std::make_unique<CLaunchFixture>(port, version == u"1" ? "1" : "2",
                                                        readCommunity, writeCommunity);
        SDeviceProfile profile;
        const QString message = ReadDeviceProfile(
            QStringLiteral(NSW_SOURCE_DIR "/res/profiles/") + model + QStringLiteral("/User.ini"),
            profile);
        ASSERT_TRUE(message.isEmpty()) << message.toStdString();
        ApplyDeviceProfile(profile);
        m_nAgentPort = port;
    }

    // The page of the command, made by the main window's command table (for
    // the given panel port, where the page takes one), shown, and its first
    // load waited for. Null (and a failure) when the command has no page or
    // the page did not settle.
    std::unique_ptr<CPageBase> OpenPage(int commandId, int port = 0, int timeoutMs = 20000) {
        SetPageSelectedPort(port);
        std::unique_ptr<QDialog> dialog = CreatePage(commandId, nullptr);
        SetPageSelectedPort(0);
        if (!dialog) {
            ADD_FAILURE() << "command " << commandId << " has no page";
            return nullptr;
        }
        auto* base = qobject_cast<CPageBase*>(dialog.get());
        if (!base) {
            ADD_FAILURE() << "command " << commandId << " is no CPageBase";
            return nullptr;
        }
        std::unique_ptr<CPageBase> page(static_cast<CPageBase*>(dialog.release()));
        page->show();
        EXPECT_TRUE(WaitSettled(*page, 0, timeoutMs))
            << "command " << commandId << " did not load: " << page->OutcomeLine().toStdString();
        return page;
    }
    template <class T> static T& As(CPageBase& page) {
        T* typed = qobject_cast<T*>(&page);
        EXPECT_NE(typed, nullptr);
        return *typed;
    }

    // Waits until the page has shown an outcome after serialBefore and is no
    // longer busy, then until no further outcome comes for a moment (a write
    // and the reload after it).
    static bool WaitSettled(CPageBase& page, int serialBefore, int timeoutMs = 20000) {
        QElapsedTimer clock;
        clock.start();
        while (page.OutcomeSerial() <= serialBefore || page.IsBusy()) {
            if (clock.elapsed() > timeoutMs)
                return false;
            QTest::qWait(5);
        }
        int serial = page.OutcomeSerial();
        QElapsedTimer quiet;
        quiet.start();
        while (quiet.elapsed() < 80 && clock.elapsed() < timeoutMs) {
            QTest::qWait(10);
            if (page.OutcomeSerial() != serial || page.IsBusy()) {
                serial = page.OutcomeSerial();
                quiet.restart();
            }
        }
        return true;
    }

    // Controls by id.
    static QWidget* Widget(CPageBase& page, int id) {
        QWidget* widget = page.Control(id);
        EXPECT_NE(widget, nullptr) << "no control " << id;
        return widget;
    }
    static void SetText(CPageBase& page, int id, const QString& text) {
        QWidget* w = Widget(page, id);
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            edit->setText(text);
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
            plain->setPlainText(text);
        else if (auto* spin = qobject_cast<QSpinBox*>(w))
            spin->setValue(text.toInt());
        else if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->isEditable())
            combo->setEditText(text);
        else
            ADD_FAILURE() << "control " << id << " takes no text";
    }
    static QString Text(CPageBase& page, int id) {
        QWidget* w = Widget(page, id);
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            return edit->text();
        if (auto* label = qobject_cast<QLabel*>(w))
            return label->text();
        if (auto* combo = qobject_cast<QComboBox*>(w))
            return combo->currentText();
        if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
            return plain->toPlainText();
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            return button->text();
        if (auto* spin = qobject_cast<QSpinBox*>(w))
            return spin->text();
        return {};
    }
    static void Check(CPageBase& page, int id, bool checked) {
        if (auto* button = qobject_cast<QAbstractButton*>(Widget(page, id)))
            button->setChecked(checked);
        else
            ADD_FAILURE() << "control " << id << " is no check box";
    }
    static bool IsChecked(CPageBase& page, int id) {
        auto* button = qobject_cast<QAbstractButton*>(Widget(page, id));
        return button && button->isChecked();
    }
    static bool IsEnabled(CPageBase& page, int id) {
        QWidget* w = Widget(page, id);
        return w && w->isEnabled();
    }
    static void Choose(CPageBase& page, int id, const QString& text) {
        auto* combo = qobject_cast<QComboBox*>(Widget(page, id));
        const int index = combo ? combo->findText(text) : -1;
        if (index < 0)
            ADD_FAILURE() << "control " << id << " has no choice " << text.toStdString();
        else
            combo->setCurrentIndex(index);
    }
    static void Choose(CPageBase& page, int id, int index) {
        if (auto* combo = qobject_cast<QComboBox*>(Widget(page, id)))
            combo->setCurrentIndex(index);
        else
            ADD_FAILURE() << "control " << id << " is no combo box";
    }
    // Clicks the button and returns at once (the click runs to its end,
    // message boxes answered by m_boxes).
    static void Click(CPageBase& page, int id) {
        if (auto* button = qobject_cast<QAbstractButton*>(Widget(page, id)))
            button->click();
        else
            ADD_FAILURE() << "control " << id << " is no button";
    }
    // Clicks the button and waits for the outcome it brings (the write and
    // the reload after it). False when the page said nothing.
    static bool Press(CPageBase& page, int id, int timeoutMs = 20000) {
        const int before = page.OutcomeSerial();
        Click(page, id);
        return WaitSettled(page, before, timeoutMs);
    }

    // Reads the switch back through a session of its own (not the page's).
    QString Get(const QString& oid) const {
        const auto row = ReadWith(oid);
        return row ? row->Text(0) : QString();
    }
    // An octet string as lower-case hex without blanks.
    QString GetHex(const QString& oid) const {
        const auto row = ReadWith(oid);
        return row ? QString::fromLatin1(row->Bytes(0).toHex()) : QString();
    }
    // Writes through net-snmp's snmpset ("i", "s", "x", "a", "u" ...).
    bool Set(const QString& oid, const QString& type, const QString& value) const {
        return m_sim.Set(oid, type, value);
    }
    // The simulator's control subtree (1.3.6.1.4.1.32473.99 + suffix).
    bool SetControl(const QString& suffix, const QString& type, const QString& value) const {
        return m_sim.SetControl(suffix, type, value);
    }
    // Requests the simulator served since the last reset (control counters).
    int Requests() const {
        return m_sim.Get(QStringLiteral("1.3.6.1.4.1.32473.99.3.5.0"), CSimProcess::kControlCommunity)
            .toInt();
    }
    void ResetRequests() const {
        m_sim.SetControl(QStringLiteral("3.6.0"), QStringLiteral("i"), QStringLiteral("1"));
    }

    // Saves the widget as <name>.png in NSW_SCREENSHOT_DIR when it is set.
    static void Shot(QWidget& widget, const QString& name) {
        const QString dir = qEnvironmentVariable("NSW_SCREENSHOT_DIR");
        if (dir.isEmpty())
            return;
        QDir().mkpath(dir);
        QApplication::processEvents();
        EXPECT_TRUE(widget.grab().save(dir + u'/' + name + QStringLiteral(".png")));
    }

    CSimProcess m_sim;
    std::unique_ptr<CLaunchFixture> m_launch;
    CMessageRecorder m_boxes{QMessageBox::Ok};
    int m_nAgentPort = 0;

private:
    std::optional<SSnmpRow> ReadWith(const QString& oid) const {
        CCommonSNMP session;
        return ReadObjects(session, {oid});
    }
};
