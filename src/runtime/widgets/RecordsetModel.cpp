#include "runtime/widgets/RecordsetModel.h"

#include "runtime/vb.h"
#include <qorOrvaneUI/runtime/VbError.h>

#include <QDate>
#include <QDateTime>

#include <algorithm>

#include <exception>

using namespace Qt::StringLiterals;

namespace orvane {

namespace {

// What a field never assigned reads as when compared or tested: "" as text,
// 0 as a number, false as a flag.
Value effectiveValue(const Value &value, ValueKind kind)
{
    if (!value.isEmpty())
        return value;
    switch (kind) {
    case ValueKind::Text:
        return Value(QString());
    case ValueKind::Int32:
        return Value(std::int32_t(0));
    case ValueKind::Int64:
        return Value(std::int64_t(0));
    case ValueKind::Double:
        return Value(0.0);
    case ValueKind::Currency:
        return Value(Currency{});
    case ValueKind::Date:
        return Value(DateValue{});
    case ValueKind::Bool:
        return Value(false);
    case ValueKind::Empty:
    case ValueKind::Null:
        break;
    }
    return value;
}

QString describeCurrentError()
{
    return currentError().description();
}

} // namespace

// --- RecordsetColumn --------------------------------------------------------------

RecordsetColumn RecordsetColumn::bound(const QString &field, const QString &caption,
                                       ColumnFormat format)
{
    RecordsetColumn c;
    c.field = field;
    c.caption = caption;
    c.format = format;
    if (format == ColumnFormat::Currency || format == ColumnFormat::Number)
        c.alignment = Qt::AlignRight | Qt::AlignVCenter;
    else if (format == ColumnFormat::CheckBox)
        c.alignment = Qt::AlignCenter;
    return c;
}

RecordsetColumn RecordsetColumn::unbound(const QString &caption, Getter getter, Setter setter,
                                         ColumnFormat format)
{
    RecordsetColumn c = bound(QString(), caption, format);
    c.getter = std::move(getter);
    c.setter = std::move(setter);
    return c;
}

// --- RecordsetModel -----------------------------------------------------------------

RecordsetModel::RecordsetModel(QObject *parent) : QAbstractTableModel(parent) {}

RecordsetModel::RecordsetModel(const Recordset &recordset, QObject *parent)
    : QAbstractTableModel(parent)
{
    setRecordset(recordset);
}

RecordsetModel::~RecordsetModel() = default;

void RecordsetModel::setRecordset(const Recordset &recordset)
{
    // Check every bound column first, so a mismatch changes nothing.
    std::vector<int> indexes;
    indexes.reserve(columns_.size());
    for (const Col &col : columns_) {
        int index = -1;
        if (col.def.isBound()) {
            index = recordset.fieldIndex(col.def.field);
            if (index < 0 && recordset.fieldCount() > 0)
                throw itemNotFound(col.def.field, u"RecordsetModel"_s);
        }
        indexes.push_back(index);
    }
    beginResetModel();
    caller_ = recordset;
    for (size_t i = 0; i < columns_.size(); ++i)
        columns_[i].fieldIndex = indexes[i];
    rebuildRows();
    endResetModel();
}

void RecordsetModel::resolveField(Col &col) const
{
    col.fieldIndex = -1;
    if (!col.def.isBound())
        return;
    col.fieldIndex = caller_.fieldIndex(col.def.field);
    if (col.fieldIndex < 0 && caller_.fieldCount() > 0)
        throw itemNotFound(col.def.field, u"RecordsetModel"_s);
}

void RecordsetModel::rebuildRows()
{
    bookmarks_.clear();
    rowOfId_.clear();
    reader_ = Recordset();
    if (!caller_.isOpen())
        return;
    // The walk never touches the caller's cursor: a clone with the caller's filter
    // sees the same rows in the same order.
    try {
        Recordset walker = caller_.clone();
        walker.setFilter(caller_.filter());
        if (walker.recordCount() > 0) {
            bookmarks_.reserve(size_t(walker.recordCount()));
            walker.moveFirst();
            while (!walker.eof()) {
                const Value bookmark = walker.bookmark();
                rowOfId_.emplace(*bookmark.get<std::int64_t>(), int(bookmarks_.size()));
                bookmarks_.push_back(bookmark);
                walker.moveNext();
            }
        }
        reader_ = caller_.clone();
    } catch (const VbError &) {
        // A record set that cannot be walked shows no rows rather than half of them.
        bookmarks_.clear();
        rowOfId_.clear();
    }
}

void RecordsetModel::refresh()
{
    beginResetModel();
    rebuildRows();
    endResetModel();
}

void RecordsetModel::refreshRow(int row)
{
    if (row < 0 || row >= rowCount() || columns_.empty())
        return;
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void RecordsetModel::refreshColumn(int column)
{
    if (!checkColumn(column) || bookmarks_.empty())
        return;
    Q_EMIT dataChanged(index(0, column), index(rowCount() - 1, column));
}

// --- columns ------------------------------------------------------------------------

int RecordsetModel::addColumn(const RecordsetColumn &column)
{
    Col col{column, -1};
    resolveField(col);
    const int at = columnCount();
    beginInsertColumns(QModelIndex(), at, at);
    columns_.push_back(std::move(col));
    endInsertColumns();
    return at;
}

const RecordsetColumn &RecordsetModel::column(int column) const
{
    return columns_.at(size_t(column)).def;
}

int RecordsetModel::findColumn(const QString &fieldOrCaption) const
{
    for (size_t i = 0; i < columns_.size(); ++i) {
        const RecordsetColumn &def = columns_[i].def;
        if ((def.isBound() && def.field.compare(fieldOrCaption, Qt::CaseInsensitive) == 0) ||
            def.caption == fieldOrCaption)
            return int(i);
    }
    return -1;
}

bool RecordsetModel::checkColumn(int column) const
{
    return column >= 0 && column < columnCount();
}

void RecordsetModel::setValueList(int column, const QList<ValueListEntry> &entries)
{
    if (!checkColumn(column))
        return;
    columns_[size_t(column)].def.valueList = entries;
    refreshColumn(column);
}

void RecordsetModel::setValueListProvider(int column, RecordsetColumn::ValueListProvider provider)
{
    if (!checkColumn(column))
        return;
    columns_[size_t(column)].def.valueListProvider = std::move(provider);
    refreshColumn(column);
}

QList<ValueListEntry> RecordsetModel::listOf(int row, const Col &col) const
{
    if (!col.def.valueListProvider)
        return col.def.valueList;
    if (row < 0 || row >= rowCount())
        return {};
    try {
        return col.def.valueListProvider(row, bookmarks_[size_t(row)]);
    } catch (const std::exception &) {
        return {};
    }
}

QList<ValueListEntry> RecordsetModel::valueListOf(int row, int column) const
{
    if (!checkColumn(column))
        return {};
    return listOf(row, columns_[size_t(column)]);
}

int RecordsetModel::maxLength(int column) const
{
    if (!checkColumn(column))
        return 0;
    const int field = columns_[size_t(column)].fieldIndex;
    if (field < 0 || field >= caller_.fieldCount())
        return 0;
    const FieldDef &def = caller_.fieldDef(field);
    return isTextType(def.type) ? std::max(0, def.definedSize) : 0;
}

ValueKind RecordsetModel::fieldKind(int column) const
{
    if (!checkColumn(column))
        return ValueKind::Empty;
    const int field = columns_[size_t(column)].fieldIndex;
    if (field < 0 || field >= caller_.fieldCount())
        return ValueKind::Empty;
    return kindOfType(caller_.fieldDef(field).type);
}

void RecordsetModel::setDropDownList(int column, const QStringList &texts)
{
    if (!checkColumn(column))
        return;
    columns_[size_t(column)].def.dropDownList = texts;
}

void RecordsetModel::setCellTip(int column, const QString &text)
{
    if (!checkColumn(column))
        return;
    columns_[size_t(column)].def.tip = text;
    refreshColumn(column);
}

void RecordsetModel::setCellTipProvider(int column, RecordsetColumn::TipProvider provider)
{
    if (!checkColumn(column))
        return;
    columns_[size_t(column)].def.tipProvider = std::move(provider);
    refreshColumn(column);
}

void RecordsetModel::setColumnReadOnly(int column, bool readOnly)
{
    if (!checkColumn(column))
        return;
    columns_[size_t(column)].def.readOnly = readOnly;
    refreshColumn(column);
}

void RecordsetModel::setLocale(const QLocale &locale)
{
    locale_ = locale;
    if (!bookmarks_.empty() && !columns_.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                           {Qt::DisplayRole});
}

// --- rows ---------------------------------------------------------------------------

Value RecordsetModel::rowBookmark(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return bookmarks_[size_t(row)];
}

int RecordsetModel::rowOfBookmark(const Value &bookmark) const
{
    const auto *id = bookmark.get<std::int64_t>();
    if (id == nullptr)
        return -1;
    const auto it = rowOfId_.find(*id);
    return it == rowOfId_.end() ? -1 : it->second;
}

int RecordsetModel::currentRow() const
{
    if (!caller_.isOpen() || caller_.eof() || caller_.bof())
        return -1;
    try {
        return rowOfBookmark(caller_.bookmark());
    } catch (const VbError &) {
        return -1; // the current row was deleted
    }
}

bool RecordsetModel::setCurrentRow(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    const int old = currentRow();
    try {
        caller_.setBookmark(bookmarks_[size_t(row)]);
    } catch (const VbError &) {
        return false; // deleted since the last refresh
    }
    if (old != row)
        Q_EMIT rowChanged(row, old);
    return true;
}

// --- cells --------------------------------------------------------------------------

bool RecordsetModel::cellValue(int row, const Col &col, Value &out) const
{
    const Value &bookmark = bookmarks_[size_t(row)];
    try {
        if (col.def.isBound()) {
            if (col.fieldIndex < 0)
                return false;
            Recordset reader = reader_; // a handle on the same private cursor
            reader.setBookmark(bookmark);
            out = reader.field(col.fieldIndex).value();
        } else {
            out = col.def.getter ? toValue(col.def.getter(row, bookmark)) : Value();
        }
        return true;
    } catch (const std::exception &) {
        // A row deleted behind the model's back, or a callback that failed:
        // the cell shows nothing instead of taking the view down.
        return false;
    }
}

ValueKind RecordsetModel::kindOf(const Col &col, const Value &value) const
{
    if (col.fieldIndex >= 0)
        return kindOfType(caller_.fieldDef(col.fieldIndex).type);
    return value.kind();
}

int RecordsetModel::valueListPosition(const QList<ValueListEntry> &list, const Col &col,
                                      const Value &value) const
{
    if (value.isNull()) {
        for (qsizetype i = 0; i < list.size(); ++i)
            if (!list[i].first.isValid())
                return int(i);
        return -1;
    }
    const ValueKind kind = kindOf(col, value);
    const Value cell = effectiveValue(value, kind);
    for (qsizetype i = 0; i < list.size(); ++i) {
        try {
            const Value entry = effectiveValue(toValue(list[i].first), kind);
            if (entry.convertedTo(kind) == cell)
                return int(i);
        } catch (const VbError &) {
            // an entry of another kind ("Yes" against a number) never matches
        }
    }
    return -1;
}

bool RecordsetModel::isChecked(const Col &col, const Value &value) const
{
    if (value.isEmpty() || value.isNull())
        return false;
    try {
        return effectiveValue(value, kindOf(col, value)).toBool();
    } catch (const VbError &) {
        return false;
    }
}

QString RecordsetModel::displayText(int row, const Col &col, const Value &value) const
{
    const QList<ValueListEntry> list = listOf(row, col);
    if (!list.isEmpty()) {
        const int pos = valueListPosition(list, col, value);
        if (pos >= 0)
            return list[pos].second;
    }
    if (value.isEmpty() || value.isNull())
        return {};
    try {
        switch (col.def.format) {
        case ColumnFormat::None:
            break;
        case ColumnFormat::Currency:
            return locale_.toCurrencyString(value.toCurrency().toDouble(), QString(), 2);
        case ColumnFormat::Number:
            return locale_.toString(value.toDouble(), 'f', col.def.decimals);
        case ColumnFormat::ShortDate:
            return vb::FormatShortDate(value.toDate());
        case ColumnFormat::CheckBox:
            return {};
        }
    } catch (const VbError &) {
        // not a value this format can show: show its own text
    }
    try {
        return value.toText();
    } catch (const VbError &) {
        return {};
    }
}

QVariant RecordsetModel::editValue(int row, const Col &col, const Value &value) const
{
    if (col.def.format == ColumnFormat::CheckBox)
        return isChecked(col, value);
    if (!listOf(row, col).isEmpty())
        return toVariant(value);
    if (value.isEmpty() || value.isNull())
        return QString();
    switch (value.kind()) {
    case ValueKind::Date:
    case ValueKind::Bool:
        return toVariant(value);
    default:
        break;
    }
    try {
        // Plain text with "." as the separator, which is what storing text accepts.
        return value.toText();
    } catch (const VbError &) {
        return QString();
    }
}

Value RecordsetModel::storedValue(const Col &col, const QVariant &input) const
{
    if ((col.def.format == ColumnFormat::Currency || col.def.format == ColumnFormat::Number) &&
        input.typeId() == QMetaType::QString) {
        // Accept the text as the cell shows it ("$1,234.50"): storing text
        // wants plain digits with "." as the separator.
        QString text = input.toString();
        const QString symbol = locale_.currencySymbol();
        if (!symbol.isEmpty())
            text.remove(symbol);
        const QString group = locale_.groupSeparator();
        const QString point = locale_.decimalPoint();
        if (!group.isEmpty() && group != point)
            text.remove(group);
        if (point != u"."_s)
            text.replace(point, u"."_s);
        return Value(text.trimmed());
    }
    return toValue(input);
}

int RecordsetModel::valueListIndex(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this || index.row() >= rowCount() ||
        index.column() >= columnCount())
        return -1;
    const Col &col = columns_[size_t(index.column())];
    const QList<ValueListEntry> list = listOf(index.row(), col);
    Value value;
    if (list.isEmpty() || !cellValue(index.row(), col, value))
        return -1;
    return valueListPosition(list, col, value);
}

// --- QAbstractItemModel ---------------------------------------------------------------

int RecordsetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(bookmarks_.size());
}

int RecordsetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant RecordsetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() >= rowCount() ||
        index.column() >= columnCount())
        return {};
    const Col &col = columns_[size_t(index.column())];
    const int row = index.row();

    if (role == Qt::TextAlignmentRole)
        return int(col.def.alignment.toInt());
    if (role == Qt::ToolTipRole) {
        if (col.def.tipProvider) {
            try {
                return col.def.tipProvider(row, bookmarks_[size_t(row)]);
            } catch (const std::exception &) {
                return {};
            }
        }
        return col.def.tip.isEmpty() ? QVariant() : QVariant(col.def.tip);
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::CheckStateRole &&
        role != RawValueRole)
        return {};

    Value value;
    if (!cellValue(row, col, value))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        if (col.def.format == ColumnFormat::CheckBox && listOf(row, col).isEmpty())
            return {};
        return displayText(row, col, value);
    case Qt::EditRole:
        return editValue(row, col, value);
    case Qt::CheckStateRole:
        if (col.def.format != ColumnFormat::CheckBox)
            return {};
        return int(isChecked(col, value) ? Qt::Checked : Qt::Unchecked);
    case RawValueRole:
        return toVariant(value);
    default:
        return {};
    }
}

bool RecordsetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.model() != this || index.row() >= rowCount() ||
        index.column() >= columnCount())
        return false;
    const int row = index.row();
    const int column = index.column();
    const Col &col = columns_[size_t(column)];
    const Qt::ItemFlags itemFlags = flags(index);

    QVariant input;
    if (role == Qt::CheckStateRole) {
        if (col.def.format != ColumnFormat::CheckBox || !(itemFlags & Qt::ItemIsUserCheckable))
            return false;
        input = value.toInt() == int(Qt::Checked);
    } else if (role == Qt::EditRole) {
        if (!(itemFlags & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)))
            return false;
        input = value;
    } else {
        return false;
    }

    const Value &bookmark = bookmarks_[size_t(row)];
    try {
        if (col.def.isBound()) {
            if (col.fieldIndex < 0)
                return false;
            Recordset writer = reader_;
            writer.setBookmark(bookmark);
            writer.field(col.fieldIndex).setValue(storedValue(col, input));
            writer.update();
        } else if (!col.def.setter(row, bookmark, input)) {
            return false;
        }
    } catch (const std::exception &) {
        Q_EMIT editFailed(row, column, describeCurrentError());
        return false;
    }
    emitCellChanged(row, column);
    Q_EMIT afterColumnUpdate(row, column);
    return true;
}

