#include "Switch.h"

#include <QFile>
#include <QSaveFile>

#include <arpa/inet.h>

#include <iostream>

namespace nswsim {

Switch::Switch(Model model, Options options)
    : m_model(std::move(model)), m_options(std::move(options)), m_boot(Clock::now()) {
    const std::string host = m_options.listen.substr(0, m_options.listen.rfind(':'));
    in_addr address{};
    if (inet_pton(AF_INET, host.c_str(), &address) == 1)
        m_listenIp = ntohl(address.s_addr);
    m_faults.dropPercent = m_options.dropPercent;
    m_faults.delayMs = m_options.delayMs;
    m_faults.answersLeft = m_options.stopAfter;
    m_faults.stopForMs = m_options.stopForMs;
}

std::uint32_t Switch::UptimeTicks() const {
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_boot);
    return static_cast<std::uint32_t>(elapsed.count() / 10);
}

std::string Switch::Mac(int port) const {
    // A locally administered block of our own.
    return std::string{'\x02', '\x4e', '\x53', '\x57', '\x00', static_cast<char>(port & 0xff)};
}

bool Switch::Start(std::string& error) {
    m_factory = m_store.Snapshot();
    m_saved = m_factory;
    if (m_options.stateFile.empty() || !QFile::exists(QString::fromStdString(m_options.stateFile)))
        return true;
    QFile file(QString::fromStdString(m_options.stateFile));
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot read the state file " + m_options.stateFile;
        return false;
    }
    Config config;
    std::string why, model;
    if (!config.Parse(file.readAll().toStdString(), why, &model)) {
        error = "state file " + m_options.stateFile + ": " + why;
        return false;
    }
    if (model != m_model.name)
        std::cerr << "nsw-sim: the state file was saved by \"" << model
                  << "\"; objects this model lacks are ignored\n";
    m_saved = config;
    m_store.Restore(m_factory, m_saved);
    return true;
}

bool Switch::WriteState(const Config& config, std::string& error) {
    if (m_options.stateFile.empty())
        return true;
    // Temporary file, then rename: a crash mid-save leaves the old file whole.
    QSaveFile file(QString::fromStdString(m_options.stateFile));
    const std::string text = config.Serialize(m_model.name);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        error = "cannot write the state file: " + file.errorString().toStdString();
        return false;
    }
    return true;
}

bool Switch::Save(std::string& error) {
    return Adopt(m_store.Snapshot(), error);
}

bool Switch::Adopt(const Config& config, std::string& error) {
    if (!WriteState(config, error))
        return false;
    m_saved = config;
    return true;
}

void Switch::Reboot() {
    m_rebootAt = Clock::now() + std::chrono::milliseconds(m_options.rebootMs);
}

bool Switch::DropRequest() {
    const auto now = Clock::now();
    Faults& f = m_faults;
    if (f.stoppedAt && f.stopForMs > 0 && now >= *f.stoppedAt + std::chrono::milliseconds(f.stopForMs))
        f.stoppedAt.reset();
    if (m_rebootAt || f.unreachable || now < f.silentUntil || f.stoppedAt)
        return true;
    if (f.dropPercent > 0) {
        // Evenly spread, so a test sees the same pattern on every run.
        f.dropBalance += f.dropPercent;
        if (f.dropBalance >= 100) {
            f.dropBalance -= 100;
            return true;
        }
    }
    // Only answered requests count towards a stop.
    if (f.answersLeft == 0) {
        f.answersLeft = -1;
        f.stoppedAt = now;
        return true;
    }
    if (f.answersLeft > 0)
        --f.answersLeft;
    return false;
}

void Switch::EndFaults() {
    const int stopForMs = m_faults.stopForMs;
    m_faults = Faults{};
    m_faults.stopForMs = stopForMs;
}

void Switch::Poll() {
    if (m_rebootAt && Clock::now() >= *m_rebootAt) {
        m_store.Restore(m_factory, m_saved);
        m_boot = Clock::now();
        m_rebootAt.reset();
    }
    for (auto& service : m_services)
        service->Poll();
}

} // namespace nswsim
