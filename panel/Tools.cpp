#include "Tools.h"

#include "platform/Trace.h"

#include <QHostAddress>
#include <QProcess>
#include <QStandardPaths>

namespace {

struct STerminal {
    const char* name;
    QStringList runOption; // what comes before the command to run
};

ProgramLauncher& Launcher() {
    static ProgramLauncher launcher;
    return launcher;
}

} // namespace

QString FindInPath(const QString& name) {
    return QStandardPaths::findExecutable(name);
}

QString AddressArgument(const QString& ip) {
    QHostAddress address;
    if (ip.isEmpty() || !address.setAddress(ip) ||
        address.protocol() != QAbstractSocket::IPv4Protocol)
        return QString();
    return ip;
}

SProgram TelnetCommand(const QString& ip, const ExecutableFinder& find) {
    // Debian's alternative first, then the common terminals by name.
    static const std::vector<STerminal> terminals = {
        {"x-terminal-emulator", {QStringLiteral("-e")}},
        {"gnome-terminal", {QStringLiteral("--")}},
        {"konsole", {QStringLiteral("-e")}},
        {"xfce4-terminal", {QStringLiteral("-x")}},
        {"xterm", {QStringLiteral("-e")}},
    };
    const QString telnet = find(QStringLiteral("telnet"));
    for (const STerminal& terminal : terminals) {
        const QString path = find(QString::fromLatin1(terminal.name));
        if (path.isEmpty())
            continue;
        SProgram program{path, terminal.runOption};
        program.arguments << (telnet.isEmpty() ? QStringLiteral("telnet") : telnet);
        if (const QString address = AddressArgument(ip); !address.isEmpty())
            program.arguments << address;
        return program;
    }
    return {};
}

SProgram BrowserCommand(const QString& ip, const ExecutableFinder& find) {
    for (const char* name : {"xdg-open", "x-www-browser", "sensible-browser"}) {
        const QString path = find(QString::fromLatin1(name));
        if (path.isEmpty())
            continue;
        SProgram program{path, {}};
        if (const QString address = AddressArgument(ip); !address.isEmpty())
            program.arguments << QStringLiteral("http://") + address + QStringLiteral("/");
        return program;
    }
    return {};
}

ProgramLauncher SetProgramLauncher(ProgramLauncher launcher) {
    ProgramLauncher previous = std::move(Launcher());
    Launcher() = std::move(launcher);
    return previous;
}

bool LaunchProgram(const SProgram& program) {
    if (Launcher())
        return Launcher()(program);
    if (program.program.isEmpty())
        return false;
    const bool started = QProcess::startDetached(program.program, program.arguments);
    TraceF("start %s: %s", qPrintable(program.program), started ? "ok" : "failed");
    return started;
}