void RecordsetModel::emitCellChanged(int row, int column)
{
    const QList<int> roles{Qt::DisplayRole, Qt::EditRole, Qt::CheckStateRole, Qt::ToolTipRole,
                           RawValueRole};
    const int field = columns_[size_t(column)].fieldIndex;
    for (int c = 0; c < columnCount(); ++c) {
        // Another column showing the same field changed with it.
        if (c == column || (field >= 0 && columns_[size_t(c)].fieldIndex == field))
            Q_EMIT dataChanged(index(row, c), index(row, c), roles);
    }
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (!checkColumn(section))
            return {};
        if (role == Qt::DisplayRole)
            return columns_[size_t(section)].def.caption;
        return {};
    }
    if (section < 0 || section >= rowCount())
        return {};
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags RecordsetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this || index.row() >= rowCount() ||
        index.column() >= columnCount())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    const RecordsetColumn &def = columns_[size_t(index.column())].def;
    const bool writable = !def.readOnly && (def.isBound() || bool(def.setter));
    if (!writable)
        return f;
    // A check box toggles in place; a text editor over it would only get in the way.
    if (def.format == ColumnFormat::CheckBox)
        return f | Qt::ItemIsUserCheckable;
    return f | Qt::ItemIsEditable;
}

// --- conversions ----------------------------------------------------------------------

