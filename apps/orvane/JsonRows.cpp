#include "orvane/JsonRows.h"

#include "runtime/vb.h"

using namespace Qt::StringLiterals;
using orvane::Value;
using orvane::ValueKind;

namespace JsonRows {

QByteArray quote(const QString &text)
{
    // Escape in UTF-16 first so surrogate pairs reach the UTF-8 encoder whole.
    QString out;
    out.reserve(text.size() + 2);
    out.append(u'"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            out.append(u"\\\""_s);
            break;
        case u'\\':
            out.append(u"\\\\"_s);
            break;
        case u'\n':
            out.append(u"\\n"_s);
            break;
        case u'\r':
            out.append(u"\\r"_s);
            break;
        case u'\t':
            out.append(u"\\t"_s);
            break;
        default:
            if (c.unicode() < 0x20)
                out.append(QString::asprintf("\\u%04x", unsigned(c.unicode())));
            else
                out.append(c);
        }
    }
    out.append(u'"');
    return out.toUtf8();
}

QByteArray value(const Value &v)
{
    switch (v.kind()) {
    case ValueKind::Empty:
    case ValueKind::Null:
        return "null";
    case ValueKind::Text:
        return quote(*v.get<QString>());
    case ValueKind::Int32:
        return QByteArray::number(*v.get<std::int32_t>());
    case ValueKind::Int64:
        return QByteArray::number(qlonglong(*v.get<std::int64_t>()));
    case ValueKind::Double:
        return vb::NumberText(*v.get<double>()).toLatin1();
    case ValueKind::Currency:
        return vb::CurrencyText(*v.get<orvane::Currency>()).toLatin1();
    case ValueKind::Bool:
        return *v.get<bool>() ? "true" : "false";
    case ValueKind::Date: {
        const orvane::DateValue &d = *v.get<orvane::DateValue>();
        QString text = d.date().toString(u"yyyy-MM-dd"_s);
        if (d.msecs != 0)
            text += u"T"_s + vb::FormatHHMMSS(d.time());
        return quote(text);
    }
    }
    return "null";
}

QByteArray rows(const orvane::Recordset &source)
{
    // A clone walks the shared rows without moving the caller's cursor.
    orvane::Recordset rs = source.clone();
    rs.setFilter(source.filter());
    QByteArray out = "[";
    bool firstRow = true;
    if (rs.recordCount() > 0)
        rs.moveFirst();
    for (; rs.recordCount() > 0 && !rs.eof(); rs.moveNext()) {
        out.append(firstRow ? "\n    {" : ",\n    {");
        firstRow = false;
        for (int i = 0; i < rs.fieldCount(); ++i) {
            if (i > 0)
                out.append(", ");
            out.append(quote(rs.fieldDef(i).name));
            out.append(": ");
            out.append(value(rs.field(i).value()));
        }
        out.append('}');
    }
    out.append(firstRow ? "]" : "\n  ]");
    return out;
}

} // namespace JsonRows
