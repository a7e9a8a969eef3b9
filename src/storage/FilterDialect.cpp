#include "storage/FilterDialect.h"

#include "storage/BoundText.h"

#include "runtime/vb.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace orvane::sql {

namespace {

using grammar::Fault;
using grammar::Problem;
using grammar::Tok;
using grammar::Token;

[[noreturn]] void refuse(const QString &problem)
{
    throw VbError(SyntaxErrorNumber, QString(), u"Syntax error in query: "_s % problem);
}

QString at(int position)
{
    return u" at position "_s % QString::number(position + 1);
}

// A piece of the text for a message: short, control characters made visible.
QString shown(QStringView text)
{
    constexpr qsizetype Max = 30;
    QString out;
    for (QChar c : text.left(Max))
        out += (c.unicode() < 0x20 || c.unicode() == 0x7F) ? QChar(u'?') : c;
    if (text.size() > Max)
        out += u"..."_s;
    return out;
}

[[noreturn]] void expectedAt(const Fault &f, const QString &text, const QString &what)
{
    if (f.atEnd)
        refuse(u"Expected "_s % what % u" at the end of the text"_s);
    refuse(u"Expected "_s % what % at(f.pos) % u", found '"_s %
           shown(QStringView(text).mid(f.pos, f.len)) % u"'"_s);
}

[[noreturn]] void unexpectedAt(const Fault &f, const QString &text, const QString &context)
{
    if (f.atEnd)
        refuse(u"Unexpected end of the text"_s);
    QString problem = u"Unexpected '"_s % shown(QStringView(text).mid(f.pos, f.len)) % u"'"_s;
    if (!context.isEmpty())
        problem += u" "_s % context;
    refuse(problem % at(f.pos));
}

class SqlDialect final : public grammar::Dialect {
public:
    SqlDialect()
    {
        maxLength = MaxLength;
        maxDepth = MaxDepth;
        maxTerms = MaxTerms;
        reserved = {u"AND"_s,  u"OR"_s,    u"NOT"_s,    u"LIKE"_s, u"IS"_s,    u"NULL"_s,
                    u"TRUE"_s, u"FALSE"_s, u"SELECT"_s, u"FROM"_s, u"WHERE"_s, u"UNION"_s,
                    u"ALL"_s,  u"ORDER"_s, u"BY"_s,     u"ASC"_s,  u"DESC"_s,  u"AS"_s};
        lexAllFirst = true;
        sqlPunctuation = true;
        notOperator = true;
        refuseCalls = true;
        chrMin = 1;
        refusePlusAfterValue = true;
    }

