// nsw-sim: a simulated switch of the NSW-4410/NGX family, an SNMP agent that
// the module, the tests and the demo run against.
#include "Agent.h"
#include "Hostile.h"
#include "Switch.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <iostream>

#ifndef NSW_PROFILE_DIR
#define NSW_PROFILE_DIR "res/profiles"
#endif

namespace {

std::atomic<bool> g_stop{false};
std::atomic<bool> g_endFaults{false};

void OnSignal(int) {
    g_stop.store(true);
}

// A stopped or silenced switch ignores SNMP from everybody but the control
// community; a person at a shell can end the faults with SIGUSR1 too.
void OnEndFaults(int) {
    g_endFaults.store(true);
}

void InstallSignals() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: select() returns at once
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    action.sa_handler = OnEndFaults;
    sigaction(SIGUSR1, &action, nullptr);
}

// NAME:LEVEL[:AUTH:AUTHPASS[:PRIV:PRIVPASS]][:ro]
bool ParseUser(const QString& text, nswsim::V3User& user, QString& error) {
    QStringList parts = text.split(u':');
    if (!parts.isEmpty() && parts.last() == u"ro") {
        user.readOnly = true;
        parts.removeLast();
    }
    if (parts.size() < 2) {
        error = "--v3-user needs at least NAME:LEVEL: " + text;
        return false;
    }
    user.name = parts[0].toStdString();
    user.level = parts[1].toLower().toStdString();
    const std::size_t needed = user.level == "noauth" ? 2 : user.level == "auth" ? 4 : 6;
    if (user.level != "noauth" && user.level != "auth" && user.level != "priv") {
        error = "--v3-user level must be noauth, auth or priv: " + text;
        return false;
    }
    if (static_cast<std::size_t>(parts.size()) != needed) {
        error = "--v3-user " + text + ": expected " + QString::number(needed) + " fields";
        return false;
    }
    if (needed >= 4) {
        user.auth = parts[2].toUpper().toStdString();
        user.authPassword = parts[3].toStdString();
        if (user.auth != "MD5" && user.auth != "SHA") {
            error = "--v3-user authentication must be MD5 or SHA: " + text;
            return false;
        }
    }
    if (needed == 6) {
        user.priv = parts[4].toUpper().toStdString();
        user.privPassword = parts[5].toStdString();
        if (user.priv != "DES" && user.priv != "AES") {
            error = "--v3-user privacy must be DES or AES: " + text;
            return false;
        }
    }
    for (const std::string* pass : {&user.authPassword, &user.privPassword})
        if (!pass->empty() && pass->size() < 8) {
            error = "--v3-user passwords need at least 8 characters: " + text;
            return false;
        }
    return true;
}

// Installed, the profiles lie beside the executable; in the build tree they
// stay in the source tree.
QString DefaultProfileDir() {
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/profiles");
    return QFileInfo(beside).isDir() ? beside : QStringLiteral(NSW_PROFILE_DIR);
}

