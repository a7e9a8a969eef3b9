#pragma once

// The record set's shared rows and its handle state, seen by the files that
// make up Recordset (Recordset.cpp: fields, edits and moves; RecordsetQuery.cpp:
// Filter and Find). Internal: nothing outside the runtime includes it.

#include <qorOrvaneUI/runtime/Recordset.h>

#include "runtime/Criteria.h"
#include "runtime/FieldTypes.h"
#include <qorOrvaneUI/runtime/VbError.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace orvane {

namespace recordset_detail {

using namespace Qt::StringLiterals;

constexpr long ObjectClosed = 3704;
constexpr long NameInUse = 3367;

inline VbError multipleStepError()
{
    return {err::MultipleStep, QString(),
            u"Multiple-step operation generated errors. Check each status value."_s};
}

inline VbError closedError()
{
    return {ObjectClosed, QString(), u"Operation is not allowed when the object is closed."_s};
}

inline VbError notAllowedError(const QString &why)
{
    return {err::OperationNotAllowed, QString(),
            u"Operation is not allowed in this context. "_s % why};
}

// Row ids are unique in the whole process, so a bookmark taken from an
// unrelated record set is refused instead of landing on some other row.
inline std::atomic<std::int64_t> nextRowId{1};

// Case-insensitive hashing without building an upper-cased copy of the name on
// every field access. Folds whole code points, as QString::compare does; field
// names are nearly always ASCII, folded here without the Unicode tables.
// Not noexcept on purpose: the map then keeps each name's hash, so growing it
// (a layout built field by field) does not hash every name again.
struct FoldedHash {
    size_t operator()(const QString &s) const
    {
        size_t h = 1469598103934665603ull;
        const QChar *p = s.constData();
        const qsizetype n = s.size();
        for (qsizetype i = 0; i < n; ++i) {
            char32_t c = p[i].unicode();
            if (c < 0x80) {
                if (c >= u'A' && c <= u'Z')
                    c += u'a' - u'A';
            } else {
                if (QChar::isHighSurrogate(c) && i + 1 < n && p[i + 1].isLowSurrogate())
                    c = QChar::surrogateToUcs4(char16_t(c), p[++i].unicode());
                c = QChar::toCaseFolded(c);
            }
            h = (h ^ c) * 1099511628211ull;
        }
        return h;
    }
};

struct FoldedEqual {
    bool operator()(const QString &a, const QString &b) const noexcept
    {
        return a.compare(b, Qt::CaseInsensitive) == 0;
    }
};

struct Row {
    std::int64_t id = 0;
    RowStatus status = RowStatus::Unchanged; // Unchanged, New or Modified
    bool deleted = false;
    std::vector<Value> values;
};

// The field list. Record sets made with emptyCopy() share it, so building the
// same shape again costs nothing; appending to a shared list copies it first.
struct Schema {
    std::vector<FieldDef> fields;
    std::vector<ValueKind> kinds;
    std::unordered_map<QString, int, FoldedHash, FoldedEqual> byName;
};

// The rows every clone shares.
struct Table {
    std::shared_ptr<Schema> schema = std::make_shared<Schema>();
    std::vector<Row> rows; // storage order, which is ascending id order
    bool open = false;
    // Bumped by every change a filter's verdict could depend on.
    std::uint64_t version = 0;

    // Position of the row with this id, or of the first row after it when
    // it has been removed (`exact` false).
    size_t locate(std::int64_t id, bool &exact) const
    {
        const auto it = std::lower_bound(rows.begin(), rows.end(), id,
                                         [](const Row &r, std::int64_t v) { return r.id < v; });
        exact = it != rows.end() && it->id == id;
        return size_t(it - rows.begin());
    }

    int fieldIndex(const QString &name) const
    {
        const auto it = schema->byName.find(name);
        return it == schema->byName.end() ? -1 : it->second;
    }

    // A value as field `index` stores it.
    Value stored(int index, const Value &v) const
    {
        if (v.isEmpty() || v.isNull())
            return v;
        const FieldDef &f = schema->fields[size_t(index)];
        if (schema->kinds[size_t(index)] == ValueKind::Text) {
            QString s = v.kind() == ValueKind::Text ? *v.get<QString>() : v.toText();
            if (f.definedSize > 0 && s.size() > f.definedSize &&
                detail::characterCount(s) > f.definedSize)
                throw multipleStepError();
            return Value(s);
        }
        return v.convertedTo(schema->kinds[size_t(index)]);
    }
};

} // namespace recordset_detail

using namespace recordset_detail;

struct Recordset::Impl {
    enum class At { Bof, Row, Eof };

    std::shared_ptr<Table> t = std::make_shared<Table>();

    // Cursor: a row id rather than a position, so rows added or removed
    // through other clones never shift it.
    At at = At::Bof;
    std::int64_t rowId = 0;
    mutable size_t hint = 0;
    // Nothing has positioned this cursor since the record set was created:
    // the first loaded row becomes current, as after opening a stored table.
    bool pristine = true;

    QString filterText;
    std::optional<Criteria> filter;
    // Rows this cursor added since its filter was set stay visible to it even
    // when they do not match, so a row being filled in does not vanish under
    // the caller. Every other row is judged by the filter each time it is
    // looked at, so edits through any clone take effect at once.
    std::unordered_set<std::int64_t> pinned;
    std::uint64_t filterGeneration = 0;

