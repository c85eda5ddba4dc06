#include "Oid.h"

#include <charconv>
#include <stdexcept>

namespace nswsim {

Oid ParseOid(std::string_view text) {
    Oid oid;
    if (!text.empty() && text.front() == '.')
        text.remove_prefix(1);
    while (!text.empty()) {
        SubId value = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec != std::errc{} || end == text.data())
            throw std::invalid_argument("bad OID: " + std::string(text));
        text.remove_prefix(static_cast<std::size_t>(end - text.data()));
        oid.push_back(value);
        if (!text.empty()) {
            if (text.front() != '.' || text.size() == 1)
                throw std::invalid_argument("bad OID: " + std::string(text));
            text.remove_prefix(1);
        }
    }
    return oid;
}

std::string OidToString(const Oid& oid) {
    std::string text;
    for (SubId id : oid) {
        if (!text.empty())
            text += '.';
        text += std::to_string(id);
    }
    return text;
}

Oid TextIndex(std::string_view text) {
    Oid index{static_cast<SubId>(text.size())};
    for (unsigned char c : text)
        index.push_back(c);
    return index;
}

Oid IpIndex(std::uint32_t ip) {
    return {ip >> 24, (ip >> 16) & 0xff, (ip >> 8) & 0xff, ip & 0xff};
}

bool ParseTextIndex(const Oid& index, std::size_t from, std::string& text, std::size_t& next) {
    if (from >= index.size())
        return false;
    std::size_t length = index[from];
    if (length > 255 || from + 1 + length > index.size())
        return false;
    text.clear();
    for (std::size_t i = 0; i < length; ++i) {
        SubId c = index[from + 1 + i];
        if (c > 255)
            return false;
        text += static_cast<char>(c);
    }
    next = from + 1 + length;
    return true;
}

} // namespace nswsim