    [[noreturn]] void refuse(const Fault &f, const QString &text) const override
    {
        switch (f.problem) {
        case Problem::TooLong:
            sql::refuse(u"The text is "_s % QString::number(text.size()) %
                        u" characters long; the limit is "_s % QString::number(MaxLength));
        case Problem::NulCharacter:
            sql::refuse(u"A NUL character is not allowed"_s % at(f.pos));
        case Problem::UnterminatedText:
            sql::refuse(u"Unterminated text starting"_s % at(f.pos));
        case Problem::MalformedNumber:
            sql::refuse(u"Malformed number '"_s % shown(f.detail) % u"'"_s % at(f.pos));
        case Problem::NumberOutOfRange:
            sql::refuse(u"Number '"_s % shown(f.detail) % u"' is out of range"_s % at(f.pos));
        case Problem::Semicolon:
            sql::refuse(u"';' is not allowed"_s % at(f.pos));
        case Problem::LineComment:
            sql::refuse(u"Comments ('--') are not allowed"_s % at(f.pos));
        case Problem::BlockComment:
            sql::refuse(u"Comments ('/*') are not allowed"_s % at(f.pos));
        case Problem::TooDeep:
            sql::refuse(u"Nesting deeper than "_s % QString::number(MaxDepth) % u" levels"_s %
                        at(f.pos));
        case Problem::TooManyTerms:
            sql::refuse(u"More than "_s % QString::number(MaxTerms) %
                        u" comparisons and columns"_s % at(f.pos));
        case Problem::LiteralAsName:
            sql::refuse(u"A comparison must start with a column name"_s % at(f.pos));
        case Problem::NullCompare:
            sql::refuse(u"NULL can only be compared with = or <>"_s % at(f.pos));
        case Problem::ChrCode:
        case Problem::ChrRange:
            sql::refuse(u"CHR needs a whole number from 1 to 255"_s %
                        at(f.atEnd ? f.related : f.pos));
        case Problem::PlusAfterValue:
            sql::refuse(u"Only quoted text and CHR(n) can be joined with '+'"_s % at(f.pos));
        case Problem::EscapeChar:
            sql::refuse(u"ESCAPE needs one quoted character"_s % at(f.pos));
        case Problem::SubQuery:
            sql::refuse(u"Sub-queries are not allowed"_s % at(f.pos));
        case Problem::UnknownFunction:
            sql::refuse(u"Unknown function '"_s % f.detail % u"'"_s % at(f.pos));
        case Problem::TrailingText:
            unexpectedAt(f, text, u"after the end of the condition"_s);
        case Problem::Unexpected:
            unexpectedAt(f, text, f.detail);
        case Problem::ExpectedCloseParen:
        case Problem::Unbalanced:
            expectedAt(f, text, u"')'"_s);
        case Problem::ExpectedName:
            expectedAt(f, text, u"a column name"_s);
        case Problem::NameAfterDot:
            expectedAt(f, text, u"a column name after '.'"_s);
        case Problem::ExpectedOperator:
            expectedAt(f, text, u"a comparison operator"_s);
        case Problem::ExpectedNull:
            expectedAt(f, text, u"NULL"_s);
        case Problem::LikeNeedsPattern:
            expectedAt(f, text, u"a quoted pattern after LIKE"_s);
        case Problem::ExpectedValue:
        case Problem::ExpectedNumber:
            expectedAt(f, text, u"a value (quoted text, a number, .T., .F. or NULL)"_s);
        case Problem::ChrOpen:
            expectedAt(f, text, u"'(' after CHR"_s);
        case Problem::ChrClose:
            expectedAt(f, text, u"')' after CHR(n"_s);
        case Problem::ExpectedPiece:
            expectedAt(f, text, u"quoted text or CHR(n) after '+'"_s);
        case Problem::Expected:
            expectedAt(f, text, f.detail);
        case Problem::BadCharacter:
        case Problem::UnterminatedName:
        case Problem::EmptyName:
        case Problem::UnterminatedDate:
        case Problem::InvalidDate:
            break;
        }
        const QChar c = text.at(f.pos);
        const QString what = (c.unicode() < 0x20 || c.unicode() == 0x7F)
                                 ? QString(u"U+"_s % QString::number(c.unicode(), 16).toUpper())
                                 : QString(u"'"_s % c % u"'"_s);
        sql::refuse(u"The character "_s % what % u" is not allowed"_s % at(f.pos));
    }
};

const SqlDialect &dialect()
{
    static const SqlDialect d;
    return d;
}

// The query grammar around the shared condition grammar.
class SelectParser : public grammar::Parser {
public:
    explicit SelectParser(const QString &src) : Parser(src, dialect()) {}

    Select select()
    {
        Select s;
        s.selects.push_back(parseCore());
        while (isKeyword(peek(), u"UNION")) {
            next();
            const bool all = isKeyword(peek(), u"ALL");
            if (all)
                next();
            if (s.selects.size() >= size_t(MaxSelects))
                refuse(u"More than "_s % QString::number(MaxSelects) % u" SELECTs in a UNION"_s %
                       at(peek().pos));
            s.selects.push_back(parseCore());
            s.selects.back().unionAll = all;
        }
        if (isKeyword(peek(), u"ORDER")) {
            next();
            expectKeyword(u"BY");
            while (true) {
                countTerm();
                OrderItem item;
                item.column = parseColumn();
                if (isKeyword(peek(), u"DESC")) {
                    item.descending = true;
                    next();
                } else if (isKeyword(peek(), u"ASC")) {
                    next();
                }
                s.orderBy.push_back(item);
                if (peek().type != Tok::Comma)
                    break;
                next();
            }
        }
        if (peek().type != Tok::End)
            fail(Problem::Unexpected, peek(), u"after the end of the query"_s);
        return s;
    }

private:
    QString parseAlias()
    {
        if (!isKeyword(peek(), u"AS"))
            return {};
        next();
        const Token &t = peek();
        if (t.type != Tok::Ident || isReserved(t))
            fail(Problem::Expected, peek(), u"a name after AS"_s);
        return next().text;
    }

