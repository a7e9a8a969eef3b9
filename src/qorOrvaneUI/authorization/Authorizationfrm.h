#pragma once

#include "qorOrvaneUI/authorization/AuthorizationRequest.h"
#include "qorOrvaneUI/core/LibraryView.h"
#include "runtime/widgets/RecordsetModel.h"
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

// "Part Authorization": the grid of an authorization request
// (AuthorizationRequest), for the user to tick, correct and send. "Send
// Authorization" checks the ticked lines, sends the request and hides the view
// with sent() set; Cancel hides it with sent() false. The view fills itself on
// its first activation only.
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
    void setDispatch(const orvane::XmlDocument &dispatch) { request_.setDispatch(dispatch); }

    // Read back by the opener once the view is hidden.
    bool sent() const { return request_.sent(); }
    QString session() const { return request_.session(); }

    orvane::authorization::AuthorizationRequest &request() { return request_; }
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
    // The cells' lists as the request has them now.
    void showLists();

    orvane::authorization::AuthorizationRequest request_;
    orvane::RecordsetModel *model_ = nullptr;
    bool filled_ = false;
};

} // namespace orvane::authorization
