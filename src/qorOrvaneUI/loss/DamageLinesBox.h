#pragma once

#include "qorOrvaneUI/loss/LossNotice.h"
#include <qorOrvaneUI/runtime/Recordset.h>

#include <QCoreApplication>
#include <QGroupBox>
#include <QStringList>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;

namespace orvane {
class RecordsetModel;
namespace ui {
class EntryTyping;
}
} // namespace orvane

namespace orvane::loss {

// The loss notice's damage lines: the entries of a new line, Add and Delete,
// and the grid of the lines entered so far.
class DamageLinesBox : public QGroupBox {
    Q_DECLARE_TR_FUNCTIONS(orvane::loss::eNOLfrm)
public:
    DamageLinesBox(QWidget *parent, ui::EntryTyping *typing);

    QComboBox *cboOpeningType, *cboPos, *cboLocation, *cboSide;
    QLineEdit *txtQuantity;
    QCheckBox *chkRepairable;
    QPushButton *cmdAdd, *cmdDelete;
    QTableView *grdDamage;
    RecordsetModel *model() const { return model_; }

    void setOpenings(const QStringList &openings);
    // Position, location and side, each list led by an empty choice.
    void setCodes(const std::array<QStringList, 3> &names);
    // Shows `lines` in the grid.
    void bind(const Recordset &lines);
    // The line as entered.
    LossNotice::DamageEntry entry() const;
    // Shows the new line and empties the lists for the next one.
    void lineAdded();
    // Only a windshield asks whether it can be repaired.
    void openingChosen();

private:
    RecordsetModel *model_ = nullptr;
};

} // namespace orvane::loss