    SelectCore parseCore()
    {
        SelectCore core;
        refuseCallOrSubquery();
        expectKeyword(u"SELECT");
        while (true) {
            countTerm();
            SelectItem item;
            const Token &t = peek();
            item.position = t.pos;
            if (t.type == Tok::Star) {
                next();
            } else if (isKeyword(t, u"COUNT") && peek(1).type == Tok::LParen) {
                next();
                next();
                expect(Tok::Star, u"'*' in COUNT(*)"_s);
                expect(Tok::RParen, u"')' after COUNT(*"_s);
                item.kind = SelectItem::Kind::CountStar;
                item.alias = parseAlias();
            } else {
                item.kind = SelectItem::Kind::Column;
                item.column = parseColumn();
                item.alias = parseAlias();
            }
            core.items.push_back(item);
            if (peek().type != Tok::Comma)
                break;
            next();
        }
        expectKeyword(u"FROM");
        refuseCallOrSubquery();
        const Token &table = peek();
        if (table.type == Tok::LParen && isKeyword(peek(1), u"SELECT"))
            refuse(u"Sub-queries are not allowed"_s % at(peek(1).pos));
        if (table.type != Tok::Ident || isReserved(table))
            fail(Problem::Expected, peek(), u"a table name"_s);
        core.tablePosition = table.pos;
        core.table = next().text;
        if (isKeyword(peek(), u"WHERE")) {
            next();
            core.where.root = parseOr(core.where, 0);
        }
        return core;
    }
};

// ---------------------------------------------------------------------------
// Rendering

QString quoted(const QString &name)
{
    QString out = name;
    out.replace(u'"', u"\"\""_s);
    return u"\""_s % out % u"\""_s;
}

QString typeName(ColumnType type)
{
    switch (type) {
    case ColumnType::Text:
        return u"text"_s;
    case ColumnType::Integer:
        return u"integer"_s;
    case ColumnType::Double:
        return u"double"_s;
    case ColumnType::Boolean:
        return u"boolean"_s;
    case ColumnType::Date:
        return u"date"_s;
    }
    return {};
}

QString canonicalTable(const Schema &schema, const QString &name, int position = -1)
{
    const auto t = schema.table(name);
    if (!t)
        refuse(u"Unknown table '"_s % name % u"'"_s % (position >= 0 ? at(position) : QString()));
    return *t;
}

ColumnInfo resolve(const Schema &schema, const QString &table, const ColumnRef &ref)
{
    if (!ref.table.isEmpty()) {
        const auto prefix = schema.table(ref.table);
        if (!prefix || prefix->compare(table, Qt::CaseInsensitive) != 0)
            refuse(u"Column '"_s % ref.table % u"."_s % ref.name % u"'"_s % at(ref.position) %
                   u" does not belong to table "_s % table);
    }
    const auto col = schema.column(table, ref.name);
    if (!col)
        refuse(u"Unknown column '"_s % ref.name % u"' in table "_s % table % at(ref.position));
    return *col;
}

class Renderer {
public:
    Renderer(const Schema &schema, Backend backend) : schema_(schema), backend_(backend) {}

    Rendered out;

    void condition(const Condition &c, const QString &table)
    {
        if (!c.isEmpty())
            node(c, c.root, table);
    }