Value RecordsetModel::toValue(const QVariant &variant)
{
    if (!variant.isValid())
        return {};
    switch (variant.typeId()) {
    case QMetaType::Bool:
        return Value(variant.toBool());
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return Value(std::int32_t(variant.toInt()));
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return Value(std::int64_t(variant.toLongLong()));
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return Value(variant.toDouble());
    case QMetaType::QDate: {
        const QDate d = variant.toDate();
        return d.isValid() ? Value(d) : Value();
    }
    case QMetaType::QDateTime: {
        const QDateTime dt = variant.toDateTime();
        return dt.isValid() ? Value(DateValue::fromDateTime(dt)) : Value();
    }
    case QMetaType::QString:
        return Value(variant.toString());
    default:
        break;
    }
    if (variant.canConvert<QString>())
        return Value(variant.toString());
    return {};
}

QVariant RecordsetModel::toVariant(const Value &value)
{
    switch (value.kind()) {
    case ValueKind::Empty:
    case ValueKind::Null:
        return {};
    case ValueKind::Text:
        return *value.get<QString>();
    case ValueKind::Int32:
        return int(*value.get<std::int32_t>());
    case ValueKind::Int64:
        return qlonglong(*value.get<std::int64_t>());
    case ValueKind::Double:
        return *value.get<double>();
    case ValueKind::Currency:
        return value.get<Currency>()->toDouble();
    case ValueKind::Date: {
        const DateValue &d = *value.get<DateValue>();
        if (d.msecs == 0)
            return d.date();
        return d.toDateTime();
    }
    case ValueKind::Bool:
        return *value.get<bool>();
    }
    return {};
}

} // namespace orvane
