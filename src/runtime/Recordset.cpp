#include "runtime/RecordsetImpl.h"

using namespace Qt::StringLiterals;

namespace orvane {

using namespace recordset_detail;

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
