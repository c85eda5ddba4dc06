#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// A program and its arguments, started without a shell: an address can never
// be read as shell syntax.
struct SProgram {
    QString program; // full path; empty when nothing suitable is installed
    QStringList arguments;
};

// Looks a program up in PATH; tests pass their own.
using ExecutableFinder = std::function<QString(const QString& name)>;
QString FindInPath(const QString& name);

// The address as an argument: only a dotted IPv4 address is passed (so that
// nothing starting with "-" reaches a program as an option); empty otherwise.
QString AddressArgument(const QString& ip);

// telnet in the desktop's terminal emulator, with the address as its own
// argument (none when the address is empty).
SProgram TelnetCommand(const QString& ip, const ExecutableFinder& find = FindInPath);
// The desktop's default browser opener with "http://" + address.
SProgram BrowserCommand(const QString& ip, const ExecutableFinder& find = FindInPath);

// Starts a program detached; false when it could not start. Tests install
// their own launcher and get the previous one back.
using ProgramLauncher = std::function<bool(const SProgram&)>;
ProgramLauncher SetProgramLauncher(ProgramLauncher launcher);
bool LaunchProgram(const SProgram& program);
