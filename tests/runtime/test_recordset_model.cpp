#include "runtime/RuntimeHelpers.h"
#include "runtime/vb.h"
#include "runtime/widgets/RecordsetDelegate.h"
#include "runtime/widgets/RecordsetModel.h"
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QStyleOptionViewItem>
#include <QWidget>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace orvane;

namespace {

// Parts: name, quantity, price, due date, taxable flag, kind code (1 yes / 0 no).
Recordset parts()
{
    Recordset rs = test::openRecordset({{u"Name"_s, ftype::Text, 8},
                                        {u"Qty"_s, ftype::Int32},
                                        {u"Price"_s, ftype::Currency},
                                        {u"Due"_s, ftype::Date},
                                        {u"Taxable"_s, ftype::Bool},
                                        {u"Kind"_s, ftype::Int32}});
    rs.loadRow({u"GLASS"_s, std::int32_t(2), Currency{12345000}, Value(QDate(2026, 3, 1)), true,
                std::int32_t(1)});
    rs.loadRow({u"MOLDING"_s, std::int32_t(10), Currency{25000}, Value(), false, std::int32_t(0)});
    rs.loadRow({u"KIT"_s, std::int32_t(7), Value::null(), Value(), Value(), std::int32_t(7)});
    rs.moveFirst();
    return rs;
}

struct Grid {
    Recordset rs = parts();
    RecordsetModel model;
    QAbstractItemModelTester tester{&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning};
    int name = model.addColumn(RecordsetColumn::bound(u"Name"_s, u"Part"_s));
    int qty = model.addColumn(RecordsetColumn::bound(u"qty"_s, u"Qty"_s, ColumnFormat::Number));
    int price =
        model.addColumn(RecordsetColumn::bound(u"Price"_s, u"Price"_s, ColumnFormat::Currency));
    int due = model.addColumn(RecordsetColumn::bound(u"Due"_s, u"Due"_s, ColumnFormat::ShortDate));
    int taxable =
        model.addColumn(RecordsetColumn::bound(u"Taxable"_s, u"Tax"_s, ColumnFormat::CheckBox));
    int kind = model.addColumn(RecordsetColumn::bound(u"Kind"_s, u"Kind"_s));

    Grid()
    {
        model.setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        model.setRecordset(rs);
    }
    QString text(int row, int column) const { return model.index(row, column).data().toString(); }
    bool set(int row, int column, const QVariant &value, int role = Qt::EditRole)
    {
        return model.setData(model.index(row, column), value, role);
    }
};

} // namespace

TEST(RecordsetModel, BoundColumnsShowFormattedValues)
{
    Grid g;
    EXPECT_EQ(g.text(1, g.qty), u"10.00"_s);
    EXPECT_EQ(g.text(0, g.price), u"$1,234.50"_s);
    // Never assigned and Null both show blank, not "$0.00" or the zero date.
    EXPECT_EQ(g.text(1, g.due), QString());
    EXPECT_EQ(g.text(2, g.price), QString());

    // A check box column has a state and no text; a never-assigned flag is clear.
    const QModelIndex tax0 = g.model.index(0, g.taxable);
    EXPECT_FALSE(tax0.data(Qt::DisplayRole).isValid());
    EXPECT_EQ(tax0.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    EXPECT_EQ(g.model.index(2, g.taxable).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));

    // Editing starts from plain text that storing text accepts again.
    EXPECT_EQ(g.model.index(0, g.price).data(Qt::EditRole).toString(), u"1234.5"_s);

    // A column's own tip, or a provider's asked for the row shown.
    g.model.setCellTip(g.qty, u"Quantity ordered"_s);
    g.model.setCellTipProvider(
        g.name, [](int row, const Value &) -> QString { return u"Row "_s + QString::number(row); });
    EXPECT_EQ(g.model.index(2, g.qty).data(Qt::ToolTipRole).toString(), u"Quantity ordered"_s);
    EXPECT_EQ(g.model.index(1, g.name).data(Qt::ToolTipRole).toString(), u"Row 1"_s);
}

