#include "Value.h"

#include <arpa/inet.h>

#include <charconv>
#include <stdexcept>

namespace nswsim {

const char* TypeName(Type type) {
    switch (type) {
    case Type::Integer:
        return "INTEGER";
    case Type::OctetString:
        return "OCTET STRING";
    case Type::ObjectId:
        return "OBJECT IDENTIFIER";
    case Type::IpAddress:
        return "IpAddress";
    case Type::Counter32:
        return "Counter32";
    case Type::Gauge32:
        return "Gauge32";
    case Type::TimeTicks:
        return "TimeTicks";
    case Type::Counter64:
        return "Counter64";
    }
    return "?";
}

Value Value::Ip(std::uint32_t hostOrder) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<char>((hostOrder >> (24 - 8 * i)) & 0xff);
    return {Type::IpAddress, 0, bytes, {}};
}

Value Value::IpText(const std::string& dotted) {
    in_addr address{};
    if (inet_pton(AF_INET, dotted.c_str(), &address) != 1)
        throw std::invalid_argument("bad IPv4 address: " + dotted);
    return Ip(ntohl(address.s_addr));
}

std::uint32_t Value::IpHostOrder() const {
    std::uint32_t ip = 0;
    for (std::size_t i = 0; i < 4 && i < bytes.size(); ++i)
        ip = (ip << 8) | static_cast<unsigned char>(bytes[i]);
    return ip;
}

std::string ToHex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

bool FromHex(std::string_view hex, std::string& bytes) {
    if (hex.size() % 2)
        return false;
    bytes.clear();
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        unsigned value = 0;
        auto [end, ec] = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
        if (ec != std::errc{} || end != hex.data() + i + 2)
            return false;
        bytes += static_cast<char>(value);
    }
    return true;
}

namespace {
const char kTags[] = "isoacgth"; // in the order of Type
}

std::string EncodeValue(const Value& value) {
    std::string text(1, kTags[static_cast<int>(value.type)]);
    text += ' ';
    switch (value.type) {
    case Type::OctetString:
    case Type::IpAddress:
        text += ToHex(value.bytes);
        break;
    case Type::ObjectId:
        text += OidToString(value.oid);
        break;
    default:
        text += std::to_string(value.num);
        break;
    }
    return text;
}

bool DecodeValue(const std::string& text, Value& value) {
    if (text.size() < 2 || text[1] != ' ')
        return false;
    const char* tag = std::char_traits<char>::find(kTags, sizeof kTags - 1, text[0]);
    if (!tag)
        return false;
    value = Value{};
    value.type = static_cast<Type>(tag - kTags);
    std::string_view payload(text.data() + 2, text.size() - 2);
    switch (value.type) {
    case Type::OctetString:
        return FromHex(payload, value.bytes);
    case Type::IpAddress:
        return FromHex(payload, value.bytes) && value.bytes.size() == 4;
    case Type::ObjectId:
        try {
            value.oid = ParseOid(payload);
            return true;
        } catch (const std::exception&) {
            return false;
        }
    default: {
        auto [end, ec] =
            std::from_chars(payload.data(), payload.data() + payload.size(), value.num);
        return ec == std::errc{} && end == payload.data() + payload.size();
    }
    }
}

} // namespace nswsim
