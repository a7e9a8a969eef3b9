#pragma once

#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/Value.h>
#include <qorOrvaneUI/widgets/Ui.h>

#include <QCoreApplication>
#include <QHash>

#include <memory>

namespace orvane::ext {
class IInvoice;
} // namespace orvane::ext

namespace orvane::dispatch {

// The comparison of the open order with the order built from a dispatch: what
// differs, what is kept by default, and what OK takes over. The user's choice
// is made in Comparersfrm, opened over the window that asked.
//
// Failures are reported as the linking view's ("qorOrvaneUI.ChooseDispatchfrm.
// CompareOrders" and so on): hosts know them by those names.
class OrderComparison {
    Q_DECLARE_TR_FUNCTIONS(orvane::dispatch::ChooseDispatchfrm)
public:
    OrderComparison() = default;

    // The order whose Env.ErrorClass hears failures when a call names none.
    void setReportInvoice(std::shared_ptr<ext::IInvoice> invoice)
    {
        reportInvoice_ = std::move(invoice);
    }
    // The window the comparison is centred over (0: none).
    void setOwner(WindowHandle owner) { owner_ = owner; }
    // What `returnorder` had to cut to fit the order (field -> whole text), so
    // the comparison says so.
    void setCutTexts(const QHash<QString, QString> &cut) { cutTexts_ = cut; }
    // The dispatch being attached is the one the order is linked to already:
    // every old value is kept by default, as the user chose then.
    void setRelinking(bool relinking) { relinking_ = relinking; }
    // Forgets the cut texts and the relinking of the last comparison.
    void reset()
    {
        cutTexts_.clear();
        relinking_ = false;
    }

    // True when the link may go on: nothing differs, or the user pressed OK
    // (the values not kept are then in `invoice`).
    bool CompareOrders(const std::shared_ptr<ext::IInvoice> &invoice,
                       const std::shared_ptr<ext::IInvoice> &dispatchOrder);
    Recordset CreateCompareRecordset();
    void AddCompare(Recordset &rs, const QString &FieldName, const QString &OriginalVal,
                    const QString &NewValue, const QString &Field);
    void setNewValues(Recordset &rs, const std::shared_ptr<ext::IInvoice> &invoice,
                      const std::shared_ptr<ext::IInvoice> &dispatchOrder);

    // Values compared as values; Null on either side is no difference.
    static bool valuesDiffer(const Value &a, const Value &b);
    // Texts compared trimmed and in upper case.
    static bool textsDiffer(const Value &a, const Value &b);
    // A value as the comparison shows it: its text, or for a date the user's
    // short date (no date shows as empty text).
    static QString shownText(const Value &v);
    static QString shownDate(const Value &v);
    // A dispatch date before 1 January 1900 is one the dispatch did not carry.
    static bool isMissingDate(const Value &dispatchDate);
    // How staff name an order: "Quote-1001", "Invoice-5001", ...; empty for a void one.
    static QString orderName(const Recordset &order);

private:
    const std::shared_ptr<ext::IInvoice> &
    reportTo(const std::shared_ptr<ext::IInvoice> &invoice) const
    {
        return invoice ? invoice : reportInvoice_;
    }

    std::shared_ptr<ext::IInvoice> reportInvoice_;
    WindowHandle owner_ = 0;
    QHash<QString, QString> cutTexts_;
    bool relinking_ = false;
};

} // namespace orvane::dispatch
