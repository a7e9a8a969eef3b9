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

enum class Tok {
    End,
    Ident,
    Text,
    Number,
    Date,
    Op,
    LParen,
    RParen,
    Plus,
    Minus,
    And,
    Or,
    Like,
    Is,
    Not,
    Null,
    True,
    False,
    Chr,
};

struct Token {
    Tok type = Tok::End;
    qsizetype pos = 0;
    QString text; // Ident: the name; Text: the unquoted text
    Value value;  // Number, Date
    CompareOp op = CompareOp::Equal;
};

DateValue toDateValue(const QDate &date, const QTime &time)
{
    static const QDate zero(1899, 12, 30);
    return DateValue{zero.daysTo(date), time.msecsSinceStartOfDay()};
}

// #YYYY-MM-DD#, #M/D/YYYY#, either with an optional time of day.
std::optional<DateValue> parseDateLiteral(const QString &text)
{
    static const QRegularExpression iso(
        uR"(^(\d{4})-(\d{1,2})-(\d{1,2})(?:[ T]+(\d{1,2}):(\d{2})(?::(\d{2}))?)?$)"_s);
    static const QRegularExpression us(
        uR"(^(\d{1,2})/(\d{1,2})/(\d{4})(?: +(\d{1,2}):(\d{2})(?::(\d{2}))? *([AaPp][Mm])?)?$)"_s);
    const QString t = text.trimmed();
    int y = 0, m = 0, d = 0, hh = 0, mm = 0, ss = 0;
    QString ampm;
    if (const auto match = iso.match(t); match.hasMatch()) {
        y = match.captured(1).toInt();
        m = match.captured(2).toInt();
        d = match.captured(3).toInt();
        hh = match.captured(4).toInt();
        mm = match.captured(5).toInt();
        ss = match.captured(6).toInt();
    } else if (const auto usMatch = us.match(t); usMatch.hasMatch()) {
        m = usMatch.captured(1).toInt();
        d = usMatch.captured(2).toInt();
        y = usMatch.captured(3).toInt();
        hh = usMatch.captured(4).toInt();
        mm = usMatch.captured(5).toInt();
        ss = usMatch.captured(6).toInt();
        ampm = usMatch.captured(7).toUpper();
    } else {
        return std::nullopt;
    }
    if (!ampm.isEmpty()) {
        if (hh < 1 || hh > 12)
            return std::nullopt;
        hh = (hh % 12) + (ampm == u"PM"_s ? 12 : 0);
    }
    const QDate date(y, m, d);
    const QTime time(hh, mm, ss);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return toDateValue(date, time);
}

} // namespace

VbError criteriaError(const QString &detail)
{
    return {err::BadArguments, QString(),
            u"Arguments are of the wrong type, are out of acceptable range, or are in conflict "
            u"with one another. "_s %
                detail};
}

class CriteriaParser {
public:
    explicit CriteriaParser(const QString &text) : src_(text) {}

    Criteria run()
    {
        Criteria c;
        c.text_ = src_;
        if (src_.size() > Criteria::MaxLength)
            throw criteriaError(u"Criteria of "_s % QString::number(src_.size()) %
                                u" characters is longer than the limit of "_s %
                                QString::number(Criteria::MaxLength) % u"."_s);
        if (const qsizetype nul = src_.indexOf(QChar(0)); nul >= 0)
            fail(nul, u"NUL character"_s);
        out_ = &c;
        advance();
        if (tok_.type == Tok::End)
            return c;
        c.root_ = parseOr(0);
        if (tok_.type != Tok::End)
            fail(tok_.pos, u"Unexpected text"_s);
        return c;
    }

private:
    [[noreturn]] void fail(qsizetype pos, const QString &what) const
    {
        if (pos >= src_.size())
            throw criteriaError(what % u" at the end of the criteria: "_s % snippet(src_, 0));
        throw criteriaError(what % u" at position "_s % QString::number(pos + 1) % u": \""_s %
                            snippet(src_, pos) % u"\""_s);
    }

    QChar at(qsizetype i) const { return i < src_.size() ? src_.at(i) : QChar(); }

    void advance() { tok_ = lex(); }

