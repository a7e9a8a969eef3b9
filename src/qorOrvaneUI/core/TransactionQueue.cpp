#include "qorOrvaneUI/core/TransactionQueue.h"

#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/IOptions.h>
#include <qorOrvaneUI/external/Ig_trans.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

using namespace Qt::StringLiterals;

namespace orvane::TransactionQueue {

void QueueTransaction(const std::shared_ptr<orvane::ext::IInvoice> &objInvoice,
                      const orvane::XmlDocument &doc, const QString &recType, const QString &recId)
{
    // Released once the flag is up, the last step of queueing.
    const auto trans = QueueRow(objInvoice, doc, recType, recId);
    RaiseSendFlag(objInvoice);
}

std::shared_ptr<orvane::ext::Ig_trans>
QueueRow(const std::shared_ptr<orvane::ext::IInvoice> &objInvoice, const orvane::XmlDocument &doc,
         const QString &recType, const QString &recId)
{
    // The caller's error trap reports every failure; a trap here would only
    // hide which step failed.
    if (!objInvoice)
        throw orvane::objectVariableNotSet(u"QueueTransaction"_s);

    auto trans = orvane::CreateObject<orvane::ext::Ig_trans>(
        QString::fromUtf16(orvane::ext::progid::g_trans));
    const std::shared_ptr<orvane::ext::IEnvironment> env = objInvoice->Env();
    trans->setEnv(env);
    // Matches no row: an empty row set to add to, so queueing never touches
    // a row already in the table.
    trans->get_g_trans(u"g_trans.guid = '1' and g_trans.guid <> '1'"_s);

    orvane::Recordset rs = trans->itemsrecordset();
    rs.addNew();
    rs.field(u"rectype"_s).setValue(recType);
    rs.field(u"recid"_s).setValue(recId);
    rs.field(u"xml"_s).setValue(doc.xml());
    rs.field(u"processed"_s).setValue(false);
    rs.field(u"daskid"_s).setValue(objInvoice->itemsrecordset().value(u"idnumber"_s));
    rs.field(u"daskloc"_s).setValue(env->Location());
    trans->Update();
    return trans;
}

void RaiseSendFlag(const std::shared_ptr<orvane::ext::IInvoice> &objInvoice)
{
    if (!objInvoice)
        throw orvane::objectVariableNotSet(u"QueueTransaction"_s);
    const auto env = orvane::required(objInvoice->Env(), u"QueueTransaction"_s);
    // A flag, not a counter: the service sends every unprocessed row it finds.
    orvane::required(env->Options(), u"QueueTransaction"_s)
        ->writeinistring(u"Orvane"_s, u"SendTrans"_s, u"1"_s, env->data_path() % u"Orvane.ini"_s);
}

} // namespace orvane::TransactionQueue
