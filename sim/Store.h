#pragma once

#include "Value.h"

#include "snmp/Encodings.h" // RowStatus

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

// The switch's objects: one ordered store of scalars and tables, each object
// with its syntax, access and behaviour. Every feature file registers its
// objects here (see README.md); the agent answers GET, GETNEXT and SET from it.
namespace nswsim {

// SNMPv2 error codes; the agent library turns them into v1 codes.
namespace Err {
constexpr int kNone = 0;
constexpr int kGenErr = 5;
constexpr int kNoAccess = 6;
constexpr int kWrongType = 7;
constexpr int kWrongLength = 8;
constexpr int kWrongValue = 10;
constexpr int kNoCreation = 11;
constexpr int kInconsistentValue = 12;
constexpr int kResourceUnavailable = 13;
constexpr int kNotWritable = 17;
} // namespace Err

enum class Access : std::uint8_t { NotAccessible, ReadOnly, ReadWrite, ReadCreate };

// What a value may be: its type, then an integer range or a string length
// range, optionally a list of allowed integers (enumerations).
struct Syntax {
    Type type = Type::Integer;
    std::int64_t min = std::numeric_limits<std::int32_t>::min();
    std::int64_t max = std::numeric_limits<std::int32_t>::max();
    std::vector<std::int64_t> values;

    static Syntax Int(std::int64_t lo, std::int64_t hi) { return {Type::Integer, lo, hi, {}}; }
    static Syntax Int() { return {}; }
    static Syntax Enum(std::vector<std::int64_t> allowed) {
        return {Type::Integer, std::numeric_limits<std::int32_t>::min(),
                std::numeric_limits<std::int32_t>::max(), std::move(allowed)};
    }
    static Syntax Str(std::int64_t minLen = 0, std::int64_t maxLen = 255) {
        return {Type::OctetString, minLen, maxLen, {}};
    }
    static Syntax Ip() { return {Type::IpAddress, 4, 4, {}}; }
    static Syntax ObjId() { return {Type::ObjectId, 0, 128, {}}; }
    static Syntax Gauge(std::int64_t lo = 0, std::int64_t hi = 4294967295LL) {
        return {Type::Gauge32, lo, hi, {}};
    }
    static Syntax Counter() { return {Type::Counter32, 0, 4294967295LL, {}}; }
    static Syntax Ticks() { return {Type::TimeTicks, 0, 4294967295LL, {}}; }
    static Syntax Counter64() {
        return {Type::Counter64, std::numeric_limits<std::int64_t>::min(),
                std::numeric_limits<std::int64_t>::max(), {}};
    }
};
// The usual enterprise enumeration: 1 enabled, 2 disabled.
inline Syntax EnabledDisabled() {
    return Syntax::Enum({1, 2});
}

class Txn;
class Node;

// A column check runs once every varbind of a SET is staged, so it sees the
// request as a whole; it returns an error code and may stage related cells.
using CheckFn = std::function<int(Txn& txn, const Oid& index, const Value& value)>;
// A row check runs for every row a SET touches (created, changed or destroyed).
using RowCheckFn = std::function<int(Txn& txn, const Oid& index)>;
// A live column is computed when read instead of being stored.
using LiveFn = std::function<std::optional<Value>(const Oid& index)>;
using IndexFn = std::function<bool(const Oid& index)>;

struct Column {
    SubId id = 0;
    std::string name;
    Syntax syntax;
    Access access = Access::ReadOnly;
    std::optional<Value> def; // given to a new row; without one the column must be set
    bool persist = false;     // part of the saved configuration
    CheckFn check;
    LiveFn live;
};

struct Row {
    std::vector<std::optional<Value>> cells; // by column position
};

// A scalar (instance <oid>.0) or a conceptual table (instance <entry>.<column>.<index>).
class Node {
public:
    Node(Oid base, bool scalar) : m_base(std::move(base)), m_scalar(scalar) {}

