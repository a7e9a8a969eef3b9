#pragma once

#include "qorOrvaneUI/authorization/AuthorizationAnswer.h"
#include "qorOrvaneUI/core/LibraryView.h"

#include <array>
#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class QTableView;

namespace orvane {
class RecordsetModel;
namespace ext {
class IInvoice;
class Ig_ackn;
} // namespace ext
} // namespace orvane

namespace orvane::authorization {

// "Authorization Response": the network's answer (AuthorizationAnswer), one
// row per answered line, its accept flag in column "A". OK applies the answer.
class AuthorizationShowfrm : public orvane::ui::LibraryView {
    Q_OBJECT
public:
    explicit AuthorizationShowfrm(QWidget *parent = nullptr);
    ~AuthorizationShowfrm() override;

    QTableView *grdAuthorize = nullptr;
    QPushButton *cmdAction = nullptr;
    std::array<QLabel *, 2> lblWarning{};

    void setAckObject(std::shared_ptr<orvane::ext::Ig_ackn> ackn)
    {
        answer_.setAckObject(std::move(ackn));
    }
    void setInvoice(std::shared_ptr<orvane::ext::IInvoice> invoice);

    // The accept flags, one per answer row in row order.
    const std::vector<bool> &blnAccept() const { return answer_.accepted(); }
    orvane::RecordsetModel *answerModel() const { return model_; }

    void Form_Activate();
    void Form_Unload();
    void cmdAction_Click();
    // OK wrote the answers into the order's lines.
    bool applied() const { return applied_; }
    // A click in a cell; column "A" turns the current row's flag over.
    void grdAuthorize_Click(int row, int column);
    // Turns a row's flag over, unless the row cannot be taken.
    void toggleAccept(int row);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    orvane::authorization::AuthorizationAnswer answer_;
    orvane::RecordsetModel *model_ = nullptr;
    bool activated_ = false;
    bool applied_ = false;
};

} // namespace orvane::authorization