    Token lex()
    {
        while (pos_ < src_.size() && (src_.at(pos_) == u' ' || src_.at(pos_) == u'\t' ||
                                      src_.at(pos_) == u'\r' || src_.at(pos_) == u'\n'))
            ++pos_;
        Token t;
        t.pos = pos_;
        if (pos_ >= src_.size())
            return t;
        const QChar c = src_.at(pos_);
        switch (c.unicode()) {
        case u'(':
            ++pos_;
            t.type = Tok::LParen;
            return t;
        case u')':
            ++pos_;
            t.type = Tok::RParen;
            return t;
        case u'+':
            ++pos_;
            t.type = Tok::Plus;
            return t;
        case u'-':
            ++pos_;
            t.type = Tok::Minus;
            return t;
        case u'=':
            ++pos_;
            t.type = Tok::Op;
            t.op = CompareOp::Equal;
            return t;
        case u'<':
            ++pos_;
            t.type = Tok::Op;
            t.op = CompareOp::Less;
            if (at(pos_) == u'>') {
                ++pos_;
                t.op = CompareOp::NotEqual;
            } else if (at(pos_) == u'=') {
                ++pos_;
                t.op = CompareOp::LessEqual;
            }
            return t;
        case u'>':
            ++pos_;
            t.type = Tok::Op;
            t.op = CompareOp::Greater;
            if (at(pos_) == u'=') {
                ++pos_;
                t.op = CompareOp::GreaterEqual;
            }
            return t;
        case u'\'':
            return lexText(t);
        case u'#':
            return lexDate(t);
        case u'[': {
            const qsizetype close = src_.indexOf(u']', pos_ + 1);
            if (close < 0)
                fail(pos_, u"Unterminated [field name]"_s);
            t.type = Tok::Ident;
            t.text = src_.mid(pos_ + 1, close - pos_ - 1);
            if (t.text.trimmed().isEmpty())
                fail(pos_, u"Empty [field name]"_s);
            pos_ = close + 1;
            return t;
        }
        default:
            break;
        }
        if (c.isDigit() || (c == u'.' && at(pos_ + 1).isDigit()))
            return lexNumber(t);
        if (vb::IsNameStart(c)) {
            qsizetype end = pos_ + 1;
            while (end < src_.size() && vb::IsNamePart(src_.at(end)))
                ++end;
            const QStringView word = QStringView(src_).mid(pos_, end - pos_);
            pos_ = end;
            t.type = keyword(word);
            if (t.type == Tok::Ident)
                t.text = word.toString();
            return t;
        }
        fail(pos_, u"Unexpected character"_s);
    }

    static Tok keyword(QStringView w)
    {
        static constexpr struct {
            const char16_t *word;
            Tok type;
        } words[] = {{u"AND", Tok::And},   {u"OR", Tok::Or},       {u"LIKE", Tok::Like},
                     {u"IS", Tok::Is},     {u"NOT", Tok::Not},     {u"NULL", Tok::Null},
                     {u"TRUE", Tok::True}, {u"FALSE", Tok::False}, {u"CHR", Tok::Chr}};
        for (const auto &k : words)
            if (w.compare(QStringView(k.word), Qt::CaseInsensitive) == 0)
                return k.type;
        return Tok::Ident;
    }

    Token lexText(Token t)
    {
        t.type = Tok::Text;
        qsizetype i = pos_ + 1;
        for (;;) {
            const qsizetype quote = src_.indexOf(u'\'', i);
            if (quote < 0)
                fail(t.pos, u"Unterminated quoted text"_s);
            t.text += QStringView(src_).mid(i, quote - i);
            if (at(quote + 1) == u'\'') {
                t.text += u'\'';
                i = quote + 2;
                continue;
            }
            pos_ = quote + 1;
            return t;
        }
    }

    Token lexDate(Token t)
    {
        const qsizetype close = src_.indexOf(u'#', pos_ + 1);
        if (close < 0)
            fail(pos_, u"Unterminated #date#"_s);
        const auto date = parseDateLiteral(src_.mid(pos_ + 1, close - pos_ - 1));
        if (!date)
            fail(pos_, u"Invalid #date#"_s);
        t.type = Tok::Date;
        t.value = Value(*date);
        pos_ = close + 1;
        return t;
    }

    Token lexNumber(Token t)
    {
        qsizetype i = pos_;
        bool integral = true;
        while (at(i).isDigit())
            ++i;
        if (at(i) == u'.') {
            integral = false;
            ++i;
            while (at(i).isDigit())
                ++i;
        }
        if ((at(i) == u'e' || at(i) == u'E') &&
            (at(i + 1).isDigit() ||
             ((at(i + 1) == u'+' || at(i + 1) == u'-') && at(i + 2).isDigit()))) {
            integral = false;
            i += 2;
            while (at(i).isDigit())
                ++i;
        }
        if (vb::IsNamePart(at(i)) || at(i) == u'.')
            fail(pos_, u"Malformed number"_s);
        const QString digits = src_.mid(pos_, i - pos_);
        pos_ = i;
        t.type = Tok::Number;
        bool ok = false;
        if (integral) {
            const qlonglong n = digits.toLongLong(&ok);
            if (ok) {
                t.value = Value(std::int64_t(n));
                return t;
            }
        }
        const double d = digits.toDouble(&ok); // C locale whatever the user's
        if (!ok || !std::isfinite(d))
            fail(t.pos, u"Number out of range"_s);
        t.value = Value(d);
        return t;
    }

    void expect(Tok type, const QString &what)
    {
        if (tok_.type != type)
            fail(tok_.pos, u"Expected "_s % what);
        advance();
    }

    int addNode(CriteriaNode node)
    {
        out_->nodes_.push_back(std::move(node));
        return int(out_->nodes_.size() - 1);
    }

    int parseOr(int depth)
    {
        const int first = parseAnd(depth);
        if (tok_.type != Tok::Or)
            return first;
        CriteriaNode node;
        node.kind = CriteriaNode::Kind::Or;
        node.children.push_back(first);
        while (tok_.type == Tok::Or) {
            advance();
            node.children.push_back(parseAnd(depth));
        }
        return addNode(std::move(node));
    }

