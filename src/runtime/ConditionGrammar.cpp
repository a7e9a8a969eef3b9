#include "runtime/ConditionGrammar.h"

#include "runtime/vb.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace orvane::grammar {

namespace {

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

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

} // namespace

Parser::Parser(const QString &text, const Dialect &dialect) : src_(text), d_(dialect)
{
    if (src_.size() > d_.maxLength)
        failAt(Problem::TooLong, int(src_.size()));
    if (const qsizetype nul = src_.indexOf(QChar(0)); nul >= 0)
        failAt(Problem::NulCharacter, int(nul));
    if (d_.lexAllFirst)
        while (toks_.empty() || toks_.back().type != Tok::End)
            toks_.push_back(lex());
}

Condition Parser::condition()
{
    Condition c;
    if (peek().type != Tok::End) {
        c.root = parseOr(c, 0);
        if (peek().type != Tok::End)
            fail(Problem::TrailingText, peek());
    }
    return c;
}

// ---------------------------------------------------------------------------
// Lexer

void Parser::failAt(Problem problem, int pos, const QString &detail) const
{
    Fault f{problem, pos, 1, pos >= int(src_.size()), -1, detail};
    d_.refuse(f, src_);
    Q_UNREACHABLE(); // refuse() throws
}

bool Parser::isDigit(QChar c) const
{
    return d_.looseNumbers ? c.isDigit() : (c >= u'0' && c <= u'9');
}

Token Parser::lex()
{
    const int n = int(src_.size());
    int &i = lexPos_;
    while (i < n && isSpace(src_.at(i)))
        ++i;
    Token t;
    t.pos = i;
    if (i >= n)
        return t;
    const QChar c = src_.at(i);
    auto single = [&](Tok type) {
        t.type = type;
        t.len = 1;
        ++i;
    };
    auto op = [&](CompareOp o, int len) {
        t.type = Tok::Op;
        t.op = o;
        t.len = len;
        i += len;
    };
    const bool number = isDigit(c) || (d_.sqlPunctuation && c == u'-' && isDigit(charAt(i + 1))) ||
                        (d_.looseNumbers && c == u'.' && isDigit(charAt(i + 1)));
    if (c == u'\'') {
        lexText(t);
    } else if (c == u'[' && d_.bracketNames) {
        const qsizetype close = src_.indexOf(u']', i + 1);
        if (close < 0)
            failAt(Problem::UnterminatedName, i);
        t.type = Tok::Ident;
        t.bracketed = true;
        t.text = src_.mid(i + 1, close - i - 1);
        if (t.text.trimmed().isEmpty())
            failAt(Problem::EmptyName, i);
        t.len = int(close) + 1 - i;
        i = int(close) + 1;
    } else if (c == u'#' && d_.dateLiterals) {
        const qsizetype close = src_.indexOf(u'#', i + 1);
        if (close < 0)
            failAt(Problem::UnterminatedDate, i);
        const auto date = parseDateLiteral(src_.mid(i + 1, close - i - 1));
        if (!date)
            failAt(Problem::InvalidDate, i);
        t.type = Tok::Date;
        t.date = *date;
        t.len = int(close) + 1 - i;
        i = int(close) + 1;
    } else if (number) {
        lexNumber(t);
    } else if (vb::IsNameStart(c)) {
        int j = i + 1;
        while (j < n && vb::IsNamePart(src_.at(j)))
            ++j;
        t.type = Tok::Ident;
        t.text = src_.mid(i, j - i);
        t.len = j - i;
        i = j;
    } else if (c == u'-' && d_.signedValues) {
        single(Tok::Minus);
    } else if (c == u'.' && d_.sqlPunctuation) {
        const QChar letter = charAt(i + 1).toUpper();
        if ((letter == u'T' || letter == u'F') && charAt(i + 2) == u'.') {
            t.type = Tok::Bool;
            t.boolean = letter == u'T';
            t.len = 3;
            i += 3;
        } else {
            single(Tok::Dot);
        }
    } else if (c == u';' && d_.sqlPunctuation) {
        failAt(Problem::Semicolon, i);
    } else if (c == u'-' && charAt(i + 1) == u'-' && d_.sqlPunctuation) {
        failAt(Problem::LineComment, i);
    } else if (c == u'/' && charAt(i + 1) == u'*' && d_.sqlPunctuation) {
        failAt(Problem::BlockComment, i);
    } else if (c == u'=') {
        op(CompareOp::Equal, 1);
    } else if (c == u'<') {
        if (charAt(i + 1) == u'>')
            op(CompareOp::NotEqual, 2);
        else if (charAt(i + 1) == u'=')
            op(CompareOp::LessEqual, 2);
        else
            op(CompareOp::Less, 1);
    } else if (c == u'>') {
        if (charAt(i + 1) == u'=')
            op(CompareOp::GreaterEqual, 2);
        else
            op(CompareOp::Greater, 1);
    } else if (c == u'!' && charAt(i + 1) == u'=' && d_.sqlPunctuation) {
        op(CompareOp::NotEqual, 2);
    } else if (c == u',' && d_.sqlPunctuation) {
        single(Tok::Comma);
    } else if (c == u'*' && d_.sqlPunctuation) {
        single(Tok::Star);
    } else if (c == u'+') {
        single(Tok::Plus);
    } else if (c == u'(') {
        single(Tok::LParen);
    } else if (c == u')') {
        single(Tok::RParen);
    } else {
        failAt(Problem::BadCharacter, i);
    }
    return t;
}