    void select(const Select &s)
    {
        std::vector<QString> tables;
        for (const SelectCore &core : s.selects) {
            const QString table = canonicalTable(schema_, core.table, core.tablePosition);
            tables.push_back(table);
            if (&core != &s.selects.front())
                out.sql += core.unionAll ? u" UNION ALL "_s : u" UNION "_s;
            out.sql += u"SELECT "_s;
            for (const SelectItem &item : core.items) {
                if (&item != &core.items.front())
                    out.sql += u", "_s;
                switch (item.kind) {
                case SelectItem::Kind::Star:
                    out.sql += u"*"_s;
                    break;
                case SelectItem::Kind::CountStar:
                    out.sql += u"count(*)"_s;
                    break;
                case SelectItem::Kind::Column:
                    out.sql += quoted(resolve(schema_, table, item.column).name);
                    break;
                }
                if (!item.alias.isEmpty())
                    out.sql += u" AS "_s % quoted(item.alias);
            }
            out.sql += u" FROM "_s % quoted(table);
            if (!core.where.isEmpty()) {
                out.sql += u" WHERE "_s;
                condition(core.where, table);
            }
        }
        checkUnionWidths(s);
        for (const OrderItem &item : s.orderBy) {
            out.sql += &item == &s.orderBy.front() ? u" ORDER BY "_s : u", "_s;
            out.sql += orderName(s, tables.front(), item.column);
            if (item.descending)
                out.sql += u" DESC"_s;
        }
    }

private:
    static bool hasStar(const SelectCore &core)
    {
        return std::any_of(core.items.begin(), core.items.end(),
                           [](const SelectItem &i) { return i.kind == SelectItem::Kind::Star; });
    }

    // SQL refuses unions of different widths; say so before anything runs. A
    // `*` leaves the width to the database.
    static void checkUnionWidths(const Select &s)
    {
        const SelectCore &first = s.selects.front();
        for (const SelectCore &core : s.selects) {
            if (hasStar(first) || hasStar(core))
                continue;
            if (core.items.size() != first.items.size())
                refuse(u"Each SELECT of a UNION must give the same number of columns"_s %
                       at(core.items.front().position));
        }
    }

    // An ORDER BY name is a result column (its alias, or the column itself); a
    // single SELECT may also sort by any column of its table.
    QString orderName(const Select &s, const QString &table, const ColumnRef &ref) const
    {
        const SelectCore &first = s.selects.front();
        if (ref.table.isEmpty()) {
            for (const SelectItem &item : first.items)
                if (!item.alias.isEmpty() && item.alias.compare(ref.name, Qt::CaseInsensitive) == 0)
                    return quoted(item.alias);
        }
        const ColumnInfo col = resolve(schema_, table, ref);
        if (s.selects.size() == 1 || hasStar(first))
            return quoted(col.name);
        for (const SelectItem &item : first.items) {
            if (item.kind == SelectItem::Kind::Column && item.alias.isEmpty() &&
                item.column.name.compare(col.name, Qt::CaseInsensitive) == 0)
                return quoted(col.name);
        }
        refuse(u"ORDER BY of a UNION must name a result column"_s % at(ref.position));
    }

    void node(const Condition &c, int index, const QString &table)
    {
        const ConditionNode &n = c.nodes.at(size_t(index));
        switch (n.kind) {
        case ConditionNode::Kind::Comparison:
            comparison(c.comparisons.at(size_t(n.comparison)), table);
            return;
        case ConditionNode::Kind::Not:
            out.sql += u"NOT "_s;
            child(c, n, n.children.front(), table);
            return;
        case ConditionNode::Kind::And:
        case ConditionNode::Kind::Or:
            for (int ch : n.children) {
                if (ch != n.children.front())
                    out.sql += n.kind == ConditionNode::Kind::And ? u" AND "_s : u" OR "_s;
                child(c, n, ch, table);
            }
            return;
        }
    }

