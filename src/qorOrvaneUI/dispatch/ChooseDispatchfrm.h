#pragma once

#include "Recordset.h"
#include "Value.h"
#include "core/LibraryView.h"

#include <QHash>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace orvane {
class RecordsetModel;
namespace ext {
class IInvoice;
class Ig_trans;
} // namespace ext
} // namespace orvane

// "Choose Dispatch": finds the dispatches the network delivered, shows one as
// a report and attaches it to the open order. A link is the dispatch row's
// daskid and daskloc (the order's idnumber and location; 0 and 0: not linked).
//
// Every procedure traps its own failures and reports them through the order's
// Env.ErrorClass, leaving the view open.
class ChooseDispatchfrm : public orvane::ui::LibraryView {
    Q_OBJECT
public:
    explicit ChooseDispatchfrm(QWidget *parent = nullptr);
    ~ChooseDispatchfrm() override;

    QLabel *lblDispatch = nullptr;
    QLineEdit *txtDispatchNum = nullptr;
    QPushButton *cmdFind = nullptr;
    QTableView *grdDispatches = nullptr;
    // Says when a search found nothing; hidden otherwise.
    QLabel *lblFound = nullptr;
    QPushButton *cmdView = nullptr;
    QPushButton *cmdAttach = nullptr;

    // The open order; kept for the life of the view.
    void setInvoice(std::shared_ptr<orvane::ext::IInvoice> invoice);
    std::shared_ptr<orvane::ext::IInvoice> invoice() const { return objInvoice_; }
    // The rows of the last Find; nullptr before the first.
    std::shared_ptr<orvane::ext::Ig_trans> dispatchList() const { return rsDispatches_; }
    orvane::RecordsetModel *dispatchModel() const { return model_; }

    // Registers the view and its grid with the host's layout service.
    void Form_Load();
    // First activation only: searches for the order's own dispatch number.
    void Form_Activate();
    // Unregisters from the layout service and lets go of the order and the list (once).
    void Form_Unload();

    void cmdFind_Click();
    void cmdView_Click();
    void cmdAttach_Click();
    // True when the attach may go on: the order is linked to no other
    // dispatch, or the user agreed to unlink it.
    bool CheckCurrentLInk();
    // Offers to void the order the current dispatch row was linked to.
    void RemoveOrder();

    // --- the comparison of the open order with the order built from a dispatch ---
    // True when the link may go on: nothing differs, or the user pressed OK
    // (the values not kept are then in `invoice`).
    bool CompareOrders(const std::shared_ptr<orvane::ext::IInvoice> &invoice,
                       const std::shared_ptr<orvane::ext::IInvoice> &dispatchOrder);
    // What `returnorder` had to cut to fit the order (field -> whole text), so
    // the comparison says so; set before CompareOrders by a caller that built
    // the dispatch's order itself.
    void setCutTexts(const QHash<QString, QString> &cut) { cutTexts_ = cut; }
    orvane::Recordset CreateCompareRecordset();
    void AddCompare(orvane::Recordset &rs, const QString &FieldName, const QString &OriginalVal,
                    const QString &NewValue, const QString &Field);
    void setNewValues(orvane::Recordset &rs, const std::shared_ptr<orvane::ext::IInvoice> &invoice,
                      const std::shared_ptr<orvane::ext::IInvoice> &dispatchOrder);

    // The comparison's rules.
    // Values compared as values; Null on either side is no difference.
    static bool valuesDiffer(const orvane::Value &a, const orvane::Value &b);
    // Texts compared trimmed and in upper case.
    static bool textsDiffer(const orvane::Value &a, const orvane::Value &b);
    // A value as the comparison shows it: its text, or for a date the user's
    // short date (no date shows as empty text).
    static QString shownText(const orvane::Value &v);
    static QString shownDate(const orvane::Value &v);
    // A dispatch date before 1 January 1900 is one the dispatch did not carry.
    static bool isMissingDate(const orvane::Value &dispatchDate);
    // How staff name an order: "Quote-1001", "Invoice-5001", ...; empty for a void one.
    static QString orderName(const orvane::Recordset &order);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool currentRowIsThisOrder() const;

    std::shared_ptr<orvane::ext::IInvoice> objInvoice_;
    std::shared_ptr<orvane::ext::Ig_trans> rsDispatches_;
    // The order's other links, cleared in memory once the user agreed to
    // unlink them; written with the new link in one transaction, or not at all.
    std::shared_ptr<orvane::ext::Ig_trans> unlink_;
    // What the order built from the dispatch could not hold whole (field -> text).
    QHash<QString, QString> cutTexts_;
    // The dispatch being attached is the one the order is linked to already.
    bool relinking_ = false;
    orvane::RecordsetModel *model_ = nullptr;
    bool activated_ = false;
};
