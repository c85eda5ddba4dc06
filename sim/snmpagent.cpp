// The switch's own SNMP agent settings (25): global state, users, groups,
// views, communities, trap hosts, engine ID and trap switches. The user,
// group, view and community tables and the global state decide who may talk
// to the switch (AgentAccess.cpp).
#include "AgentAccess.h"
#include "Features.h"
#include "Index.h"

namespace nswsim {
namespace {

const Oid& kAgent = kAgentMib;

void RegisterUsers(Store& store) {
    Node& users = store.AddTable(Concat(kAgent, {2, 1, 1}), "snmpUserEntry");
    users.Col(1, "snmpUserName", Syntax::Str(1, 32), Access::ReadOnly)
        .Col(2, "snmpUserGroup", Syntax::Str(1, 32), Access::ReadCreate)
        .Col(3, "snmpUserVersion", Syntax::Enum({1, 2, 3}), Access::ReadCreate, Value::Int(3))
        .Col(4, "snmpUserAuthProtocol", Syntax::Enum({1, 2, 3}), Access::ReadCreate, Value::Int(1))
        .Col(5, "snmpUserAuthPassword", Syntax::Str(0, 40), Access::ReadCreate, Value::Str(""))
        // 4: AES-128, the last arc of its standard protocol OID (launch users).
        .Col(6, "snmpUserPrivProtocol", Syntax::Enum({1, 2, 4}), Access::ReadCreate, Value::Int(1))
        .Col(7, "snmpUserPrivPassword", Syntax::Str(0, 32), Access::ReadCreate, Value::Str(""))
        .RowStatusCol(8, "snmpUserRowStatus")
        .Live(1, IndexNameColumn())
        .Index(NameIndex(32))
        .MaxRows(50);
    // Passwords fit their protocol (8 characters at least, as USM keys need);
    // privacy needs authentication. Checked when the row is active: the pages
    // set the protocols before the passwords.
    users.RowCheck([&users](Txn& txn, const Oid& index) {
        if (txn.Destroying(users, index) || txn.GetInt(users, index, 8) != RowStatus::kActive)
            return Err::kNone;
        const auto auth = txn.GetInt(users, index, 4);
        const auto authPass = txn.GetStr(users, index, 5).size();
        const auto priv = txn.GetInt(users, index, 6);
        const auto privPass = txn.GetStr(users, index, 7).size();
        if ((auth == 2 && authPass > 32) || (auth != 1 && authPass < 8) ||
            (priv != 1 && (auth == 1 || privPass < 8)))
            return Err::kInconsistentValue;
        return Err::kNone;
    });
}

void RegisterGroups(Store& store) {
    store.AddTable(Concat(kAgent, {3, 1, 1}), "snmpGroupEntry")
        .Col(1, "snmpGroupName", Syntax::Str(1, 32), Access::ReadOnly)
        .Col(2, "snmpGroupReadView", Syntax::Str(0, 32), Access::ReadCreate, Value::Str(""))
        .Col(3, "snmpGroupWriteView", Syntax::Str(0, 32), Access::ReadCreate, Value::Str(""))
        .Col(4, "snmpGroupNotifyView", Syntax::Str(0, 32), Access::ReadCreate, Value::Str(""))
        .Col(5, "snmpGroupSecurityModel", Syntax::Enum({1, 2, 3}), Access::ReadOnly)
        .Col(6, "snmpGroupSecurityLevel", Syntax::Enum({1, 2, 3}), Access::ReadCreate,
             Value::Int(1))
        .RowStatusCol(7, "snmpGroupRowStatus")
        .Live(1, IndexNameColumn())
        .Live(5, [](const Oid& index) -> std::optional<Value> { return Value::Int(index.back()); })
        .Index([name = NameIndex(32, 1)](const Oid& index) {
            return name(index) && index.back() >= 1 && index.back() <= 3;
        })
        .MaxRows(50);
}

void RegisterViews(Store& store) {
    Node& views = store.AddTable(Concat(kAgent, {4, 1, 1}), "snmpViewEntry");
    // Index: view name, then the subtree's length and sub-identifiers.
    auto subtree = [](const Oid& index) -> std::optional<Oid> {
        std::string name;
        std::size_t next = 0;
        if (!ParseTextIndex(index, 0, name, next) || next >= index.size())
            return std::nullopt;
        const std::size_t length = index[next];
        if (length == 0 || length > 64 || next + 1 + length != index.size())
            return std::nullopt;
        return Oid(index.begin() + static_cast<long>(next) + 1, index.end());
    };
    views.Col(1, "snmpViewName", Syntax::Str(1, 32), Access::ReadOnly)
        .Col(2, "snmpViewSubtree", Syntax::ObjId(), Access::ReadOnly)
        .Col(3, "snmpViewMask", Syntax::Str(0, 64), Access::ReadCreate, Value::Str(""))
        .Col(4, "snmpViewType", Syntax::Enum({1, 2}), Access::ReadCreate, Value::Int(1))
        .RowStatusCol(5, "snmpViewRowStatus")
        .Live(1, IndexNameColumn())
        .Live(2,
              [subtree](const Oid& index) -> std::optional<Value> {
                  auto tree = subtree(index);
                  return tree ? std::optional<Value>(Value::ObjId(*tree)) : std::nullopt;
              })
        .Index([subtree, name = NameIndex(32)](const Oid& index) {
            std::string text;
            std::size_t next = 0;
            return subtree(index) && ParseTextIndex(index, 0, text, next) &&
                   name(Oid(index.begin(), index.begin() + static_cast<long>(next)));
        })
        .MaxRows(50);
    // The mask is a text of "0" and "1" no longer than the subtree.
    views.Check(3, [subtree](Txn&, const Oid& index, const Value& v) {
        for (char c : v.bytes)
            if (c != '0' && c != '1')
                return Err::kWrongValue;
        auto tree = subtree(index);
        return tree && v.bytes.size() <= tree->size() ? Err::kNone : Err::kInconsistentValue;
    });
}

void RegisterCommunitiesAndHosts(Store& store) {
    store.AddTable(Concat(kAgent, {5, 1, 1}), "snmpCommunityEntry")
        .Col(1, "snmpCommunityName", Syntax::Str(1, 32), Access::ReadOnly)
        .Col(2, "snmpCommunityUser", Syntax::Str(0, 32), Access::ReadCreate, Value::Str(""))
        .RowStatusCol(3, "snmpCommunityRowStatus")
        .Live(1, IndexNameColumn())
        .Index(NameIndex(32))
        .MaxRows(10);
    store.AddTable(Concat(kAgent, {6, 1, 1}), "snmpHostEntry")
        .Col(1, "snmpHostAddress", Syntax::Ip(), Access::ReadOnly)
        .Col(2, "snmpHostVersion", Syntax::Int(1, 5), Access::ReadCreate, Value::Int(2))
        .Col(3, "snmpHostCommunity", Syntax::Str(1, 32), Access::ReadCreate)
        .RowStatusCol(4, "snmpHostRowStatus")
        .Live(1, IndexIpColumn())
        .Index(IpAddressIndex())
        .MaxRows(10);
}

} // namespace

void RegisterSnmpAgent(Switch& sw) {
    Store& store = sw.GetStore();
    // Read by the panel as its reachability probe.
    store.AddScalar(Concat(kAgent, {1}), "snmpGlobalState", EnabledDisabled(), Access::ReadWrite,
                    Value::Int(1));
    RegisterUsers(store);
    RegisterGroups(store);
    RegisterViews(store);
    RegisterCommunitiesAndHosts(store);
    // RFC 3411 text format: enterprise 32473 with the high bit, format 4, "NS".
    store.AddScalar(Concat(kAgent, {7}), "snmpEngineId", Syntax::Str(5, 32), Access::ReadWrite,
                    Value::Str(std::string("\x80\x00\x7e\xd9\x04NS", 7)));
    for (SubId trap = 1; trap <= 8; ++trap)
        store.AddScalar(Concat(kAgent, {8, trap}), "snmpTrap" + std::to_string(trap),
                        EnabledDisabled(), Access::ReadWrite, Value::Int(1));
    AddLaunchCredentials(sw);
}

} // namespace nswsim