    // Parentheses only where SQL's precedence (NOT over AND over OR) needs
    // them: SQLite's parser stack is shallow, and every group costs it.
    void child(const Condition &c, const ConditionNode &parent, int index, const QString &table)
    {
        const auto kind = c.nodes.at(size_t(index)).kind;
        const bool group =
            (parent.kind == ConditionNode::Kind::And && kind == ConditionNode::Kind::Or) ||
            (parent.kind == ConditionNode::Kind::Not &&
             (kind == ConditionNode::Kind::And || kind == ConditionNode::Kind::Or));
        if (group)
            out.sql += u"("_s;
        node(c, index, table);
        if (group)
            out.sql += u")"_s;
    }

    void comparison(const Comparison &cmp, const QString &table)
    {
        const ColumnInfo col = resolve(schema_, table, cmp.column);
        const QString name = quoted(col.name);
        switch (cmp.op) {
        case CompareOp::IsNull:
            out.sql += name % u" IS NULL"_s;
            return;
        case CompareOp::IsNotNull:
            out.sql += name % u" IS NOT NULL"_s;
            return;
        case CompareOp::Like:
        case CompareOp::NotLike: {
            // Numbers match by their decimal text; other kinds print differently
            // per backend, so a pattern over them would not mean one thing.
            QString subject = name;
            if (col.type == ColumnType::Integer)
                subject = u"CAST("_s % name % u" AS TEXT)"_s;
            else if (col.type != ColumnType::Text)
                refuse(u"LIKE needs a text column; "_s % table % u"."_s % col.name % u" is "_s %
                       typeName(col.type) % at(cmp.column.position));
            const bool pg = backend_ == Backend::PostgreSQL;
            const QString op = cmp.op == CompareOp::Like
                                   ? (pg ? u" ILIKE "_s : u" LIKE "_s)
                                   : (pg ? u" NOT ILIKE "_s : u" NOT LIKE "_s);
            // PostgreSQL's patterns escape with a backslash by default, SQLite's
            // do not: switch it off so a backslash is an ordinary character.
            // SQLite reads a prefix pattern as a range of an index only when the
            // escape character is written into the statement, not bound; a
            // printable ASCII character is safe to write there.
            const QChar esc = cmp.escape.isEmpty() ? QChar() : cmp.escape.front();
            const bool inlineEscape = esc.unicode() >= 0x20 && esc.unicode() < 0x7f;
            QString escapeSql;
            if (inlineEscape)
                escapeSql = esc == u'\'' ? u" ESCAPE ''''"_s : u" ESCAPE '"_s % esc % u"'"_s;
            else if (!cmp.escape.isEmpty())
                escapeSql = u" ESCAPE ?"_s;
            else if (pg)
                escapeSql = u" ESCAPE ''"_s;
            out.sql += subject % op % u"?"_s % escapeSql;
            out.params.push_back(cmp.value.text);
            if (!cmp.escape.isEmpty() && !inlineEscape)
                out.params.push_back(cmp.escape);
            return;
        }
        default:
            break;
        }
        static const QString ops[] = {u" = "_s, u" <> "_s, u" < "_s,
                                      u" > "_s, u" <= "_s, u" >= "_s};
        QVariant param = bindable(cmp.value, col, table);
        // The host database compares text for equality without its trailing
        // blanks ('' = ' '); both backends are made to do the same.
        if (col.type == ColumnType::Text &&
            (cmp.op == CompareOp::Equal || cmp.op == CompareOp::NotEqual)) {
            QString text = param.toString();
            while (text.endsWith(u' '))
                text.chop(1);
            out.sql += u"rtrim("_s % name % u", ' ')"_s % ops[int(cmp.op)] % u"?"_s;
            out.params.push_back(text);
            return;
        }
        out.sql += name % ops[int(cmp.op)] % u"?"_s;
        out.params.push_back(param);
    }

    [[noreturn]] void mismatch(const Literal &v, const ColumnInfo &col, const QString &table) const
    {
        refuse(u"The value"_s % at(v.position) % u" does not fit the "_s % typeName(col.type) %
               u" column "_s % table % u"."_s % col.name);
    }

