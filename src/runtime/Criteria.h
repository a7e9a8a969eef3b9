#pragma once

#include "runtime/ConditionGrammar.h"
#include <qorOrvaneUI/runtime/Value.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include <QString>
#include <QStringView>

#include <functional>
#include <vector>

namespace orvane {

// Record set criteria: the texts Filter and Find take, in the shared
// condition grammar (ConditionGrammar.h) without NOT, table prefixes or .T./.F.
//
//   criteria   := orTerm
//   orTerm     := andTerm { OR andTerm }
//   andTerm    := primary { AND primary }
//   primary    := '(' orTerm ')' | comparison
//   comparison := field op value | field IS [NOT] NULL
//   field      := identifier | '[' any text but ']' ']'
//   op         := = <> < > <= >= LIKE
//   value      := text { '+' text } | number | #date# | TRUE | FALSE | NULL
//   text       := 'quoted, '' for one quote' | CHR(n)
//
// AND binds tighter than OR. Keywords ignore letter case. `field = NULL` and
// `field <> NULL` mean IS NULL and IS NOT NULL.

using grammar::CompareOp;

// One `field op value` clause.
struct Comparison {
    QString field; // as written, without brackets
    CompareOp op = CompareOp::Equal;
    Value literal;    // as written: Text, Int64, Double, Date, Bool (Null for the NULL tests)
    int position = 0; // 0-based offset of the clause in the criteria text
    // Filled in by Criteria::bind():
    int fieldIndex = -1;
    ValueKind fieldKind = ValueKind::Text;
    Value operand; // the literal in the field's kind (LIKE: the pattern text)
};

using CriteriaNode = grammar::ConditionNode;

// What a criteria's field name refers to; index -1 when there is no such field.
struct CriteriaField {
    int index = -1;
    ValueKind kind = ValueKind::Text;
};

// A parsed criteria text. Nodes live in one flat vector (no owning pointers),
// so neither destruction nor copying recurses, however long the text.
class Criteria {
public:
    using FieldResolver = std::function<CriteriaField(const QString &name)>;
    using RowReader = std::function<const Value &(int fieldIndex)>;

    // Longer texts and deeper nesting are refused as malformed: nothing the
    // library writes comes near, and it keeps hostile input from exhausting the stack.
    static constexpr int MaxLength = 65536;
    static constexpr int MaxDepth = 200;

    const QString &text() const { return text_; }
    bool isEmpty() const { return root_ < 0; }
    bool isSingleComparison() const;
    const std::vector<Comparison> &comparisons() const { return comparisons_; }
    const std::vector<CriteriaNode> &nodes() const { return nodes_; }
    int root() const { return root_; }

    // Resolves every field name and converts every literal to its field's kind,
    // once, so that evaluating a row does no parsing. Unknown fields and
    // literals that do not fit the field fail with 3001.
    void bind(const FieldResolver &resolve);
    bool isBound() const { return bound_; }

    // True when the row satisfies the criteria (an empty criteria matches all).
    // Needs bind() first.
    bool matches(const RowReader &row) const;

private:
    friend Criteria parseCriteria(const QString &text);
    bool matchesNode(int node, const RowReader &row) const;

    QString text_;
    std::vector<Comparison> comparisons_;
    std::vector<CriteriaNode> nodes_;
    int root_ = -1;
    bool bound_ = false;
};

// Parses a criteria text; whitespace only gives an empty criteria. Malformed
// text fails with 3001, the description naming the offending text and position.
Criteria parseCriteria(const QString &text);

// The 3001 error with `detail` appended to the standard description.
VbError criteriaError(const QString &detail);

// LIKE matching: `*` and `%` stand for any run of characters, letter case is
// ignored. `_` and `?` are ordinary characters, since part numbers contain them.
bool likeMatch(QStringView text, QStringView pattern);

} // namespace orvane
