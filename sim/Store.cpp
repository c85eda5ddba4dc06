#include "Store.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace nswsim {

// ---- Node -----------------------------------------------------------------

Node& Node::Named(std::string name) {
    m_name = std::move(name);
    return *this;
}

Node& Node::Col(SubId id, std::string name, Syntax syntax, Access access,
                std::optional<Value> def) {
    if (m_scalar && !m_columns.empty())
        throw std::logic_error("a scalar has one value: " + OidToString(m_base));
    if (FindColumn(id))
        throw std::logic_error("column registered twice: " + OidToString(m_base));
    Column column;
    column.id = id;
    column.name = std::move(name);
    column.syntax = std::move(syntax);
    column.access = access;
    column.def = std::move(def);
    column.persist = access == Access::ReadWrite || access == Access::ReadCreate;
    auto pos = std::find_if(m_columns.begin(), m_columns.end(),
                            [&](const Column& c) { return c.id > id; });
    const auto at = pos - m_columns.begin();
    for (auto& [index, row] : m_rows)
        row.cells.insert(row.cells.begin() + at, column.def);
    m_columns.insert(pos, std::move(column));
    return *this;
}

Node& Node::RowStatusCol(SubId id, std::string name) {
    Col(id, std::move(name), Syntax::Int(1, 6), Access::ReadCreate);
    m_rowStatus = id;
    return *this;
}

namespace {
Column& Mutable(std::vector<Column>& columns, SubId id, const Oid& base) {
    for (auto& c : columns)
        if (c.id == id)
            return c;
    throw std::logic_error("no column " + std::to_string(id) + " in " + OidToString(base));
}
} // namespace

Node& Node::Check(SubId column, CheckFn check) {
    Mutable(m_columns, column, m_base).check = std::move(check);
    return *this;
}

Node& Node::Live(SubId column, LiveFn live) {
    Column& c = Mutable(m_columns, column, m_base);
    c.live = std::move(live);
    c.persist = false;
    return *this;
}

Node& Node::Persist(SubId column, bool persist) {
    Mutable(m_columns, column, m_base).persist = persist;
    return *this;
}

Node& Node::RowCheck(RowCheckFn check) {
    m_rowCheck = std::move(check);
    return *this;
}

Node& Node::Index(IndexFn valid) {
    m_validIndex = std::move(valid);
    return *this;
}

Node& Node::MaxRows(std::size_t rows) {
    m_maxRows = rows;
    return *this;
}

Node& Node::CreateByAnyColumn() {
    m_createByAnyColumn = true;
    return *this;
}

const Column* Node::FindColumn(SubId id) const {
    int pos = ColumnPos(id);
    return pos < 0 ? nullptr : &m_columns[static_cast<std::size_t>(pos)];
}

int Node::ColumnPos(SubId id) const {
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].id == id)
            return static_cast<int>(i);
    return -1;
}

bool Node::ValidIndex(const Oid& index) const {
    if (index.empty())
        return false;
    return !m_validIndex || m_validIndex(index);
}

bool Node::Complete(const std::function<bool(SubId)>& hasValue) const {
    for (const Column& c : m_columns) {
        if (c.access != Access::ReadWrite && c.access != Access::ReadCreate)
            continue;
        if (m_rowStatus && c.id == *m_rowStatus)
            continue;
        if (!c.def && !c.live && !hasValue(c.id))
            return false;
    }
    return true;
}

std::optional<Value> Node::Read(const Oid& index, SubId column) const {
    auto row = m_rows.find(index);
    int pos = ColumnPos(column);
    if (row == m_rows.end() || pos < 0)
        return std::nullopt;
    const Column& c = m_columns[static_cast<std::size_t>(pos)];
    if (c.live)
        return c.live(index);
    return row->second.cells[static_cast<std::size_t>(pos)];
}

std::int64_t Node::ReadInt(const Oid& index, SubId column, std::int64_t def) const {
    auto v = Read(index, column);
    return v && v->IsNumeric() ? v->num : def;
}

std::string Node::ReadStr(const Oid& index, SubId column) const {
    auto v = Read(index, column);
    return v ? v->bytes : std::string();
}

