#include "runtime/Criteria.h"

#include "runtime/vb.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

#include <cmath>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace orvane {

namespace {

// A piece of the criteria for an error message: short, with control
// characters made visible so a NUL cannot cut the message.
QString snippet(QStringView text, qsizetype pos)
{
    constexpr qsizetype Max = 40;
    QString out;
    const QStringView part = text.mid(pos, Max);
    out.reserve(part.size() + 8);
    for (QChar c : part)
        out += (c.unicode() < 0x20 || c.unicode() == 0x7F) ? QChar(u'?') : c;
    if (text.size() - pos > Max)
        out += u"..."_s;
    return out;
}

} // namespace

VbError criteriaError(const QString &detail)
{
    return {err::BadArguments, QString(),
            u"Arguments are of the wrong type, are out of acceptable range, or are in conflict "
            u"with one another. "_s %
                detail};
}

namespace {

using grammar::Problem;

class CriteriaDialect final : public grammar::Dialect {
public:
    CriteriaDialect()
    {
        maxLength = Criteria::MaxLength;
        maxDepth = Criteria::MaxDepth;
        reserved = {u"AND"_s,  u"OR"_s,   u"LIKE"_s,  u"IS"_s, u"NOT"_s,
                    u"NULL"_s, u"TRUE"_s, u"FALSE"_s, u"CHR"_s};
        bracketNames = true;
        dateLiterals = true;
        looseNumbers = true;
        signedValues = true;
        chrIsKeyword = true;
        unbalancedAtOpen = true;
    }

    [[noreturn]] void refuse(const grammar::Fault &f, const QString &text) const override
    {
        int pos = f.pos;
        QString what;
        switch (f.problem) {
        case Problem::TooLong:
            throw criteriaError(u"Criteria of "_s % QString::number(text.size()) %
                                u" characters is longer than the limit of "_s %
                                QString::number(Criteria::MaxLength) % u"."_s);
        case Problem::NulCharacter:
            what = u"NUL character"_s;
            break;
        case Problem::UnterminatedText:
            what = u"Unterminated quoted text"_s;
            break;
        case Problem::UnterminatedName:
            what = u"Unterminated [field name]"_s;
            break;
        case Problem::EmptyName:
            what = u"Empty [field name]"_s;
            break;
        case Problem::UnterminatedDate:
            what = u"Unterminated #date#"_s;
            break;
        case Problem::InvalidDate:
            what = u"Invalid #date#"_s;
            break;
        case Problem::MalformedNumber:
            what = u"Malformed number"_s;
            break;
        case Problem::NumberOutOfRange:
            what = u"Number out of range"_s;
            break;
        case Problem::TooDeep:
            what = u"Parentheses nested deeper than "_s % QString::number(Criteria::MaxDepth);
            break;
        case Problem::Unbalanced:
            what = u"Unbalanced parenthesis"_s;
            pos = f.related;
            break;
        case Problem::ExpectedCloseParen:
            what = u"Expected ')'"_s;
            break;
        case Problem::ExpectedName:
        case Problem::LiteralAsName:
        case Problem::NameAfterDot:
            what = u"Expected a field name"_s;
            break;
        case Problem::ExpectedOperator:
            what = u"Expected a comparison operator"_s;
            break;
        case Problem::ExpectedNull:
            what = u"Expected NULL"_s;
            break;
        case Problem::LikeNeedsPattern:
            what = u"LIKE needs a quoted pattern"_s;
            break;
        case Problem::ExpectedNumber:
            what = u"Expected a number"_s;
            break;
        case Problem::NullCompare:
            what = u"NULL can only be compared with = or <>"_s;
            break;
        case Problem::ExpectedValue:
            what = u"Missing value"_s;
            break;
        case Problem::ChrOpen:
            what = u"Expected '(' after CHR"_s;
            break;
        case Problem::ChrCode:
            what = u"Expected a character code"_s;
            break;
        case Problem::ChrRange:
            what = u"CHR code out of range 0-255"_s;
            pos = f.related;
            break;
        case Problem::ChrClose:
            what = u"Expected ')' after the character code"_s;
            break;
        case Problem::ExpectedPiece:
            what = u"Expected quoted text or CHR(n)"_s;
            break;
        case Problem::Expected:
            what = u"Expected "_s % f.detail;
            break;
        case Problem::BadCharacter:
        case Problem::Semicolon:
        case Problem::LineComment:
        case Problem::BlockComment:
            what = u"Unexpected character"_s;
            break;
        case Problem::TrailingText:
        case Problem::TooManyTerms:
        case Problem::PlusAfterValue:
        case Problem::EscapeChar:
        case Problem::SubQuery:
        case Problem::UnknownFunction:
        case Problem::Unexpected:
            what = u"Unexpected text"_s;
            break;
        }
        if (pos >= text.size())
            throw criteriaError(what % u" at the end of the criteria: "_s % snippet(text, 0));
        throw criteriaError(what % u" at position "_s % QString::number(pos + 1) % u": \""_s %
                            snippet(text, pos) % u"\""_s);
    }
};

Value literalValue(const grammar::Literal &v)
{
    switch (v.kind) {
    case grammar::Literal::Kind::Text:
        return Value(v.text);
    case grammar::Literal::Kind::Integer:
        return Value(std::int64_t(v.integer));
    case grammar::Literal::Kind::Decimal:
        return Value(v.decimal);
    case grammar::Literal::Kind::Boolean:
        return Value(v.boolean);
    case grammar::Literal::Kind::Date:
        return Value(v.date);
    case grammar::Literal::Kind::Null:
        break;
    }
    return Value::null();
}

} // namespace

