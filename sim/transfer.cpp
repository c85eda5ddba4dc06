// Firmware and configuration transfers (3): the switch fetches or sends a
// file over TFTP while the status object reports progress.
#include "Features.h"
#include "Tftp.h"

#include <atomic>
#include <iostream>
#include <mutex>
#include <thread>

namespace nswsim {
namespace {

const Oid kTransfer = Concat(kSwitchMib, {3});
constexpr const char* kFirmwareMagic = "NSW-FIRMWARE ";

namespace status {
constexpr int kIdle = 0;
constexpr int kInProgress = 1;
constexpr int kSuccess = 2;
constexpr int kFailed = 3;
} // namespace status

// One kind of transfer (firmware or configuration) and its worker thread.
class Transfer {
public:
    ~Transfer() { Join(); }

    bool Busy() const { return m_thread.joinable(); }
    int Status() const { return m_status; }

    void Start(TftpPeer peer, std::string file, bool upload, std::string data) {
        Join();
        m_status = status::kInProgress;
        m_done = false;
        m_stop = false;
        m_thread =
            std::thread([this, peer, file = std::move(file), upload, data = std::move(data)] {
                const std::function<bool()> stop = [this] { return m_stop.load(); };
                TftpResult result =
                    upload ? TftpPut(peer, file, data, stop) : TftpGet(peer, file, stop);
                std::lock_guard lock(m_mutex);
                m_result = std::move(result);
                m_done = true;
            });
    }
    void Fail() { m_status = status::kFailed; }

    // On the agent's thread: the finished transfer's result, once.
    std::optional<TftpResult> Finished() {
        {
            std::lock_guard lock(m_mutex);
            if (!m_done)
                return std::nullopt;
            m_done = false;
        }
        Join();
        return std::move(m_result);
    }
    void SetStatus(int value) { m_status = value; }

private:
    void Join() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    bool m_done = false;
    TftpResult m_result;
    int m_status = status::kIdle;
};

class TransferService : public Service {
public:
    explicit TransferService(Switch& sw) : m_switch(sw) {}

    Transfer firmware;
    Transfer config;

    void Poll() override {
        if (auto result = firmware.Finished()) {
            std::string error = result->error;
            bool ok = result->ok;
            if (ok && !m_firmwareUpload && !IsFirmwareFor(result->data)) {
                ok = false;
                error = "not a firmware image of " + m_switch.GetModel().name;
            }
            Report(firmware, ok, error);
        }
        if (auto result = config.Finished()) {
            std::string error = result->error;
            bool ok = result->ok;
            if (ok && !m_configUpload)
                ok = Restore(result->data, error);
            Report(config, ok, error);
        }
    }

    // Starts 'kind' (3.3 or 3.7 written with 'operation'); false when it cannot start.
    void Start(bool isFirmware, int operation) {
        Store& store = m_switch.GetStore();
        const SubId base = isFirmware ? 1 : 5;
        TftpPeer peer;
        peer.ip = store.At(Concat(kTransfer, {base})).ScalarValue()->IpHostOrder();
        peer.port = static_cast<std::uint16_t>(m_switch.GetOptions().tftpPort);
        peer.timeoutMs = m_switch.GetOptions().tftpTimeoutMs;
        const std::string file = store.At(Concat(kTransfer, {base + 1})).ScalarValue()->bytes;
        const bool upload = operation == 2;
        Transfer& transfer = isFirmware ? firmware : config;
        (isFirmware ? m_firmwareUpload : m_configUpload) = upload;
        if ((peer.ip >> 24) != 127 && !m_switch.GetOptions().tftpAnyAddress) {
            std::cerr << "nsw-sim: TFTP servers outside 127.0.0.0/8 need --tftp-any-address\n";
            transfer.Fail();
            return;
        }
        std::string data;
        // A backup sends the running configuration: what the pages show.
        if (upload)
            data =
                isFirmware ? FirmwareImage() : store.Snapshot().Serialize(m_switch.GetModel().name);
        transfer.Start(peer, file, upload, std::move(data));
    }

