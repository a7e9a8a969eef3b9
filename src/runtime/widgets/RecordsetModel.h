#pragma once

#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/Value.h>

#include <QAbstractTableModel>
#include <QList>
#include <QLocale>
#include <QPair>
#include <QStringList>

#include <functional>
#include <unordered_map>
#include <vector>

namespace orvane {

// How a column shows its value.
enum class ColumnFormat {
    None,      // the value's own text
    Currency,  // the locale's money format, two decimals ("$1,234.50")
    ShortDate, // the user's short date
    CheckBox,  // a check box (Qt::CheckStateRole); no text
    Number,    // grouped digits with a fixed number of decimals ("1,234.50")
};

// One entry of a column's value list: the stored value and the text shown for it.
using ValueListEntry = QPair<QVariant, QString>;

// A grid column over a record set. A bound column shows and edits a field of
// the row; an unbound one is served by callbacks that receive the row and its
// bookmark (and may store their values anywhere, keyed by the bookmark).
struct RecordsetColumn {
    using Getter = std::function<QVariant(int row, const Value &bookmark)>;
    // Returns false to refuse the value; may throw VbError.
    using Setter = std::function<bool(int row, const Value &bookmark, const QVariant &value)>;
    using TipProvider = std::function<QString(int row, const Value &bookmark)>;
    // A value list that depends on the row (its kind, its state).
    using ValueListProvider =
        std::function<QList<QPair<QVariant, QString>>(int row, const Value &bookmark)>;

    QString field; // bound: the field's name; empty for an unbound column
    QString caption;
    ColumnFormat format = ColumnFormat::None;
    int decimals = 2; // ColumnFormat::Number
    bool readOnly = false;
    int widthHint = -1; // pixels; -1 leaves the width to the view
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;

    Getter getter; // unbound only
    Setter setter; // unbound only; without one the column is read-only

    QList<ValueListEntry> valueList;
    ValueListProvider valueListProvider; // wins over the fixed list
    QStringList dropDownList;
    QString tip;             // a fixed cell tip
    TipProvider tipProvider; // a cell tip per row; wins over the fixed text

    static RecordsetColumn bound(const QString &field, const QString &caption,
                                 ColumnFormat format = ColumnFormat::None);
    static RecordsetColumn unbound(const QString &caption, Getter getter, Setter setter = {},
                                   ColumnFormat format = ColumnFormat::None);
    bool isBound() const { return !field.isEmpty(); }
};

// A table model over a record set's visible rows for the grids.
//
// The model reads through a private clone, so showing the grid never moves the
// caller's cursor; setCurrentRow() moves the caller's cursor, and currentRow()
// reads it, so the grid's current row is always the record set's current row.
// Rows are fixed when the model is (re)built: call refresh() after rows were
// added or deleted or the filter changed outside the model.
class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The cell's value itself (not its formatted text), for sorting and views.
    static constexpr int RawValueRole = Qt::UserRole + 1;

    explicit RecordsetModel(QObject *parent = nullptr);
    explicit RecordsetModel(const Recordset &recordset, QObject *parent = nullptr);
    ~RecordsetModel() override;

    // Shows another record set (a handle on the caller's cursor). Throws 3265
    // when a bound column names a field the record set does not have.
    void setRecordset(const Recordset &recordset);
    Recordset recordset() const { return caller_; }

    // --- columns -------------------------------------------------------------
    // Returns the new column's number. Throws 3265 for an unknown field.
    int addColumn(const RecordsetColumn &column);
    const RecordsetColumn &column(int column) const;     // column must be in range
    int findColumn(const QString &fieldOrCaption) const; // -1 when absent
    void setValueList(int column, const QList<ValueListEntry> &entries);
    void setValueListProvider(int column, RecordsetColumn::ValueListProvider provider);
    // The value list of one cell: the row's own when the column has a provider.
    QList<ValueListEntry> valueListOf(int row, int column) const;
    // The most characters a cell of the column can store (a text field's
    // defined size); 0 for no limit.
    int maxLength(int column) const;
    // The kind of value the column's field stores; Empty for an unbound column.
    ValueKind fieldKind(int column) const;
    void setDropDownList(int column, const QStringList &texts);
    void setCellTip(int column, const QString &text);
    void setCellTipProvider(int column, RecordsetColumn::TipProvider provider);
    void setColumnReadOnly(int column, bool readOnly);
    // The locale for the currency and number formats (default: the system's).
    void setLocale(const QLocale &locale);
    QLocale locale() const { return locale_; }

    // Position in the value list of the cell's stored value; -1 when absent.
    int valueListIndex(const QModelIndex &index) const;

    // --- rows ----------------------------------------------------------------
    void refresh();
    // Tells the views a row's (or a column's) cells changed outside the model,
    // e.g. an unbound column's values.
    void refreshRow(int row);
    void refreshColumn(int column);

    Value rowBookmark(int row) const;               // Empty when out of range
    int rowOfBookmark(const Value &bookmark) const; // -1 when not shown
    // The row the caller's cursor is on; -1 when at BOF/EOF or on a row not shown.
    int currentRow() const;
    // Moves the caller's cursor to the row; false when the row is out of range or gone.
    bool setCurrentRow(int row);

    // --- QAbstractItemModel ---------------------------------------------------
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Conversions between the runtime's values and Qt's variants.
    static Value toValue(const QVariant &variant);
    static QVariant toVariant(const Value &value);

Q_SIGNALS:
    // An edit the record set (or an unbound column's setter) refused.
    void editFailed(int row, int column, const QString &description);
    // A cell's new value was stored.
    void afterColumnUpdate(int row, int column);
    // setCurrentRow() moved the caller's cursor to another row.
    void rowChanged(int newRow, int oldRow);

private:
    struct Col {
        RecordsetColumn def;
        int fieldIndex = -1;
    };

    void resolveField(Col &col) const;
    void rebuildRows();
    bool cellValue(int row, const Col &col, Value &out) const;
    QList<ValueListEntry> listOf(int row, const Col &col) const;
    QString displayText(int row, const Col &col, const Value &value) const;
    QVariant editValue(int row, const Col &col, const Value &value) const;
    Value storedValue(const Col &col, const QVariant &input) const;
    bool isChecked(const Col &col, const Value &value) const;
    int valueListPosition(const QList<ValueListEntry> &list, const Col &col,
                          const Value &value) const;
    ValueKind kindOf(const Col &col, const Value &value) const;
    bool checkColumn(int column) const;
    void emitCellChanged(int row, int column);

    Recordset caller_;
    Recordset reader_; // private cursor for reading and writing cells
    std::vector<Col> columns_;
    std::vector<Value> bookmarks_;
    std::unordered_map<std::int64_t, int> rowOfId_;
    QLocale locale_;
};

} // namespace orvane
