#include "Index.h"

#include "snmp/Encodings.h"

namespace nswsim {

IndexFn IntIndex(SubId lo, SubId hi) {
    return [lo, hi](const Oid& index) {
        return index.size() == 1 && index[0] >= lo && index[0] <= hi;
    };
}

IndexFn IpAddressIndex() {
    return [](const Oid& index) {
        if (index.size() != 4)
            return false;
        for (SubId octet : index)
            if (octet > 255)
                return false;
        return index != Oid{0, 0, 0, 0};
    };
}

bool IndexName(const Oid& index, std::string& name) {
    std::size_t next = 0;
    return ParseTextIndex(index, 0, name, next);
}

IndexFn NameIndex(std::size_t maxLength, std::size_t tail) {
    return [maxLength, tail](const Oid& index) {
        std::string name;
        std::size_t next = 0;
        if (!ParseTextIndex(index, 0, name, next) || next + tail != index.size())
            return false;
        if (name.empty() || name.size() > maxLength)
            return false;
        for (unsigned char c : name)
            if (c < 0x20 || c > 0x7e)
                return false;
        return IsValidName(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    };
}

LiveFn IndexNameColumn() {
    return [](const Oid& index) -> std::optional<Value> {
        std::string name;
        if (!IndexName(index, name))
            return std::nullopt;
        return Value::Str(name);
    };
}

LiveFn IndexIntColumn(std::size_t position) {
    return [position](const Oid& index) -> std::optional<Value> {
        if (position >= index.size())
            return std::nullopt;
        return Value::Int(index[position]);
    };
}

LiveFn IndexIpColumn(std::size_t position) {
    return [position](const Oid& index) -> std::optional<Value> {
        if (position + 4 > index.size())
            return std::nullopt;
        return Value::Ip((index[position] << 24) | (index[position + 1] << 16) |
                         (index[position + 2] << 8) | index[position + 3]);
    };
}

} // namespace nswsim
