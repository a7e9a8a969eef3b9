#pragma once

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

// "Authorization Response": the network's answer, one row per answered line,
// each with an accept flag (column "A", set at first on every answered line
// the shop has not declined before; a declined line stays declined). OK writes the
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

    void setAckObject(std::shared_ptr<orvane::ext::Ig_ackn> ackn) { ackn_ = std::move(ackn); }
    void setInvoice(std::shared_ptr<orvane::ext::IInvoice> invoice);

    // The accept flags, one per answer row in row order.
    std::vector<bool> blnAccept;
    orvane::RecordsetModel *answerModel() const { return model_; }

    void Form_Activate();
    void Form_Unload();
    void cmdAction_Click();
    // A click in a cell; column "A" turns the current row's flag over.
    void grdAuthorize_Click(int row, int column);
    // Turns a row's flag over, unless the row cannot be taken (a line the
    // network did not answer, or one declined when the answer was shown before).
    void toggleAccept(int row);

    // Stored with each answered line when OK takes the answer.
    static constexpr const char16_t *Applied = u"Applied";
    static constexpr const char16_t *Declined = u"Declined";

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Per answer row, in row order: the network answered the line; the shop
    // declined it before.
    std::vector<bool> answered_;
    std::vector<bool> declined_;
    std::vector<QString> status_; // shown in the last column

    std::shared_ptr<orvane::ext::IInvoice> invoice_;
    std::shared_ptr<orvane::ext::Ig_ackn> ackn_;
    orvane::RecordsetModel *model_ = nullptr;
    bool activated_ = false;
};

} // namespace orvane::authorization
