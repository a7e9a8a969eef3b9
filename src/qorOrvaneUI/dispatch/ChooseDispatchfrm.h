#pragma once

#include "qorOrvaneUI/core/LibraryView.h"
#include "qorOrvaneUI/dispatch/DispatchLink.h"
#include <qorOrvaneUI/runtime/Recordset.h>

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

namespace orvane::dispatch {

// "Choose Dispatch": finds the dispatches the network delivered, shows one as
// a report and attaches it to the open order. The rules are DispatchLink's;
// the view binds its controls to them. A failure leaves the view open.
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
    std::shared_ptr<orvane::ext::IInvoice> invoice() const { return link_.invoice(); }
    // The rows of the last Find; nullptr before the first.
    std::shared_ptr<orvane::ext::Ig_trans> dispatchList() const { return link_.dispatchList(); }
    orvane::RecordsetModel *dispatchModel() const { return model_; }
    // The flow the view shows.
    orvane::dispatch::DispatchLink &link() { return link_; }

    // Registers the view and its grid with the host's layout service.
    void Form_Load();
    // First activation only: searches for the order's own dispatch number.
    void Form_Activate();
    // Unregisters from the layout service and lets go of the order and the list (once).
    void Form_Unload();

    void cmdFind_Click();
    void cmdView_Click();
    // Links the current dispatch and closes the view.
    void cmdAttach_Click();
    bool CheckCurrentLInk() { return link_.CheckCurrentLInk(); }
    void RemoveOrder() { link_.RemoveOrder(); }

    // The comparison, opened over this view.
    bool CompareOrders(const std::shared_ptr<orvane::ext::IInvoice> &invoice,
                       const std::shared_ptr<orvane::ext::IInvoice> &dispatchOrder);
    void setCutTexts(const QHash<QString, QString> &cut) { link_.comparison().setCutTexts(cut); }
    orvane::Recordset CreateCompareRecordset()
    {
        return link_.comparison().CreateCompareRecordset();
    }
    void AddCompare(orvane::Recordset &rs, const QString &FieldName, const QString &OriginalVal,
                    const QString &NewValue, const QString &Field)
    {
        link_.comparison().AddCompare(rs, FieldName, OriginalVal, NewValue, Field);
    }
    void setNewValues(orvane::Recordset &rs, const std::shared_ptr<orvane::ext::IInvoice> &invoice,
                      const std::shared_ptr<orvane::ext::IInvoice> &dispatchOrder)
    {
        link_.comparison().setNewValues(rs, invoice, dispatchOrder);
    }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    orvane::dispatch::DispatchLink link_;
    orvane::RecordsetModel *model_ = nullptr;
    bool activated_ = false;
};

} // namespace orvane::dispatch