bool IsPlainWord(const QString& text) {
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c.isSpace() || c == u'"' || c == u'\'' || c.unicode() < 0x21 || c.unicode() > 0x7e)
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nsw-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A simulated NSW-4410/NGX switch: an SNMP agent (v1, v2c, v3) serving the switch's standard and enterprise objects."));
    parser.addHelpOption();
    nswsim::Options defaults;
    auto option = [&](const char* name, const QString& help, const QString& value = {},
                      const QString& def = {}) {
        const QString text = def.isEmpty() ? help : help + QStringLiteral(" Default: ") + def + u'.';
        QCommandLineOption o(QString::fromLatin1(name), text, value, def);
        parser.addOption(o);
        return o;
    };
    const auto model = option("model", QStringLiteral("Model name, e.g. \"NSW-4410-28P B1\"."),
                              QStringLiteral("name"), QString::fromStdString(defaults.model));
    const auto listen = option("listen", QStringLiteral("UDP address to serve on."),
                               QStringLiteral("ip:port"), QString::fromStdString(defaults.listen));
    const auto state =
        option("state", QStringLiteral("State file: loaded at start, written by a save."),
               QStringLiteral("file"));
    const auto profiles = option("profiles", QStringLiteral("Folder of the model profiles."),
                                 QStringLiteral("dir"), DefaultProfileDir());
    const auto readCommunity =
        option("read-community", QStringLiteral("Read community."), QStringLiteral("text"),
               QString::fromStdString(defaults.readCommunity));
    const auto writeCommunity =
        option("write-community", QStringLiteral("Write community."), QStringLiteral("text"),
               QString::fromStdString(defaults.writeCommunity));
    const auto controlCommunity =
        option("control-community",
               QStringLiteral("Community of the simulator's control subtree (1.3.6.1.4.1.32473.99); the only one that reaches it."),
               QStringLiteral("text"), QString::fromStdString(defaults.controlCommunity));
    const auto user =
        option("v3-user",
               QStringLiteral("SNMPv3 user, repeatable: NAME:noauth, NAME:auth:MD5|SHA:PASS or NAME:priv:MD5|SHA:PASS:DES|AES:PASS; append :ro for read-only."),
               QStringLiteral("user"));
    const auto fdb = option("fdb", QStringLiteral("Entries of the forwarding table (0-100000)."),
                            QStringLiteral("n"), QString::number(defaults.fdbEntries));
    const auto lldp = option("lldp-neighbours", QStringLiteral("LLDP remote entries (0-64)."),
                             QStringLiteral("n"), QString::number(defaults.lldpNeighbours));
    const auto reboot =
        option("reboot-time", QStringLiteral("How long a reboot keeps the switch silent."),
               QStringLiteral("ms"), QString::number(defaults.rebootMs));
    const auto tftpPort = option("tftp-port", QStringLiteral("UDP port of the TFTP servers."),
                                 QStringLiteral("port"), QString::number(defaults.tftpPort));
    const auto tftpTimeout =
        option("tftp-timeout", QStringLiteral("Wait for a TFTP answer before retrying."),
               QStringLiteral("ms"), QString::number(defaults.tftpTimeoutMs));
    const auto tftpAny =
        option("tftp-any-address", QStringLiteral("Allow TFTP servers outside 127.0.0.0/8."));
    const auto drop = option("drop", QStringLiteral("Share of requests left unanswered."),
                             QStringLiteral("percent"), QStringLiteral("0"));
    const auto delay = option("delay", QStringLiteral("Delay before every answer."),
                              QStringLiteral("ms"), QStringLiteral("0"));
    const auto stopAfter =
        option("stop-after",
               QStringLiteral("Answer this many requests, then stop answering (-1 never)."),
               QStringLiteral("n"), QString::number(defaults.stopAfter));
    const auto stopFor =
        option("stop-for",
               QStringLiteral("How long a stop lasts (0: until the control subtree or SIGUSR1 ends it)."),
               QStringLiteral("ms"), QString::number(defaults.stopForMs));
    const auto hostile = option(
        "hostile",
        QStringLiteral("Hostile answers for robustness tests: all kinds, or those listed (%1). The control community stays honest. Written --hostile or --hostile=LIST.")
            .arg(QString::fromStdString(nswsim::HostileKindNames())),
        QStringLiteral("list"));
    const auto runtime = option("runtime-dir",
                                QStringLiteral("Private folder of the SNMP library (default: a temporary folder removed at exit)."),
                                QStringLiteral("dir"));

    // --hostile alone means every kind (the parser wants a value).
    QStringList arguments = QCoreApplication::arguments();
    for (QString& argument : arguments)
        if (argument == u"--hostile")
            argument = QStringLiteral("--hostile=all");
    if (!parser.parse(arguments)) {
        std::cerr << "nsw-sim: " << parser.errorText().toStdString() << '\n';
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::cout << parser.helpText().toStdString();
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::cerr << "nsw-sim: unexpected argument "
                  << parser.positionalArguments().first().toStdString() << '\n';
        return 2;
    }

    nswsim::Options options;
    QString error;
    auto number = [&](const QCommandLineOption& o, int lo, int hi, int& out) {
        bool ok = false;
        const int value = parser.value(o).toInt(&ok);
        if (!ok || value < lo || value > hi) {
            error = "--" + o.names().first() + " must be a number from " + QString::number(lo) +
                    " to " + QString::number(hi);
            return false;
        }
        out = value;
        return true;
    };
    options.model = parser.value(model).toStdString();
    options.listen = parser.value(listen).toStdString();
    options.stateFile = parser.value(state).toStdString();
    options.profilesDir = parser.value(profiles).toStdString();
    options.readCommunity = parser.value(readCommunity).toStdString();
    options.writeCommunity = parser.value(writeCommunity).toStdString();
    options.controlCommunity = parser.value(controlCommunity).toStdString();
    options.tftpAnyAddress = parser.isSet(tftpAny);
    bool ok = number(fdb, 0, 100000, options.fdbEntries) &&
              number(lldp, 0, 64, options.lldpNeighbours) &&
              number(reboot, 0, 600000, options.rebootMs) &&
              number(tftpPort, 1, 65535, options.tftpPort) &&
              number(tftpTimeout, 50, 60000, options.tftpTimeoutMs) &&
              number(drop, 0, 100, options.dropPercent) && number(delay, 0, 60000, options.delayMs) &&
              number(stopAfter, -1, 1000000, options.stopAfter) &&
              number(stopFor, 0, 600000, options.stopForMs);
    for (const QCommandLineOption* o : {&readCommunity, &writeCommunity, &controlCommunity})
        if (ok && !IsPlainWord(parser.value(*o))) {
            error = "--" + o->names().first() + " must be printable text without blanks or quotes";
            ok = false;
        }
    if (ok && (options.controlCommunity == options.readCommunity ||
               options.controlCommunity == options.writeCommunity)) {
        error = "the control community must differ from the read and write communities";
        ok = false;
    }
    if (ok && parser.isSet(hostile)) {
        nswsim::HostileKinds kinds;
        std::string message;
        if (!nswsim::ParseHostileKinds(parser.value(hostile).toStdString(), kinds, message)) {
            error = "--hostile: " + QString::fromStdString(message);
            ok = false;
        }
        options.hostileKinds = kinds.to_ulong();
    }
    for (const QString& text : parser.values(user)) {
        nswsim::V3User v3;
        if (!ok || !ParseUser(text, v3, error)) {
            ok = false;
            break;
        }
        options.users.push_back(v3);
    }
    if (!ok) {
        std::cerr << "nsw-sim: " << error.toStdString() << '\n';
        return 2;
    }

    std::unique_ptr<QTemporaryDir> temporary;
    if (parser.isSet(runtime)) {
        options.runtimeDir = parser.value(runtime).toStdString();
        QDir().mkpath(parser.value(runtime));
    } else {
        temporary =
            std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/nsw-sim-XXXXXX"));
        if (!temporary->isValid()) {
            std::cerr << "nsw-sim: cannot create a runtime folder\n";
            return 1;
        }
        options.runtimeDir = temporary->path().toStdString();
    }

    nswsim::Model chosen = nswsim::LoadModel(options.model, options.profilesDir);
    if (!chosen.known)
        std::cerr << "nsw-sim: no profile for \"" << options.model
                  << "\", using the 28-port default\n";
    nswsim::Switch sw(chosen, options);
    std::string failure;
    nswsim::RegisterFeatures(sw);
    if (!sw.Start(failure)) {
        std::cerr << "nsw-sim: " << failure << '\n';
        return 1;
    }
    InstallSignals();
    nswsim::Agent agent(sw);
    if (!agent.Start(failure)) {
        std::cerr << "nsw-sim: " << failure << '\n';
        return 1;
    }
    std::cout << "nsw-sim listening on " << agent.Address() << std::endl;
    agent.Run(g_stop, &g_endFaults);
    return 0;
}
