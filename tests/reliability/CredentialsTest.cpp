// Credentials stay private: the module's arguments as other users see them,
// its traces and its crash output never show a community or a v3 password,
// and the Telnet and Web tools hand the address over without a shell.

#include "common/ModuleProcess.h"
#include "common/SimProcess.h"
#include "panel/PanelTestKit.h"
#include "panel/Tools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <signal.h>

namespace {

const QByteArray kReadCommunity = "rd-Community-7f3a";
const QByteArray kWriteCommunity = "wr-Community-91c2";
const QByteArray kAuthPassword = "auth-Secret-5d8e";
const QByteArray kPrivPassword = "priv-Secret-0b4c";

QByteArray Leaked(const QByteArray& text) {
    for (const QByteArray& secret : {kReadCommunity, kWriteCommunity, kAuthPassword, kPrivPassword})
        if (text.contains(secret))
            return secret;
    return {};
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(Credentials, HiddenFromArgumentsTracesAndCrashOutput) {
    const QString model = QStringLiteral("NGX-4410-10P B1");
    CSimProcess sim;
    ASSERT_TRUE(sim.Start({QStringLiteral("--model"), model, QStringLiteral("--v3-user"),
                           QStringLiteral("keeper:priv:SHA:%1:AES:%2")
                               .arg(QString::fromLatin1(kAuthPassword),
                                    QString::fromLatin1(kPrivPassword))}))
        << sim.Output().toStdString();
    // The module reads its profile beside its executable.
    CModelFolder folder(model);
    const QString program = QDir(folder.Path()).filePath(QStringLiteral("nsw-module"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(NSW_BIN_DIR "/nsw-module"), program));

    const QString line = QStringLiteral("/X/I127.0.0.1/R%1/W%2/Vtrue/S3/P%3/a/b/c/L3/Ukeeper/A%4/P%5/H3/E4")
                             .arg(QString::fromLatin1(kReadCommunity),
                                  QString::fromLatin1(kWriteCommunity))
                             .arg(sim.Port())
                             .arg(QString::fromLatin1(kAuthPassword),
                                  QString::fromLatin1(kPrivPassword));
    CModuleProcess module(program, {line});
    // Port rows prove the credentials reached the switch intact.
    ASSERT_TRUE(module.WaitFor("m_uPortStatus = ", 20000)) << module.Output().toStdString();

    const QString proc = QStringLiteral("/proc/%1/").arg(module.Pid());
    const QByteArray cmdline = ReadAll(proc + QStringLiteral("cmdline"));
    EXPECT_TRUE(cmdline.contains("/R*/W*/")) << cmdline.toStdString();
    EXPECT_TRUE(cmdline.contains("/Ukeeper/A*/P*/H3/E4")) << cmdline.toStdString();
    EXPECT_EQ(Leaked(cmdline).toStdString(), "");
    EXPECT_EQ(Leaked(ReadAll(proc + QStringLiteral("environ"))).toStdString(), "");

    module.Signal(SIGSEGV);
    EXPECT_FALSE(module.Running());
    EXPECT_TRUE(module.Output().contains("nsw.trace: ")) << "traces were on";
    EXPECT_EQ(Leaked(module.Output()).toStdString(), "") << module.Output().toStdString();
}

// Tools live in a folder whose name a shell would split and run; each records
// the arguments it was given, one per line.
TEST(Credentials, TelnetAndWebToolsRunWithoutAShell) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString folder = root.filePath(QStringLiteral("tools dir;touch pwned;$(touch pwned2)"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto makeTool = [&](const QString& name) {
        const QString path = QDir(folder).filePath(name);
        QFile tool(path);
        EXPECT_TRUE(tool.open(QIODevice::WriteOnly));
        tool.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.args\"\n");
        tool.close();
        tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    };
    const QString terminal = makeTool(QStringLiteral("x-terminal-emulator"));
    const QString telnet = makeTool(QStringLiteral("telnet"));
    const QString opener = makeTool(QStringLiteral("xdg-open"));
    const auto find = [&](const QString& name) {
        const QString path = QDir(folder).filePath(name);
        return QFile::exists(path) ? path : QString();
    };
    const auto argsOf = [](const QString& tool) {
        QElapsedTimer timer;
        timer.start();
        while (!QFile::exists(tool + QStringLiteral(".args")) && timer.elapsed() < 10000)
            QThread::msleep(20);
        QThread::msleep(50);
        return QString::fromUtf8(ReadAll(tool + QStringLiteral(".args"))).split(u'\n', Qt::SkipEmptyParts);
    };

    ASSERT_TRUE(LaunchProgram(TelnetCommand(QStringLiteral("127.0.0.1"), find)));
    EXPECT_EQ(argsOf(terminal), QStringList({"-e", telnet, "127.0.0.1"}));
    ASSERT_TRUE(LaunchProgram(BrowserCommand(QStringLiteral("127.0.0.1"), find)));
    EXPECT_EQ(argsOf(opener), QStringList({"http://127.0.0.1/"}));
    // An address that is not one never reaches a tool.
    QFile::remove(terminal + QStringLiteral(".args"));
    ASSERT_TRUE(LaunchProgram(TelnetCommand(QStringLiteral("127.0.0.1;touch pwned3"), find)));
    EXPECT_EQ(argsOf(terminal), QStringList({"-e", telnet}));
    for (const char* name : {"pwned", "pwned2", "pwned3"}) {
        EXPECT_FALSE(QFile::exists(root.filePath(QString::fromLatin1(name))));
        EXPECT_FALSE(QFile::exists(QDir::current().filePath(QString::fromLatin1(name))));
    }
}
