#include "host/ReferenceHost.h"

#include "host/AgentControl.h"
#include "host/HostControlUI.h"
#include "host/HostDataCommand.h"
#include "host/HostEnvironment.h"
#include "host/HostInvoice.h"
#include "host/HostOrderList.h"
#include "host/HostShop.h"
#include "host/HostVehicle.h"
#include "host/ShopDatabase.h"
#include "host/VehicleChooserDialog.h"
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>

#include <QDir>
#include <QMutex>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace orvane::host {

namespace {

const QString Source = u"qorHost.ReferenceHost"_s;

QString withSlash(const QString &folder)
{
    QString f = QDir::fromNativeSeparators(folder);
    if (!f.endsWith(u'/'))
        f += u'/';
    return f;
}

// The host whose classes the registry creates: the one opened last.
QMutex currentMutex;
std::weak_ptr<ReferenceHost> currentHost;

std::shared_ptr<ReferenceHost> current()
{
    QMutexLocker lock(&currentMutex);
    return currentHost.lock();
}

template <class Make> ObjectRegistry::Factory factory(Make make)
{
    return [make]() -> std::shared_ptr<ComObject> {
        auto host = current();
        return host ? make(*host) : nullptr;
    };
}

} // namespace

std::shared_ptr<ReferenceHost> ReferenceHost::open(const QString &dataFolder,
                                                   const QString &nagsFolder)
{
    return open(dataFolder, nagsFolder, Settings{});
}

std::shared_ptr<ReferenceHost> ReferenceHost::open(const QString &dataFolder,
                                                   const QString &nagsFolder, Settings settings)
{
    std::shared_ptr<ReferenceHost> host(new ReferenceHost);
    host->dataPath_ = withSlash(dataFolder);
    host->nagsPath_ = withSlash(nagsFolder);
    host->settings_ = std::move(settings);
    if (!QDir().mkpath(host->dataPath_) || !QDir().mkpath(host->nagsPath_))
        throw VbError(err::Unspecified, Source,
                      u"Cannot create the folders "_s % host->dataPath_ % u" and "_s %
                          host->nagsPath_);
    const QString shopConnection =
        host->settings_.shopConnection.isEmpty()
            ? ShopDatabase::sqliteConnection(host->dataPath_ % u"shop.sqlite"_s)
            : host->settings_.shopConnection;
    host->shop_ = ShopDatabase::open(ShopDatabase::Kind::Shop, shopConnection);
    host->catalogue_ =
        ShopDatabase::open(ShopDatabase::Kind::Catalogue,
                           ShopDatabase::sqliteConnection(host->nagsPath_ % u"catalogue.sqlite"_s));

    // The environment's makers hold the host weakly: the host owns the environment.
    std::weak_ptr<ReferenceHost> weak = host;
    EnvironmentConfig config;
    config.dataPath = host->dataPath_;
    config.nagsPath = host->nagsPath_;
    config.location = host->settings_.location;
    config.securityToken = host->settings_.securityToken;
    config.userFirst = host->settings_.userFirst;
    config.userLast = host->settings_.userLast;
    config.daskIni = host->dataPath_ % u"qorHost.ini"_s;
    config.safecreateobj = [weak](int kind) -> std::shared_ptr<ComObject> {
        auto h = weak.lock();
        if (!h)
            return nullptr;
        if (kind == ext::objkind::OrderList)
            return std::make_shared<HostOrderList>(h->shop_);
        if (kind == ext::objkind::Shop)
            return std::make_shared<HostShop>(h->shop_);
        return nullptr;
    };
    config.nagsCreate = [weak](int kind) -> std::shared_ptr<ComObject> {
        if (weak.expired() || kind != ext::objkind::NagsCar)
            return nullptr;
        return std::make_shared<HostVehicle>();
    };
    config.uiCreate = [weak](int kind) -> std::shared_ptr<ComObject> {
        auto h = weak.lock();
        if (!h || kind != ext::objkind::VehicleChooser)
            return nullptr;
        return std::make_shared<HostVehicleChooser>(h->catalogue_);
    };
    config.makeDataCommand = [weak]() -> std::shared_ptr<ext::IDataCommand> {
        auto h = weak.lock();
        return h ? h->makeDataCommand() : nullptr;
    };
    config.connectString = [weak](const QString &folder, int) {
        auto h = weak.lock();
        return h ? h->connectString(folder) : QString();
    };
    host->env_ = std::make_shared<HostEnvironment>(std::move(config));
    host->registerClasses();
    return host;
}

