#include "FakeAgent.h"

#include <QList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <optional>

namespace {

// ------------------------------------------------------------- BER reading

struct Reader {
    const QByteArray& data;
    int pos = 0;
    int end;

    bool Tlv(uint8_t& tag, int& start, int& length) {
        if (pos + 2 > end)
            return false;
        tag = uint8_t(data[pos++]);
        int first = uint8_t(data[pos++]);
        if (first & 0x80) {
            const int bytes = first & 0x7F;
            if (bytes < 1 || bytes > 3 || pos + bytes > end)
                return false;
            first = 0;
            for (int i = 0; i < bytes; ++i)
                first = (first << 8) | uint8_t(data[pos++]);
        }
        if (pos + first > end)
            return false;
        start = pos;
        length = first;
        pos += first;
        return true;
    }
    Reader Inside(int start, int length) const { return Reader{data, start, start + length}; }
};

std::optional<long long> ReadInteger(Reader& r) {
    uint8_t tag;
    int start, length;
    if (!r.Tlv(tag, start, length) || tag != 0x02 || length < 1 || length > 8)
        return std::nullopt;
    long long value = int8_t(r.data[start]);
    for (int i = 1; i < length; ++i)
        value = (value << 8) | uint8_t(r.data[start + i]);
    return value;
}

CFakeAgent::Oid DecodeOid(const QByteArray& data, int start, int length) {
    CFakeAgent::Oid oid;
    if (length < 1)
        return oid;
    const int first = uint8_t(data[start]);
    oid.push_back(uint32_t(first / 40));
    oid.push_back(uint32_t(first % 40));
    uint64_t value = 0;
    for (int i = 1; i < length; ++i) {
        const uint8_t b = uint8_t(data[start + i]);
        value = (value << 7) | (b & 0x7F);
        if (!(b & 0x80)) {
            oid.push_back(uint32_t(value));
            value = 0;
        }
    }
    return oid;
}

// ------------------------------------------------------------- BER writing

QByteArray Tlv(uint8_t tag, const QByteArray& content) {
    QByteArray out(1, char(tag));
    const int n = int(content.size());
    if (n < 128) {
        out += char(n);
    } else if (n < 256) {
        out += char(0x81);
        out += char(n);
    } else {
        out += char(0x82);
        out += char(n >> 8);
        out += char(n & 0xFF);
    }
    return out + content;
}

QByteArray IntegerContent(long long value) {
    QByteArray bytes;
    for (int i = 7; i >= 0; --i)
        bytes += char((value >> (8 * i)) & 0xFF);
    // Minimal two's complement: drop leading bytes that only repeat the sign.
    while (bytes.size() > 1 && ((uint8_t(bytes[0]) == 0x00 && !(uint8_t(bytes[1]) & 0x80)) ||
                                (uint8_t(bytes[0]) == 0xFF && (uint8_t(bytes[1]) & 0x80))))
        bytes.remove(0, 1);
    return bytes;
}

QByteArray EncodeOid(const CFakeAgent::Oid& oid) {
    QByteArray out(1, char(oid[0] * 40 + oid[1]));
    for (size_t i = 2; i < oid.size(); ++i) {
        QByteArray part;
        uint32_t v = oid[i];
        part.prepend(char(v & 0x7F));
        while (v >>= 7)
            part.prepend(char(0x80 | (v & 0x7F)));
        out += part;
    }
    return Tlv(0x06, out);
}

} // namespace

CFakeAgent::Value CFakeAgent::Integer(long long value) {
    return {0x02, IntegerContent(value)};
}
CFakeAgent::Value CFakeAgent::Text(const QByteArray& text) {
    return {0x04, text};
}
CFakeAgent::Value CFakeAgent::Number(uint8_t tag, long long value) {
    return {tag, IntegerContent(value)};
}
CFakeAgent::Value CFakeAgent::ObjectId(const char* dotted) {
    return {0x06, EncodeOid(Parse(dotted)).mid(2)}; // without the tag and its short length
}

CFakeAgent::Oid CFakeAgent::Parse(const char* dotted) {
    Oid oid;
    for (const QByteArray& part : QByteArray(dotted).split('.'))
        if (!part.isEmpty())
            oid.push_back(part.toUInt());
    return oid;
}

CFakeAgent::CFakeAgent() {
    m_nSocket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_nSocket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    ::getsockname(m_nSocket, reinterpret_cast<sockaddr*>(&address), &size);
    m_nPort = ntohs(address.sin_port);
    timeval wake{0, 50000}; // to look at the stop flag
    ::setsockopt(m_nSocket, SOL_SOCKET, SO_RCVTIMEO, &wake, sizeof wake);
    m_thread = std::thread([this] { Run(); });
}