TEST(RecordsetModel, EditsAreWrittenBackAndUnboundColumnsServedByCallbacks)
{
    Grid g;
    g.rs.moveLast();
    QSignalSpy changed(&g.model, &QAbstractItemModel::dataChanged);
    QSignalSpy after(&g.model, &RecordsetModel::afterColumnUpdate);

    EXPECT_TRUE(g.set(0, g.qty, u" 12 "_s));
    // The money as the cell shows it is taken back.
    EXPECT_TRUE(g.set(0, g.price, u"$2,500.75"_s));
    EXPECT_TRUE(g.set(0, g.taxable, int(Qt::Unchecked), Qt::CheckStateRole));
    EXPECT_TRUE(g.set(0, g.due, QDate(2026, 4, 30)));
    EXPECT_EQ(g.rs.absolutePosition(), 3) << "writing leaves the caller where it was";
    g.rs.moveFirst();
    EXPECT_EQ(g.rs.value(u"Qty"_s), Value(std::int32_t(12)));
    EXPECT_EQ(g.rs.value(u"Price"_s), Value(Currency{25007500}));
    EXPECT_EQ(g.rs.value(u"Taxable"_s), Value(false));
    EXPECT_EQ(changed.count(), 4);
    EXPECT_EQ(after.count(), 4);

    // Two columns over one field change together.
    const int nameAgain = g.model.addColumn(RecordsetColumn::bound(u"NAME"_s, u"Again"_s));
    changed.clear();
    EXPECT_TRUE(g.set(1, g.name, u"TRIM"_s));
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(g.text(1, nameAgain), u"TRIM"_s);

    // The views drive unbound check boxes end to end; here a column without a
    // setter, which refuses edits.
    const int total = g.model.addColumn(RecordsetColumn::unbound(
        u"Total"_s, [&](int row, const Value &) -> QVariant { return row * 100 + 0.5; }, {},
        ColumnFormat::Currency));
    EXPECT_EQ(g.text(2, total), u"$200.50"_s);
    EXPECT_FALSE(g.set(0, total, 5));

    // A setter that throws is reported, not let loose in the view.
    const int strict = g.model.addColumn(RecordsetColumn::unbound(
        u"Strict"_s, [](int, const Value &) { return QVariant(); },
        [](int, const Value &, const QVariant &) -> bool { throw typeMismatch(); }));
    QSignalSpy thrown(&g.model, &RecordsetModel::editFailed);
    EXPECT_FALSE(g.set(0, strict, u"x"_s));
    ASSERT_EQ(thrown.count(), 1);
    EXPECT_EQ(thrown.at(0).at(2).toString(), u"Type mismatch"_s);
}