Row& Node::AddRow(const Oid& index) {
    auto [it, inserted] = m_rows.try_emplace(index);
    if (inserted) {
        it->second.cells.resize(m_columns.size());
        for (std::size_t i = 0; i < m_columns.size(); ++i)
            it->second.cells[i] = m_columns[i].def;
    }
    return it->second;
}

void Node::SetCell(const Oid& index, SubId column, Value value) {
    int pos = ColumnPos(column);
    if (pos < 0)
        throw std::logic_error("no column " + std::to_string(column) + " in " +
                               OidToString(m_base));
    AddRow(index).cells[static_cast<std::size_t>(pos)] = std::move(value);
}

void Node::ClearCell(const Oid& index, SubId column) {
    auto row = m_rows.find(index);
    int pos = ColumnPos(column);
    if (row != m_rows.end() && pos >= 0)
        row->second.cells[static_cast<std::size_t>(pos)].reset();
}

Oid Node::Instance(const Oid& index, SubId column) const {
    Oid name = m_base;
    if (!m_scalar)
        name.push_back(column);
    name.insert(name.end(), index.begin(), index.end());
    return name;
}

bool Node::Split(const Oid& instance, const Column*& column, Oid& index) const {
    const std::size_t b = m_base.size();
    if (!StartsWith(instance, m_base))
        return false;
    if (m_scalar) {
        if (instance.size() != b + 1 || instance[b] != 0)
            return false;
        column = &m_columns.front();
        index = {0};
        return true;
    }
    if (instance.size() < b + 2)
        return false;
    column = FindColumn(instance[b]);
    if (!column)
        return false;
    index = Suffix(instance, b + 1);
    return true;
}

bool Node::Next(const Oid& after, Oid& name, Value& value) const {
    const std::size_t b = m_base.size();
    const bool inside = StartsWith(after, m_base) && after.size() > b;
    if (m_scalar) {
        if (inside) // at or past <oid>.0
            return false;
        if (m_columns.empty() || m_columns.front().access == Access::NotAccessible)
            return false;
        auto v = Read({0}, m_columns.front().id);
        if (!v)
            return false;
        name = Instance({0}, 0);
        value = std::move(*v);
        return true;
    }
    const SubId startColumn = inside ? after[b] : 0;
    const Oid afterIndex = inside ? Suffix(after, b + 1) : Oid{};
    for (std::size_t pos = 0; pos < m_columns.size(); ++pos) {
        const Column& c = m_columns[pos];
        if (c.id < startColumn || c.access == Access::NotAccessible)
            continue;
        auto it = (inside && c.id == startColumn) ? m_rows.upper_bound(afterIndex) : m_rows.begin();
        for (; it != m_rows.end(); ++it) {
            std::optional<Value> v = c.live ? c.live(it->first) : it->second.cells[pos];
            if (v) {
                name = Instance(it->first, c.id);
                value = std::move(*v);
                return true;
            }
        }
    }
    return false;
}

// ---- Store ----------------------------------------------------------------

Node& Store::Add(std::unique_ptr<Node> node) {
    const Oid base = node->Base();
    // Objects never nest: lookups rely on one candidate per instance.
    auto after = m_nodes.lower_bound(base);
    if (after != m_nodes.end() && StartsWith(after->first, base))
        throw std::logic_error("object overlaps " + OidToString(after->first) + ": " +
                               OidToString(base));
    if (after != m_nodes.begin() && StartsWith(base, std::prev(after)->first))
        throw std::logic_error("object lies inside " + OidToString(std::prev(after)->first) + ": " +
                               OidToString(base));
    return *m_nodes.emplace(base, std::move(node)).first->second;
}

Node& Store::AddScalar(const Oid& oid, std::string name, Syntax syntax, Access access,
                       Value initial) {
    Node& node = Add(std::make_unique<Node>(oid, true));
    node.Named(name).Col(0, std::move(name), std::move(syntax), access);
    node.SetCell({0}, 0, std::move(initial));
    return node;
}

Node& Store::AddTable(const Oid& entry, std::string name) {
    return Add(std::make_unique<Node>(entry, false)).Named(std::move(name));
}

