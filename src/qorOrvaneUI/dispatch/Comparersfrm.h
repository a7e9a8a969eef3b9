#pragma once

#include "qorOrvaneUI/core/LibraryView.h"
#include <qorOrvaneUI/runtime/Recordset.h>

#include <array>

class QLabel;
class QPushButton;
class QTableView;

namespace orvane {
class RecordsetModel;
}

namespace orvane::dispatch {

// "Compare dispatches": the differences between the open order and the order
// built from a dispatch, one row each, where the user ticks the old values to
// keep. OK sets `accepted` and hides the view; Cancel and closing only hide it.
class Comparersfrm : public orvane::ui::LibraryView {
    Q_OBJECT
public:
    explicit Comparersfrm(QWidget *parent = nullptr);
    ~Comparersfrm() override;

    // Names the order and the dispatch being compared.
    QLabel *lblOrders = nullptr;
    QTableView *grdCompare = nullptr;
    std::array<QPushButton *, 2> cmdAction{}; // 0 OK, 1 Cancel

    // The comparison record set (FieldName, OriginalVal, NewValue, KeepValue, Field).
    orvane::Recordset rsCompare;
    bool accepted = false;

    // Binds grdCompare to the record set; only "Use Old Value" can be changed,
    // and not on a row whose value cannot be taken over (CanTransfer false).
    void setCompareRecordset(const orvane::Recordset &rs);
    // Shows which order and which dispatch are compared.
    void setOrders(const QString &orderName, const QString &dispatchNumber);
    orvane::RecordsetModel *compareModel() const { return model_; }

    // Icons and the registration with the host's layout service; failures are ignored.
    void Form_Load();
    // Unregisters from the layout service (once); failures are ignored.
    void Form_Unload();
    void cmdAction_Click(int index);

private:
    orvane::RecordsetModel *model_ = nullptr;
};

} // namespace orvane::dispatch
