#include "runtime/FieldTypes.h"
#include "runtime/Criteria.h"
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/VbError.h>

using namespace Qt::StringLiterals;

namespace orvane {

namespace {

bool isPair(const QString &s, qsizetype i)
{
    return s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate();
}

} // namespace

namespace detail {

int defaultWidth(int type)
{
    switch (type) {
    case ftype::Int32:
        return 4;
    case ftype::Bool:
        return 2;
    case ftype::Int64:
    case ftype::Double:
    case ftype::Currency:
    case ftype::Date:
        return 8;
    default:
        return 0;
    }
}

qsizetype characterCount(const QString &s)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < s.size(); ++i, ++n)
        if (isPair(s, i))
            ++i;
    return n;
}

} // namespace detail

QString fitText(const QString &text, int definedSize)
{
    // Fewer UTF-16 units than the size: fewer characters too.
    if (definedSize <= 0 || text.size() <= definedSize)
        return text;
    qsizetype i = 0;
    for (int n = definedSize; i < text.size() && n > 0; ++i, --n)
        if (isPair(text, i))
            ++i;
    return text.left(i);
}

bool isTextType(int typeCode)
{
    switch (typeCode) {
    case 8:
    case 129:
    case 130:
    case 200:
    case 201:
    case 202:
    case 203:
        return true;
    default:
        return false;
    }
}

ValueKind kindOfType(int typeCode)
{
    if (isTextType(typeCode))
        return ValueKind::Text;
    switch (typeCode) {
    case ftype::Int32:
        return ValueKind::Int32;
    case ftype::Int64:
        return ValueKind::Int64;
    case ftype::Double:
        return ValueKind::Double;
    case ftype::Currency:
        return ValueKind::Currency;
    case ftype::Date:
        return ValueKind::Date;
    case ftype::Bool:
        return ValueKind::Bool;
    default:
        throw criteriaError(u"Unsupported field type "_s % QString::number(typeCode) % u"."_s);
    }
}

} // namespace orvane