Node* Store::Find(const Oid& base) const {
    auto it = m_nodes.find(base);
    return it == m_nodes.end() ? nullptr : it->second.get();
}

Node& Store::At(const Oid& base) const {
    Node* node = Find(base);
    if (!node)
        throw std::logic_error("object not registered: " + OidToString(base));
    return *node;
}

const Node* Store::Containing(const Oid& instance) const {
    auto it = m_nodes.upper_bound(instance);
    if (it == m_nodes.begin())
        return nullptr;
    --it;
    return StartsWith(instance, it->first) ? it->second.get() : nullptr;
}

std::optional<Value> Store::Get(const Oid& instance, Missing* missing) const {
    auto report = [&](Missing m) {
        if (missing)
            *missing = m;
        return std::nullopt;
    };
    const Node* node = Containing(instance);
    if (!node)
        return report(Missing::Object);
    const Column* column = nullptr;
    Oid index;
    if (!node->Split(instance, column, index)) {
        bool knownColumn = node->IsScalar() || (instance.size() > node->Base().size() &&
                                                node->FindColumn(instance[node->Base().size()]));
        return report(knownColumn ? Missing::Instance : Missing::Object);
    }
    if (column->access == Access::NotAccessible)
        return report(Missing::Object);
    auto value = node->Read(index, column->id);
    if (!value)
        return report(Missing::Instance);
    if (missing)
        *missing = Missing::None;
    return value;
}

bool Store::GetNext(const Oid& after, const Oid& root, Oid& name, Value& value) const {
    auto it = m_nodes.upper_bound(after);
    if (it != m_nodes.begin()) {
        auto prev = std::prev(it);
        if (StartsWith(after, prev->first) && StartsWith(prev->first, root) &&
            prev->second->Next(after, name, value))
            return true;
    }
    for (; it != m_nodes.end(); ++it) {
        if (!StartsWith(it->first, root)) {
            if (it->first > root)
                break;
            continue;
        }
        if (it->second->Next(after, name, value))
            return true;
    }
    return false;
}

namespace {

int CheckSyntax(const Syntax& syntax, const Value& value) {
    if (value.type != syntax.type)
        return Err::kWrongType;
    switch (value.type) {
    case Type::OctetString:
        if (static_cast<std::int64_t>(value.bytes.size()) < syntax.min ||
            static_cast<std::int64_t>(value.bytes.size()) > syntax.max)
            return Err::kWrongLength;
        return Err::kNone;
    case Type::IpAddress:
        return value.bytes.size() == 4 ? Err::kNone : Err::kWrongLength;
    case Type::ObjectId:
        return static_cast<std::int64_t>(value.oid.size()) <= syntax.max ? Err::kNone
                                                                         : Err::kWrongLength;
    default:
        if (!syntax.values.empty())
            return std::count(syntax.values.begin(), syntax.values.end(), value.num)
                       ? Err::kNone
                       : Err::kWrongValue;
        return value.num < syntax.min || value.num > syntax.max ? Err::kWrongValue : Err::kNone;
    }
}

} // namespace

