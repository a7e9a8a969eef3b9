// The record set's Filter and Find: criteria parsed and bound to the fields
// once, then tested row by row.
#include "runtime/RecordsetImpl.h"

using namespace Qt::StringLiterals;

namespace orvane {

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

} // namespace orvane
