#include <qorOrvaneUI/host/HostBase.h>

#include "qorOrvaneUI/core/FieldContract.h"
#include <qorOrvaneUI/external/IHostItem.h>
#include <qorOrvaneUI/external/ILineItems.h>
#include <qorOrvaneUI/external/IOrderCar.h>
#include <qorOrvaneUI/external/IShop.h>
#include <qorOrvaneUI/external/IUser.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include <QSettings>
#include <QStringBuilder>
#include <QtGlobal>

using namespace Qt::StringLiterals;

namespace orvane::hostbase {

namespace {

// A contract type ("text(30)", "integer", "double", "money", "flag", "date")
// as a record set field.
void appendContractField(Recordset &rs, const QString &name, const QString &type)
{
    if (type.startsWith(u"text"_s)) {
        const qsizetype open = type.indexOf(u'(');
        rs.appendField(name, ftype::Text, open < 0 ? 0 : type.mid(open + 1).chopped(1).toInt());
    } else if (type == u"integer"_s) {
        rs.appendField(name, ftype::Int32);
    } else if (type == u"double"_s) {
        rs.appendField(name, ftype::Double);
    } else if (type == u"money"_s) {
        rs.appendField(name, ftype::Currency);
    } else if (type == u"flag"_s) {
        rs.appendField(name, ftype::Bool);
    } else {
        rs.appendField(name, ftype::Date);
    }
}

Recordset contractRecord(const char16_t *record)
{
    Recordset rs;
    for (const contract::Field &f : contract::fields())
        if (QStringView(f.record) == QStringView(record) &&
            rs.fieldIndex(QString::fromUtf16(f.name)) < 0)
            appendContractField(rs, QString::fromUtf16(f.name), QString::fromUtf16(f.type));
    rs.open();
    return rs;
}

class Lines : public ext::ILineItems {
public:
    explicit Lines(Recordset rows) : rows_(std::move(rows)) {}
    Recordset itemsrecordset() const override { return rows_; }

private:
    Recordset rows_;
};

class RecordCar : public ext::IOrderCar {
public:
    explicit RecordCar(Recordset order) : order_(std::move(order)) {}
    Value Year() const override { return order_.value(u"year"_s); }
    Value make() const override { return order_.value(u"make"_s); }
    Value model() const override { return order_.value(u"model"_s); }
    Value body() const override { return order_.value(u"body"_s); }
    Value carid() const override { return order_.value(u"carid"_s); }
    Value vin() const override { return order_.value(u"vin"_s); }

private:
    Recordset order_;
};

class NamedUser : public ext::IUser {
public:
    NamedUser(QString first, QString last) : first_(std::move(first)), last_(std::move(last)) {}
    QString Item(const QString &name) const override
    {
        if (name.compare(u"First"_s, Qt::CaseInsensitive) == 0)
            return first_;
        return name.compare(u"Last"_s, Qt::CaseInsensitive) == 0 ? last_ : QString();
    }

private:
    QString first_, last_;
};

// The shop as its participant ID: every look-up finds the one shop.
class OneShop : public ext::IShop {
public:
    explicit OneShop(const QString &pid)
    {
        shop_.appendField(u"OrvaneShopID"_s, ftype::Text);
        shop_.open();
        shop_.addNew();
        shop_.setValue(u"OrvaneShopID"_s, pid);
        shop_.update();
    }
    void getshopbyid(const Value &) override {}
    void getshops(const QString &) override {}
    int RecordCount() const override { return shop_.recordCount(); }
    Recordset itemsrecordset() const override { return shop_; }

private:
    Recordset shop_;
};

} // namespace

IniOptions::IniOptions(QString hostIni, std::shared_ptr<ext::IDataCommand> command)
    : hostIni_(std::move(hostIni)), command_(std::move(command))
{
}

QString IniOptions::readinistring(const QString &section, const QString &key,
                                  const QString &file) const
{
    const QSettings ini(file, QSettings::IniFormat);
    return ini.value(section % u'/' % key).toString();
}

void IniOptions::writeinistring(const QString &section, const QString &key, const QString &value,
                                const QString &file)
{
    QSettings ini(file, QSettings::IniFormat);
    ini.setValue(section % u'/' % key, value);
    ini.sync();
    if (ini.status() != QSettings::NoError)
        throw VbError(err::Unspecified, u"qorOrvaneUI.IniOptions"_s,
                      u"Cannot write the settings file "_s % file);
}

void LoggingErrorClass::ErrorHandle(int, const QString &procedure, const QString &text, long number,
                                    int ErrorLine, std::optional<int>)
{
    ++reports_;
    if (number == 0)
        qWarning("qorOrvaneUI: %s", qUtf8Printable(text));
    else
        qWarning("qorOrvaneUI reported error %ld in %s, line %d: %s", number,
                 qUtf8Printable(procedure), ErrorLine, qUtf8Printable(text));
}

Environment::Environment(QString dataPath, const QString &nagsPath,
                         std::shared_ptr<ext::IDataCommand> command)
    : dataPath_(std::move(dataPath)), nagsPath_(nagsPath.isEmpty() ? dataPath_ : nagsPath)
{
    if (!command)
        command = std::make_shared<NoDataCommand>();
    else if (command->constructstring().isEmpty())
        command->setconstructstring(GetConnectString(dataPath_, 0));
    options = std::make_shared<IniOptions>(dataPath_ + u"host.ini"_s, std::move(command));
}

QString Environment::GetConnectString(const QString &folder, int) const
{
    return u"QSQLITE:"_s % folder % u"orvane.db"_s;
}

std::shared_ptr<ext::IUser> Environment::currentuser() const
{
    return std::make_shared<NamedUser>(userFirst, userLast);
}

std::shared_ptr<ComObject> Environment::safecreateobj(int kind)
{
    if (kind == ext::objkind::Shop)
        return std::make_shared<OneShop>(shopPid);
    return nullptr;
}

Invoice::Invoice(std::shared_ptr<ext::IEnvironment> env)
    : order(orderRecord()), lines(lineRecord()), env_(std::move(env))
{
    order.addNew();
    order.update();
}

Recordset Invoice::orderRecord()
{
    return contractRecord(u"order");
}

Recordset Invoice::lineRecord()
{
    return contractRecord(u"line");
}

std::shared_ptr<ext::ILineItems> Invoice::getlineitems()
{
    return std::make_shared<Lines>(lines);
}

std::shared_ptr<ext::IOrderCar> Invoice::Item(const QString &name) const
{
    if (name.trimmed().compare(u"car"_s, Qt::CaseInsensitive) != 0)
        return nullptr;
    return std::make_shared<RecordCar>(order.clone());
}

void Invoice::copyIn(const Recordset &item)
{
    for (const FieldDef &f : item.fields())
        if (f.name.compare(u"idnumber"_s, Qt::CaseInsensitive) != 0 &&
            order.fieldIndex(f.name) >= 0)
            order.setValue(f.name, item.value(f.name));
    order.update();
}

} // namespace orvane::hostbase
