// Criteria texts from anywhere must give a result or a clean error, never a crash.
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;

namespace {

orvane::Recordset &table()
{
    static orvane::Recordset rs = [] {
        orvane::Recordset r;
        r.appendField(u"PartNo"_s, orvane::ftype::Text, 10);
        r.appendField(u"Qty"_s, orvane::ftype::Int32);
        r.appendField(u"Placed"_s, orvane::ftype::Date);
        r.appendField(u"Filter"_s, orvane::ftype::Bool);
        r.appendField(u"Price"_s, orvane::ftype::Currency);
        r.appendField(u"Rate"_s, orvane::ftype::Double);
        r.open();
        for (int i = 0; i < 20; ++i) {
            r.addNew();
            r.setValue(u"PartNo"_s, QString(u"P'"_s + QString::number(i)));
            if (i % 2)
                r.setValue(u"Qty"_s, i);
            if (i % 5 == 0)
                r.setValue(u"Placed"_s, orvane::Value::null());
            r.setValue(u"Filter"_s, i % 3 == 0);
            r.update();
        }
        return r;
    }();
    return rs;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    orvane::Recordset rs = table().clone();
    try {
        rs.setFilter(text);
        (void)rs.recordCount();
    } catch (const orvane::VbError &) {
    }
    try {
        rs.setFilter(QString());
        rs.moveFirst();
        rs.find(text);
    } catch (const orvane::VbError &) {
    }
    return 0;
}
