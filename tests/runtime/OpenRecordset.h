#pragma once

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

} // namespace orvane::test