bool Store::Prepare(Txn& txn, const std::vector<SetItem>& items, int& failedIndex, int& error) {
    auto fail = [&](int index, int err) {
        failedIndex = std::max(index, 0);
        error = err;
        return false;
    };
    struct Target {
        Node* node;
        const Column* column;
        Oid index;
    };
    std::vector<Target> targets;
    targets.reserve(items.size());

    for (std::size_t i = 0; i < items.size(); ++i) {
        const int item = static_cast<int>(i);
        const SetItem& set = items[i];
        auto* node = const_cast<Node*>(Containing(set.name));
        if (!node)
            return fail(item, Err::kNotWritable);
        const Column* column = nullptr;
        Oid index;
        if (!node->Split(set.name, column, index)) {
            bool knownColumn = !node->IsScalar() && set.name.size() > node->Base().size() &&
                               node->FindColumn(set.name[node->Base().size()]);
            return fail(item,
                        node->IsScalar() || knownColumn ? Err::kNoCreation : Err::kNotWritable);
        }
        if (column->access != Access::ReadWrite && column->access != Access::ReadCreate)
            return fail(item, Err::kNotWritable);
        if (int err = CheckSyntax(column->syntax, set.value))
            return fail(item, err);

        Txn::RowEdit* edit = txn.Edit(*node, index);
        if (edit->firstItem < 0)
            edit->firstItem = item;
        if (node->RowStatusColumn() == column->id) {
            const std::int64_t request = set.value.num;
            if (request == RowStatus::kNotReady)
                return fail(item, Err::kWrongValue);
            if ((request == RowStatus::kCreateAndGo || request == RowStatus::kCreateAndWait) && edit->exists)
                return fail(item, Err::kInconsistentValue);
            if ((request == RowStatus::kActive || request == RowStatus::kNotInService) && !edit->exists &&
                !node->CreateByAnyColumnAllowed())
                return fail(item, Err::kInconsistentValue);
            edit->create =
                edit->create || request == RowStatus::kCreateAndGo || request == RowStatus::kCreateAndWait;
            edit->destroy = request == RowStatus::kDestroy;
            edit->statusRequest = request;
            edit->statusItem = item;
        } else {
            edit->cells[column->id] = set.value;
        }
        targets.push_back({node, column, index});
    }

    // Rows that do not exist yet: created by their row status, by any column
    // where the table allows it, else refused.
    for (auto& [key, edit] : txn.m_edits) {
        if (edit.exists)
            continue;
        const int item = edit.statusItem >= 0 ? edit.statusItem : edit.firstItem;
        if (edit.destroy && edit.create)
            return fail(item, Err::kInconsistentValue);
        if (edit.destroy)
            continue; // destroying a missing row is no error
        if (!edit.create) {
            if (!edit.node->CreateByAnyColumnAllowed())
                return fail(item, Err::kNoCreation);
            edit.create = true;
        }
        if (!edit.node->ValidIndex(edit.index))
            return fail(item, Err::kNoCreation);
    }

    for (std::size_t i = 0; i < targets.size(); ++i) {
        const Target& t = targets[i];
        if (t.column->check)
            if (int err = t.column->check(txn, t.index, items[i].value))
                return fail(static_cast<int>(i), err);
    }

    std::map<const Node*, long> growth;
    for (auto& [key, edit] : txn.m_edits) {
        Node& node = *edit.node;
        const int item = edit.statusItem >= 0 ? edit.statusItem : std::max(edit.firstItem, 0);
        if (edit.destroy) {
            if (edit.exists)
                --growth[&node];
        } else if (edit.create) {
            ++growth[&node];
        }
        if (auto rs = node.RowStatusColumn(); rs && !edit.destroy) {
            auto hasValue = [&](SubId c) { return txn.Get(node, edit.index, c).has_value(); };
            const bool complete = node.Complete(hasValue);
            const std::int64_t current = edit.exists ? node.ReadInt(edit.index, *rs) : 0;
            std::int64_t next = current;
            switch (edit.statusRequest.value_or(0)) {
            case RowStatus::kCreateAndGo:
            case RowStatus::kActive:
                if (!complete)
                    return fail(item, Err::kInconsistentValue);
                next = RowStatus::kActive;
                break;
            case RowStatus::kCreateAndWait:
                next = complete ? RowStatus::kNotInService : RowStatus::kNotReady;
                break;
            case RowStatus::kNotInService:
                if (!complete)
                    return fail(item, Err::kInconsistentValue);
                next = RowStatus::kNotInService;
                break;
            default:
                if (edit.create)
                    next = complete ? RowStatus::kNotInService : RowStatus::kNotReady;
                else if (current == RowStatus::kNotReady && complete)
                    next = RowStatus::kNotInService;
                break;
            }
            edit.cells[*rs] = Value::Int(next);
        }
        if (edit.destroy && !edit.exists)
            continue;
        if (node.RowChecker())
            if (int err = node.RowChecker()(txn, edit.index))
                return fail(item, err);
    }
    for (auto& [key, edit] : txn.m_edits) {
        const Node& node = *edit.node;
        if (edit.create &&
            node.Rows().size() + static_cast<std::size_t>(std::max(0L, growth[&node])) >
                node.MaxRowCount())
            return fail(edit.statusItem >= 0 ? edit.statusItem : edit.firstItem,
                        Err::kResourceUnavailable);
    }
    return true;
}

