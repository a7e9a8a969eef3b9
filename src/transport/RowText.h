#pragma once

#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/Value.h>

#include <QDate>
#include <QString>
#include <QStringBuilder>

// Small row and text helpers the network's answerer, the simulator and the
// service share: a program identifier as text, a value quoted for a filter, a
// row's cell as document text, a value stored to fit its column.
namespace orvane::transport::rowtext {

inline QString progId(const char16_t *id)
{
    return QString::fromUtf16(id);
}

// A value as the filter dialect quotes it: the same splices the library's own
// quoting makes, so no document text can end the quoted value early.
inline QString quoted(QString text)
{
    using namespace Qt::StringLiterals;
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    text.replace(u"'"_s, u"' + CHR(39) + '"_s);
    text.replace(u"\r"_s, u"' + CHR(13) + '"_s);
    text.replace(u"\n"_s, u"' + CHR(10) + '"_s);
    return u"'"_s % text % u"'"_s;
}

// The current row's value as a document carries it: dates as YYYYMMDD, other
// values trimmed; empty when there is no row, field or value.
inline QString cell(const Recordset &rs, const QString &name)
{
    using namespace Qt::StringLiterals;
    if (rs.eof() || rs.bof() || rs.fieldIndex(name) < 0)
        return {};
    const Value v = rs.value(name);
    if (v.isNull() || v.isEmpty())
        return {};
    if (v.kind() == ValueKind::Date)
        return v.toDate().date().toString(u"yyyyMMdd"_s);
    return v.toText().trimmed();
}

// Stores a value so that it fits the column: documents are the network's
// input and may carry longer texts than a column holds.
inline void put(Recordset &rs, const QString &name, const Value &value)
{
    Field field = rs.field(name);
    if (isTextType(field.type()) && !value.isNull()) {
        field.setValue(field.fitted(value.toText()));
        return;
    }
    field.setValue(value);
}

} // namespace orvane::transport::rowtext