    const Oid& Base() const { return m_base; }
    bool IsScalar() const { return m_scalar; }
    const std::string& Name() const { return m_name; }

    // Registration (fluent). Columns persist when writable unless told otherwise.
    Node& Named(std::string name);
    Node& Col(SubId id, std::string name, Syntax syntax, Access access,
              std::optional<Value> def = std::nullopt);
    Node& RowStatusCol(SubId id, std::string name = "rowStatus");
    Node& Check(SubId column, CheckFn check);
    Node& Live(SubId column, LiveFn live);
    Node& Persist(SubId column, bool persist);
    Node& RowCheck(RowCheckFn check);
    Node& Index(IndexFn valid);
    Node& MaxRows(std::size_t rows);
    // Writing any column of a missing row creates it; it waits for active.
    Node& CreateByAnyColumn();

    // Scalars: the value (or live value) and a direct write.
    std::optional<Value> ScalarValue() const { return Read({0}, m_columns.front().id); }
    void SetScalar(Value value) { SetCell({0}, m_columns.front().id, std::move(value)); }
    Node& Check(CheckFn check) { return Check(m_columns.front().id, std::move(check)); }
    Node& Live(LiveFn live) { return Live(m_columns.front().id, std::move(live)); }

    // Direct access for the switch's own behaviour (no checks).
    std::optional<Value> Read(const Oid& index, SubId column) const;
    std::int64_t ReadInt(const Oid& index, SubId column, std::int64_t def = 0) const;
    std::string ReadStr(const Oid& index, SubId column) const;
    void SetCell(const Oid& index, SubId column, Value value); // creates the row if missing
    void ClearCell(const Oid& index, SubId column);
    Row& AddRow(const Oid& index); // with the column defaults
    void RemoveRow(const Oid& index) { m_rows.erase(index); }
    void ClearRows() { m_rows.clear(); }
    bool HasRow(const Oid& index) const { return m_rows.count(index) != 0; }
    const std::map<Oid, Row>& Rows() const { return m_rows; }

    const Column* FindColumn(SubId id) const;
    int ColumnPos(SubId id) const;
    const std::vector<Column>& Columns() const { return m_columns; }
    std::optional<SubId> RowStatusColumn() const { return m_rowStatus; }
    bool Creatable() const { return m_rowStatus.has_value() || m_createByAnyColumn; }
    bool CreateByAnyColumnAllowed() const { return m_createByAnyColumn; }
    bool ValidIndex(const Oid& index) const;
    std::size_t MaxRowCount() const { return m_maxRows; }
    const RowCheckFn& RowChecker() const { return m_rowCheck; }
    // A row is complete when every settable column without a default holds a value.
    bool Complete(const std::function<bool(SubId)>& hasValue) const;

    // Instance OIDs.
    Oid Instance(const Oid& index, SubId column) const;
    // Splits an instance OID of this node; false when it names no column instance.
    bool Split(const Oid& instance, const Column*& column, Oid& index) const;
    // The first readable instance after 'after' (which may lie before this node).
    bool Next(const Oid& after, Oid& name, Value& value) const;

private:
    friend class Store;
    Oid m_base;
    bool m_scalar;
    std::string m_name;
    std::vector<Column> m_columns; // ascending id
    std::map<Oid, Row> m_rows;
    std::optional<SubId> m_rowStatus;
    bool m_createByAnyColumn = false;
    std::size_t m_maxRows = std::numeric_limits<std::size_t>::max();
    IndexFn m_validIndex;
    RowCheckFn m_rowCheck;
};

// One varbind of a SET as the store sees it.
struct SetItem {
    Oid name;
    Value value;
};

// The running configuration in a form that survives a reboot: persisted cells
// plus the creatable tables they belong to (so an emptied table stays empty).
struct Config {
    std::set<Oid> tables;
    std::map<Oid, Value> cells;
    std::string Serialize(const std::string& model) const;
    // false with a message on a malformed text.
    bool Parse(const std::string& text, std::string& error, std::string* model = nullptr);
};

class Store {
public:
    Node& AddScalar(const Oid& oid, std::string name, Syntax syntax, Access access, Value initial);
    Node& AddTable(const Oid& entry, std::string name);
    Node* Find(const Oid& base) const;
    Node& At(const Oid& base) const; // throws when not registered