ReferenceHost::~ReferenceHost() = default;

void ReferenceHost::registerClasses()
{
    {
        QMutexLocker lock(&currentMutex);
        currentHost = weak_from_this();
    }
    ObjectRegistry &registry = ObjectRegistry::instance();
    registry.registerClass(
        QString::fromUtf16(ext::progid::ControlUI),
        factory([](ReferenceHost &h) { return std::make_shared<HostControlUI>(h.dataPath_); }));
    registry.registerClass(QString::fromUtf16(ext::progid::qorAgent), factory([](ReferenceHost &h) {
                               return std::make_shared<AgentControl>(h.shop_);
                           }));
    registry.registerClass(u"qorHost.Invoice"_s,
                           factory([](ReferenceHost &h) { return h.newOrder(); }));
    registry.registerClass(u"qorHost.OrderList"_s, factory([](ReferenceHost &h) {
                               return std::make_shared<HostOrderList>(h.shop_);
                           }));
    registry.registerClass(u"qorHost.Shop"_s, factory([](ReferenceHost &h) {
                               return std::make_shared<HostShop>(h.shop_);
                           }));
    registry.registerClass(u"qorHost.Vehicle"_s, factory([](ReferenceHost &) {
                               return std::make_shared<HostVehicle>();
                           }));
    registry.registerClass(u"qorHost.VehicleChooser"_s, factory([](ReferenceHost &h) {
                               return std::make_shared<HostVehicleChooser>(h.catalogue_);
                           }));
    registry.registerClass(u"qorHost.DataCommand"_s,
                           factory([](ReferenceHost &h) { return h.makeDataCommand(); }));
}

std::shared_ptr<HostInvoice> ReferenceHost::openOrder(const Value &idnumber)
{
    return HostInvoice::load(shop_, env_, idnumber);
}

std::shared_ptr<HostInvoice> ReferenceHost::newOrder()
{
    return HostInvoice::create(shop_, env_, settings_.location, Value(1));
}

QString ReferenceHost::connectString(const QString &folder) const
{
    if (withSlash(folder).compare(nagsPath_, Qt::CaseInsensitive) == 0)
        return catalogue_->connectionText();
    return shop_->connectionText();
}

std::shared_ptr<ShopDatabase> ReferenceHost::databaseFor(const QString &connection) const
{
    const QString c = connection.trimmed();
    if (c.isEmpty() || c == shop_->connectionText())
        return shop_;
    if (c == catalogue_->connectionText())
        return catalogue_;
    return nullptr;
}

std::shared_ptr<ext::IDataCommand> ReferenceHost::makeDataCommand() const
{
    std::weak_ptr<const ReferenceHost> weak = weak_from_this();
    return std::make_shared<HostDataCommand>(
        shop_->connectionText(),
        [weak](const QString &connection) -> std::shared_ptr<ShopDatabase> {
            auto h = weak.lock();
            return h ? h->databaseFor(connection) : nullptr;
        });
}

// --- demo data ---------------------------------------------------------------------

namespace {

void insertRows(ShopDatabase &db, const QString &table, const QStringList &columns,
                const std::vector<QVariantList> &rows)
{
    const QString text = db.dialect().insertIgnore(table, columns);
    for (QVariantList row : rows) {
        // Text left out is empty text; only QVariant() means NULL.
        for (QVariant &v : row)
            if (v.metaType().id() == QMetaType::QString && v.toString().isNull())
                v = u""_s;
        db.exec(text, row);
    }
}

} // namespace