    int parseAnd(int depth)
    {
        const int first = parsePrimary(depth);
        if (tok_.type != Tok::And)
            return first;
        CriteriaNode node;
        node.kind = CriteriaNode::Kind::And;
        node.children.push_back(first);
        while (tok_.type == Tok::And) {
            advance();
            node.children.push_back(parsePrimary(depth));
        }
        return addNode(std::move(node));
    }

    int parsePrimary(int depth)
    {
        if (tok_.type == Tok::LParen) {
            if (depth >= Criteria::MaxDepth)
                fail(tok_.pos,
                     u"Parentheses nested deeper than "_s % QString::number(Criteria::MaxDepth));
            const qsizetype open = tok_.pos;
            advance();
            const int inner = parseOr(depth + 1);
            if (tok_.type != Tok::RParen)
                fail(tok_.type == Tok::End ? open : tok_.pos,
                     tok_.type == Tok::End ? u"Unbalanced parenthesis"_s : u"Expected ')'"_s);
            advance();
            return inner;
        }
        if (tok_.type != Tok::Ident)
            fail(tok_.pos, u"Expected a field name"_s);
        Comparison cmp;
        cmp.field = tok_.text;
        cmp.position = int(tok_.pos);
        advance();
        if (tok_.type == Tok::Is) {
            advance();
            cmp.op = CompareOp::IsNull;
            if (tok_.type == Tok::Not) {
                cmp.op = CompareOp::IsNotNull;
                advance();
            }
            expect(Tok::Null, u"NULL"_s);
            cmp.literal = Value::null();
        } else {
            if (tok_.type == Tok::Op)
                cmp.op = tok_.op;
            else if (tok_.type == Tok::Like)
                cmp.op = CompareOp::Like;
            else
                fail(tok_.pos, u"Expected a comparison operator"_s);
            advance();
            parseValue(cmp);
        }
        out_->comparisons_.push_back(std::move(cmp));
        CriteriaNode node;
        node.comparison = int(out_->comparisons_.size() - 1);
        return addNode(std::move(node));
    }

    void parseValue(Comparison &cmp)
    {
        const qsizetype start = tok_.pos;
        if (cmp.op == CompareOp::Like && tok_.type != Tok::Text && tok_.type != Tok::Chr)
            fail(start, u"LIKE needs a quoted pattern"_s);
        switch (tok_.type) {
        case Tok::Text:
        case Tok::Chr:
            cmp.literal = Value(parseTextSum());
            return;
        case Tok::Number:
            cmp.literal = tok_.value;
            advance();
            return;
        case Tok::Minus:
        case Tok::Plus: {
            const bool negative = tok_.type == Tok::Minus;
            advance();
            if (tok_.type != Tok::Number)
                fail(start, u"Expected a number"_s);
            Value v = tok_.value;
            if (negative) {
                if (const auto *i = v.get<std::int64_t>())
                    v = Value(std::int64_t(-*i));
                else
                    v = Value(-*v.get<double>());
            }
            cmp.literal = v;
            advance();
            return;
        }
        case Tok::Date:
            cmp.literal = tok_.value;
            advance();
            return;
        case Tok::True:
        case Tok::False:
            cmp.literal = Value(tok_.type == Tok::True);
            advance();
            return;
        case Tok::Null:
            if (cmp.op == CompareOp::Equal)
                cmp.op = CompareOp::IsNull;
            else if (cmp.op == CompareOp::NotEqual)
                cmp.op = CompareOp::IsNotNull;
            else
                fail(start, u"NULL can only be compared with = or <>"_s);
            cmp.literal = Value::null();
            advance();
            return;
        default:
            fail(start, u"Missing value"_s);
        }
    }

    // 'a' + CHR(39) + 'b': the splices the library's quoting routine writes.
    QString parseTextSum()
    {
        QString result;
        for (;;) {
            if (tok_.type == Tok::Text) {
                result += tok_.text;
                advance();
            } else if (tok_.type == Tok::Chr) {
                const qsizetype chrPos = tok_.pos;
                advance();
                expect(Tok::LParen, u"'(' after CHR"_s);
                if (tok_.type != Tok::Number)
                    fail(tok_.pos, u"Expected a character code"_s);
                const auto *code = tok_.value.get<std::int64_t>();
                if (!code || *code < 0 || *code > 255)
                    fail(chrPos, u"CHR code out of range 0-255"_s);
                result += vb::Chr(int(*code));
                advance();
                expect(Tok::RParen, u"')' after the character code"_s);
            } else {
                fail(tok_.pos, u"Expected quoted text or CHR(n)"_s);
            }
            if (tok_.type != Tok::Plus)
                return result;
            advance();
        }
    }

    const QString &src_;
    qsizetype pos_ = 0;
    Token tok_;
    Criteria *out_ = nullptr;
};

Criteria parseCriteria(const QString &text)
{
    return CriteriaParser(text).run();
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
