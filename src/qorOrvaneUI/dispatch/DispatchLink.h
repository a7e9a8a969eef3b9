#pragma once

#include "qorOrvaneUI/dispatch/OrderComparison.h"
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/widgets/Ui.h>

#include <QCoreApplication>

#include <functional>
#include <memory>

namespace orvane::ext {
class IInvoice;
class Ig_trans;
} // namespace orvane::ext

namespace orvane::dispatch {

// Linking a received dispatch to the open order: the search, the view of a
// dispatch, the attach with its unlink and void offers, and the comparison.
// A link is the dispatch row's daskid and daskloc (the order's idnumber and
// location; 0 and 0: not linked).
//
// Every procedure traps its own failures and reports them through the order's
// Env.ErrorClass under the linking view's name ("qorOrvaneUI.ChooseDispatchfrm.
// cmdAttach_Click" and so on).
class DispatchLink {
    Q_DECLARE_TR_FUNCTIONS(orvane::dispatch::ChooseDispatchfrm)
public:
    // The open order; also the one failures are reported to.
    void setInvoice(std::shared_ptr<ext::IInvoice> invoice);
    const std::shared_ptr<ext::IInvoice> &invoice() const { return invoice_; }
    // The window the dispatch report and the comparison are opened over.
    void setOwner(WindowHandle owner) { comparison_.setOwner(owner_ = owner); }
    // The rows of the last Find; nullptr before the first.
    const std::shared_ptr<ext::Ig_trans> &dispatchList() const { return dispatches_; }
    OrderComparison &comparison() { return comparison_; }
    // Lets go of the order and the list.
    void release();

    // Finds the dispatches whose number starts with `typed` and hands their
    // rows to `show`.
    void find(const QString &typed, const std::function<void(const Recordset &)> &show);
    // Shows the current dispatch as a report from the host's report folder.
    void view();
    // Links the current dispatch to the order; true when it was linked.
    bool attach();
    // True when the attach may go on: the order is linked to no other
    // dispatch, or the user agreed to unlink it.
    bool CheckCurrentLInk();
    // Offers to void the order the current dispatch row was linked to.
    void RemoveOrder();

private:
    bool currentRowIsThisOrder() const;

    std::shared_ptr<ext::IInvoice> invoice_;
    std::shared_ptr<ext::Ig_trans> dispatches_;
    // The order's other links, cleared in memory once the user agreed to
    // unlink them; written with the new link in one transaction, or not at all.
    std::shared_ptr<ext::Ig_trans> unlink_;
    OrderComparison comparison_;
    WindowHandle owner_ = 0;
};

} // namespace orvane::dispatch