void Store::Apply(Txn& txn) {
    for (auto& [key, edit] : txn.m_edits) {
        Node& node = *edit.node;
        if (!edit.exists && !edit.create)
            continue;
        auto old = node.m_rows.find(edit.index);
        txn.m_undo.push_back(
            {{&node, edit.index},
             old == node.m_rows.end() ? std::nullopt : std::optional<Row>(old->second)});
        if (edit.destroy) {
            node.m_rows.erase(edit.index);
            continue;
        }
        Row& row = node.AddRow(edit.index);
        for (auto& [column, value] : edit.cells)
            row.cells[static_cast<std::size_t>(node.ColumnPos(column))] = value;
    }
    NotifyChanged();
}

void Store::Undo(Txn& txn) {
    for (auto it = txn.m_undo.rbegin(); it != txn.m_undo.rend(); ++it) {
        auto& [key, row] = *it;
        if (row)
            key.first->m_rows[key.second] = *row;
        else
            key.first->m_rows.erase(key.second);
    }
    txn.m_undo.clear();
    NotifyChanged();
}

void Store::Commit(Txn& txn) {
    auto actions = std::move(txn.m_commits);
    for (auto& action : actions)
        action();
}

void Store::NotifyChanged() {
    for (auto& listener : m_listeners)
        listener();
}

Config Store::Snapshot() const {
    Config config;
    for (const auto& [base, node] : m_nodes) {
        const auto& columns = node->Columns();
        if (std::none_of(columns.begin(), columns.end(), [](const Column& c) { return c.persist; }))
            continue;
        if (node->Creatable())
            config.tables.insert(base);
        for (const auto& [index, row] : node->Rows())
            for (std::size_t pos = 0; pos < columns.size(); ++pos)
                if (columns[pos].persist && row.cells[pos])
                    config.cells[node->Instance(index, columns[pos].id)] = *row.cells[pos];
    }
    return config;
}

void Store::ApplyCells(const Config& config, bool skipCoveredTables) {
    for (const auto& [instance, value] : config.cells) {
        auto* node = const_cast<Node*>(Containing(instance));
        const Column* column = nullptr;
        Oid index;
        if (!node || !node->Split(instance, column, index) || !column->persist)
            continue;
        if (skipCoveredTables && node->Creatable() && m_restoreTables.count(node->Base()))
            continue;
        if (CheckSyntax(column->syntax, value) != Err::kNone)
            continue;
        if (!node->HasRow(index) && (!node->Creatable() || !node->ValidIndex(index)))
            continue;
        node->SetCell(index, column->id, value);
    }
}

void Store::Restore(const Config& factory, const Config& config) {
    for (auto& [base, node] : m_nodes)
        if (node->Creatable() && (factory.tables.count(base) || config.tables.count(base)))
            node->ClearRows();
    m_restoreTables = config.tables;
    ApplyCells(factory, true);
    m_restoreTables.clear();
    ApplyCells(config, false);
    NotifyChanged();
}

// ---- Txn ------------------------------------------------------------------

Txn::RowEdit* Txn::Edit(const Node& node, const Oid& index) {
    auto [it, inserted] = m_edits.try_emplace({&node, index});
    if (inserted) {
        it->second.node = const_cast<Node*>(&node);
        it->second.index = index;
        it->second.exists = node.HasRow(index);
    }
    return &it->second;
}

const Txn::RowEdit* Txn::FindEdit(const Node& node, const Oid& index) const {
    auto it = m_edits.find({&node, index});
    return it == m_edits.end() ? nullptr : &it->second;
}

std::optional<Value> Txn::Get(const Node& node, const Oid& index, SubId column) const {
    const RowEdit* edit = FindEdit(node, index);
    if (!edit)
        return node.Read(index, column);
    if (edit->destroy)
        return std::nullopt;
    if (auto it = edit->cells.find(column); it != edit->cells.end())
        return it->second;
    if (edit->exists)
        return node.Read(index, column);
    if (edit->create)
        if (const Column* c = node.FindColumn(column))
            return c->def;
    return std::nullopt;
}

