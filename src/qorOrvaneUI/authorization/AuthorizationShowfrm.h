#pragma once

#include "core/LibraryView.h"

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

// "Authorization Response": the network's answer, one row per answered line,
// each with an accept flag (column "A", all set at first). OK writes the
// accepted prices, quantities and confirmation codes of the accepted rows
// without an error into the order's lines, all of them or, when one cannot be
// written, none, and has the host recalculate the order.
class AuthorizationShowfrm : public orvane::ui::LibraryView {
    Q_OBJECT
public:
    explicit AuthorizationShowfrm(QWidget *parent = nullptr);
    ~AuthorizationShowfrm() override;

    QTableView *grdAuthorize = nullptr;
    QPushButton *cmdAction = nullptr;
    std::array<QLabel *, 2> lblWarning{};

    void setAckObject(std::shared_ptr<orvane::ext::Ig_ackn> ackn) { objAckn = std::move(ackn); }
    void setInvoice(std::shared_ptr<orvane::ext::IInvoice> invoice);

    // The accept flags, one per answer row in row order.
    std::vector<bool> blnAccept;
    orvane::RecordsetModel *answerModel() const { return model_; }

    void Form_Activate();
    void Form_Unload();
    void cmdAction_Click();
    // A click in a cell; column "A" turns the current row's flag over.
    void grdAuthorize_Click(int row, int column);

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::shared_ptr<orvane::ext::IInvoice> objInvoice;
    std::shared_ptr<orvane::ext::Ig_ackn> objAckn;
    orvane::RecordsetModel *model_ = nullptr;
    bool activated_ = false;
};
