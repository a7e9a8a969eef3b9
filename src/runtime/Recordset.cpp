#include <qorOrvaneUI/runtime/Recordset.h>

#include "runtime/Criteria.h"
#include "runtime/FieldTypes.h"
#include <qorOrvaneUI/runtime/VbError.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <unordered_map>
#include <unordered_set>

using namespace Qt::StringLiterals;

namespace orvane {

namespace {

constexpr long ObjectClosed = 3704;
constexpr long NameInUse = 3367;

VbError multipleStepError()
{
    return {err::MultipleStep, QString(),
            u"Multiple-step operation generated errors. Check each status value."_s};
}

VbError closedError()
{
    return {ObjectClosed, QString(), u"Operation is not allowed when the object is closed."_s};
}

VbError notAllowedError(const QString &why)
{
    return {err::OperationNotAllowed, QString(),
            u"Operation is not allowed in this context. "_s % why};
}

// Row ids are unique in the whole process, so a bookmark taken from an
// unrelated record set is refused instead of landing on some other row.
std::atomic<std::int64_t> nextRowId{1};

// Case-insensitive hashing without building an upper-cased copy of the name on
// every field access. Folds whole code points, as QString::compare does.
struct FoldedHash {
    size_t operator()(const QString &s) const noexcept
    {
        size_t h = 1469598103934665603ull;
        const qsizetype n = s.size();
        for (qsizetype i = 0; i < n; ++i) {
            char32_t c = s.at(i).unicode();
            if (QChar::isHighSurrogate(c) && i + 1 < n && s.at(i + 1).isLowSurrogate())
                c = QChar::surrogateToUcs4(char16_t(c), s.at(++i).unicode());
            h = (h ^ QChar::toCaseFolded(c)) * 1099511628211ull;
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

} // namespace

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

// --- Field -----------------------------------------------------------------------

const QString &Field::name() const
{
    return rs_->d->t->schema->fields[size_t(index_)].name;
}

int Field::type() const
{
    return rs_->d->t->schema->fields[size_t(index_)].type;
}

int Field::definedSize() const
{
    return rs_->d->t->schema->fields[size_t(index_)].definedSize;
}

QString Field::fitted(const QString &text) const
{
    return isTextType(type()) ? fitText(text, definedSize()) : text;
}

Value Field::value() const
{
    rs_->d->requireOpen();
    return rs_->d->currentRow().values[size_t(index_)];
}

void Field::setValue(const Value &v) const
{
    rs_->d->setField(index_, v);
}

// --- Recordset -------------------------------------------------------------------

Recordset::Recordset() : d(std::make_shared<Impl>()) {}

Recordset::Recordset(std::shared_ptr<Impl> impl) : d(std::move(impl)) {}

void Recordset::appendField(const QString &name, int type, int definedSize)
{
    Table &t = *d->t;
    if (t.open || !t.rows.empty())
        throw notAllowedError(u"Fields are appended before the record set is opened."_s);
    if (name.trimmed().isEmpty())
        throw criteriaError(u"A field needs a name."_s);
    if (definedSize < 0)
        throw criteriaError(u"Negative size for field \""_s % name % u"\"."_s);
    const ValueKind kind = kindOfType(type);
    if (t.schema->byName.count(name))
        throw VbError(NameInUse, QString(),
                      u"Object is already in collection. Cannot append. ("_s % name % u")"_s);
    const int width =
        (kind != ValueKind::Text && definedSize == 0) ? detail::defaultWidth(type) : definedSize;
    if (t.schema.use_count() > 1)
        t.schema = std::make_shared<Schema>(*t.schema);
    Schema &schema = *t.schema;
    schema.fields.push_back(FieldDef{name, type, width});
    schema.kinds.push_back(kind);
    schema.byName.emplace(name, int(schema.fields.size() - 1));
}

void Recordset::open()
{
    if (d->t->open)
        return;
    d->t->open = true;
    if (d->at == Impl::At::Bof && d->pristine && !d->t->rows.empty())
        d->moveToFirstVisible();
}

bool Recordset::isOpen() const
{
    return d->t->open;
}

int Recordset::fieldCount() const
{
    return int(d->t->schema->fields.size());
}

const FieldDef &Recordset::fieldDef(int index) const
{
    if (index < 0 || size_t(index) >= d->t->schema->fields.size())
        throw itemNotFound(QString::number(index));
    return d->t->schema->fields[size_t(index)];
}

int Recordset::fieldIndex(const QString &name) const
{
    lookedUp(name);
    return d->t->fieldIndex(name);
}

std::vector<FieldDef> Recordset::fields() const
{
    return d->t->schema->fields;
}

Field Recordset::field(const QString &name) const
{
    lookedUp(name);
    const int index = d->t->fieldIndex(name);
    if (index < 0)
        throw itemNotFound(name);
    return Field(this, index);
}

Field Recordset::field(int index) const
{
    if (index < 0 || size_t(index) >= d->t->schema->fields.size())
        throw itemNotFound(QString::number(index));
    return Field(this, index);
}

void Recordset::addNew()
{
    d->requireOpen();
    const Impl::At prevAt = d->at;
    const std::int64_t prevRow = d->rowId;
    d->commitPending();
    Row row;
    row.id = nextRowId.fetch_add(1);
    row.status = RowStatus::New;
    row.values.resize(d->t->schema->fields.size());
    d->t->rows.push_back(std::move(row));
    d->changed();
    d->goTo(std::ptrdiff_t(d->t->rows.size() - 1), Impl::At::Eof);
    d->pendingAdd = d->rowId;
    d->beforeAddAt = prevAt;
    d->beforeAddRow = prevRow;
    if (d->filter) {
        d->pinned.insert(d->rowId);
        ++d->filterGeneration;
    }
}

void Recordset::update()
{
    d->requireOpen();
    d->commitPending();
}

void Recordset::cancelUpdate()
{
    d->requireOpen();
    Table &t = *d->t;
    if (d->pendingAdd) {
        bool exact = false;
        const size_t pos = t.locate(d->pendingAdd, exact);
        // A row already saved (acceptChanges) is no longer ours to drop.
        if (exact && t.rows[pos].status == RowStatus::New) {
            t.rows.erase(t.rows.begin() + std::ptrdiff_t(pos));
            d->changed();
        }
        d->pinned.erase(d->pendingAdd);
        ++d->filterGeneration;
        d->at = d->beforeAddAt;
        d->rowId = d->beforeAddRow;
    } else if (d->edit) {
        bool exact = false;
        const size_t pos = t.locate(d->edit->rowId, exact);
        if (exact && !t.rows[pos].deleted) {
            t.rows[pos].values = std::move(d->edit->values);
            t.rows[pos].status = d->edit->status;
            d->changed();
        }
    }
    d->commitPending();
}

void Recordset::deleteRow()
{
    d->requireOpen();
    Row &row = d->currentRow();
    row.deleted = true;
    d->commitPending();
    d->changed();
}

void Recordset::moveFirst()
{
    d->requireOpen();
    const std::ptrdiff_t first = d->nextVisible(0);
    if (first < 0)
        throw noCurrentRecord();
    d->commitPending();
    d->goTo(first, Impl::At::Eof);
}

void Recordset::moveLast()
{
    d->requireOpen();
    const std::ptrdiff_t last = d->previousVisible(std::ptrdiff_t(d->t->rows.size()) - 1);
    if (last < 0)
        throw noCurrentRecord();
    d->commitPending();
    d->goTo(last, Impl::At::Bof);
}

void Recordset::moveNext()
{
    d->requireOpen();
    d->moveNext();
}

void Recordset::movePrevious()
{
    d->requireOpen();
    d->movePrevious();
}

void Recordset::move(int n)
{
    d->requireOpen();
    if (n == 0) {
        d->currentRow();
        d->commitPending();
        return;
    }
    if ((n > 0 && d->eof()) || (n < 0 && d->bof()))
        throw noCurrentRecord();
    d->commitPending();
    const Table &t = *d->t;
    if (n > 0) {
        size_t pos = 0;
        if (d->at == Impl::At::Row) {
            bool exact = false;
            pos = d->basePos(exact);
            if (exact)
                ++pos;
        }
        std::ptrdiff_t found = -1;
        for (; n > 0; --n) {
            found = d->nextVisible(pos);
            if (found < 0)
                break;
            pos = size_t(found) + 1;
        }
        d->goTo(found, Impl::At::Eof);
    } else {
        std::ptrdiff_t pos = std::ptrdiff_t(t.rows.size()) - 1;
        if (d->at == Impl::At::Row) {
            bool exact = false;
            pos = std::ptrdiff_t(d->basePos(exact)) - 1;
        }
        std::ptrdiff_t found = -1;
        for (; n < 0; ++n) {
            found = d->previousVisible(pos);
            if (found < 0)
                break;
            pos = found - 1;
        }
        d->goTo(found, Impl::At::Bof);
    }
}

bool Recordset::eof() const
{
    return d->eof();
}

bool Recordset::bof() const
{
    return d->bof();
}

int Recordset::recordCount() const
{
    return d->visibleCount();
}

int Recordset::absolutePosition() const
{
    const std::ptrdiff_t pos = d->currentPos();
    if (pos < 0)
        return 0;
    d->ensureCache();
    if (!d->isVisible(size_t(pos)))
        return 0;
    return d->visibleBefore[size_t(pos)] + 1;
}

Value Recordset::bookmark() const
{
    d->requireOpen();
    return Value(d->currentRow().id);
}

void Recordset::setBookmark(const Value &bookmark)
{
    d->requireOpen();
    const auto *id = bookmark.get<std::int64_t>();
    if (!id)
        throw criteriaError(u"Not a bookmark of this record set."_s);
    bool exact = false;
    const size_t pos = d->t->locate(*id, exact);
    if (!exact)
        throw criteriaError(u"Not a bookmark of this record set."_s);
    if (d->t->rows[pos].deleted)
        throw criteriaError(u"The bookmarked row has been deleted."_s);
    d->commitPending();
    d->goTo(std::ptrdiff_t(pos), Impl::At::Eof);
}

void Recordset::setFilter(const QString &criteria)
{
    d->requireOpen();
    std::optional<Criteria> parsed;
    if (!criteria.trimmed().isEmpty())
        parsed = d->parseBound(criteria); // throws before anything changes
    d->commitPending();
    d->filter = std::move(parsed);
    d->filterText = d->filter ? criteria : QString();
    d->pinned.clear();
    ++d->filterGeneration;
    d->moveToFirstVisible();
}

QString Recordset::filter() const
{
    return d->filterText;
}

void Recordset::find(const QString &criteria, int skipRecords, SearchDirection direction)
{
    d->requireOpen();
    const Criteria c = d->parseBound(criteria);
    if (!c.isSingleComparison())
        throw criteriaError(u"Find takes exactly one comparison: \""_s % criteria.left(80) %
                            u"\""_s);
    if (skipRecords < 0)
        throw criteriaError(u"Negative number of records to skip."_s);
    const bool forward = direction == SearchDirection::Forward;
    if ((forward && d->at == Impl::At::Eof) || (!forward && d->at == Impl::At::Bof)) {
        if (!(forward ? d->bof() : d->eof()))
            throw noCurrentRecord();
    }
    d->commitPending();
    const Table &t = *d->t;
    const auto matches = [&](size_t pos) {
        const Row &row = t.rows[pos];
        return d->isVisible(pos) &&
               c.matches([&row](int i) -> const Value & { return row.values[size_t(i)]; });
    };
    // Positions are signed: a backward search walks down to -1.
    std::ptrdiff_t pos;
    bool onRow = false;
    if (d->at == Impl::At::Row) {
        bool exact = false;
        pos = std::ptrdiff_t(d->basePos(exact));
        onRow = exact;
        if (!exact && !forward)
            --pos; // the removed row's successor is ahead of us
    } else {
        pos = forward ? 0 : std::ptrdiff_t(t.rows.size()) - 1;
    }
    const std::ptrdiff_t step = forward ? 1 : -1;
    const auto inRange = [&](std::ptrdiff_t p) {
        return p >= 0 && p < std::ptrdiff_t(t.rows.size());
    };
    // Skipping counts visible rows, the current one first.
    for (int skip = skipRecords; skip > 0 && inRange(pos); --skip) {
        if (onRow) {
            onRow = false;
        } else {
            while (inRange(pos) && !d->isVisible(size_t(pos)))
                pos += step;
            if (!inRange(pos))
                break;
        }
        pos += step;
    }
    for (; inRange(pos); pos += step) {
        if (matches(size_t(pos))) {
            d->goTo(pos, Impl::At::Eof);
            return;
        }
    }
    d->goTo(-1, forward ? Impl::At::Eof : Impl::At::Bof);
}

Recordset Recordset::clone() const
{
    auto impl = std::make_shared<Impl>();
    impl->t = d->t;
    impl->moveToFirstVisible();
    if (impl->at != Impl::At::Row)
        impl->at = Impl::At::Bof;
    Recordset copy(std::move(impl));
    copy.watcher_ = watcher_;
    return copy;
}

Recordset Recordset::watched(FieldWatcher watcher) const
{
    Recordset handle(d);
    handle.watcher_ = std::make_shared<const FieldWatcher>(std::move(watcher));
    return handle;
}

Recordset Recordset::emptyCopy() const
{
    auto impl = std::make_shared<Impl>();
    impl->t->schema = d->t->schema;
    impl->t->open = true;
    return Recordset(std::move(impl));
}

void Recordset::loadRow(const std::vector<Value> &values)
{
    Table &t = *d->t;
    if (values.size() != t.schema->fields.size())
        throw criteriaError(u"A row of "_s % QString::number(values.size()) % u" values for "_s %
                            QString::number(t.schema->fields.size()) % u" fields."_s);
    Row row;
    row.values.reserve(values.size());
    for (size_t i = 0; i < values.size(); ++i)
        row.values.push_back(t.stored(int(i), values[i]));
    row.id = nextRowId.fetch_add(1);
    t.rows.push_back(std::move(row));
    d->changed();
    if (t.open && d->pristine && d->at == Impl::At::Bof)
        d->moveToFirstVisible();
}

void Recordset::forEachRow(
    const std::function<void(RowStatus status, const std::vector<Value> &values)> &fn) const
{
    for (const Row &row : d->t->rows) {
        if (row.deleted && row.status == RowStatus::New)
            continue; // never stored, nothing to remove
        fn(row.deleted ? RowStatus::Deleted : row.status, row.values);
    }
}

void Recordset::acceptChanges()
{
    Table &t = *d->t;
    std::erase_if(t.rows, [](const Row &r) { return r.deleted; });
    for (Row &row : t.rows)
        row.status = RowStatus::Unchanged;
    d->commitPending();
    d->changed();
}

bool Recordset::sharesRowsWith(const Recordset &other) const
{
    return d->t == other.d->t;
}

} // namespace orvane
