#include "qorOrvaneUI/loss/LossNotice.h"

#include "qorOrvaneUI/core/modOrvane.h"
#include "qorOrvaneUI/loss/IdLists.h"
#include "runtime/vb.h"
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IInsIdList.h>
#include <qorOrvaneUI/external/IInscoIdList.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/IOidList.h>
#include <qorOrvaneUI/external/IPidList.h>
#include <qorOrvaneUI/external/IShop.h>
#include <qorOrvaneUI/external/ObjectCast.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>

// The notice's four network identifiers: filled in from their tables, or
// taken from the list row the user chose.

using namespace Qt::StringLiterals;
using orvane::Proc;
using orvane::Recordset;
using orvane::Value;
namespace ext = orvane::ext;

namespace orvane::loss {

namespace {

using modOrvane::CRLF;

// Where each identifier is read from: the table's lone candidate (as
// stored) and the list row the user chose (trimmed).
struct IdColumns {
    const char16_t *fillProc, *fillId, *fillName, *chosenId, *chosenName;
};
const IdColumns kIdColumns[] = {
    {u"FillInOriginationPID", u"pid", u"pidname", u"pid", u"pidname"},
    {u"FillInNetworkID", u"origid", u"Company", u"origid", u"Company"},
    {u"FillInINSCOID", u"inscoid", nullptr, u"inscoid", nullptr}, // the name is the company card
    {u"FillInsuranceID", u"Insurerid", u"Insurer", u"orvaneid", u"insurer"},
};

} // namespace

LossNotice::IdFill LossNotice::fillIn(IdKind kind, const QString &pid, const QString &oid)
{
    const IdColumns &c = kIdColumns[int(kind)];
    Proc p = proc(QString::fromUtf16(c.fillProc));
    IdFill out;
    try {
        p.at(10);
        // Only the retail PID needs the environment itself (for the shop); the
        // lists report a missing one when they are read.
        const auto env = orvane::required(invoice_)->Env();
        Recordset rows;
        switch (kind) {
        case IdKind::Retail: {
            orvane::required(env);
            auto list =
                orvane::CreateObject<ext::IPidList>(QString::fromUtf16(ext::progid::g_pidList));
            list->setEnv(env);
            list->get_g_pidlist();
            rows = list->itemsrecordset();
            break;
        }
        case IdKind::Network: {
            auto list =
                orvane::CreateObject<ext::IOidList>(QString::fromUtf16(ext::progid::g_oidList));
            list->setEnv(env);
            list->Get_g_oidList();
            rows = list->itemsrecordset();
            break;
        }
        case IdKind::Company: {
            auto list =
                orvane::CreateObject<ext::IInscoIdList>(QString::fromUtf16(ext::progid::g_inscoid));
            list->setEnv(env);
            list->get_g_inscoid(inscoidFilter(pid, oid));
            rows = list->itemsrecordset();
            break;
        }
        case IdKind::Insurer: {
            // An order without a bill-to party has no insurer to look up; a
            // filter with nothing after "billtoid =" would only fail.
            const Value billto = invoice_->itemsrecordset().value(u"billto_id"_s);
            if (billto.isNull() || billto.isEmpty() || vb::Trim(billto.toText()).isEmpty())
                return out;
            const qint64 billtoId = billto.toInt64();
            p.at(20);
            auto list =
                orvane::CreateObject<ext::IInsIdList>(QString::fromUtf16(ext::progid::g_insid));
            list->setEnv(env);
            list->get_g_insid(u"g_insid.billtoid = "_s % QString::number(billtoId) %
                              u" AND g_insid.Origpid = '"_s % modOrvane::SQLSafeText(oid) %
                              u"' AND "_s % u" g_insid.destpid = '"_s %
                              modOrvane::SQLSafeText(pid) % u"'"_s);
            rows = list->itemsrecordset();
            break;
        }
        }
        if (rows.recordCount() == 1) {
            rows.moveFirst();
            out.id = modOrvane::FieldText(rows, QString::fromUtf16(c.fillId));
            out.name = c.fillName ? modOrvane::FieldText(rows, QString::fromUtf16(c.fillName))
                                  : companyCard(rows);
        }
        if (kind != IdKind::Retail)
            return out;
        p.at(20);
        // The order's shop knows its own PID better than a lone list entry.
        const auto shop =
            ext::objectAs<ext::IShop>(env->safecreateobj(ext::objkind::Shop), u"safecreateobj"_s);
        shop->getshopbyid(invoice_->itemsrecordset().value(u"shopid"_s));
        if (shop->RecordCount() > 0) {
            const QString id =
                vb::Trim(modOrvane::FieldText(shop->itemsrecordset(), u"OrvaneShopID"_s));
            if (!id.isEmpty()) {
                out.id = id;
                return out;
            }
        }
        p.at(30);
        shop->getshops(u"Customer.user2 <> ' ' "_s);
        if (shop->RecordCount() > 0) {
            Recordset shops = shop->itemsrecordset();
            shops.moveFirst();
            out.id = vb::Trim(modOrvane::FieldText(shops, u"OrvaneShopID"_s));
        }
    } catch (...) {
        reportTrapped(p);
    }
    return out;
}

std::pair<QString, QString> LossNotice::chosenId(IdKind kind, const Recordset &row)
{
    const IdColumns &c = kIdColumns[int(kind)];
    return {vb::Trim(modOrvane::FieldText(row, QString::fromUtf16(c.chosenId))),
            c.chosenName ? vb::Trim(modOrvane::FieldText(row, QString::fromUtf16(c.chosenName)))
                         : companyCard(row)};
}

QString LossNotice::companyCard(const Recordset &row)
{
    QString card;
    auto part = [&](const QString &text) {
        if (!text.isEmpty())
            card += text % CRLF;
    };
    auto value = [&](const char16_t *field) {
        return vb::Trim(modOrvane::FieldText(row, QString::fromUtf16(field)));
    };
    for (const char16_t *f : {u"Company", u"Address", u"City", u"State", u"Zip"})
        part(value(f));
    auto phone = [&](const char16_t *area, const char16_t *number) {
        const QString a = value(area);
        if (a.isEmpty())
            return;
        const QString n = value(number);
        part(u"("_s % a % u") "_s % n.left(3) % u"-"_s % n.mid(3));
    };
    phone(u"PhoneArea", u"Phone");
    phone(u"FaxArea", u"FaxPhone");
    return card;
}

} // namespace orvane::loss