void Parser::lexText(Token &t)
{
    const int n = int(src_.size());
    int &i = lexPos_;
    t.type = Tok::Text;
    t.text = u""_s;
    int j = i + 1;
    for (;;) {
        const qsizetype quote = src_.indexOf(u'\'', j);
        if (quote < 0)
            failAt(Problem::UnterminatedText, i);
        t.text += QStringView(src_).mid(j, quote - j);
        if (quote + 1 < n && src_.at(quote + 1) == u'\'') {
            t.text += u'\'';
            j = int(quote) + 2;
            continue;
        }
        t.len = int(quote) + 1 - i;
        i = int(quote) + 1;
        return;
    }
}

void Parser::lexNumber(Token &t)
{
    int &i = lexPos_;
    int j = src_.at(i) == u'-' ? i + 1 : i;
    bool decimal = false;
    while (isDigit(charAt(j)))
        ++j;
    if (charAt(j) == u'.' && (d_.looseNumbers || isDigit(charAt(j + 1)))) {
        decimal = true;
        ++j;
        while (isDigit(charAt(j)))
            ++j;
    }
    if (d_.looseNumbers && (charAt(j) == u'e' || charAt(j) == u'E') &&
        (isDigit(charAt(j + 1)) ||
         ((charAt(j + 1) == u'+' || charAt(j + 1) == u'-') && isDigit(charAt(j + 2))))) {
        decimal = true;
        j += 2;
        while (isDigit(charAt(j)))
            ++j;
    }
    if (vb::IsNamePart(charAt(j)) || charAt(j) == u'.')
        failAt(Problem::MalformedNumber, i, src_.mid(i, j + 1 - i));
    t.text = src_.mid(i, j - i);
    t.len = j - i;
    bool ok = false;
    if (!decimal) {
        t.type = Tok::Integer;
        t.integer = t.text.toLongLong(&ok);
        if (!ok && d_.looseNumbers)
            decimal = true;
    }
    if (decimal) {
        t.type = Tok::Decimal;
        t.decimal = t.text.toDouble(&ok); // C locale whatever the user's
        ok = ok && std::isfinite(t.decimal);
    }
    if (!ok)
        failAt(Problem::NumberOutOfRange, i, t.text);
    i = j;
}

// ---------------------------------------------------------------------------
// Parser

bool Parser::isKeyword(const Token &t, QStringView word)
{
    return t.type == Tok::Ident && !t.bracketed && t.text.compare(word, Qt::CaseInsensitive) == 0;
}

bool Parser::isReserved(const Token &t) const
{
    return std::any_of(d_.reserved.begin(), d_.reserved.end(),
                       [&](const QString &w) { return isKeyword(t, w); });
}

const Token &Parser::peek(int ahead)
{
    while (cur_ + size_t(ahead) >= toks_.size() && (toks_.empty() || toks_.back().type != Tok::End))
        toks_.push_back(lex());
    return toks_[std::min(cur_ + size_t(ahead), toks_.size() - 1)];
}

const Token &Parser::next()
{
    const Token &t = peek();
    if (t.type != Tok::End)
        ++cur_;
    return t;
}

void Parser::fail(Problem problem, const Token &at, const QString &detail, int related) const
{
    Fault f{problem, at.pos, at.len, at.type == Tok::End, related, detail};
    d_.refuse(f, src_);
    Q_UNREACHABLE(); // refuse() throws
}

