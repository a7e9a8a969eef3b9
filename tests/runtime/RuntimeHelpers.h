#pragma once

#include "support/TestHelpers.h"
#include <qorOrvaneUI/runtime/Recordset.h>

#include <initializer_list>

namespace orvane::test {

struct FieldSpec {
    QString name;
    int type;
    int size = 0;
};

// An open, empty record set with these fields, in this order.
inline Recordset openRecordset(std::initializer_list<FieldSpec> fields)
{
    Recordset rs;
    for (const FieldSpec &f : fields)
        rs.appendField(f.name, f.type, f.size);
    rs.open();
    return rs;
}

// What a call raises as "number source: description", to check all three at once.
inline QString errorText(const std::function<void()> &f)
{
    const VbError e = raised(f);
    return QString::number(e.number()) + u' ' + e.source() + u": " + e.description();
}

} // namespace orvane::test