    // The literal in its column's type, so both backends compare like with like
    // (PostgreSQL will not compare an integer column with text).
    QVariant bindable(const Literal &v, const ColumnInfo &col, const QString &table) const
    {
        using K = Literal::Kind;
        switch (col.type) {
        case ColumnType::Text:
            if (v.kind == K::Text)
                return v.text;
            if (v.kind == K::Integer)
                return QString::number(v.integer);
            if (v.kind == K::Decimal)
                return v.text;
            break;
        case ColumnType::Integer:
        case ColumnType::Double: {
            const bool integer = col.type == ColumnType::Integer;
            if (v.kind == K::Integer)
                return integer ? QVariant(v.integer) : QVariant(double(v.integer));
            if (v.kind == K::Decimal)
                return v.decimal;
            if (v.kind == K::Text) {
                const QString t = v.text.trimmed();
                bool ok = false;
                if (const qint64 n = t.toLongLong(&ok); ok)
                    return integer ? QVariant(n) : QVariant(double(n));
                const double d = t.toDouble(&ok);
                if (ok && std::isfinite(d) && !t.contains(u'e', Qt::CaseInsensitive))
                    return d;
            }
            break;
        }
        case ColumnType::Boolean:
            if (v.kind == K::Boolean || (v.kind == K::Integer && v.integer >= -1 && v.integer <= 1))
                return boolParam(v.kind == K::Boolean ? v.boolean : v.integer != 0);
            break;
        case ColumnType::Date:
            if (v.kind == K::Text) {
                const QDate d = QDate::fromString(v.text.trimmed(), Qt::ISODate);
                if (d.isValid())
                    return d;
            }
            break;
        }
        mismatch(v, col, table);
    }

    QVariant boolParam(bool b) const
    {
        if (backend_ == Backend::SQLite)
            return QVariant(b ? 1 : 0);
        return QVariant(b);
    }

    const Schema &schema_;
    Backend backend_;
};

} // namespace

StaticSchema &StaticSchema::addTable(const QString &name, std::vector<ColumnInfo> columns)
{
    tables_.push_back({name, std::move(columns)});
    return *this;
}

const StaticSchema::Table *StaticSchema::find(const QString &name) const
{
    for (const Table &t : tables_)
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

std::optional<QString> StaticSchema::table(const QString &name) const
{
    if (const Table *t = find(name))
        return t->name;
    return std::nullopt;
}

std::optional<ColumnInfo> StaticSchema::column(const QString &table, const QString &name) const
{
    if (const Table *t = find(table))
        for (const ColumnInfo &c : t->columns)
            if (c.name.compare(name, Qt::CaseInsensitive) == 0)
                return c;
    return std::nullopt;
}

Condition parseCondition(const QString &text)
{
    return grammar::Parser(text, dialect()).condition();
}

Select parseSelect(const QString &text)
{
    return SelectParser(text).select();
}

Rendered renderWhere(const Condition &condition, const Schema &schema, const QString &defaultTable,
                     Backend backend)
{
    Renderer r(schema, backend);
    r.condition(condition, canonicalTable(schema, defaultTable));
    return std::move(r.out);
}

Rendered renderSelect(const Select &select, const Schema &schema, Backend backend)
{
    if (select.selects.empty())
        refuse(u"Empty query"_s);
    Renderer r(schema, backend);
    r.select(select);
    return std::move(r.out);
}

QSqlQuery run(QSqlDatabase &db, const Rendered &rendered)
{
    if (!db.isOpen())
        throw VbError(err::Unspecified, QString(), u"The database is not open"_s);
    QSqlQuery query(db);
    if (!query.prepare(rendered.sql))
        throw VbError(err::Unspecified, QString(), query.lastError().text());
    for (const QVariant &p : rendered.params)
        query.addBindValue(detail::boundValue(db, p));
    if (!query.exec())
        throw VbError(err::Unspecified, QString(), query.lastError().text());
    return query;
}

} // namespace orvane::sql
