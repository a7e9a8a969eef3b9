#pragma once

#include "runtime/ConditionGrammar.h"
#include "storage/BackendDialect.h"
#include <qorOrvaneUI/runtime/VbError.h>

#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

class QSqlDatabase;
class QSqlQuery;

// The host database's query dialect (an xBase-like SQL), as it reaches us in the
// filters handed to the staging-table objects and in the fixed query texts run
// through the host's data-command object. A text is never pasted into SQL: it is
// parsed into a tree, checked against the tables it names, and rendered as SQL
// with every literal bound as a parameter.
//
//   condition  := orTerm
//   orTerm     := andTerm { OR andTerm }
//   andTerm    := unary { AND unary }
//   unary      := NOT unary | '(' orTerm ')' | comparison
//   comparison := column op value | column [NOT] LIKE text [ESCAPE text]
//               | column IS [NOT] NULL
//   op         := = <> != < > <= >=
//   column     := name | table '.' name
//   value      := text | number | .T. | .F. | TRUE | FALSE | NULL
//   text       := piece { '+' piece }
//   piece      := 'quoted, '' for one quote' | CHR(n), 1 <= n <= 255
//   number     := [-] digits [ '.' digits ]
//
//   query      := select { UNION [ALL] select } [ ORDER BY column [ASC|DESC] {, ...} ]
//   select     := SELECT item {, item} FROM table [ WHERE condition ]
//   item       := '*' | COUNT(*) [AS alias] | column [AS alias]
//
// AND binds tighter than OR; keywords and names ignore letter case. `col = NULL`
// and `col <> NULL` mean IS NULL and IS NOT NULL. Semicolons, comments,
// sub-queries, other functions, double quotes and trailing text are refused, as
// are texts beyond the limits below.
//
// Semantics the two backends are made to share:
// - `=`, `<>` and the ordering operators on text are case-sensitive, and
//   trailing spaces count ('A ' <> 'A').
// - A literal is bound in its column's type: '1234' against an integer column
//   is the number, 55 against a text column is the text '55', .F. against a
//   boolean is false (so is 0; -1 and 1 are true). What does not convert is
//   refused, since PostgreSQL would refuse the comparison and SQLite would
//   quietly compare unlike values.
// - LIKE on an integer column matches its decimal text; other non-text columns
//   are refused.
// - LIKE ignores letter case: SQLite's LIKE already does (for ASCII letters, the
//   database's default), PostgreSQL gets ILIKE. Outside ASCII, SQLite stays
//   case-sensitive where PostgreSQL is not; the staging data is ASCII.
// - `%` and `_` are the LIKE wildcards. ESCAPE names one character that makes
//   the next one in the pattern stand for itself, so a typed `%` or `_` can be
//   searched for; without it no character escapes.
// - Booleans are bound as 0/1 on SQLite (the way a bound bool is stored there)
//   and as true/false on PostgreSQL.
namespace orvane::sql {

// Every refused text: the number the host's data objects give for a query they
// cannot run, with "Syntax error in query: " and the problem as description.
inline constexpr long SyntaxErrorNumber = -2147217900;

// The limits keep every accepted text within what both databases parse:
// SQLite's parser stack holds about 90 pending groups and operators (a level of
// `a OR b AND (` takes five), its expressions nest at most 1000 deep and its
// statements bind at most 32766 parameters. Nothing the library writes comes near.
inline constexpr int MaxLength =
    1 << 20; // characters; values are bound, so long ones cost the SQL nothing
inline constexpr int MaxDepth = 16;    // parentheses and NOTs
inline constexpr int MaxTerms = 500;   // comparisons, result columns and ORDER BY names
inline constexpr int MaxSelects = 100; // SELECTs joined in one UNION

enum class ColumnType { Text, Integer, Double, Boolean, Date };

struct ColumnInfo {
    QString name; // canonical spelling, used in the rendered SQL
    ColumnType type = ColumnType::Text;
};

// What the renderer may name. Look-ups ignore letter case and answer the
// canonical spelling, since PostgreSQL's quoted names are case-sensitive.
class Schema {
public:
    virtual ~Schema() = default;
    virtual std::optional<QString> table(const QString &name) const = 0;
    virtual std::optional<ColumnInfo> column(const QString &table, const QString &name) const = 0;
};

// A schema listed in code: the staging tables, tests.
class StaticSchema : public Schema {
public:
    StaticSchema &addTable(const QString &name, std::vector<ColumnInfo> columns);
    std::optional<QString> table(const QString &name) const override;
    std::optional<ColumnInfo> column(const QString &table, const QString &name) const override;

private:
    struct Table {
        QString name;
        std::vector<ColumnInfo> columns;
    };
    const Table *find(const QString &name) const;
    std::vector<Table> tables_;
};

using grammar::ColumnRef;
using grammar::CompareOp;
using grammar::Comparison;
using grammar::Condition;
using grammar::ConditionNode;
using grammar::Literal;

struct SelectItem {
    enum class Kind { Star, Column, CountStar };
    Kind kind = Kind::Star;
    ColumnRef column; // Kind::Column
    QString alias;    // empty when none
    int position = 0;
};

struct SelectCore {
    std::vector<SelectItem> items;
    QString table;
    int tablePosition = 0;
    Condition where;       // empty when there is no WHERE
    bool unionAll = false; // how this select joins the one before it
};

struct OrderItem {
    ColumnRef column;
    bool descending = false;
};

struct Select {
    std::vector<SelectCore> selects; // joined by UNION [ALL]
    std::vector<OrderItem> orderBy;  // applies to the whole result
};

struct Rendered {
    QString sql;
    QVariantList params; // in QSqlQuery::addBindValue order
};

// Whitespace only gives an empty condition (every row).
Condition parseCondition(const QString &text);
Select parseSelect(const QString &text);

// Unprefixed columns resolve against defaultTable; prefixed ones must name it.
// Columns are rendered unqualified, for use after "... FROM table WHERE ". An
// empty condition renders as empty SQL.
Rendered renderWhere(const Condition &condition, const Schema &schema, const QString &defaultTable,
                     Backend backend);
Rendered renderSelect(const Select &select, const Schema &schema, Backend backend);

// Prepares, binds and runs; a database error becomes a VbError
// (err::Unspecified) carrying the driver's text.
QSqlQuery run(QSqlDatabase &db, const Rendered &rendered);

} // namespace orvane::sql
