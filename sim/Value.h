#pragma once

#include "Oid.h"

#include <cstdint>
#include <string>

namespace nswsim {

// SNMP syntaxes the switch uses. Gauge32 and Unsigned32 share one tag.
enum class Type : std::uint8_t {
    Integer,
    OctetString,
    ObjectId,
    IpAddress,
    Counter32,
    Gauge32,
    TimeTicks,
    Counter64 // num holds the 64 bits
};

const char* TypeName(Type type);

struct Value {
    Type type = Type::Integer;
    std::int64_t num = 0; // every numeric syntax
    std::string bytes;    // OCTET STRING; IpAddress as 4 octets in network order
    Oid oid;              // OBJECT IDENTIFIER

    static Value Int(std::int64_t v) { return {Type::Integer, v, {}, {}}; }
    static Value Str(std::string v) { return {Type::OctetString, 0, std::move(v), {}}; }
    static Value Gauge(std::int64_t v) { return {Type::Gauge32, v, {}, {}}; }
    static Value Counter(std::int64_t v) { return {Type::Counter32, v & 0xffffffff, {}, {}}; }
    static Value Ticks(std::int64_t v) { return {Type::TimeTicks, v & 0xffffffff, {}, {}}; }
    static Value Counter64(std::uint64_t v) {
        return {Type::Counter64, static_cast<std::int64_t>(v), {}, {}};
    }
    static Value ObjId(Oid v) { return {Type::ObjectId, 0, {}, std::move(v)}; }
    // a.b.c.d given in host order (0x7f000001 is 127.0.0.1)
    static Value Ip(std::uint32_t hostOrder);
    static Value IpText(const std::string& dotted); // throws on bad text

    bool IsNumeric() const {
        return type != Type::OctetString && type != Type::ObjectId && type != Type::IpAddress;
    }
    std::uint32_t IpHostOrder() const;

    bool operator==(const Value& other) const = default;
};

// Text form used by the state file: "<tag> <payload>", strings as hex.
std::string EncodeValue(const Value& value);
bool DecodeValue(const std::string& text, Value& value);

std::string ToHex(const std::string& bytes);
bool FromHex(std::string_view hex, std::string& bytes);

} // namespace nswsim