    // The row addNew() created and update() has not yet ended.
    std::int64_t pendingAdd = 0;
    At beforeAddAt = At::Bof;
    std::int64_t beforeAddRow = 0;
    // The row as it was before this cursor's first change since the last
    // update(), for cancelUpdate().
    struct Edit {
        std::int64_t rowId = 0;
        std::vector<Value> values;
        RowStatus status = RowStatus::Unchanged;
    };
    std::optional<Edit> edit;

    // visibleBefore[i]: visible rows before position i (size rows + 1);
    // valid while the table and the filter are as they were when built.
    mutable std::vector<int> visibleBefore;
    mutable std::uint64_t cacheVersion = ~std::uint64_t(0);
    mutable std::uint64_t cacheFilter = ~std::uint64_t(0);

    void requireOpen() const
    {
        if (!t->open)
            throw closedError();
    }

    // Position of the current row; -1 when not on a row or the row is gone.
    std::ptrdiff_t currentPos() const
    {
        if (at != At::Row)
            return -1;
        if (hint < t->rows.size() && t->rows[hint].id == rowId)
            return std::ptrdiff_t(hint);
        bool exact = false;
        const size_t pos = t->locate(rowId, exact);
        if (!exact)
            return -1;
        hint = pos;
        return std::ptrdiff_t(pos);
    }

    Row &currentRow() const
    {
        const std::ptrdiff_t pos = currentPos();
        if (pos < 0 || t->rows[size_t(pos)].deleted)
            throw noCurrentRecord();
        return t->rows[size_t(pos)];
    }

    bool cacheValid() const
    {
        return cacheVersion == t->version && cacheFilter == filterGeneration;
    }

    bool evaluate(const Row &row) const
    {
        if (row.deleted)
            return false;
        if (!filter || pinned.count(row.id))
            return true;
        return filter->matches([&row](int i) -> const Value & { return row.values[size_t(i)]; });
    }

    bool isVisible(size_t pos) const
    {
        if (cacheValid())
            return visibleBefore[pos + 1] != visibleBefore[pos];
        return evaluate(t->rows[pos]);
    }

    void ensureCache() const
    {
        if (cacheValid())
            return;
        visibleBefore.assign(t->rows.size() + 1, 0);
        int n = 0;
        for (size_t i = 0; i < t->rows.size(); ++i) {
            visibleBefore[i] = n;
            if (evaluate(t->rows[i]))
                ++n;
        }
        visibleBefore[t->rows.size()] = n;
        cacheVersion = t->version;
        cacheFilter = filterGeneration;
    }

    int visibleCount() const
    {
        ensureCache();
        return visibleBefore.back();
    }

    std::ptrdiff_t nextVisible(size_t from) const
    {
        for (size_t i = from; i < t->rows.size(); ++i)
            if (isVisible(i))
                return std::ptrdiff_t(i);
        return -1;
    }

    std::ptrdiff_t previousVisible(std::ptrdiff_t from) const
    {
        for (std::ptrdiff_t i = std::min(from, std::ptrdiff_t(t->rows.size()) - 1); i >= 0; --i)
            if (isVisible(size_t(i)))
                return i;
        return -1;
    }

    // Where a relative move starts: the current row's position, or when the
    // row has been removed, the position of the first row after it.
    size_t basePos(bool &exact) const
    {
        if (hint < t->rows.size() && t->rows[hint].id == rowId) {
            exact = true;
            return hint;
        }
        return t->locate(rowId, exact);
    }

    void goTo(std::ptrdiff_t pos, At otherwise)
    {
        pristine = false;
        if (pos < 0) {
            at = otherwise;
            return;
        }
        at = At::Row;
        rowId = t->rows[size_t(pos)].id;
        hint = size_t(pos);
    }

    // Leaving a row ends its edit: a pending added row is kept.
    void commitPending()
    {
        pendingAdd = 0;
        edit.reset();
    }

    void changed() { ++t->version; }

    bool eof() const
    {
        if (at == At::Row)
            return false;
        return at == At::Eof || visibleCount() == 0;
    }

    bool bof() const
    {
        if (at == At::Row)
            return false;
        return at == At::Bof || visibleCount() == 0;
    }

    void moveNext()
    {
        if (eof())
            throw noCurrentRecord();
        commitPending();
        size_t start = 0;
        if (at == At::Row) {
            bool exact = false;
            start = basePos(exact);
            if (exact)
                ++start;
        }
        goTo(nextVisible(start), At::Eof);
    }

    void movePrevious()
    {
        if (bof())
            throw noCurrentRecord();
        commitPending();
        std::ptrdiff_t start = std::ptrdiff_t(t->rows.size()) - 1;
        if (at == At::Row) {
            bool exact = false;
            start = std::ptrdiff_t(basePos(exact)) - 1;
        }
        goTo(previousVisible(start), At::Bof);
    }

    void moveToFirstVisible() { goTo(nextVisible(0), At::Eof); }

    void setField(int index, const Value &v)
    {
        requireOpen();
        Row &row = currentRow();
        Value converted = t->stored(index, v);
        if (pendingAdd != row.id && (!edit || edit->rowId != row.id))
            edit = Edit{row.id, row.values, row.status};
        row.values[size_t(index)] = std::move(converted);
        if (row.status == RowStatus::Unchanged)
            row.status = RowStatus::Modified;
        changed();
    }

    CriteriaField resolve(const QString &name) const
    {
        const int index = t->fieldIndex(name);
        if (index < 0)
            return {};
        return {index, t->schema->kinds[size_t(index)]};
    }

    Criteria parseBound(const QString &text) const
    {
        Criteria c = parseCriteria(text);
        c.bind([this](const QString &name) { return resolve(name); });
        return c;
    }
};

} // namespace orvane
