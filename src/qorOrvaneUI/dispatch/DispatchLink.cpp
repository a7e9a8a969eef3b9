#include "qorOrvaneUI/dispatch/DispatchLink.h"

#include "qorOrvaneUI/core/LibraryView.h"
#include "qorOrvaneUI/core/StagingWrites.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "qorOrvaneUI/dispatch/DispatchRecords.h"
#include "qorOrvaneUI/dispatch/DispatchReport.h"
#include "runtime/vb.h"
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/IOptions.h>
#include <qorOrvaneUI/external/IOrderList.h>
#include <qorOrvaneUI/external/IOrvaneOut.h>
#include <qorOrvaneUI/external/Ig_trans.h>
#include <qorOrvaneUI/external/ObjectCast.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/VbError.h>

using namespace Qt::StringLiterals;
using orvane::Proc;
using orvane::Recordset;
using orvane::required;
using orvane::Value;
namespace ext = orvane::ext;

namespace orvane::dispatch {

namespace {

using modOrvane::CRLF;

// Failures carry the linking view's name: hosts and logs know them by it.
Proc proc(const QString &procedure)
{
    return Proc(u"qorOrvaneUI.ChooseDispatchfrm."_s % procedure);
}

} // namespace

void DispatchLink::setInvoice(std::shared_ptr<ext::IInvoice> invoice)
{
    invoice_ = std::move(invoice);
    comparison_.setReportInvoice(invoice_);
}

void DispatchLink::release()
{
    dispatches_.reset();
    setInvoice(nullptr);
}

void DispatchLink::find(const QString &typed, const std::function<void(const Recordset &)> &show)
{
    Proc p = proc(u"cmdFind_Click"_s);
    try {
        p.at(10);
        auto list = orvane::CreateObject<ext::Ig_trans>(QString::fromUtf16(ext::progid::g_trans));
        list->setEnv(invoice_ ? invoice_->Env() : nullptr);
        dispatches_ = list;

        p.at(20);
        QString filter = u"rectype = 'DISPATCH' "_s;
        // A typed quote is spliced out, so it is searched for rather than ending the
        // text; a typed % or _ is escaped, so it is searched for rather than
        // matching any record id.
        if (!typed.isEmpty()) {
            QString pattern = typed;
            pattern.replace(u"\\"_s, u"\\\\"_s).replace(u"%"_s, u"\\%"_s).replace(u"_"_s, u"\\_"_s);
            filter +=
                u" AND recid like '"_s % modOrvane::SQLSafeText(pattern) % u"%' ESCAPE '\\'"_s;
        }

        p.at(30);
        list->get_g_trans(filter);

        p.at(40);
        show(list->itemsrecordset());
    } catch (...) {
        orvane::ui::reportTrapped(invoice_, p);
    }
}

void DispatchLink::view()
{
    Proc p = proc(u"cmdView_Click"_s);
    try {
        p.at(10);
        if (!dispatches_ || dispatches_->itemsrecordset().recordCount() == 0)
            return;
        p.at(20);
        DispatchRecords records;
        const QString xml = dispatches_->itemsrecordset().value(u"xml"_s).toText();
        const auto options = required(required(required(invoice_)->Env())->Options());
        const QString reportPath =
            options->readinistring(u"Defaults"_s, u"ReportPath"_s, options->dask_ini()) %
            u"g_dispatch.rpt"_s;
        p.at(30);
        DispatchReport(records).ShowDispatch(owner_, xml, reportPath);
    } catch (...) {
        orvane::ui::reportTrapped(invoice_, p);
    }
}

bool DispatchLink::currentRowIsThisOrder() const
{
    const Recordset row = dispatches_->itemsrecordset();
    const Recordset order = invoice_->itemsrecordset();
    return row.value(u"daskid"_s).toInt64() == order.value(u"idnumber"_s).toInt64() &&
           row.value(u"daskloc"_s).toInt64() == order.value(u"location"_s).toInt64();
}

bool DispatchLink::attach()
{
    Proc p = proc(u"cmdAttach_Click"_s);
    // Whatever ends this attach, nothing of it is left for the next one.
    struct Reset {
        DispatchLink *self;
        ~Reset()
        {
            self->unlink_.reset();
            self->comparison_.reset();
        }
    } reset{this};
    try {
        p.at(10);
        if (!dispatches_ || dispatches_->itemsrecordset().recordCount() == 0)
            return false;

        p.at(20);
        std::shared_ptr<ext::IOrvaneOut> out;
        try {
            out = orvane::CreateObject<ext::IOrvaneOut>(
                QString::fromUtf16(ext::progid::clsorvaneout));
        } catch (...) {
            return false; // no transport to build the order: the click just ends
        }

        p.at(25);
        // A void order is not worked: linking a dispatch to one is almost
        // always the wrong order open.
        const Recordset current = required(invoice_)->itemsrecordset();
        if (modOrvane::FieldExists(current, u"type"_s) &&
            vb::UCase(vb::Trim(current.value(u"type"_s).toText())) == u"VOID"_s &&
            orvane::Ui::instance().msgBoxWithDefault(
                tr("This order is void.") % CRLF % CRLF %
                    tr("Do you want to link the dispatch to this void order anyway?"),
                orvane::MsgButtons::YesNo, orvane::MsgIcon::Exclamation, tr("Order Is Void"),
                orvane::MsgResult::No) != orvane::MsgResult::Yes)
            return false;

        p.at(30);
        if (!CheckCurrentLInk())
            return false;

        p.at(40);
        Recordset row = dispatches_->itemsrecordset();
        std::shared_ptr<ext::IInvoice> order;
        out->returnorder(u"DISPATCH"_s % row.value(u"recid"_s).toText(),
                         row.value(u"xml"_s).toText(), order);
        comparison_.setCutTexts(out->cutTexts());

        p.at(50);
        required(order);
        comparison_.setRelinking(row.value(u"daskid"_s).toInt64() != 0 && currentRowIsThisOrder());
        if (!comparison_.CompareOrders(invoice_, order))
            return false;

        p.at(60);
        // The order being linked is never offered for voiding: it is the
        // same order, not one the dispatch was taken from.
        if (row.value(u"daskid"_s).toInt64() != 0 && !currentRowIsThisOrder())
            RemoveOrder();

        p.at(70);
        // The old links go and the new one comes in one transaction: a
        // failure leaves every link as it was, never a dispatch linked to nothing.
        const Recordset invoice = invoice_->itemsrecordset();
        StagingWrites::Transaction transaction(invoice_->Env());
        if (unlink_)
            unlink_->Update();
        row.setValue(u"daskid"_s, invoice.value(u"idnumber"_s));
        row.setValue(u"daskloc"_s, invoice.value(u"location"_s));
        row.update();
        dispatches_->Update();
        transaction.commit();

        p.at(80);
        return true;
    } catch (...) {
        orvane::ui::reportTrapped(invoice_, p);
    }
    return false;
}

bool DispatchLink::CheckCurrentLInk()
{
    bool answer = true;
    Proc p = proc(u"CheckCurrentLInk"_s);
    try {
        p.at(10);
        auto links = orvane::CreateObject<ext::Ig_trans>(QString::fromUtf16(ext::progid::g_trans));
        links->setEnv(required(invoice_)->Env());

        p.at(20);
        const Recordset invoice = invoice_->itemsrecordset();
        links->get_g_trans(u"rectype = 'DISPATCH' AND daskid = "_s %
                           invoice.value(u"idnumber"_s).toText() % u" and daskloc = "_s %
                           invoice.value(u"location"_s).toText());

        p.at(30);
        // The dispatch being attached is relinked to this same order, so it
        // is no other link to give up (and unlinking it behind the list's
        // back would leave the list's row out of date).
        Value attaching;
        if (dispatches_ && modOrvane::FieldExists(dispatches_->itemsrecordset(), u"id"_s))
            attaching = dispatches_->itemsrecordset().value(u"id"_s);
        Recordset rows = links->itemsrecordset();
        auto isAttaching = [&](const Recordset &r) {
            return !attaching.isEmpty() && modOrvane::FieldExists(r, u"id"_s) &&
                   r.value(u"id"_s) == attaching;
        };
        int others = 0;
        {
            Recordset scan = rows.clone();
            for (; !scan.eof(); scan.moveNext())
                if (!isAttaching(scan))
                    ++others;
        }
        if (others == 0)
            return answer;

        p.at(40);
        const orvane::MsgResult choice = orvane::Ui::instance().msgBoxWithDefault(
            tr("This invoice is currently linked to a dispatch.  Linking it to another dispatch "
               "will unlink this record") %
                CRLF % CRLF % tr("Are you sure you want to do this?") % CRLF %
                tr("YES will continue and unlink your current invoice") % CRLF %
                tr("NO will abort this operation"),
            orvane::MsgButtons::YesNo, orvane::MsgIcon::Question, tr("Unlink Order?"),
            orvane::MsgResult::No);

        p.at(50);
        if (choice == orvane::MsgResult::Yes) {
            // Cleared here, written only together with the new link (Attach).
            for (; !rows.eof(); rows.moveNext()) {
                if (isAttaching(rows))
                    continue;
                rows.setValue(u"daskid"_s, 0);
                rows.setValue(u"daskloc"_s, 0);
                rows.update();
            }
            unlink_ = links;
            answer = true;
        } else {
            p.at(60);
            answer = false;
        }
    } catch (...) {
        orvane::ui::reportTrapped(invoice_, p);
    }
    return answer;
}

void DispatchLink::RemoveOrder()
{
    Proc p = proc(u"RemoveOrder"_s);
    try {
        p.at(10);
        const auto orders = ext::objectAs<ext::IOrderList>(
            required(required(invoice_)->Env())->safecreateobj(ext::objkind::OrderList), p.name());

        p.at(20);
        const Recordset row = dispatches_->itemsrecordset();
        orders->getinvoices(u"Invoice.idnumber = "_s % row.value(u"daskid"_s).toText() %
                                u" AND invoice.location = "_s % row.value(u"daskloc"_s).toText(),
                            true);

        p.at(30);
        if (orders->RecordCount() <= 0)
            return;

        p.at(40);
        Recordset order = orders->itemsrecordset();
        const QString type = vb::UCase(vb::Trim(order.value(u"type"_s).toText()));
        const QString name = OrderComparison::orderName(order);
        if (name.isEmpty())
            return; // a void order

        if (type == u"INVOICE"_s) {
            p.at(50);
            orvane::Ui::instance().msgBox(
                tr("This order is already linked to an order \r\n%1\r\n\r\nThis order cannot be "
                   "voided automatically.  Please remember to void this order")
                    .arg(name),
                orvane::MsgButtons::OK, orvane::MsgIcon::None, QString());
            return;
        }

        p.at(60);
        const orvane::MsgResult choice = orvane::Ui::instance().msgBoxWithDefault(
            tr("This dispatch is currently linked to order \r\n%1\r\n\r\nPress YES to "
               "automatically void the order it was linked to\r\nPress NO to leave the other "
               "order intact")
                .arg(name),
            orvane::MsgButtons::YesNo, orvane::MsgIcon::Question, tr("Void Order?"),
            orvane::MsgResult::No);

        if (choice == orvane::MsgResult::Yes) {
            p.at(70);
            order.setValue(u"voidmsg"_s, u"ORVANE ORDER REMOVED"_s);
            order.update();
            orders->setordertypes(u"void"_s);
            orders->Update(true);
        }
    } catch (...) {
        orvane::ui::reportTrapped(invoice_, p);
    }
}

} // namespace orvane::dispatch
