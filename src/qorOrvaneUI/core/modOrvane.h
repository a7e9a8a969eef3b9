#pragma once

#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/Value.h>

#include <QString>

// Small utilities the forms and classes share.
namespace orvane::modOrvane {

// A fresh identifier as 32 upper-case hexadecimal digits, its bytes in the order
// the platform's identifier structure lies in memory (the first three fields
// least significant byte first); empty text when none could be made.
QString CreateGUIDString();

// The value's text made safe to stand between single quotes in a query text:
// cut at a NUL, trimmed of spaces, and with quotes, CR LF pairs and line feeds
// spliced out as "' + CHR(n) + '". Null gives empty text.
QString SQLSafeText(const orvane::Value &value);

// Stores a value into a field so that it never overflows it: text fields get
// the value's text trimmed of spaces and cut to the defined size (10000 or more
// is unlimited); other fields get the value unchanged. Failures are passed up
// with source "setRSValue".
void setRSValue(orvane::Field field, const orvane::Value &value);

// Whether the record set has a field of that name (case ignored). Never fails.
bool FieldExists(const orvane::Recordset &rs, const QString &name);

// The field's text on the current row; empty for Null. Fails as the record
// set does (3265 for an unknown field, 3021 for no current row).
QString FieldText(const orvane::Recordset &rs, const QString &name);

// The line break of message texts and stored documents.
inline const QString CRLF = QStringLiteral("\r\n");

} // namespace orvane::modOrvane
