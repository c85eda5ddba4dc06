// Two real module processes for one switch: the second raises the first and ends.

#include "common/ModuleProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

#include <signal.h>

namespace {

// port 9 on loopback: nothing answers, nothing leaves the machine
QStringList LaunchLine(const QString& ip) {
    return {QStringLiteral("/X/I") + ip + QStringLiteral("/Rr/Ww/Vtrue/S2/P9")};
}

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        // The module reads User.ini beside its executable: give it a folder of its own.
        m_program = m_dir.filePath(QStringLiteral("nsw-module"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(NSW_BIN_DIR "/nsw-module"), m_program));
        QFile ini(m_dir.filePath(QStringLiteral("User.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        // A model name of its own keeps this test apart from any other module running here.
        m_model = QStringLiteral("Test %1").arg(QCoreApplication::applicationPid());
        ini.write(QStringLiteral("[DeviceInfo]\nDeviceName=%1\nXMLName=none.xml\n").arg(m_model).toUtf8());
    }

    QTemporaryDir m_dir;
    QString m_program;
    QString m_model;
};

} // namespace

TEST_F(SingleInstanceTest, SecondStartRaisesTheFirstAndOtherAddressesRunBeside) {
    CModuleProcess first(m_program, LaunchLine(QStringLiteral("127.0.0.1")));
    ASSERT_TRUE(first.WaitFor("started")) << first.Output().toStdString();

    CModuleProcess second(m_program, LaunchLine(QStringLiteral("127.0.0.1")));
    EXPECT_TRUE(second.WaitEnded(10000));
    EXPECT_TRUE(second.Output().contains("already runs")) << second.Output().toStdString();
    EXPECT_TRUE(first.WaitFor("activate requested")) << first.Output().toStdString();
    EXPECT_TRUE(first.Running());

    CModuleProcess other(m_program, LaunchLine(QStringLiteral("127.0.0.2")));
    EXPECT_TRUE(other.WaitFor("started")) << other.Output().toStdString();
    EXPECT_TRUE(other.Running());
}

TEST_F(SingleInstanceTest, InstanceLeftByACrashDoesNotBlockStartUp) {
    {
        CModuleProcess crashed(m_program, LaunchLine(QStringLiteral("127.0.0.3")));
        ASSERT_TRUE(crashed.WaitFor("started")) << crashed.Output().toStdString();
        crashed.Crash();
    }
    CModuleProcess next(m_program, LaunchLine(QStringLiteral("127.0.0.3")));
    EXPECT_TRUE(next.WaitFor("started")) << next.Output().toStdString();
    EXPECT_TRUE(next.Running());
}

TEST_F(SingleInstanceTest, MessagesOfAFailedStart) {
    // no command line at all: the message box would block, so it is answered by
    // the offscreen platform never; the process must still not crash before it
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("NSW_MESSAGES_TO_STDERR"), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(m_program, {});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(process.readAll().contains("No parameter input !"));
}
