#include <qorOrvaneUI/loss/eNOLcls.h>

#include "qorOrvaneUI/core/WindowAPImod.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "qorOrvaneUI/loss/IdLists.h"
#include "qorOrvaneUI/loss/eNOLfrm.h"
#include "qorOrvaneUI/loss/eNOLwaitfrm.h"
#include "runtime/vb.h"
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IInscoIdList.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/IOidList.h>
#include <qorOrvaneUI/external/IPidList.h>
#include <qorOrvaneUI/external/IRsTable.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include <QCoreApplication>
#include <QDate>

namespace orvane::loss {

using namespace Qt::StringLiterals;
using orvane::Proc;
using orvane::Recordset;
using orvane::Value;
namespace ext = orvane::ext;

namespace {

template <class T> std::shared_ptr<T> createTable(const char16_t *progId)
{
    return orvane::CreateObject<T>(QString::fromUtf16(progId));
}

QString text(const Recordset &rs, const QString &field)
{
    const Value v = rs.value(field);
    return v.isNull() ? QString() : v.toText();
}

// Whether a table holds a row that was read already for the loss.
bool readRowFor(const std::shared_ptr<ext::IEnvironment> &env, const char16_t *progId,
                const QString &condition)
{
    auto t = createTable<ext::IRsTable>(progId);
    t->setEnv(env);
    t->get_rs(condition);
    return t->itemsrecordset().recordCount() > 0;
}

// The wait's mode for a notice whose confirmation was read: 1 until the
// coverage request was read, 2 after it; -1 when nothing is left to wait for
// (the notice was refused, or the loss's dispatch was handled already).
int stepReached(const std::shared_ptr<ext::IEnvironment> &env, const QString &errCode,
                const QString &lossRef)
{
    if (vb::Left(errCode, 1) == u"e"_s || vb::Val(errCode) != 0)
        return -1;
    const QString ref = u"'"_s % modOrvane::SQLSafeText(lossRef) % u"'"_s;
    if (readRowFor(env, ext::progid::g_dispatch,
                   u"g_dispatch.lossidnum = "_s % ref % u" AND g_dispatch.ack = .T."_s))
        return -1;
    return readRowFor(env, ext::progid::g_cover,
                      u"g_cover.lossref = "_s % ref % u" AND g_cover.ack = .T."_s)
               ? 2
               : 1;
}

} // namespace

QString eNOLcls::inscoidFilter(const QString &DestPID, const QString &OrigPID)
{
    return orvane::loss::inscoidFilter(DestPID, OrigPID);
}

bool eNOLcls::SendeNOL(const std::shared_ptr<ext::IInvoice> &objInvoice,
                       orvane::WindowHandle lngHwnd)
{
    Proc p(u"qorOrvaneUI.eNOLcls.SendeNOL()"_s);
    try {
        p.at(10);
        eNOLfrm view;
        WindowAPImod::CentreOverOwner(lngHwnd, &view);
        p.at(20);
        view.setInvoice(orvane::required(objInvoice));
        p.at(30);
        orvane::Ui::instance().showModal(&view);
        p.at(40);
        view.Form_Unload();
        return view.sent();
    } catch (...) {
        p.rethrow();
    }
}

bool eNOLcls::ShowResponses(const std::shared_ptr<ext::IInvoice> &objInvoice,
                            const QString &strRefNum, const QString &strType,
                            orvane::WindowHandle lngHwnd)
{
    Proc p(u"qorOrvaneUI.eNOLcls.SendeNOL()"_s);
    try {
        p.at(10);
        const auto env = orvane::required(objInvoice)->Env();
        const Recordset order = objInvoice->itemsrecordset();
        // Numeric identifiers stand unquoted; anything else would not be one.
        auto number = [&order](const QString &field) {
            return QString::number(order.value(field).toInt64());
        };
        const QString byOrder = u"g_enol.daskid = "_s % number(u"idnumber"_s) % u" AND "_s %
                                u"g_enol.daskloc = "_s % number(u"Location"_s);
        auto notice = createTable<ext::IRsTable>(u"qororvaneout.g_enolcls");
        notice->setEnv(env);
        notice->get_rs(byOrder);

        p.at(20);
        eNOLwaitfrm wait;
        wait.setInvoice(objInvoice);
        Recordset rows = notice->itemsrecordset();
        wait.setNoticeID(rows.value(u"guid"_s).toText());

        p.at(30);
        const QString type = vb::UCase(vb::Trim(strType));
        QString refNum = vb::Trim(strRefNum);
        if (type == u"LOSSACK"_s || type == u"DISPATCH"_s) {
            p.at(40);
            notice->get_rs(byOrder % u" AND g_enol.ack = .F."_s);
            Recordset unread = notice->itemsrecordset();
            if (unread.recordCount() > 0) {
                unread.setValue(u"ack"_s, true);
                unread.update();
                notice->Update();
            }
            auto cover = createTable<ext::IRsTable>(u"qororvaneout.g_cover");
            cover->setEnv(env);
            cover->get_rs(u"g_cover.lossref = '"_s % modOrvane::SQLSafeText(refNum) %
                          u"' AND g_cover.ack = .F."_s);
            Recordset covers = cover->itemsrecordset();
            if (covers.recordCount() > 0) {
                for (covers.moveFirst(); !covers.eof(); covers.moveNext()) {
                    covers.setValue(u"ack"_s, true);
                    covers.update();
                }
                cover->Update();
            }
            wait.setMode(2);
        } else if (type == u"COVER"_s) {
            if (rows.recordCount() > 0 && rows.value(u"ack"_s).toBool())
                wait.setMode(1);
        } else if (const Value read = rows.value(u"ack"_s); !read.isNull() && read.toBool()) {
            p.at(45);
            // The confirmation was handled before: waiting for it again
            // would wait for ever. Go on from where the claim stands.
            if (refNum.isEmpty())
                refNum = vb::Trim(text(rows, u"Lossrefnum"_s));
            const int mode = stepReached(env, text(rows, u"ErrCode"_s), refNum);
            if (mode < 0) {
                orvane::Ui::instance().msgBox(
                    QCoreApplication::translate("orvane::loss::eNOLcls",
                                                "The answers to this loss notice have all been "
                                                "received and read; there is nothing more to "
                                                "wait for."),
                    orvane::MsgButtons::OK, orvane::MsgIcon::Information, QString());
                return false;
            }
            wait.setMode(mode);
        }

        p.at(50);
        wait.setNoticeTable(notice);
        wait.setCheckAtOnce(true);
        wait.setLossRef(refNum);
        WindowAPImod::CentreOverOwner(lngHwnd, &wait);
        orvane::Ui::instance().showModal(&wait);
        wait.Form_Unload();
        return wait.ended();
    } catch (...) {
        p.rethrow();
    }
}

std::shared_ptr<ext::IPidList> eNOLcls::PIDList(const std::shared_ptr<ext::IEnvironment> &objEnv,
                                                orvane::WindowHandle lngHwnd)
{
    return orvane::loss::pidList(objEnv, lngHwnd);
}

std::shared_ptr<ext::IOidList> eNOLcls::NetIDList(const std::shared_ptr<ext::IEnvironment> &objEnv,
                                                  orvane::WindowHandle lngHwnd)
{
    return orvane::loss::netIdList(objEnv, lngHwnd);
}

std::shared_ptr<ext::IInscoIdList>
eNOLcls::INSCOIDList(const std::shared_ptr<ext::IEnvironment> &objEnv, const QString &DestPID,
                     const QString &OrigPID, orvane::WindowHandle lngHwnd)
{
    return orvane::loss::inscoIdList(objEnv, DestPID, OrigPID, lngHwnd);
}

std::optional<Recordset> eNOLcls::InsurerIDList(const std::shared_ptr<ext::IEnvironment> &objEnv,
                                                orvane::WindowHandle lngHwnd)
{
    return orvane::loss::insurerIdList(objEnv, lngHwnd);
}

bool eNOLcls::VerifyFields(const std::shared_ptr<ext::IInvoice> &objInvoice)
{
    struct Check {
        const char16_t *field, *label, *shown;
    };
    static const Check checks[] = {
        {u"s_first", u"Sold to First", u"s_first"},
        {u"s_last", u"Sold to Last", u"s_last"},
        {u"s_area2", u"Sold to Home Area Code", u"s_area1"},
        {u"s_phone2", u"Sold to Home Phone #", u"s_phone1"},
        {u"policy", u"Policy #", u"policy"},
        {u"lossDate", u"lossdate", u"Date of Loss"},
        {u"carid", u"Vehicle", u"carid"},
        {u"year", u"Vehicle Year", u"year"},
        {u"make", u"Vehicle Make", u"Make"},
        {u"Model", u"Vehicle Model", u"model"},
        {u"Body", u"Vehicle Body", u"body"},
    };
    const Recordset rs = orvane::required(objInvoice)->itemsrecordset();
    QString missing;
    for (const Check &c : checks) {
        const QString field = QString::fromUtf16(c.field);
        if (rs.fieldIndex(field) < 0)
            throw orvane::itemNotFound(field, u"qorOrvaneUI.VerifyFields"_s);
        const Value v = rs.value(field);
        bool isMissing;
        if (field.compare(u"lossDate"_s, Qt::CaseInsensitive) == 0)
            // An unset date is the zero date; an empty one is not reported.
            isMissing =
                v.kind() == orvane::ValueKind::Date && v.toDate().date() <= QDate(1900, 1, 1);
        else
            isMissing = v.isNull() || vb::Trim(v.toText()).isEmpty();
        if (isMissing)
            missing += QString::fromUtf16(c.label) % u"\t\t\t|"_s % QString::fromUtf16(c.shown) %
                       u"\r\n"_s;
    }
    if (!missing.isEmpty())
        throw orvane::VbError(-10000, u"qorOrvaneUI.VerifyFields"_s,
                              u"The following fields are required to save this order\r\n\r\n"_s %
                                  missing);
    return false;
}

} // namespace orvane::loss
