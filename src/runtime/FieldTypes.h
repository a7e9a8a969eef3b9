#pragma once

#include <QString>

// The type rules record set fields share: defined sizes and character counts.
namespace orvane::detail {

// The defined size of a field declared without one.
int defaultWidth(int type);

// Declared lengths count characters, so a character outside the basic plane
// counts once.
qsizetype characterCount(const QString &s);

} // namespace orvane::detail