Criteria parseCriteria(const QString &text)
{
    static const CriteriaDialect dialect;
    grammar::Condition tree = grammar::Parser(text, dialect).condition();
    Criteria c;
    c.text_ = text;
    c.nodes_ = std::move(tree.nodes);
    c.root_ = tree.root;
    c.comparisons_.reserve(tree.comparisons.size());
    for (const grammar::Comparison &g : tree.comparisons) {
        Comparison cmp;
        cmp.field = g.column.name;
        cmp.op = g.op;
        cmp.literal = literalValue(g.value);
        cmp.position = g.column.position;
        c.comparisons_.push_back(std::move(cmp));
    }
    return c;
}

bool Criteria::isSingleComparison() const
{
    return root_ >= 0 && nodes_[size_t(root_)].kind == CriteriaNode::Kind::Comparison;
}

namespace {

bool isNumericKind(ValueKind k)
{
    return k == ValueKind::Int32 || k == ValueKind::Int64 || k == ValueKind::Double ||
           k == ValueKind::Currency;
}

// Integers stay integers so that large values compare exactly.
Value normalizedNumber(double d)
{
    if (std::nearbyint(d) == d && std::fabs(d) < 9.2e18)
        return Value(std::int64_t(d));
    return Value(d);
}

Value numberFromText(const QString &text)
{
    static const QRegularExpression integer(uR"(^\s*[+-]?\d+\s*$)"_s);
    if (integer.match(text).hasMatch()) {
        bool ok = false;
        const qlonglong n = text.trimmed().toLongLong(&ok);
        if (ok)
            return Value(std::int64_t(n));
    }
    return normalizedNumber(Value(text).toDouble());
}

Value operandFor(const Value &literal, ValueKind kind)
{
    const ValueKind lk = literal.kind();
    switch (kind) {
    case ValueKind::Int32:
    case ValueKind::Int64:
    case ValueKind::Double:
        if (lk == ValueKind::Text)
            return numberFromText(*literal.get<QString>());
        if (lk == ValueKind::Bool)
            return Value(std::int64_t(*literal.get<bool>() ? -1 : 0));
        if (lk == ValueKind::Int64)
            return literal;
        if (lk == ValueKind::Double)
            return normalizedNumber(*literal.get<double>());
        break;
    case ValueKind::Currency:
        if (lk == ValueKind::Date)
            break;
        return Value(literal.toCurrency());
    case ValueKind::Date:
        if (lk == ValueKind::Bool)
            break;
        return Value(literal.toDate());
    case ValueKind::Bool:
        if (lk == ValueKind::Date)
            break;
        return Value(literal.toBool());
    default: // every text kind
        return Value(literal.toText());
    }
    throw typeMismatch();
}

template <class T> int order(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// -1, 0 or 1; nullopt when the stored value cannot be read in the field's kind.
std::optional<int> compareToOperand(const Value &v, const Comparison &c)
{
    try {
        switch (c.fieldKind) {
        case ValueKind::Int32:
        case ValueKind::Int64:
        case ValueKind::Double: {
            const auto *opInt = c.operand.get<std::int64_t>();
            std::int64_t fieldInt = 0;
            bool fieldIsInt = true;
            double fieldDouble = 0;
            if (const auto *i32 = v.get<std::int32_t>())
                fieldInt = *i32;
            else if (const auto *i64 = v.get<std::int64_t>())
                fieldInt = *i64;
            else if (!v.isEmpty()) {
                fieldIsInt = false;
                fieldDouble = v.toDouble();
            }
            if (fieldIsInt && opInt)
                return order(fieldInt, *opInt);
            const double a = fieldIsInt ? double(fieldInt) : fieldDouble;
            const double b = opInt ? double(*opInt) : *c.operand.get<double>();
            if (std::isnan(a))
                return std::nullopt;
            return order(a, b);
        }
        case ValueKind::Currency: {
            const Currency a = v.isEmpty() ? Currency{} : v.toCurrency();
            return order(a.scaled, c.operand.get<Currency>()->scaled);
        }
        case ValueKind::Date: {
            const DateValue a = v.isEmpty() ? DateValue{} : v.toDate();
            const DateValue &b = *c.operand.get<DateValue>();
            return a.days != b.days ? order(a.days, b.days) : order(a.msecs, b.msecs);
        }
        case ValueKind::Bool: {
            // True is -1 and False 0, so True sorts first.
            const int a = (!v.isEmpty() && v.toBool()) ? -1 : 0;
            const int b = *c.operand.get<bool>() ? -1 : 0;
            return order(a, b);
        }
        default: {
            QString converted;
            QStringView a;
            if (const auto *s = v.get<QString>())
                a = *s;
            else if (!v.isEmpty())
                a = converted = v.toText();
            const int r = a.compare(QStringView(*c.operand.get<QString>()), Qt::CaseInsensitive);
            return order(r, 0);
        }
        }
    } catch (const VbError &) {
        return std::nullopt;
    }
}

bool evaluate(const Value &v, const Comparison &c)
{
    if (c.op == CompareOp::IsNull)
        return v.isNull();
    if (c.op == CompareOp::IsNotNull)
        return !v.isNull();
    if (v.isNull())
        return false; // Null is equal, unequal, less and greater than nothing
    if (c.op == CompareOp::Like) {
        if (v.isEmpty())
            return likeMatch(QStringView(), *c.operand.get<QString>());
        if (const auto *s = v.get<QString>())
            return likeMatch(*s, *c.operand.get<QString>());
        try {
            return likeMatch(v.toText(), *c.operand.get<QString>());
        } catch (const VbError &) {
            return false;
        }
    }
    const std::optional<int> r = compareToOperand(v, c);
    if (!r)
        return false;
    switch (c.op) {
    case CompareOp::Equal:
        return *r == 0;
    case CompareOp::NotEqual:
        return *r != 0;
    case CompareOp::Less:
        return *r < 0;
    case CompareOp::Greater:
        return *r > 0;
    case CompareOp::LessEqual:
        return *r <= 0;
    case CompareOp::GreaterEqual:
        return *r >= 0;
    default:
        return false;
    }
}

} // namespace

void Criteria::bind(const FieldResolver &resolve)
{
    std::vector<Comparison> bound = comparisons_;
    for (Comparison &c : bound) {
        const CriteriaField f = resolve(c.field);
        if (f.index < 0)
            throw criteriaError(u"Unknown field \""_s % snippet(c.field, 0) % u"\" at position "_s %
                                QString::number(c.position + 1) % u"."_s);
        c.fieldIndex = f.index;
        c.fieldKind = f.kind;
        if (c.op == CompareOp::IsNull || c.op == CompareOp::IsNotNull) {
            c.operand = Value();
            continue;
        }
        try {
            if (c.op == CompareOp::Like)
                c.operand = Value(c.literal.toText());
            else
                c.operand = operandFor(c.literal, f.kind);
        } catch (const VbError &) {
            throw criteriaError(u"The value at position "_s % QString::number(c.position + 1) %
                                u" (\""_s % snippet(text_, c.position) %
                                u"\") does not fit the type of field \""_s % c.field % u"\"."_s);
        }
        if (isNumericKind(f.kind) && c.operand.kind() == ValueKind::Double &&
            std::isnan(*c.operand.get<double>()))
            throw criteriaError(u"Not a number at position "_s + QString::number(c.position + 1));
    }
    comparisons_ = std::move(bound);
    bound_ = true;
}

bool Criteria::matches(const RowReader &row) const
{
    if (root_ < 0)
        return true;
    if (!bound_)
        throw criteriaError(u"Criteria used before its fields were resolved."_s);
    return matchesNode(root_, row);
}

// Recursion depth is bounded by MaxDepth: AND and OR chains are flat nodes.
bool Criteria::matchesNode(int index, const RowReader &row) const
{
    const CriteriaNode &node = nodes_[size_t(index)];
    switch (node.kind) {
    case CriteriaNode::Kind::Comparison: {
        const Comparison &c = comparisons_[size_t(node.comparison)];
        return evaluate(row(c.fieldIndex), c);
    }
    case CriteriaNode::Kind::And:
        for (int child : node.children)
            if (!matchesNode(child, row))
                return false;
        return true;
    case CriteriaNode::Kind::Or:
        for (int child : node.children)
            if (matchesNode(child, row))
                return true;
        return false;
    case CriteriaNode::Kind::Not:
        return !matchesNode(node.children.front(), row);
    }
    return false;
}

bool likeMatch(QStringView text, QStringView pattern)
{
    const auto isStar = [](QChar c) { return c == u'*' || c == u'%'; };
    const auto same = [](QChar a, QChar b) {
        return a == b || QChar::toCaseFolded(a.unicode()) == QChar::toCaseFolded(b.unicode());
    };
    // Greedy match with one back-tracking point: no recursion, no blow-up on
    // patterns with many stars.
    qsizetype t = 0, p = 0, star = -1, mark = 0;
    while (t < text.size()) {
        if (p < pattern.size() && isStar(pattern[p])) {
            star = p++;
            mark = t;
        } else if (p < pattern.size() && same(pattern[p], text[t])) {
            ++p;
            ++t;
        } else if (star >= 0) {
            p = star + 1;
            t = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && isStar(pattern[p]))
        ++p;
    return p == pattern.size();
}

} // namespace orvane