    // Reads. Get returns the error-free value or, in 'missing', whether the
    // object (noSuchObject) or only the instance (noSuchInstance) is missing.
    enum class Missing { None, Object, Instance };
    std::optional<Value> Get(const Oid& instance, Missing* missing = nullptr) const;
    // The next instance after 'after' under 'root' (empty root: anywhere).
    bool GetNext(const Oid& after, const Oid& root, Oid& name, Value& value) const;

    // Writes: Prepare checks and stages a whole SET; on failure it gives the
    // index of the failing varbind and the error. Apply cannot fail.
    bool Prepare(Txn& txn, const std::vector<SetItem>& items, int& failedIndex, int& error);
    void Apply(Txn& txn);
    void Undo(Txn& txn);
    void Commit(Txn& txn);

    // Called after every applied SET and after a configuration restore, so
    // features can recompute derived objects.
    void OnChanged(std::function<void()> listener) { m_listeners.push_back(std::move(listener)); }
    void NotifyChanged();

    Config Snapshot() const;
    void Restore(const Config& factory, const Config& config);

    std::size_t NodeCount() const { return m_nodes.size(); }
    const std::map<Oid, std::unique_ptr<Node>>& Nodes() const { return m_nodes; }

private:
    Node& Add(std::unique_ptr<Node> node);
    const Node* Containing(const Oid& instance) const;
    void ApplyCells(const Config& config, bool skipCoveredTables);

    std::map<Oid, std::unique_ptr<Node>> m_nodes;
    std::set<Oid> m_restoreTables;
    std::vector<std::function<void()>> m_listeners;
};

// A SET being checked: reads see the staged values on top of the store.
class Txn {
public:
    explicit Txn(Store& store) : m_store(store) {}

    Store& GetStore() const { return m_store; }
    std::optional<Value> Get(const Node& node, const Oid& index, SubId column) const;
    std::int64_t GetInt(const Node& node, const Oid& index, SubId column,
                        std::int64_t def = 0) const;
    std::string GetStr(const Node& node, const Oid& index, SubId column) const;
    // Whether the row will exist once the SET is applied.
    bool RowExists(const Node& node, const Oid& index) const;
    // Every row of the node once the SET is applied, in index order.
    std::vector<Oid> RowIndexes(const Node& node) const;
    bool Creating(const Node& node, const Oid& index) const;
    bool Destroying(const Node& node, const Oid& index) const;
    bool Touches(const Node& node, const Oid& index, SubId column) const;

    // Stages a related cell of an existing row (a check hook redirecting a write).
    void Stage(Node& node, const Oid& index, SubId column, Value value);
    // Side effects that run once the SET is committed.
    void OnCommit(std::function<void()> action) { m_commits.push_back(std::move(action)); }

private:
    friend class Store;
    struct RowEdit {
        Node* node = nullptr;
        Oid index;
        std::map<SubId, Value> cells;
        bool exists = false; // before the SET
        bool create = false;
        bool destroy = false;
        std::optional<std::int64_t> statusRequest;
        int firstItem = -1;
        int statusItem = -1;
    };
    RowEdit* Edit(const Node& node, const Oid& index);
    const RowEdit* FindEdit(const Node& node, const Oid& index) const;

    Store& m_store;
    std::map<std::pair<const Node*, Oid>, RowEdit> m_edits;
    std::vector<std::function<void()>> m_commits;
    std::vector<std::pair<std::pair<Node*, Oid>, std::optional<Row>>> m_undo;
};

} // namespace nswsim
