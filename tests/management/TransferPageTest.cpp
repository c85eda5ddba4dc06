// The transfer page against nsw-sim and Debian's tftpd-hpa on loopback: a
// configuration goes out and comes back, firmware that is not firmware is
// refused, and the checks keep everything else from being sent.
#include "PageTestKit.h"
#include "TransferTftpd.h"
#include "pages/management/Transfer.h"
#include "platform/IpAddressEdit.h"

#include <QProgressBar>

namespace {

constexpr int kTransferCommand = 32823;
constexpr int kIdServer = 203, kIdOperation = 212, kIdFileType = 207, kIdFileName = 206,
              kIdProgress = 1035, kIdApply = 242;
// A firmware transfer waits 15 s for its first status poll.
constexpr int kTransferWaitMs = 90000;
const QString kSysName = QStringLiteral("1.3.6.1.2.1.1.5.0");
const QString kWarning =
    QStringLiteral("The connection will be disconnected.\nPlease do not apply other changes when "
                   "uploading.\nReconnect to the device later when uploading completes.");

class TransferPage : public CPageTestKit {
protected:
    void SetUp() override {
        CPageTestKit::SetUp();
        if (!CTftpdProcess::Available())
            GTEST_SKIP() << "needs tftpd-hpa and root";
        ASSERT_TRUE(m_tftpd.Start()) << m_tftpd.Error().toStdString();
        StartSwitch(QStringLiteral("NSW-4410-28P B1"), QStringLiteral("2"),
                    {"--tftp-port", QString::number(m_tftpd.Port()), "--tftp-timeout", "500"});
    }
    void Fill(CPageBase& page, const QString& type, const QString& operation, const QString& server,
              const QString& file) {
        Choose(page, kIdFileType, type);
        Choose(page, kIdOperation, operation);
        page.Control<CIpAddressEdit>(kIdServer)->SetAddress(server);
        SetText(page, kIdFileName, file);
    }