void Parser::expect(Tok type, const QString &what)
{
    if (peek().type != type)
        fail(Problem::Expected, peek(), what);
    next();
}

void Parser::expectKeyword(QStringView word)
{
    if (!isKeyword(peek(), word))
        fail(Problem::Expected, peek(), word.toString());
    next();
}

// A name followed by '(' is a function call; only the dialect's own are known.
void Parser::refuseCallOrSubquery()
{
    if (!d_.refuseCalls)
        return;
    const Token &t = peek();
    if (t.type == Tok::LParen && isKeyword(peek(1), u"SELECT"))
        fail(Problem::SubQuery, peek(1));
    if (t.type == Tok::Ident && peek(1).type == Tok::LParen)
        fail(Problem::UnknownFunction, t, t.text);
}

void Parser::countTerm()
{
    if (++terms_ > d_.maxTerms)
        fail(Problem::TooManyTerms, peek());
}

int Parser::addNode(Condition &c, ConditionNode node)
{
    c.nodes.push_back(std::move(node));
    return int(c.nodes.size()) - 1;
}

int Parser::parseOr(Condition &c, int depth)
{
    ConditionNode node{ConditionNode::Kind::Or, -1, {parseAnd(c, depth)}};
    while (isKeyword(peek(), u"OR")) {
        next();
        node.children.push_back(parseAnd(c, depth));
    }
    return node.children.size() == 1 ? node.children.front() : addNode(c, std::move(node));
}

int Parser::parseAnd(Condition &c, int depth)
{
    ConditionNode node{ConditionNode::Kind::And, -1, {parseUnary(c, depth)}};
    while (isKeyword(peek(), u"AND")) {
        next();
        node.children.push_back(parseUnary(c, depth));
    }
    return node.children.size() == 1 ? node.children.front() : addNode(c, std::move(node));
}

// Recursion is bounded by the dialect's depth: AND and OR chains are flat nodes.
int Parser::parseUnary(Condition &c, int depth)
{
    const Token &t = peek();
    if (d_.notOperator && isKeyword(t, u"NOT")) {
        if (depth >= d_.maxDepth)
            fail(Problem::TooDeep, t);
        next();
        const int child = parseUnary(c, depth + 1);
        return addNode(c, {ConditionNode::Kind::Not, -1, {child}});
    }
    refuseCallOrSubquery();
    if (t.type == Tok::LParen) {
        if (depth >= d_.maxDepth)
            fail(Problem::TooDeep, t);
        const int open = t.pos;
        next();
        const int inner = parseOr(c, depth + 1);
        if (peek().type != Tok::RParen) {
            if (d_.unbalancedAtOpen && peek().type == Tok::End)
                fail(Problem::Unbalanced, peek(), {}, open);
            fail(Problem::ExpectedCloseParen, peek());
        }
        next();
        return inner;
    }
    countTerm();
    c.comparisons.push_back(parseComparison());
    return addNode(c, {ConditionNode::Kind::Comparison, int(c.comparisons.size()) - 1, {}});
}

ColumnRef Parser::parseColumn()
{
    refuseCallOrSubquery();
    const Token &t = peek();
    if (t.type != Tok::Ident || isReserved(t)) {
        if (t.type == Tok::Text || t.type == Tok::Integer || t.type == Tok::Decimal ||
            t.type == Tok::Bool)
            fail(Problem::LiteralAsName, t);
        fail(Problem::ExpectedName, t);
    }
    ColumnRef ref;
    ref.position = t.pos;
    ref.name = next().text;
    if (peek().type == Tok::Dot) {
        next();
        const Token &name = peek();
        if (name.type != Tok::Ident || isReserved(name))
            fail(Problem::NameAfterDot, name);
        ref.table = ref.name;
        ref.name = next().text;
    }
    return ref;
}

