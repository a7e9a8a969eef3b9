#pragma once

#include <QString>

#include <span>

// What the library reads and writes through the host's objects and which
// queries it runs on the host's databases: one table, from which the host
// guide's field and query tables are written, and against which the tests
// hold every flow.
namespace orvane::contract {

// Flows, as letters in `flows`: D shows a dispatch, L links a dispatch to an
// order and compares (ChooseDispatch, and the loss wait's dispatch), A part
// authorization, N the loss notice, C the coverage answer and the loss wait.
struct Field {
    const char16_t *record; // "order", "line", "shop", "user", "party", "result"
    const char16_t *name;   // as the library spells it; matched without regard to case
    const char16_t *type;   // text(n), number, flag, date
    const char16_t *flows;
    const char16_t *access; // "read", "write" or "read, write"
    const char16_t *note;
};

struct Query {
    const char16_t *through; // the host object the text goes to
    const char16_t *text;    // %1, %2: values the library fills in
    const char16_t *flows;
    const char16_t *note;
};

struct LineCode {
    const char16_t *rule;
    const char16_t *meaning;
};

std::span<const Field> fields();
std::span<const Query> queries();
std::span<const LineCode> lineCodes();

bool knownField(const QString &record, const QString &name);
// True when `text` is one of the queries, its %n places taking any value.
bool knownQuery(const QString &text);

// The guide's tables, as the text between the contract markers of
// docs/host-guide.md.
QString markdown();

} // namespace orvane::contract
