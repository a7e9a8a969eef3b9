#pragma once

#include "qorOrvaneUI/core/LibraryView.h"
#include "runtime/RecordsetModel.h"
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <memory>

class QCheckBox;
class QPushButton;
class QTableView;

namespace orvane::ext {
class IInvoice;
}

namespace orvane::authorization {

// "Part Authorization": one line per line of the open order, with the kind of
// authorization each would need, for the user to tick, correct and send.
// "Send Authorization" checks the ticked lines, builds the request, records
// its lines, queues it and hides the view with `blnSent` set; Cancel hides it
// with `blnSent` false. The view fills itself on its first activation only.
class Authorizationfrm : public orvane::ui::LibraryView {
    Q_OBJECT
public:
    explicit Authorizationfrm(QWidget *parent = nullptr);
    ~Authorizationfrm() override;

    // Grid columns, in order.
    enum Column {
        colAuthorize,
        colTypeDesc,
        colPart,
        colRelatedPart,
        colQty,
        colPrice,
        colReason,
        colManual,
        colRequestDesc,
        colRequestExplanation,
        colFax,
    };

    QTableView *grdAuthorize = nullptr;
    QCheckBox *chkShow = nullptr;
    QPushButton *cmdBuild = nullptr;
    QPushButton *cmdCancel = nullptr;

    // Given by the opener before the view is shown.
    void setInvoice(std::shared_ptr<orvane::ext::IInvoice> invoice);
    void setDispatch(const orvane::XmlDocument &dispatch) { dom_ = dispatch; }

    // Read back by the opener once the view is hidden.
    bool blnSent = false;
    QString strSession;

    // The authorization lines and the kind tables they are classified with.
    orvane::Recordset rsAuth;
    orvane::Recordset rsTypes;         // the drop-down's table
    orvane::Recordset rsTypeLookup;    // a clone of it for searching
    orvane::Recordset rsDispatchAuths; // the kinds the insurer's dispatch accepts
    orvane::RecordsetModel *authModel() const { return model_; }

    void Form_Activate();
    void Form_Unload();
    void CreateRS();
    void SetColumns();
    void PopulateRS();
    // Reasons offered for, and the manual flag of, the current line, from the
    // kind the type look-up stands on.
    void SetReason();
    bool ValidData();
    // Fills `doc` with the request for the ticked lines; false (after
    // reporting) when it could not be built whole.
    bool CreateXML(orvane::XmlDocument &doc, const QString &sessionId);
    void SendAuth();
    void AddValueItem(int column, const QString &value, const QString &display);

    void cmdBuild_Click();
    void cmdCancel_Click();
    void chkShow_Click();
    void grdAuthorize_AfterColUpdate(int row, int column);
    void grdAuthorize_RowColChange(int row);

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    // Searches the type look-up from its first row; true when found.
    bool findType(const QString &criteria);

    std::shared_ptr<orvane::ext::IInvoice> invoice_;
    orvane::XmlDocument dom_;
    orvane::RecordsetModel *model_ = nullptr;
    bool filled_ = false;
};

} // namespace orvane::authorization
