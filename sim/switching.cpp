// Layer-2 settings that decide whether ports may be aggregated: address
// learning 9.2, FDB destination hit 9.3, 802.1p default priority 12.3, rate
// control 13.1.2, port security 14.2, ACLs 15.2, loopback detection 17.5,
// port mirroring 18, voice VLAN 21.1 and auto surveillance VLAN 26.1/34.1.
#include "Features.h"
#include "Index.h"
#include "PortState.h"
#include "Trunk.h"
#include "Vlan.h"

namespace nswsim {
namespace {

const Oid kMirror = Concat(kSwitchMib, {18});

void RegisterLearning(Switch& sw) {
    Store& store = sw.GetStore();
    const Model& model = sw.GetModel();
    std::vector<int> all;
    for (int p = 1; p <= model.ports; ++p)
        all.push_back(p);
    Node& learning =
        store.AddScalar(Concat(kSwitchMib, {9, 2}), "fdbAutoLearnPorts", PortListSyntax(),
                        Access::ReadWrite, Value::Str(PortListBytes(model, all)));
    learning.Check(PortListCheck(sw, learning, 0));

    Node& hit = AddPortTable(sw, Concat(kSwitchMib, {9, 3, 1}), "fdbDestHit");
    hit.Col(2, "fdbDestHitState", EnabledDisabled(), Access::ReadWrite, Value::Int(2))
        .Col(3, "fdbDestHitPorts", PortListSyntax(), Access::ReadWrite,
             Value::Str(PortListBytes(model, {})));
    hit.Check(3, PortListCheck(sw, hit, 3));
}

void RegisterPortSettings(Switch& sw) {
    AddPortTable(sw, Concat(kSwitchMib, {12, 3, 1, 1}), "qosPortPriority")
        .Col(2, "qosPortDefaultPriority", Syntax::Int(0, 7), Access::ReadWrite, Value::Int(1)); // "Low"
    // Kbit/s, 0 for no limit. The members of an aggregated link keep one
    // rate control, so a link changes in one request.
    Node& rate =
        AddPortTable(sw, Concat(kSwitchMib, {13, 1, 2, 1}), "rateControl")
            .Col(2, "rateControlIngress", Syntax::Int(0, 1000000), Access::ReadWrite, Value::Int(0))
            .Col(3, "rateControlEgress", Syntax::Int(0, 1000000), Access::ReadWrite, Value::Int(0));
    auto sameOnLink = [&rate, ports = sw.GetModel().ports](Txn& txn, const Oid& index,
                                                           const Value&) {
        const int port = static_cast<int>(index[0]);
        const int group = TrunkGroupOf(txn, port);
        for (int p = 1; group != 0 && p <= ports; ++p)
            if (p != port && TrunkGroupOf(txn, p) == group)
                for (SubId c : {2u, 3u})
                    if (txn.GetInt(rate, {static_cast<SubId>(p)}, c) != txn.GetInt(rate, index, c))
                        return Err::kInconsistentValue;
        return Err::kNone;
    };
    rate.Check(2, sameOnLink).Check(3, sameOnLink);
    AddPortTable(sw, Concat(kSwitchMib, {14, 2, 1, 1}), "portSecurity")
        .Col(2, "portSecurityState", EnabledDisabled(), Access::ReadWrite, Value::Int(2))
        .Col(3, "portSecurityMaxAddresses", Syntax::Int(0, 64), Access::ReadWrite, Value::Int(1));
    AddPortTable(sw, Concat(kSwitchMib, {17, 5, 1}), "loopbackDetect")
        .Col(2, "loopbackDetectState", EnabledDisabled(), Access::ReadWrite, Value::Int(2));

    Node& acl = sw.GetStore().AddTable(Concat(kSwitchMib, {15, 2, 1, 1}), "aclEntry");
    acl.Col(1, "aclIndex", Syntax::Int(1, 50), Access::ReadOnly)
        .Col(2, "aclName", Syntax::Str(0, 32), Access::ReadCreate, Value::Str(""))
        .Col(10, "aclPorts", PortListSyntax(), Access::ReadCreate,
             Value::Str(PortListBytes(sw.GetModel(), {})))
        .RowStatusCol(11, "aclRowStatus")
        .Live(1, IndexIntColumn())
        .Index(IntIndex(1, 50))
        .MaxRows(50);
    acl.Check(10, PortListCheck(sw, acl, 10));
}

void RegisterMirroring(Switch& sw) {
    Store& store = sw.GetStore();
    const Model& model = sw.GetModel();
    store.AddScalar(Concat(kMirror, {1}), "mirrorState", EnabledDisabled(), Access::ReadWrite,
                    Value::Int(2));
    store.AddScalar(Concat(kMirror, {2}), "mirrorTargetPort", Syntax::Int(1, model.ports),
                    Access::ReadWrite, Value::Int(model.ports));
    // The target is neither a source nor an aggregated port.
    auto consistent = [&sw](Txn& txn) {
        Store& s = txn.GetStore();
        const auto target = txn.GetInt(s.At(Concat(kMirror, {2})), {0}, 0);
        for (SubId list : {3u, 4u})
            if (PortListHas(txn.GetStr(s.At(Concat(kMirror, {list})), {0}, 0),
                            static_cast<int>(target)))
                return Err::kInconsistentValue;
        if (txn.GetInt(s.At(Concat(kMirror, {1})), {0}, 0) == 1 &&
            TrunkGroupOf(txn, static_cast<int>(target)) != 0)
            return Err::kInconsistentValue;
        (void)sw;
        return Err::kNone;
    };
    store.At(Concat(kMirror, {1})).Check([consistent](Txn& txn, const Oid&, const Value&) {
        return consistent(txn);
    });
    store.At(Concat(kMirror, {2})).Check([consistent](Txn& txn, const Oid&, const Value&) {
        return consistent(txn);
    });
    for (SubId list : {3u, 4u}) {
        Node& node = store.AddScalar(
            Concat(kMirror, {list}), list == 3 ? "mirrorSourceIngress" : "mirrorSourceEgress",
            PortListSyntax(), Access::ReadWrite, Value::Str(PortListBytes(model, {})));
        node.Check(PortListCheck(sw, node, 0, [consistent](Txn& txn, const Oid&, const Value&) {
            return consistent(txn);
        }));
    }
}

// Voice and surveillance VLANs need an existing VLAN and symmetric VLAN mode.
CheckFn SpecialVlanState(const Oid& vidScalar) {
    return [vidScalar](Txn& txn, const Oid&, const Value& v) {
        if (v.num != 1)
            return Err::kNone;
        const auto vid = txn.GetInt(txn.GetStore().At(vidScalar), {0}, 0);
        const bool asymmetric =
            txn.GetInt(txn.GetStore().At(kVlanMode), {0}, 0) == vlan::kAsymmetric;
        return VlanActive(txn, vid) && !asymmetric ? Err::kNone : Err::kInconsistentValue;
    };
}

void RegisterSpecialVlans(Switch& sw) {
    Store& store = sw.GetStore();
    const Oid voice = Concat(kSwitchMib, {21, 1});
    store
        .AddScalar(Concat(voice, {1}), "voiceVlanState", EnabledDisabled(), Access::ReadWrite,
                   Value::Int(2))
        .Check(SpecialVlanState(Concat(voice, {3})));
    store.AddScalar(Concat(voice, {2}), "voiceVlanPriority", Syntax::Int(0, 7), Access::ReadWrite,
                    Value::Int(5));
    store.AddScalar(Concat(voice, {3}), "voiceVlanVid", Syntax::Int(1, 4094), Access::ReadWrite,
                    Value::Int(1));
    // Port mode: 1 auto, 2 manual.
    AddPortTable(sw, Concat(voice, {6, 1}), "voiceVlanPort")
        .Col(2, "voiceVlanPortMode", Syntax::Enum({1, 2}), Access::ReadWrite, Value::Int(2));

    const Oid surveillance = Concat(kSwitchMib, {26, 1});
    store
        .AddScalar(Concat(surveillance, {1}), "surveillanceVlanState", EnabledDisabled(),
                   Access::ReadWrite, Value::Int(2))
        .Check(SpecialVlanState(Concat(surveillance, {2})));
    store.AddScalar(Concat(surveillance, {2}), "surveillanceVlanVid", Syntax::Int(1, 4094),
                    Access::ReadWrite, Value::Int(1));
    // Port modes: column 2 is 1 in auto mode (2 manual), column 3 is 2 in
    // auto dynamic mode (1 not).
    AddPortTable(sw, Concat(kSwitchMib, {34, 1, 5, 1}), "surveillanceVlanPort")
        .Col(2, "surveillanceVlanPortMode", Syntax::Enum({1, 2}), Access::ReadWrite, Value::Int(2))
        .Col(3, "surveillanceVlanPortDynamic", Syntax::Enum({1, 2}), Access::ReadWrite,
             Value::Int(1));
}

} // namespace

void RegisterSwitching(Switch& sw) {
    RegisterLearning(sw);
    RegisterPortSettings(sw);
    RegisterMirroring(sw);
    RegisterSpecialVlans(sw);
}

} // namespace nswsim
