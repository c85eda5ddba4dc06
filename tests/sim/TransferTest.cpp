// Firmware and configuration transfers against Debian's tftpd-hpa on loopback.
#include "SimTest.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <unistd.h>

namespace {

class TransferTest : public CSimSuite {
protected:
    void SetUp() override {
        const QString tftpd = QStringLiteral("/usr/sbin/in.tftpd");
        if (!QFile::exists(tftpd) || geteuid() != 0)
            GTEST_SKIP() << "needs tftpd-hpa and root (it serves from a chroot)";
        ASSERT_TRUE(m_root.isValid());
        QFile::setPermissions(m_root.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                 QFileDevice::WriteOther | QFileDevice::ExeOther);
        m_port = CSimProcess::FreeUdpPort();
        m_tftpd.start(tftpd, {"--foreground", "--listen", "--address",
                              QStringLiteral("127.0.0.1:%1").arg(m_port), "--secure", "--create",
                              "--permissive", "--user", "root", m_root.path()});
        ASSERT_TRUE(m_tftpd.waitForStarted());
        QThread::msleep(200);
        ASSERT_EQ(m_tftpd.state(), QProcess::Running) << m_tftpd.readAll().toStdString();
        StartSim({"--tftp-port", QString::number(m_port), "--tftp-timeout", "500"});
    }
    void TearDown() override {
        s_sim.reset();
        if (m_tftpd.state() != QProcess::NotRunning) {
            m_tftpd.terminate();
            m_tftpd.waitForFinished();
        }
    }
    // Starts a transfer (firmware: 3.1-3.4, configuration: 3.5-3.8) and
    // waits for its end; returns the final status.
    static QString Run(bool firmware, const QString& server, const QString& file, int operation) {
        const int base = firmware ? 1 : 5;
        const QString reply = Set({Enterprise(QStringLiteral("3.%1.0").arg(base)), "a", server,
                                   Enterprise(QStringLiteral("3.%1.0").arg(base + 1)), "s", file,
                                   Enterprise(QStringLiteral("3.%1.0").arg(base + 2)), "i",
                                   QString::number(operation)});
        if (!reply.isEmpty())
            return reply;
        const QString statusOid = Enterprise(QStringLiteral("3.%1.0").arg(base + 3));
        QDeadlineTimer deadline(15000);
        QString status = Get(statusOid);
        while (status == u"1" && !deadline.hasExpired()) {
            QThread::msleep(50);
            status = Get(statusOid);
        }
        return status;
    }
    QString Path(const QString& name) const { return m_root.filePath(name); }

    QTemporaryDir m_root;
    QProcess m_tftpd;
    int m_port = 0;
};

TEST_F(TransferTest, BackupThenRestoreConfiguration) {
    ASSERT_EQ(Set({"1.3.6.1.2.1.1.5.0", "s", "backed-up"}), "");
    ASSERT_EQ(Set({Enterprise("1.10.0"), "i", "1"}), "");
    EXPECT_EQ(Run(false, "127.0.0.1", "switch.cfg", 2), "2");
    QFile backup(Path("switch.cfg"));
    ASSERT_TRUE(backup.open(QIODevice::ReadOnly));
    QByteArray text = backup.readAll();
    EXPECT_TRUE(text.startsWith("nsw-sim-config 1\n"));
    EXPECT_TRUE(text.contains("1.3.6.1.2.1.1.5.0 s 6261636b65642d7570\n")); // "backed-up"

    // Edit the backup ("restored") and load it back.
    text.replace("6261636b65642d7570", "726573746f726564");
    QFile edited(Path("edited.cfg"));
    ASSERT_TRUE(edited.open(QIODevice::WriteOnly));
    edited.write(text);
    edited.close();
    ASSERT_EQ(Set({"1.3.6.1.2.1.1.5.0", "s", "changed"}), "");
    EXPECT_EQ(Run(false, "127.0.0.1", "edited.cfg", 1), "2");
    EXPECT_EQ(Get("1.3.6.1.2.1.1.5.0"), "\"restored\"");

    // Something that is not a configuration fails and changes nothing.
    QFile junk(Path("junk.cfg"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a configuration\n");
    junk.close();
    EXPECT_EQ(Run(false, "127.0.0.1", "junk.cfg", 1), "3");
    EXPECT_EQ(Get("1.3.6.1.2.1.1.5.0"), "\"restored\"");
}

TEST_F(TransferTest, FirmwareUpgradeNeedsAFile) {
    QFile image(Path("fw.bin"));
    ASSERT_TRUE(image.open(QIODevice::WriteOnly));
    image.write("NSW-FIRMWARE NSW-4410-28P B1 1.00.018\n");
    image.write(QByteArray(1300, 'x')); // three blocks
    image.close();
    QFile empty(Path("empty.bin"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_EQ(Run(true, "127.0.0.1", "fw.bin", 1), "2");
    EXPECT_EQ(Run(true, "127.0.0.1", "empty.bin", 1), "3");
    EXPECT_EQ(Run(true, "127.0.0.1", "missing.bin", 1), "3");
    EXPECT_EQ(Run(true, "127.0.0.1", "saved-fw.bin", 2), "2");
    EXPECT_GT(QFile(Path("saved-fw.bin")).size(), 512);
}

TEST_F(TransferTest, RefusesIncompleteOrRemoteTransfers) {
    EXPECT_EQ(Run(true, "0.0.0.0", "fw.bin", 1), "inconsistentValue");
    EXPECT_EQ(Run(true, "127.0.0.1", "", 1), "inconsistentValue");
    // Never leaves loopback unless told to.
    EXPECT_EQ(Run(false, "192.0.2.10", "switch.cfg", 2), "3");
    // No server on that port: the transfer times out and fails.
    m_tftpd.terminate();
    m_tftpd.waitForFinished();
    EXPECT_EQ(Run(false, "127.0.0.1", "switch.cfg", 2), "3");
}

} // namespace