CFakeAgent::~CFakeAgent() {
    m_bStop = true;
    m_thread.join();
    ::close(m_nSocket);
}

void CFakeAgent::Set(const Oid& oid, const Value& value) {
    std::lock_guard lock(m_mutex);
    m_mib[oid] = value;
}

void CFakeAgent::Run() {
    char buffer[65536];
    while (!m_bStop) {
        sockaddr_in from{};
        socklen_t size = sizeof from;
        const ssize_t n = ::recvfrom(m_nSocket, buffer, sizeof buffer, 0,
                                     reinterpret_cast<sockaddr*>(&from), &size);
        if (n <= 0)
            continue;
        const QByteArray answer = Answer(QByteArray(buffer, int(n)));
        if (!answer.isEmpty())
            ::sendto(m_nSocket, answer.constData(), size_t(answer.size()), 0,
                     reinterpret_cast<sockaddr*>(&from), size);
    }
}

QByteArray CFakeAgent::Answer(const QByteArray& request) {
    Reader top{request, 0, int(request.size())};
    uint8_t tag;
    int start, length;
    if (!top.Tlv(tag, start, length) || tag != 0x30)
        return {};
    Reader message = top.Inside(start, length);
    const auto version = ReadInteger(message);
    if (!version || !message.Tlv(tag, start, length) || tag != 0x04)
        return {};
    const QByteArray community = request.mid(start, length);
    uint8_t command;
    if (!message.Tlv(command, start, length))
        return {};
    Reader pdu = message.Inside(start, length);
    const auto reqid = ReadInteger(pdu);
    const auto second = ReadInteger(pdu);
    const auto third = ReadInteger(pdu);
    if (!reqid || !second || !third || !pdu.Tlv(tag, start, length) || tag != 0x30)
        return {};
    std::vector<Oid> asked;
    Reader list = pdu.Inside(start, length);
    while (list.pos < list.end) {
        if (!list.Tlv(tag, start, length) || tag != 0x30)
            return {};
        Reader bind = list.Inside(start, length);
        if (!bind.Tlv(tag, start, length) || tag != 0x06)
            return {};
        asked.push_back(DecodeOid(request, start, length));
    }
    ++m_nRequests;

    const bool bulk = command == 0xA5;
    const bool next = command == 0xA1 || bulk;
    const int repetitions = bulk ? int(*third) : 1;
    if (bulk && repetitions > m_nLargestRepetitions)
        m_nLargestRepetitions = repetitions;
    long errorStatus = 0, errorIndex = 0;
    QByteArray binds;
    int count = 0;
    if (bulk && m_nTooBigAbove > 0 && repetitions > m_nTooBigAbove) {
        errorStatus = 1;
    } else {
        std::lock_guard lock(m_mutex);
        std::vector<Oid> cursor = asked;
        for (int r = 0; r < repetitions && errorStatus == 0; ++r) {
            for (size_t i = 0; i < cursor.size(); ++i) {
                if (m_nMaxVarBinds > 0 && count >= m_nMaxVarBinds)
                    break;
                Oid oid = cursor[i];
                QByteArray value;
                if (!next) {
                    const auto it = m_mib.find(oid);
                    value = it == m_mib.end() ? Tlv(0x80, {}) // noSuchObject
                                              : Tlv(it->second.tag, it->second.content);
                } else if (m_bRepeatRequestOid) {
                    value = Tlv(0x02, IntegerContent(1)); // the same OID again
                } else {
                    const auto it = m_mib.upper_bound(oid);
                    if (it == m_mib.end()) {
                        if (*version == 0) { // v1: noSuchName at the end of the MIB
                            errorStatus = 2;
                            errorIndex = long(i + 1);
                            break;
                        }
                        value = Tlv(0x82, {}); // endOfMibView
                    } else {
                        oid = it->first;
                        value = Tlv(it->second.tag, it->second.content);
                    }
                }
                cursor[i] = oid;
                binds += Tlv(0x30, EncodeOid(oid) + value);
                ++count;
            }
        }
    }
    if (errorStatus != 0) { // a refusal carries the request's variables
        binds.clear();
        for (const Oid& oid : asked)
            binds += Tlv(0x30, EncodeOid(oid) + Tlv(0x05, {}));
    }
    const QByteArray body = Tlv(0x02, IntegerContent(*reqid)) +
                            Tlv(0x02, IntegerContent(errorStatus)) +
                            Tlv(0x02, IntegerContent(errorIndex)) + Tlv(0x30, binds);
    return Tlv(0x30, Tlv(0x02, IntegerContent(*version)) + Tlv(0x04, community) + Tlv(0xA2, body));
}