void ReferenceHost::seedDemo()
{
    {
        ShopDatabase &db = *shop_;
        TransactionGuard guard(db.db(), Source);
        insertRows(db, u"customer"_s,
                   {u"shopid"_s, u"name"_s, u"address"_s, u"city"_s, u"state"_s, u"zip"_s,
                    u"phone"_s, u"user2"_s},
                   {{1, u"Harbor Auto Glass"_s, u"410 Dock Street"_s, u"Portland"_s, u"OR"_s,
                     u"97201"_s, u"503-555-0140"_s, u"RPID00417"_s},
                    {2, u"Harbor Auto Glass East"_s, u"88 Mill Road"_s, u"Gresham"_s, u"OR"_s,
                     u"97030"_s, u"503-555-0199"_s, QVariant()}});
        insertRows(db, u"billto"_s,
                   {u"billto_id"_s, u"b_company"_s, u"b_address"_s, u"b_city"_s, u"b_state"_s,
                    u"b_zip"_s, u"b_area"_s, u"b_phone"_s, u"orvaneid"_s},
                   {{1, u"Cascade Mutual Insurance"_s, u"PO Box 4410"_s, u"Salem"_s, u"OR"_s,
                     u"97301"_s, u"503"_s, u"5550101"_s, u"CMI01"_s},
                    {2, u"Northstar Casualty"_s, u"1200 Grand Ave"_s, u"Seattle"_s, u"WA"_s,
                     u"98101"_s, u"206"_s, u"5550177"_s, u"NSC07"_s},
                    {3, u"Cash Customer"_s, QString(), QString(), QString(), QString(), QString(),
                     QString(), QString()}});
        insertRows(db, u"discounts"_s, {u"discountid"_s, u"discounttext"_s, u"discountpct"_s},
                   {{1, u"Insurance network 25%"_s, 25.0},
                    {2, u"Fleet 10%"_s, 10.0},
                    {3, u"No discount"_s, 0.0}});
        insertRows(
            db, u"agents"_s,
            {u"agentid"_s, u"a_company"_s, u"a_first"_s, u"a_last"_s, u"a_area"_s, u"a_phone"_s},
            {{1, u"Bridgeway Insurance"_s, u"Dana"_s, u"Okafor"_s, u"503"_s, u"5550123"_s},
             {2, u"Bridgeway Insurance"_s, u"Lee"_s, u"Okamoto"_s, u"503"_s, u"5550124"_s},
             {3, u"Summit Agency"_s, u"Maria"_s, u"Lindqvist"_s, u"360"_s, u"5550188"_s},
             {4, u"Summit Agency"_s, u"Tom"_s, u"O'Neill"_s, u"360"_s, u"5550189"_s}});
        insertRows(db, u"g_insurer"_s, {u"insurerkey"_s, u"orvaneid"_s, u"insurer"_s},
                   {{1, u"CMI01"_s, u"Cascade Mutual Insurance"_s},
                    {2, u"NSC07"_s, u"Northstar Casualty"_s},
                    {3, u"PVA12"_s, u"Pioneer Valley Assurance"_s}});

        const QStringList orderColumns{
            u"idnumber"_s,     u"location"_s,    u"shopid"_s,     u"type"_s,      u"quoteid"_s,
            u"invoiceid"_s,    u"workid"_s,      u"callbackid"_s, u"voidmsg"_s,   u"orderdate"_s,
            u"lossdate"_s,     u"s_first"_s,     u"s_last"_s,     u"s_address"_s, u"s_city"_s,
            u"s_state"_s,      u"s_zip"_s,       u"s_area2"_s,    u"s_phone2"_s,  u"policy"_s,
            u"claim"_s,        u"carid"_s,       u"year"_s,       u"make"_s,      u"model"_s,
            u"body"_s,         u"vin"_s,         u"billto_id"_s,  u"b_company"_s, u"discountid"_s,
            u"discounttext"_s, u"discountpct"_s, u"taxrate"_s,    u"agentid"_s,   u"a_company"_s,
            u"a_first"_s,      u"a_last"_s,      u"a_area"_s,     u"a_phone"_s,   u"deductible"_s};
        const QDate today(2026, 3, 2);
        auto order = [&](int id, const QString &type, int q, int inv, int work,
                         const QString &voidmsg, const QString &first, const QString &last,
                         const QString &carid, const QString &year, const QString &make,
                         const QString &model, const QString &body, const QString &vin) {
            return QVariantList{id,
                                1,
                                1,
                                type,
                                q,
                                inv,
                                work,
                                0,
                                voidmsg,
                                today.addDays(-id),
                                today.addDays(-id - 3),
                                first,
                                last,
                                u"12 Elm Street"_s,
                                u"Portland"_s,
                                u"OR"_s,
                                u"97205"_s,
                                u"503"_s,
                                QString(u"5550"_s % QString::number(170 + id)),
                                QString(u"POL-88"_s % QString::number(id)),
                                QString(u"CLM-40"_s % QString::number(id)),
                                carid,
                                year,
                                make,
                                model,
                                body,
                                vin,
                                1,
                                u"Cascade Mutual Insurance"_s,
                                1,
                                u"Insurance network 25%"_s,
                                25.0,
                                8.0,
                                1,
                                u"Bridgeway Insurance"_s,
                                u"Dana"_s,
                                u"Okafor"_s,
                                u"503"_s,
                                u"5550123"_s,
                                100.0};
        };
        insertRows(
            db, u"invoice"_s, orderColumns,
            {order(1, u"quote"_s, 1001, 0, 0, QString(), u"Alex"_s, u"Morgan"_s, u"CV14017"_s,
                   u"2019"_s, u"Honda"_s, u"Civic"_s, u"4 Door Sedan"_s, u"2HGFC2F59KH500001"_s),
             order(2, u"invoice"_s, 1002, 5001, 0, QString(), u"Jordan"_s, u"Baker"_s, u"CV15022"_s,
                   u"2021"_s, u"Toyota"_s, u"Camry"_s, u"4 Door Sedan"_s, u"4T1B11HK5MU000002"_s),
             order(3, u"workorder"_s, 1003, 0, 7001, QString(), u"Casey"_s, u"Nguyen"_s,
                   u"CV16031"_s, u"2020"_s, u"Ford"_s, u"F-150"_s, u"Pickup"_s,
                   u"1FTEW1EP1LF000003"_s),
             order(4, u"void"_s, 1004, 0, 0, u"CUSTOMER CANCELLED"_s, u"Riley"_s, u"Chen"_s,
                   u"CV14108"_s, u"2018"_s, u"Subaru"_s, u"Outback"_s, u"4 Door Wagon"_s,
                   u"4S4BSANC5J3000004"_s)});
        const QStringList lineColumns{
            u"lineid"_s,     u"idnumber"_s, u"lineno"_s,      u"mfr_part"_s, u"part"_s,
            u"typeofpart"_s, u"mfr"_s,      u"description"_s, u"net"_s,      u"kit"_s,
            u"labor"_s,      u"list"_s,     u"discounted"_s,  u"quantity"_s};
        std::vector<QVariantList> lines;
        int lineId = 1;
        for (int id = 1; id <= 4; ++id) {
            lines.push_back({lineId++, id, 1, u"FW04521GTYN"_s, u"FW04521GTYN"_s, u"G WS"_s,
                             u"NAG"_s, u"Windshield, solar tint"_s, 312.40, 0.0, 0.0, 415.00, true,
                             1});
            lines.push_back({lineId++, id, 2, u"MLD4521"_s, u"MLD4521"_s, u"H MO"_s, u"2"_s,
                             u"Windshield moulding"_s, 38.50, 0.0, 0.0, 52.00, true, 1});
            lines.push_back({lineId++, id, 3, u"KIT URE"_s, u"KIT"_s, u"K LU"_s, u"NAG"_s,
                             u"Urethane kit"_s, 0.0, 24.00, 0.0, 24.00, false, 1});
            lines.push_back({lineId++, id, 4, u"LABOR WS"_s, u"LABOR"_s, u"L"_s, QString(),
                             u"Install windshield"_s, 0.0, 0.0, 120.00, 120.00, false, 1});
        }
        insertRows(db, u"invline"_s, lineColumns, lines);
        for (const QString &t : {u"customer"_s, u"billto"_s, u"discounts"_s, u"agents"_s,
                                 u"g_insurer"_s, u"invoice"_s, u"invline"_s}) {
            const QString resync = db.dialect().resyncKey(t, db.table(t).key);
            if (!resync.isEmpty())
                db.exec(resync);
        }
        guard.commit();
    }
    {
        ShopDatabase &db = *catalogue_;
        TransactionGuard guard(db.db(), Source);
        insertRows(db, u"pos"_s, {u"pos_cd"_s, u"name"_s},
                   {{u"F"_s, u"Front"_s}, {u"R"_s, u"Rear"_s}, {u"M"_s, u"Middle"_s}});
        insertRows(db, u"rel_loc"_s, {u"rel_loc_cd"_s, u"name"_s},
                   {{u"U"_s, u"Upper"_s},
                    {u"L"_s, u"Lower"_s},
                    {u"V"_s, u"Vent"_s},
                    {u"Q"_s, u"Quarter"_s}});
        insertRows(db, u"side"_s, {u"side_cd"_s, u"name"_s},
                   {{u"L"_s, u"Left"_s}, {u"R"_s, u"Right"_s}, {u"C"_s, u"Center"_s}});
        struct Car {
            const char16_t *id;
            int year;
            const char16_t *make, *model, *body, *vin;
        };
        static const Car cars[] = {
            {u"CV14017", 2019, u"Honda", u"Civic", u"4 Door Sedan", u"2HGFC2F5"},
            {u"CV14018", 2019, u"Honda", u"Civic", u"2 Door Coupe", u"2HGFC3B3"},
            {u"CV14020", 2019, u"Honda", u"Accord", u"4 Door Sedan", u"1HGCV1F3"},
            {u"CV15022", 2021, u"Toyota", u"Camry", u"4 Door Sedan", u"4T1B11HK"},
            {u"CV15023", 2021, u"Toyota", u"Corolla", u"4 Door Sedan", u"5YFEPMAE"},
            {u"CV15024", 2021, u"Toyota", u"RAV4", u"4 Door Utility", u"2T3P1RFV"},
            {u"CV16031", 2020, u"Ford", u"F-150", u"Pickup", u"1FTEW1EP"},
            {u"CV16032", 2020, u"Ford", u"Escape", u"4 Door Utility", u"1FMCU9G6"},
            {u"CV16033", 2022, u"Ford", u"Mustang", u"2 Door Coupe", u"1FA6P8TH"},
            {u"CV14108", 2018, u"Subaru", u"Outback", u"4 Door Wagon", u"4S4BSANC"},
            {u"CV14109", 2018, u"Subaru", u"Forester", u"4 Door Utility", u"JF2SKAGC"},
            {u"CV17001", 2022, u"Chevrolet", u"Silverado 1500", u"Pickup", u"1GCUYDED"},
            {u"CV17002", 2022, u"Chevrolet", u"Equinox", u"4 Door Utility", u"3GNAXKEV"},
            {u"CV17003", 2017, u"Chevrolet", u"Malibu", u"4 Door Sedan", u"1G1ZE5ST"},
            {u"CV18001", 2023, u"Tesla", u"Model 3", u"4 Door Sedan", u"5YJ3E1EA"},
            {u"CV18002", 2023, u"Tesla", u"Model Y", u"4 Door Utility", u"7SAYGDEE"},
            {u"CV19001", 2020, u"Nissan", u"Altima", u"4 Door Sedan", u"1N4BL4BV"},
            {u"CV19002", 2020, u"Nissan", u"Rogue", u"4 Door Utility", u"5N1AT2MV"},
            {u"CV20001", 2019, u"Jeep", u"Wrangler", u"2 Door Utility", u"1C4GJXAG"},
            {u"CV20002", 2021, u"Hyundai", u"Elantra", u"4 Door Sedan", u"5NPLM4AG"},
        };
        std::vector<QVariantList> rows;
        for (const Car &c : cars)
            rows.push_back({QString::fromUtf16(c.id), c.year, QString::fromUtf16(c.make),
                            QString::fromUtf16(c.model), QString::fromUtf16(c.body),
                            QString::fromUtf16(c.vin)});
        insertRows(db, u"vehicles"_s,
                   {u"car_id"_s, u"year"_s, u"make"_s, u"model"_s, u"body"_s, u"vin_prefix"_s},
                   rows);
        guard.commit();
    }
    // Totals follow from the lines, as they would after the shop entered them.
    for (int id = 1; id <= 4; ++id) {
        auto invoice = openOrder(id);
        if (invoice->record().value(u"total"_s).toCurrency().scaled != 0)
            continue;
        invoice->calculateinvoice(false, true);
        invoice->save();
    }
}

} // namespace orvane::host
