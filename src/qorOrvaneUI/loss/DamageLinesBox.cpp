#include "qorOrvaneUI/loss/DamageLinesBox.h"

#include "qorOrvaneUI/core/widgets/DatePicker.h"
#include "qorOrvaneUI/core/widgets/FormParts.h"
#include "runtime/widgets/RecordsetDelegate.h"
#include "runtime/widgets/RecordsetModel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace orvane::loss {

DamageLinesBox::DamageLinesBox(QWidget *parent, ui::EntryTyping *typing)
    : QGroupBox(tr("Damage Information"), parent)
{
    setObjectName(u"fraDamage"_s);
    const ui::FormParts parts(this, typing);
    auto *damage = new QGridLayout(this);
    damage->setContentsMargins(8, 4, 8, 6);
    damage->setVerticalSpacing(4);
    cboOpeningType = parts.combo(u"cboOpeningType"_s);
    txtQuantity = parts.entry(u"txtQuantity"_s);
    txtQuantity->setFixedWidth(44);
    cboPos = parts.combo(u"cboPos"_s);
    cboLocation = parts.combo(u"cboLocation"_s);
    cboSide = parts.combo(u"cboSide"_s);
    chkRepairable = new ui::AnswerBox(tr("Not Repairable?"), this);
    chkRepairable->setObjectName(u"chkRepairable"_s);
    chkRepairable->setTristate(true);
    chkRepairable->setCheckState(Qt::PartiallyChecked);
    cmdAdd = parts.button(u"cmdAdd"_s, tr("&Add"), tr("Click to add the damage line"));
    cmdDelete =
        parts.button(u"cmdDelete"_s, tr("&Delete"), tr("Click to delete the selected damage line"));
    const std::pair<const char *, QWidget *> damageEntries[] = {
        {QT_TR_NOOP("Opening Type"), cboOpeningType},
        {QT_TR_NOOP("&Qty:"), txtQuantity},
        {QT_TR_NOOP("Position"), cboPos},
        {QT_TR_NOOP("Location"), cboLocation},
        {QT_TR_NOOP("Side"), cboSide}};
    int col = 0;
    for (const auto &[caption, w] : damageEntries) {
        auto *l = new QLabel(tr(caption), this);
        l->setObjectName(u"lbl"_s % w->objectName().mid(3));
        l->setBuddy(w);
        damage->addWidget(l, 0, col);
        damage->addWidget(w, 1, col);
        damage->setColumnStretch(col, w == txtQuantity ? 0 : 1);
        ++col;
    }
    damage->addWidget(chkRepairable, 1, col++);
    damage->addWidget(cmdAdd, 1, col++);
    damage->addWidget(cmdDelete, 1, col++);
    grdDamage = new QTableView(this);
    grdDamage->setObjectName(u"grdDamage"_s);
    // Tab leaves the grid for the buttons instead of walking its cells.
    grdDamage->setTabKeyNavigation(false);
    grdDamage->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdDamage->setSelectionMode(QAbstractItemView::SingleSelection);
    grdDamage->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdDamage->setItemDelegate(new RecordsetDelegate(grdDamage));
    grdDamage->horizontalHeader()->setStretchLastSection(true);
    grdDamage->verticalHeader()->setDefaultSectionSize(22);
    grdDamage->setMinimumHeight(84);
    damage->addWidget(grdDamage, 2, 0, 1, col);
}

void DamageLinesBox::setOpenings(const QStringList &openings)
{
    cboOpeningType->clear();
    cboOpeningType->addItems(openings);
    cboOpeningType->setCurrentIndex(-1);
}

void DamageLinesBox::setCodes(const std::array<QStringList, 3> &names)
{
    const std::array<QComboBox *, 3> lists{cboPos, cboLocation, cboSide};
    for (size_t i = 0; i < 3; ++i) {
        lists[i]->clear();
        lists[i]->addItem(QString());
        lists[i]->addItems(names[i]);
        lists[i]->setCurrentIndex(-1);
    }
}

void DamageLinesBox::bind(const Recordset &lines)
{
    auto *m = new RecordsetModel(this);
    m->addColumn(RecordsetColumn::bound(u"OpeningCodeDesc"_s, tr("Opening Type")));
    m->addColumn(RecordsetColumn::bound(u"GlassQuantity"_s, tr("Qty")));
    m->addColumn(RecordsetColumn::bound(u"PositionCodeText"_s, tr("Position")));
    m->addColumn(RecordsetColumn::bound(u"LocationCodeText"_s, tr("Location")));
    m->addColumn(RecordsetColumn::bound(u"SideCodeText"_s, tr("Side")));
    m->addColumn(
        RecordsetColumn::bound(u"notrepairable"_s, tr("Not Repairable"), ColumnFormat::CheckBox));
    for (int c = 0; c < m->columnCount(); ++c)
        m->setColumnReadOnly(c, true);
    m->setRecordset(lines);
    grdDamage->setModel(m);
    delete model_;
    model_ = m;
    grdDamage->setColumnWidth(0, 150);
    grdDamage->setColumnWidth(1, 50);
    for (int c = 2; c < 5; ++c)
        grdDamage->setColumnWidth(c, 110);
    connect(grdDamage->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    model_->setCurrentRow(current.row());
            });
}

LossNotice::DamageEntry DamageLinesBox::entry() const
{
    LossNotice::DamageEntry e;
    if (cboOpeningType->currentIndex() >= 0)
        e.opening = cboOpeningType->currentText();
    e.quantity = txtQuantity->text();
    e.position = cboPos->currentText();
    e.location = cboLocation->currentText();
    e.side = cboSide->currentText();
    e.repairable = chkRepairable->checkState();
    e.repairableAsked = chkRepairable->isEnabled();
    return e;
}

void DamageLinesBox::lineAdded()
{
    model_->refresh();
    for (QComboBox *c : {cboOpeningType, cboPos, cboSide, cboLocation})
        c->setCurrentIndex(-1);
}

void DamageLinesBox::openingChosen()
{
    const bool windshield = cboOpeningType->currentText().toUpper() == u"WINDSHIELD"_s;
    chkRepairable->setEnabled(windshield);
    // Only a windshield can be repaired: any other opening shows and stores
    // "repairable", not a tick left over from the line before.
    chkRepairable->setCheckState(windshield ? Qt::PartiallyChecked : Qt::Unchecked);
}

} // namespace orvane::loss