TEST(RecordsetModel, FlagsFollowColumnKindAndRefusedEditsChangeNothing)
{
    Grid g;
    QSignalSpy failed(&g.model, &RecordsetModel::editFailed);

    EXPECT_FALSE(g.set(1, g.qty, u"12ab"_s));
    EXPECT_FALSE(g.set(1, g.name, u"MUCH TOO LONG"_s));
    ASSERT_EQ(failed.count(), 2);
    EXPECT_EQ(failed.at(0), (QVariantList{1, g.qty, u"Type mismatch"_s}));
    EXPECT_TRUE(failed.at(1).at(2).toString().startsWith(u"Multiple-step operation"_s));
    EXPECT_EQ(g.text(1, g.name), u"MOLDING"_s);

    // A row deleted behind the model's back: blank cells, refused edits, no crash.
    g.rs.moveNext();
    g.rs.deleteRow();
    EXPECT_FALSE(g.model.index(1, g.name).data().isValid());
    EXPECT_FALSE(g.set(1, g.name, u"X"_s));
    EXPECT_FALSE(g.model.setCurrentRow(1));

    const Qt::ItemFlags tax = g.model.flags(g.model.index(0, g.taxable));
    EXPECT_TRUE(tax & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(tax & Qt::ItemIsEditable);
    g.model.setColumnReadOnly(g.name, true);
    g.model.setColumnReadOnly(g.taxable, true);
    EXPECT_FALSE(g.model.flags(g.model.index(0, g.name)) & Qt::ItemIsEditable);
    EXPECT_FALSE(g.model.flags(g.model.index(0, g.taxable)) & Qt::ItemIsUserCheckable);

    // Read-only refuses quietly: no write, no failure report.
    failed.clear();
    EXPECT_FALSE(g.set(0, g.name, u"X"_s));
    EXPECT_FALSE(g.set(0, g.taxable, int(Qt::Unchecked), Qt::CheckStateRole));
    EXPECT_EQ(g.text(0, g.name), u"GLASS"_s);
    EXPECT_EQ(failed.count(), 0);
}

TEST(RecordsetModel, CurrentRowIsTheCallersCurrentRow)
{
    Grid g;
    QSignalSpy rowChanged(&g.model, &RecordsetModel::rowChanged);
    // Reading cells never moves the caller.
    for (int r = 0; r < g.model.rowCount(); ++r)
        g.model.index(r, g.name).data();
    EXPECT_EQ(g.rs.absolutePosition(), 1);

    EXPECT_TRUE(g.model.setCurrentRow(2));
    EXPECT_EQ(g.rs.value(u"Name"_s).toText(), u"KIT"_s);
    EXPECT_TRUE(g.model.setCurrentRow(2));
    EXPECT_EQ(rowChanged.count(), 1) << "the same row again is no change";
    EXPECT_EQ(rowChanged.at(0), (QVariantList{2, 0}));
    EXPECT_FALSE(g.model.setCurrentRow(3));

    // The caller moving its own cursor moves the grid's current row.
    g.rs.movePrevious();
    EXPECT_EQ(g.model.currentRow(), 1);
    g.rs.moveLast();
    g.rs.moveNext();
    EXPECT_EQ(g.model.currentRow(), -1);
    EXPECT_TRUE(g.model.setCurrentRow(0));
    EXPECT_EQ(rowChanged.last().at(1).toInt(), -1);
}

TEST(RecordsetModel, RefreshShowsOutsideChangesAndFollowsTheFilter)
{
    Grid g;
    g.rs.addNew();
    g.rs.setValue(u"Name"_s, u"CLIP"_s);
    g.rs.update();
    g.model.refresh();
    EXPECT_EQ(g.text(3, g.name), u"CLIP"_s);
    EXPECT_EQ(g.model.currentRow(), 3);

    g.rs.moveFirst();
    g.rs.deleteRow();
    g.model.refresh();
    EXPECT_EQ(g.text(0, g.name), u"MOLDING"_s);
    EXPECT_EQ(g.model.currentRow(), -1); // still on the deleted row

    EXPECT_THROW(g.model.addColumn(RecordsetColumn::bound(u"Colour"_s, u"Colour"_s)), VbError);
    // A record set that lacks a column's field is refused before anything changes.
    EXPECT_THROW(g.model.setRecordset(test::openRecordset({{u"Name"_s, ftype::Text, 10}})),
                 VbError);
    EXPECT_TRUE(g.model.recordset().sharesRowsWith(g.rs));

    // Rows follow the caller's filter, and building them leaves the caller where it was.
    g.rs.setFilter(u"Qty > 5"_s);
    g.rs.moveLast();
    g.model.refresh();
    ASSERT_EQ(g.model.rowCount(), 2);
    EXPECT_EQ(g.text(1, g.name), u"KIT"_s);
    EXPECT_EQ(g.rs.value(u"Name"_s).toText(), u"KIT"_s);

    // An edit that takes a row out of the filter keeps it until the next refresh.
    EXPECT_TRUE(g.set(0, g.qty, u"1"_s));
    g.model.refresh();
    EXPECT_EQ(g.model.rowCount(), 1);

    // A model without a record set, or over an empty one, has no rows.
    RecordsetModel empty;
    QAbstractItemModelTester tester(&empty,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    empty.addColumn(RecordsetColumn::bound(u"Name"_s, u"Part"_s));
    EXPECT_EQ(empty.currentRow(), -1);
    empty.setRecordset(g.rs.emptyCopy());
    EXPECT_EQ(empty.rowCount(), 0);
}

TEST(RecordsetDelegate, CombosCheckBoxesAndCutCells)
{
    Grid g;
    g.model.setValueList(g.kind, {{1, u"Yes"_s}, {u"0"_s, u"No"_s}});
    // "0" matches the number 0 of an integer field; a value the list does not
    // know shows as itself; editing carries the stored value, not the text.
    EXPECT_EQ(g.text(1, g.kind), u"No"_s);
    EXPECT_EQ(g.text(2, g.kind), u"7"_s);
    EXPECT_EQ(g.model.index(0, g.kind).data(Qt::EditRole), QVariant(1));

    g.model.setDropDownList(g.name, {u"GLASS"_s, u"KIT"_s});
    // Through a proxy, as a sorted grid has it.
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(&g.model);
    RecordsetDelegate delegate;
    QWidget parent;
    QStyleOptionViewItem option;

    // A value the list lacks is offered as it is, so accepting the editor keeps it.
    const struct {
        int row, column;
        QString shown, chosen;
        int offered;
    } edits[] = {
        {1, g.kind, u"No"_s, u"Yes"_s, 2},
        {2, g.kind, u"7"_s, u"7"_s, 3},
        {1, g.name, u"MOLDING"_s, u"KIT"_s, 3},
    };
    std::unique_ptr<QWidget> editor;
    for (const auto &e : edits) {
        const QModelIndex at = proxy.index(e.row, e.column);
        editor.reset(delegate.createEditor(&parent, option, at));
        auto *combo = qobject_cast<QComboBox *>(editor.get());
        ASSERT_NE(combo, nullptr);
        delegate.setEditorData(combo, at);
        EXPECT_EQ(combo->count(), e.offered);
        EXPECT_EQ(combo->currentText(), e.shown);
        combo->setCurrentIndex(combo->findText(e.chosen));
        delegate.setModelData(combo, &proxy, at);
        EXPECT_EQ(g.text(e.row, e.column), e.chosen);
    }

    // Check boxes get no editor.
    EXPECT_EQ(delegate.createEditor(&parent, option, proxy.index(0, g.taxable)), nullptr);

    // A check box toggles on a click inside the cell or on the space bar.
    option.rect = QRect(0, 0, 80, 20);
    const QModelIndex tax = g.model.index(0, g.taxable);
    auto click = [&](QEvent::Type type, QPointF at) {
        QMouseEvent event(type, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        return delegate.editorEvent(&event, &g.model, option, tax);
    };

    EXPECT_TRUE(click(QEvent::MouseButtonPress, QPointF(70, 10)));
    EXPECT_TRUE(click(QEvent::MouseButtonRelease, QPointF(70, 10)));
    EXPECT_EQ(g.rs.value(u"Taxable"_s), Value(false));
    EXPECT_FALSE(click(QEvent::MouseButtonRelease, QPointF(90, 10))) << "outside the cell";

    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    EXPECT_TRUE(delegate.editorEvent(&space, &g.model, option, tax));
    EXPECT_EQ(g.rs.value(u"Taxable"_s), Value(true));
    g.model.setColumnReadOnly(g.taxable, true);
    EXPECT_FALSE(click(QEvent::MouseButtonRelease, QPointF(10, 10)));

    // A cell too narrow for its text offers the whole text as its tip.
    option.widget = &parent;
    option.rect = QRect(0, 0, 4, 20);
    EXPECT_EQ(delegate.hiddenText(option, tax.siblingAtColumn(g.name)), g.text(0, g.name));
    option.rect = QRect(0, 0, 2000, 20);
    EXPECT_EQ(delegate.hiddenText(option, tax.siblingAtColumn(g.name)), QString());

    // A never-assigned flag reads as False and finds its entry.
    g.model.setValueList(g.taxable, {{true, u"Taxed"_s}, {false, u"Free"_s}});
    EXPECT_EQ(g.model.valueListIndex(g.model.index(2, g.taxable)), 1);
}
