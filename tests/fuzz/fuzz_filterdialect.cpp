// Query texts from anywhere must give SQL that runs or a clean refusal, never a
// crash, and never SQL that the database cannot even prepare.
#include "storage/FilterDialect.h"
#include <qorOrvaneUI/runtime/VbError.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;
using namespace orvane::sql;

namespace {

const StaticSchema &schema()
{
    static const StaticSchema s = [] {
        StaticSchema r;
        r.addTable(u"g_trans"_s, {{u"guid"_s, ColumnType::Text},
                                  {u"recid"_s, ColumnType::Text},
                                  {u"daskid"_s, ColumnType::Integer},
                                  {u"ack"_s, ColumnType::Boolean}});
        r.addTable(u"g_enol"_s, {{u"Lossrefnum"_s, ColumnType::Text},
                                 {u"rate"_s, ColumnType::Double},
                                 {u"due"_s, ColumnType::Date},
                                 {u"ACK"_s, ColumnType::Boolean}});
        return r;
    }();
    return s;
}

QSqlDatabase &database()
{
    static QSqlDatabase db = [] {
        QSqlDatabase d = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"fuzz_filterdialect"_s);
        d.setDatabaseName(u":memory:"_s);
        if (!d.open())
            std::abort();
        QSqlQuery q(d);
        if (!q.exec(
                u"CREATE TABLE g_trans (guid TEXT, recid TEXT, daskid INTEGER, ack BOOLEAN)"_s) ||
            !q.exec(u"CREATE TABLE g_enol (Lossrefnum TEXT, rate REAL, due DATE, ACK BOOLEAN)"_s) ||
            !q.exec(u"INSERT INTO g_trans VALUES ('a''b', '123', 5, 0)"_s) ||
            !q.exec(u"INSERT INTO g_enol VALUES ('L1', 1.5, '2024-01-02', 1)"_s))
            std::abort();
        return d;
    }();
    return db;
}

// Whatever renders must at least prepare and run; what `*` expands to (union
// widths, result width) is the one failure left to the database.
void mustRun(const Rendered &r)
{
    try {
        QSqlQuery q = run(database(), r);
        while (q.next()) {
        }
    } catch (const orvane::VbError &e) {
        if (e.description().contains(u"number of result columns"_s) ||
            e.description().contains(u"too many columns"_s))
            return;
        std::fprintf(stderr, "rendered SQL failed: %s\n%s\n", qPrintable(r.sql),
                     qPrintable(e.description()));
        std::abort();
    }
}

} // namespace

// The work per input stays small: a text is a query or a condition by its
// first word (each parser refuses the other kind at that word, after the same
// lexing), and a condition is checked against one of the two tables, chosen by
// the input, so both tables still meet every shape of condition.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const bool query = text.trimmed().startsWith(u"select"_s, Qt::CaseInsensitive);
    try {
        if (!query) {
            const Condition c = parseCondition(text);
            const QString table = size % 2 ? u"g_enol"_s : u"g_trans"_s;
            (void)renderWhere(c, schema(), table, Backend::PostgreSQL);
            const Rendered r = renderWhere(c, schema(), table, Backend::SQLite);
            QString sql = u"SELECT * FROM \""_s + table + u"\""_s;
            if (!r.sql.isEmpty())
                sql += u" WHERE "_s + r.sql;
            mustRun({sql, r.params});
        } else {
            const Select s = parseSelect(text);
            (void)renderSelect(s, schema(), Backend::PostgreSQL);
            mustRun(renderSelect(s, schema(), Backend::SQLite));
        }
    } catch (const orvane::VbError &) {
    }
    return 0;
}
