// Transfers: the configuration a backup sends, the firmware an upgrade takes,
// when the operation is refused. Syslog: real messages on a loopback UDP
// socket, and values the pages cannot set put in through the control subtree.
#include "SimTest.h"
#include "tests/management/TransferTftpd.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QRegularExpression>
#include <QThread>
#include <QUdpSocket>

namespace {

constexpr const char* kModel = "NSW-4410-28P B1";

class TransferSimTest : public CSimSuite {
protected:
    void SetUp() override {
        if (!CTftpdProcess::Available())
            GTEST_SKIP() << "needs tftpd-hpa and root";
        ASSERT_TRUE(m_tftpd.Start()) << m_tftpd.Error().toStdString();
        StartSim({"--model", kModel, "--tftp-port", QString::number(m_tftpd.Port()),
                  "--tftp-timeout", "500"});
    }
    void TearDown() override { s_sim.reset(); }

    // Starts a transfer and waits for its end; the final status, or the
    // reason the switch refused it.
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

    CTftpdProcess m_tftpd;
};

TEST_F(TransferSimTest, BackupSendsTheRunningConfigurationUnsaved) {
    ASSERT_EQ(Set({"1.3.6.1.2.1.1.5.0", "s", "unsaved"}), "");
    EXPECT_EQ(Run(false, "127.0.0.1", "running.cfg", 2), "2");
    EXPECT_TRUE(m_tftpd.Read("running.cfg").contains("1.3.6.1.2.1.1.5.0 s 756e7361766564\n"));
}

TEST_F(TransferSimTest, FirmwareUpgradeTakesOnlyThisModelsImage) {
    // A configuration is no firmware, nor is another model's image.
    EXPECT_EQ(Run(false, "127.0.0.1", "switch.cfg", 2), "2");
    EXPECT_EQ(Run(true, "127.0.0.1", "switch.cfg", 1), "3");
    QByteArray other("NSW-FIRMWARE NGX-4410-10P B1 1.00.017\n");
    other.append(4000, '\xff');
    ASSERT_TRUE(m_tftpd.Write("other.bin", other));
    EXPECT_EQ(Run(true, "127.0.0.1", "other.bin", 1), "3");
    // The switch's own image, backed up, goes back in.
    EXPECT_EQ(Run(true, "127.0.0.1", "own.bin", 2), "2");
    EXPECT_TRUE(m_tftpd.Read("own.bin").startsWith(QByteArray("NSW-FIRMWARE ") + kModel + ' '));
    EXPECT_EQ(Run(true, "127.0.0.1", "own.bin", 1), "2");
}

TEST_F(TransferSimTest, OperationRefusedForServersAndFilesThePageRefuses) {
    for (const char* server : {"0.0.0.0", "0.1.2.3", "224.0.0.1", "255.255.255.255"})
        EXPECT_EQ(Run(false, server, "switch.cfg", 2), "inconsistentValue") << server;
    for (const char* file : {"", "a b.cfg", "../up.cfg", "dir/../../x", "dir/", "a\\b"})
        EXPECT_EQ(Run(false, "127.0.0.1", file, 2), "inconsistentValue") << file;
    EXPECT_EQ(Run(false, "127.0.0.1", QString(65, u'a'), 2), "wrongLength");
    EXPECT_EQ(Run(false, "127.0.0.1", "dir-less/../ok.cfg", 2), "inconsistentValue");
    EXPECT_EQ(Run(false, "127.0.0.1", QString(64, u'a'), 2), "2");
}

TEST_F(TransferSimTest, OneTransferAtATime) {
    // Nobody answers on this port: the backup stays in progress for a while.
    m_tftpd.Stop();
    ASSERT_EQ(Set({Enterprise("3.5.0"), "a", "127.0.0.1", Enterprise("3.6.0"), "s", "a.cfg",
                   Enterprise("3.7.0"), "i", "2"}),
              "");
    EXPECT_EQ(Get(Enterprise("3.8.0")), "1");
    EXPECT_EQ(Set({Enterprise("3.1.0"), "a", "127.0.0.1", Enterprise("3.2.0"), "s", "fw.bin",
                   Enterprise("3.3.0"), "i", "1"}),
              "inconsistentValue");
}

class SyslogSimTest : public CSimSuite {
protected:
    void SetUp() override {
        StartSim({"--model", kModel});
        ASSERT_TRUE(m_socket.bind(QHostAddress::LocalHost, 0));
    }
    void TearDown() override { s_sim.reset(); }

    // The next message, or empty after a wait.
    QString Next(int waitMs = 5000) {
        if (!m_socket.hasPendingDatagrams() && !m_socket.waitForReadyRead(waitMs))
            return {};
        QByteArray datagram(static_cast<int>(m_socket.pendingDatagramSize()), '\0');
        m_socket.readDatagram(datagram.data(), datagram.size());
        return QString::fromUtf8(datagram);
    }
    QString Syslog(int arc) { return Enterprise(QStringLiteral("16.1.%1.0").arg(arc)); }

    QUdpSocket m_socket;
};

TEST_F(SyslogSimTest, SendsConfigurationChangesToTheServer) {
    // local1 (136), threshold Info: notices pass.
    ASSERT_EQ(
        Set({Syslog(1), "a", "127.0.0.1", Syslog(2), "i", QString::number(m_socket.localPort()),
             Syslog(4), "i", "6", Syslog(5), "i", "136", Syslog(6), "i", "1"}),
        "");
    const QRegularExpression rfc5424(QStringLiteral(
        R"(^<141>1 \d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z 127\.0\.0\.1 nsw - CONFIG - (.*)$)"));
    auto match = rfc5424.match(Next());
    ASSERT_TRUE(match.hasMatch());
    EXPECT_EQ(match.captured(1), "Remote logging enabled");

    ASSERT_EQ(Set({"1.3.6.1.2.1.1.5.0", "s", "logged"}), "");
    match = rfc5424.match(Next());
    ASSERT_TRUE(match.hasMatch());
    EXPECT_EQ(match.captured(1), "Configuration changed: sysName");

    // A read changes nothing and sends nothing; the threshold Warning stops notices.
    EXPECT_EQ(Get("1.3.6.1.2.1.1.5.0"), "\"logged\"");
    ASSERT_EQ(Set({Syslog(4), "i", "4"}), "");
    ASSERT_EQ(Set({"1.3.6.1.2.1.1.5.0", "s", "quiet"}), "");
    EXPECT_EQ(Next(500), "");

    // Off: nothing more.
    ASSERT_EQ(Set({Syslog(4), "i", "7", Syslog(6), "i", "2"}), "");
    ASSERT_EQ(Set({"1.3.6.1.2.1.1.5.0", "s", "unlogged"}), "");
    EXPECT_EQ(Next(500), "");
}

TEST_F(SyslogSimTest, ControlPutsInValuesThePageCannotSet) {
    EXPECT_EQ(Set({Syslog(5), "i", "120"}), "wrongValue");
    ASSERT_TRUE(CtlSet(QStringLiteral("7.1.0"), QStringLiteral("i"), QStringLiteral("120")));
    ASSERT_TRUE(CtlSet(QStringLiteral("7.2.0"), QStringLiteral("i"), QStringLiteral("5")));
    EXPECT_EQ(Get(Syslog(5)), "120");
    EXPECT_EQ(Get(Syslog(4)), "5");
    EXPECT_EQ(CtlGet(QStringLiteral("7.1.0")), "120");
}

} // namespace
