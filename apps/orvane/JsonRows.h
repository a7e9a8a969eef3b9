#pragma once

#include <qorOrvaneUI/runtime/Recordset.h>

#include <QByteArray>

// Record-set rows as JSON, keeping the field order: one object per row, keys
// the field names, never-assigned fields null, dates "YYYY-MM-DD".
namespace JsonRows {

QByteArray quote(const QString &text);
QByteArray value(const orvane::Value &v);
// Every row the record set's filter lets through, from the first; the cursor
// is left where it was.
QByteArray rows(const orvane::Recordset &rs);

} // namespace JsonRows