    bool Busy() const {
        return firmware.Status() == status::kInProgress || config.Status() == status::kInProgress;
    }

private:
    std::string FirmwareImage() const {
        std::string image = kFirmwareMagic + m_switch.GetModel().name + " 1.00.017\n";
        image.resize(4096 + 100, '\xff');
        return image;
    }
    // An image starts with its magic line naming the model it is built for.
    bool IsFirmwareFor(const std::string& data) const {
        const std::string head = kFirmwareMagic + m_switch.GetModel().name + ' ';
        return data.size() > head.size() && data.compare(0, head.size(), head) == 0 &&
               data.find('\n') != std::string::npos;
    }

    // A restored configuration becomes the running and the saved one.
    bool Restore(const std::string& text, std::string& error) {
        Config restored;
        if (!restored.Parse(text, error))
            return false;
        if (!m_switch.Adopt(restored, error))
            return false;
        m_switch.GetStore().Restore(m_switch.Factory(), restored);
        return true;
    }

    static void Report(Transfer& transfer, bool ok, const std::string& error) {
        if (!ok)
            std::cerr << "nsw-sim: transfer failed: " << error << '\n';
        transfer.SetStatus(ok ? status::kSuccess : status::kFailed);
    }

    Switch& m_switch;
    bool m_firmwareUpload = false;
    bool m_configUpload = false;
};

void RegisterKind(Switch& sw, TransferService& service, bool isFirmware) {
    Store& store = sw.GetStore();
    const SubId base = isFirmware ? 1 : 5;
    const std::string prefix = isFirmware ? "firmware" : "config";
    store.AddScalar(Concat(kTransfer, {base}), prefix + "TftpServer", Syntax::Ip(),
                    Access::ReadWrite, Value::Ip(0));
    store.AddScalar(Concat(kTransfer, {base + 1}), prefix + "FileName", Syntax::Str(0, 64),
                    Access::ReadWrite, Value::Str(""));
    Transfer& transfer = isFirmware ? service.firmware : service.config;
    // 1 upgrade (fetch), 2 backup (send); reads the last operation.
    store
        .AddScalar(Concat(kTransfer, {base + 2}), prefix + "Operation", Syntax::Enum({1, 2}),
                   Access::ReadWrite, Value::Int(1))
        .Persist(0, false)
        .Check([&service, isFirmware, base](Txn& txn, const Oid&, const Value& v) {
            Store& s = txn.GetStore();
            const auto server = txn.Get(s.At(Concat(kTransfer, {base})), {0}, 0)->IpHostOrder();
            const auto file = txn.GetStr(s.At(Concat(kTransfer, {base + 1})), {0}, 0);
            // One transfer at a time, to a server and a file the page would accept.
            if (service.Busy() || !ValidTransferServer(server) || !ValidTransferFile(file))
                return Err::kInconsistentValue;
            txn.OnCommit([&service, isFirmware, op = static_cast<int>(v.num)] {
                service.Start(isFirmware, op);
            });
            return Err::kNone;
        });
    store
        .AddScalar(Concat(kTransfer, {base + 3}), prefix + "Status", Syntax::Int(0, 3),
                   Access::ReadOnly, Value::Int(status::kIdle))
        .Live([&transfer](const Oid&) -> std::optional<Value> {
            return Value::Int(transfer.Status());
        });
}

} // namespace

bool ValidTransferServer(std::uint32_t ip) {
    // A unicast host: not 0.x.x.x, not multicast, reserved or broadcast.
    const std::uint32_t first = ip >> 24;
    return first >= 1 && first <= 223;
}

bool ValidTransferFile(const std::string& name) {
    if (name.empty() || name.size() > 64 || name.back() == '/')
        return false;
    for (const char ch : name)
        if (ch <= ' ' || ch > '~' || ch == '\\')
            return false;
    // No way out of the server's folder.
    const std::string padded = '/' + name + '/';
    return padded.find("/../") == std::string::npos;
}

void RegisterTransfer(Switch& sw) {
    auto service = std::make_unique<TransferService>(sw);
    RegisterKind(sw, *service, true);
    RegisterKind(sw, *service, false);
    sw.AddService(std::move(service));
}

} // namespace nswsim