std::int64_t Txn::GetInt(const Node& node, const Oid& index, SubId column, std::int64_t def) const {
    auto v = Get(node, index, column);
    return v && v->IsNumeric() ? v->num : def;
}

std::string Txn::GetStr(const Node& node, const Oid& index, SubId column) const {
    auto v = Get(node, index, column);
    return v ? v->bytes : std::string();
}

bool Txn::RowExists(const Node& node, const Oid& index) const {
    const RowEdit* edit = FindEdit(node, index);
    if (!edit)
        return node.HasRow(index);
    if (edit->destroy)
        return false;
    return edit->exists || edit->create;
}

std::vector<Oid> Txn::RowIndexes(const Node& node) const {
    std::set<Oid> indexes;
    for (const auto& [index, row] : node.Rows())
        indexes.insert(index);
    for (const auto& [key, edit] : m_edits) {
        if (key.first != &node)
            continue;
        if (edit.destroy)
            indexes.erase(edit.index);
        else if (edit.create)
            indexes.insert(edit.index);
    }
    return {indexes.begin(), indexes.end()};
}

bool Txn::Creating(const Node& node, const Oid& index) const {
    const RowEdit* edit = FindEdit(node, index);
    return edit && !edit->exists && (edit->create || !edit->destroy);
}

bool Txn::Destroying(const Node& node, const Oid& index) const {
    const RowEdit* edit = FindEdit(node, index);
    return edit && edit->destroy && edit->exists;
}

bool Txn::Touches(const Node& node, const Oid& index, SubId column) const {
    const RowEdit* edit = FindEdit(node, index);
    return edit &&
           (edit->cells.count(column) || (node.RowStatusColumn() == column && edit->statusRequest));
}

void Txn::Stage(Node& node, const Oid& index, SubId column, Value value) {
    RowEdit* edit = Edit(node, index);
    if (!edit->exists)
        edit->create = true;
    if (node.RowStatusColumn() == column)
        edit->statusRequest = value.num; // resolved like a request's row status
    else
        edit->cells[column] = std::move(value);
}

// ---- Config ---------------------------------------------------------------

namespace {
constexpr const char* kConfigMagic = "nsw-sim-config 1";
}

std::string Config::Serialize(const std::string& model) const {
    std::ostringstream out;
    out << kConfigMagic << '\n' << "model " << model << '\n';
    for (const Oid& table : tables)
        out << "table " << OidToString(table) << '\n';
    for (const auto& [instance, value] : cells)
        out << OidToString(instance) << ' ' << EncodeValue(value) << '\n';
    out << "end\n";
    return out.str();
}

bool Config::Parse(const std::string& text, std::string& error, std::string* model) {
    tables.clear();
    cells.clear();
    std::istringstream in(text);
    std::string line;
    int number = 0;
    bool ended = false;
    auto bad = [&](const std::string& why) {
        error = "line " + std::to_string(number) + ": " + why;
        return false;
    };
    while (std::getline(in, line)) {
        ++number;
        if (number == 1) {
            if (line != kConfigMagic)
                return bad("not a configuration of this switch");
            continue;
        }
        if (line.empty())
            continue;
        if (ended)
            return bad("text after the end");
        if (line == "end") {
            ended = true;
            continue;
        }
        if (line.rfind("model ", 0) == 0) {
            if (model)
                *model = line.substr(6);
            continue;
        }
        try {
            if (line.rfind("table ", 0) == 0) {
                tables.insert(ParseOid(line.substr(6)));
                continue;
            }
            auto space = line.find(' ');
            if (space == std::string::npos)
                return bad("no value");
            Value value;
            if (!DecodeValue(line.substr(space + 1), value))
                return bad("bad value");
            cells[ParseOid(line.substr(0, space))] = value;
        } catch (const std::exception&) {
            return bad("bad object identifier");
        }
    }
    if (number == 0)
        return bad("empty");
    if (!ended)
        return bad("truncated (no end line)");
    return true;
}

} // namespace nswsim
