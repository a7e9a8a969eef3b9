#pragma once

#include <qorOrvaneUI/runtime/Value.h>

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

// The condition language shared by the record set's Filter/Find and the host
// database's filters: `field op value` clauses joined by AND and OR, with
// parentheses. One lexer and one parser produce one tree; what each language
// accepts beyond the common core (NOT, table prefixes, #dates#, [names],
// .T./.F., the limits) and how it words a refusal is its Dialect's business,
// so neither language changes by sharing the code.
//
//   condition  := orTerm
//   orTerm     := andTerm { OR andTerm }
//   andTerm    := unary { AND unary }
//   unary      := NOT unary | '(' orTerm ')' | comparison
//   comparison := name op value | name [NOT] LIKE text [ESCAPE text]
//               | name IS [NOT] NULL
//   name       := identifier | '[' any text but ']' ']' | table '.' identifier
//   value      := text | number | #date# | .T. | .F. | TRUE | FALSE | NULL
//   text       := piece { '+' piece }
//   piece      := 'quoted, '' for one quote' | CHR(n)
//
// AND binds tighter than OR; keywords ignore letter case. `x = NULL` and
// `x <> NULL` mean IS NULL and IS NOT NULL.
namespace orvane::grammar {

enum class CompareOp {
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    Like,
    NotLike,
    IsNull,
    IsNotNull
};

struct ColumnRef {
    QString table;    // as written; empty when not prefixed
    QString name;     // as written, without brackets
    int position = 0; // 0-based offset in the text
};

struct Literal {
    enum class Kind { Text, Integer, Decimal, Boolean, Null, Date };
    Kind kind = Kind::Null;
    QString text; // Text: the value with CHR splices folded in; Decimal: as written
    qint64 integer = 0;
    double decimal = 0;
    bool boolean = false;
    DateValue date;
    int position = 0;
};

struct Comparison {
    ColumnRef column;
    CompareOp op = CompareOp::Equal;
    Literal value;  // Null kind for IS [NOT] NULL
    QString escape; // LIKE's escape character; empty when none
};

struct ConditionNode {
    enum class Kind { Comparison, And, Or, Not };
    Kind kind = Kind::Comparison;
    int comparison = -1;       // Kind::Comparison: index into Condition::comparisons
    std::vector<int> children; // And, Or: two or more; Not: one
};

// A parsed condition. Nodes live in flat vectors, so neither copying nor
// destruction recurses, however long the text.
struct Condition {
    std::vector<Comparison> comparisons;
    std::vector<ConditionNode> nodes;
    int root = -1;
    bool isEmpty() const { return root < 0; }
};

enum class Tok {
    End,
    Ident,
    Text,
    Integer,
    Decimal,
    Date,
    Bool,
    Op,
    Dot,
    Comma,
    Star,
    Plus,
    Minus,
    LParen,
    RParen,
};

struct Token {
    Tok type = Tok::End;
    int pos = 0;
    int len = 0;
    bool bracketed = false; // an [identifier]: never a keyword
    QString text;           // Ident: the name; Text: unquoted; numbers: as written
    qint64 integer = 0;
    double decimal = 0;
    bool boolean = false;
    DateValue date;
    CompareOp op = CompareOp::Equal;
};

// Why a text is refused; the dialect words it.
enum class Problem {
    TooLong,
    NulCharacter,
    UnterminatedText,
    UnterminatedName,
    EmptyName,
    UnterminatedDate,
    InvalidDate,
    MalformedNumber,  // detail: the number as far as it was read
    NumberOutOfRange, // detail: the number
    BadCharacter,
    Semicolon,
    LineComment,
    BlockComment,
    TrailingText,
    TooDeep,
    TooManyTerms,
    Unbalanced, // related: the '(' never closed
    ExpectedCloseParen,
    ExpectedName,
    LiteralAsName,
    NameAfterDot,
    ExpectedOperator,
    ExpectedNull,
    LikeNeedsPattern,
    ExpectedNumber, // after a sign
    NullCompare,
    ExpectedValue,
    ChrOpen,
    ChrCode,
    ChrRange, // related: the CHR keyword
    ChrClose,
    ExpectedPiece,
    PlusAfterValue,
    EscapeChar,
    SubQuery,
    UnknownFunction, // detail: the name
    Expected,        // detail: what was expected
    Unexpected,      // detail: the context
};

struct Fault {
    Problem problem;
    int pos = 0;
    int len = 0;
    bool atEnd = false; // pos is the end of the text
    int related = -1;
    QString detail;
};

// What one language accepts and how it refuses.
class Dialect {
public:
    virtual ~Dialect() = default;
    // Throws the language's own error for `fault` in `text`.
    [[noreturn]] virtual void refuse(const Fault &fault, const QString &text) const = 0;

    int maxLength = 0;
    int maxDepth = 0;            // parentheses, and NOTs where NOT exists
    int maxTerms = 1 << 30;      // comparisons (and whatever a derived parser counts)
    QStringList reserved;        // words that are never names
    bool lexAllFirst = false;    // a lexical fault anywhere wins over a grammar fault
    bool sqlPunctuation = false; // . , * != .T. .F. -5; refuses ; -- /*
    bool bracketNames = false;   // [any name]
    bool dateLiterals = false;   // #date#
    bool looseNumbers = false;   // .5 5. 1e3; integers too long become decimals
    bool signedValues = false;   // - and + before a number are tokens of their own
    bool notOperator = false;    // NOT, NOT LIKE, LIKE ... ESCAPE
    bool refuseCalls = false;    // name( and (SELECT are named as what they are
    bool chrIsKeyword = false;   // CHR is never a name, with or without '('
    int chrMin = 0;
    bool refusePlusAfterValue = false; // '+' joins text only, said at the '+'
    bool unbalancedAtOpen = false;     // a '(' left open is reported where it opened
};

class Parser {
public:
    Parser(const QString &text, const Dialect &dialect);

    // The whole text as one condition; whitespace only gives an empty one.
    Condition condition();

protected:
    static bool isKeyword(const Token &t, QStringView word);
    bool isReserved(const Token &t) const;

    const Token &peek(int ahead = 0);
    const Token &next();
    [[noreturn]] void fail(Problem problem, const Token &at, const QString &detail = {},
                           int related = -1) const;
    void expect(Tok type, const QString &what);
    void expectKeyword(QStringView word);
    void refuseCallOrSubquery();
    void countTerm();

    int parseOr(Condition &c, int depth);
    ColumnRef parseColumn();

    const QString &src_;
    const Dialect &d_;

private:
    Token lex();
    void lexText(Token &t);
    void lexNumber(Token &t);
    bool isDigit(QChar c) const;
    QChar charAt(int i) const { return i < int(src_.size()) ? src_.at(i) : QChar(); }
    [[noreturn]] void failAt(Problem problem, int pos, const QString &detail = {}) const;

    int addNode(Condition &c, ConditionNode node);
    int parseAnd(Condition &c, int depth);
    int parseUnary(Condition &c, int depth);
    Comparison parseComparison();
    Literal parseValue();
    QChar parseChr();

    // A deque, so a token held by reference survives the lexing of the next.
    std::deque<Token> toks_;
    size_t cur_ = 0;
    int lexPos_ = 0;
    int terms_ = 0;
};

} // namespace orvane::grammar