    CTftpdProcess m_tftpd;
};

TEST_F(TransferPage, ConfigurationBackupAndRestoreEndToEnd) {
    ASSERT_TRUE(Set(kSysName, QStringLiteral("s"), QStringLiteral("before-backup")));
    auto page = OpenPage(kTransferCommand);
    ASSERT_TRUE(page);
    EXPECT_EQ(Text(*page, kIdFileType), "Configuration");
    EXPECT_TRUE(page->Control<CIpAddressEdit>(kIdServer)->IsBlank()); // the switch has none yet

    Fill(*page, QStringLiteral("Configuration"), QStringLiteral("Backup"),
         QStringLiteral("127.0.0.1"), QStringLiteral("nsw.cfg"));
    ASSERT_TRUE(Press(*page, kIdApply, kTransferWaitMs));
    EXPECT_EQ(m_boxes.Texts(), QStringList{"Success!"}); // no warning before a backup
    EXPECT_TRUE(page->OutcomeLine().contains(QStringLiteral("Configuration backup done")))
        << page->OutcomeLine().toStdString();
    EXPECT_EQ(Get(QStringLiteral("1.3.6.1.4.1.32473.10.75.7.3.5.0")), "127.0.0.1");
    EXPECT_EQ(Get(QStringLiteral("1.3.6.1.4.1.32473.10.75.7.3.6.0")), "nsw.cfg");
    EXPECT_EQ(Get(QStringLiteral("1.3.6.1.4.1.32473.10.75.7.3.7.0")), "2");
    const QByteArray hexName = QByteArray("before-backup").toHex();
    QByteArray backup = m_tftpd.Read(QStringLiteral("nsw.cfg"));
    ASSERT_TRUE(backup.contains("1.3.6.1.2.1.1.5.0 s " + hexName + '\n'))
        << backup.left(400).toStdString();
    Shot(*page, QStringLiteral("transfer"));

    // The file, edited, comes back and changes the switch.
    backup.replace(hexName, QByteArray("restored-by-tftp").toHex());
    ASSERT_TRUE(m_tftpd.Write(QStringLiteral("edited.cfg"), backup));
    ASSERT_TRUE(Set(kSysName, QStringLiteral("s"), QStringLiteral("changed")));
    m_boxes.Clear();
    Fill(*page, QStringLiteral("Configuration"), QStringLiteral("Upgrade"),
         QStringLiteral("127.0.0.1"), QStringLiteral("edited.cfg"));
    ASSERT_TRUE(Press(*page, kIdApply, kTransferWaitMs));
    EXPECT_EQ(m_boxes.Texts(), (QStringList{kWarning, "Success!"}));
    EXPECT_EQ(Get(kSysName), "restored-by-tftp");
    EXPECT_TRUE(IsEnabled(*page, kIdApply));
    EXPECT_EQ(page->Control<QProgressBar>(kIdProgress)->value(), 100);
}

TEST_F(TransferPage, FirmwareUpgradeOfAFileThatIsNoFirmwareFails) {
    ASSERT_TRUE(m_tftpd.Write(QStringLiteral("notes.txt"), "these are no firmware\n"));
    auto page = OpenPage(kTransferCommand);
    ASSERT_TRUE(page);
    Fill(*page, QStringLiteral("Firmware"), QStringLiteral("Upgrade"), QStringLiteral("127.0.0.1"),
         QStringLiteral("notes.txt"));
    ASSERT_TRUE(Press(*page, kIdApply, kTransferWaitMs));
    EXPECT_EQ(m_boxes.Texts(), (QStringList{kWarning, "Firmware Upgrade Fail !"}));
    EXPECT_TRUE(page->OutcomeLine().contains(QStringLiteral("Firmware upgrade failed")))
        << page->OutcomeLine().toStdString();
    EXPECT_EQ(Get(QStringLiteral("1.3.6.1.4.1.32473.10.75.7.3.4.0")), "3");
    EXPECT_EQ(Get(QStringLiteral("1.3.6.1.4.1.32473.10.75.7.3.2.0")), "notes.txt");
}

TEST_F(TransferPage, ChecksSendNothingAndAFailedBackupSaysSo) {
    auto page = OpenPage(kTransferCommand);
    ASSERT_TRUE(page);
    ResetRequests();
    Fill(*page, QStringLiteral("Configuration"), QStringLiteral("Backup"), QString(),
         QStringLiteral("nsw.cfg"));
    Click(*page, kIdApply);
    Fill(*page, QStringLiteral("Configuration"), QStringLiteral("Backup"),
         QStringLiteral("127.0.0.1"), QStringLiteral("../nsw.cfg"));
    Click(*page, kIdApply);
    EXPECT_EQ(m_boxes.Texts(), (QStringList{"Invalid TFTP server IP.", "Invalid file."}));
    EXPECT_EQ(Requests(), 0);

    // Typing past 64 characters is stopped with a message.
    m_boxes.Clear();
    SetText(*page, kIdFileName, QString());
    QTest::keyClicks(page->Control(kIdFileName), QString(65, u'f'));
    EXPECT_EQ(m_boxes.Texts(), QStringList{"The maximum length of file name is 64!"});
    EXPECT_EQ(Text(*page, kIdFileName), QString(64, u'f'));

    // No server answers: the switch reports the failure and the page says so.
    m_tftpd.Stop();
    m_boxes.Clear();
    Fill(*page, QStringLiteral("Configuration"), QStringLiteral("Backup"),
         QStringLiteral("127.0.0.1"), QStringLiteral("nsw.cfg"));
    ASSERT_TRUE(Press(*page, kIdApply, kTransferWaitMs));
    EXPECT_EQ(m_boxes.Texts(), QStringList{"Config Restore Fail !"});
    EXPECT_TRUE(page->OutcomeLine().contains(QStringLiteral("Configuration backup failed")))
        << page->OutcomeLine().toStdString();
}

} // namespace
