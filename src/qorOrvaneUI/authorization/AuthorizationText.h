#pragma once

#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/Value.h>

#include <QString>

// Reading the host's and the transport's rows in the authorization views.
// Columns the database left NULL read as empty text or 0: an order line
// without a maker or a price is an ordinary line, not a failure.
namespace orvane::authorization {

inline QString textOf(const orvane::Recordset &rs, const QString &field)
{
    const orvane::Value v = rs.value(field);
    return v.isNull() ? QString() : v.toText();
}

inline double numberOf(const orvane::Recordset &rs, const QString &field)
{
    const orvane::Value v = rs.value(field);
    return v.isNull() ? 0.0 : v.toDouble();
}

inline bool flagOf(const orvane::Recordset &rs, const QString &field)
{
    const orvane::Value v = rs.value(field);
    return !v.isNull() && v.toBool();
}

// The value itself, a NULL read as a value never assigned.
inline orvane::Value valueOf(const orvane::Recordset &rs, const QString &field)
{
    const orvane::Value v = rs.value(field);
    return v.isNull() ? orvane::Value() : v;
}

// A text value for a record set criterion, quotes doubled, so a name holding a
// quote is simply not found instead of breaking the criterion.
inline QString quoted(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

} // namespace orvane::authorization