Comparison Parser::parseComparison()
{
    Comparison cmp;
    cmp.column = parseColumn();
    const Token &t = peek();
    if (t.type == Tok::Op) {
        cmp.op = next().op;
        cmp.value = parseValue();
        if (cmp.value.kind == Literal::Kind::Null) {
            if (cmp.op == CompareOp::Equal)
                cmp.op = CompareOp::IsNull;
            else if (cmp.op == CompareOp::NotEqual)
                cmp.op = CompareOp::IsNotNull;
            else
                failAt(Problem::NullCompare, cmp.value.position);
        }
    } else if (isKeyword(t, u"LIKE") ||
               (d_.notOperator && isKeyword(t, u"NOT") && isKeyword(peek(1), u"LIKE"))) {
        cmp.op = isKeyword(t, u"NOT") ? CompareOp::NotLike : CompareOp::Like;
        next();
        if (cmp.op == CompareOp::NotLike)
            next();
        refuseCallOrSubquery();
        const Token &pattern = peek();
        if (pattern.type != Tok::Text && !isKeyword(pattern, u"CHR"))
            fail(Problem::LikeNeedsPattern, pattern);
        cmp.value = parseValue();
        if (d_.notOperator && isKeyword(peek(), u"ESCAPE")) {
            next();
            const Literal escape = parseValue();
            if (escape.kind != Literal::Kind::Text || escape.text.size() != 1)
                failAt(Problem::EscapeChar, escape.position);
            cmp.escape = escape.text;
        }
    } else if (isKeyword(t, u"IS")) {
        next();
        cmp.op = CompareOp::IsNull;
        if (isKeyword(peek(), u"NOT")) {
            next();
            cmp.op = CompareOp::IsNotNull;
        }
        if (!isKeyword(peek(), u"NULL"))
            fail(Problem::ExpectedNull, peek());
        next();
    } else {
        fail(Problem::ExpectedOperator, t);
    }
    return cmp;
}

QChar Parser::parseChr()
{
    const int pos = next().pos;
    if (peek().type != Tok::LParen)
        fail(Problem::ChrOpen, peek());
    next();
    const Token &n = peek();
    if (n.type != Tok::Integer && n.type != Tok::Decimal)
        fail(Problem::ChrCode, n, {}, pos);
    if (n.type != Tok::Integer || n.integer < d_.chrMin || n.integer > 255)
        fail(Problem::ChrRange, n, {}, pos);
    const QChar c = vb::Chr(int(next().integer));
    if (peek().type != Tok::RParen)
        fail(Problem::ChrClose, peek());
    next();
    return c;
}

Literal Parser::parseValue()
{
    const Token &t = peek();
    Literal v;
    v.position = t.pos;
    const auto isChr = [&](const Token &k) {
        return isKeyword(k, u"CHR") && (d_.chrIsKeyword || peek(1).type == Tok::LParen);
    };
    if (t.type == Tok::Text || isChr(t)) {
        v.kind = Literal::Kind::Text;
        v.text = u""_s;
        while (true) {
            if (peek().type == Tok::Text)
                v.text += next().text;
            else if (isChr(peek()))
                v.text += parseChr();
            else
                fail(Problem::ExpectedPiece, peek());
            if (peek().type != Tok::Plus)
                break;
            next();
        }
        return v;
    }
    refuseCallOrSubquery();
    switch (t.type) {
    case Tok::Integer:
        v.kind = Literal::Kind::Integer;
        v.integer = t.integer;
        break;
    case Tok::Decimal:
        v.kind = Literal::Kind::Decimal;
        v.decimal = t.decimal;
        v.text = t.text;
        break;
    case Tok::Bool:
        v.kind = Literal::Kind::Boolean;
        v.boolean = t.boolean;
        break;
    case Tok::Date:
        v.kind = Literal::Kind::Date;
        v.date = t.date;
        break;
    case Tok::Minus:
    case Tok::Plus:
        if (d_.signedValues) {
            const bool negative = t.type == Tok::Minus;
            next();
            const Token &number = peek();
            if (number.type == Tok::Integer) {
                v.kind = Literal::Kind::Integer;
                v.integer = negative ? -number.integer : number.integer;
            } else if (number.type == Tok::Decimal) {
                v.kind = Literal::Kind::Decimal;
                v.decimal = negative ? -number.decimal : number.decimal;
                v.text = number.text;
            } else {
                failAt(Problem::ExpectedNumber, v.position);
            }
            break;
        }
        fail(Problem::ExpectedValue, t);
    default:
        if (isKeyword(t, u"TRUE") || isKeyword(t, u"FALSE")) {
            v.kind = Literal::Kind::Boolean;
            v.boolean = isKeyword(t, u"TRUE");
        } else if (isKeyword(t, u"NULL")) {
            v.kind = Literal::Kind::Null;
        } else {
            fail(Problem::ExpectedValue, t);
        }
    }
    next();
    if (d_.refusePlusAfterValue && peek().type == Tok::Plus)
        fail(Problem::PlusAfterValue, peek());
    return v;
}

} // namespace orvane::grammar
