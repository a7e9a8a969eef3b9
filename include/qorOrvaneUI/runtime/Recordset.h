#pragma once

#include <qorOrvaneUI/runtime/Value.h>

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace orvane {

// Field type codes as the callers' record set numbers them.
namespace ftype {
inline constexpr int Text = 202; // variable-length wide text
inline constexpr int Int32 = 3;
inline constexpr int Int64 = 20;
inline constexpr int Double = 5;
inline constexpr int Currency = 6;
inline constexpr int Date = 7;
inline constexpr int Bool = 11;
} // namespace ftype

// 8, 129, 130, 200, 201, 202 and 203 are all kinds of text.
bool isTextType(int typeCode);
// The value kind a field of this type stores.
ValueKind kindOfType(int typeCode);

// The one rule for fitting text to a text field of `definedSize`: its first
// definedSize characters, counted as the record set counts them when it stores
// (a character outside the basic plane counts once and is never split in two).
// A size of 0 or less holds any length.
QString fitText(const QString &text, int definedSize);

struct FieldDef {
    QString name;
    int type = ftype::Text;
    int definedSize = 0; // text: declared length; fixed types: their width
};

enum class SearchDirection { Forward, Backward };

// What a row has been through since the rows were loaded or last accepted;
// the transport writes exactly these rows back to its tables.
enum class RowStatus { Unchanged, New, Modified, Deleted };

class Recordset;

// A field of the current row, as `rs.field("name")` or `rs["name"]` gives it.
// Reading or writing with no current row fails with 3021.
class Field {
public:
    const QString &name() const;
    int type() const;
    int definedSize() const;
    int index() const { return index_; }
    // `text` as this field can store it: cut by fitText on a text field, whole
    // on any other (which converts it when stored).
    QString fitted(const QString &text) const;

    Value value() const;
    void setValue(const Value &v) const;
    Field &operator=(const Value &v)
    {
        setValue(v);
        return *this;
    }
    operator Value() const { return value(); }

private:
    friend class Recordset;
    Field(const Recordset *rs, int index) : rs_(rs), index_(index) {}
    const Recordset *rs_;
    int index_;
};

// The in-memory table every list and row of the library lives in.
//
// A Recordset is a handle: copying it gives a second handle on the same cursor
// (as assigning an object reference does). clone() gives a new cursor, with its
// own filter and position, over the same shared rows.
//
// Rows are shared between clones; additions, edits and deletions made through
// one are seen by all. Fields are matched by name without regard to case.
class Recordset {
public:
    Recordset();

    // --- shape ---------------------------------------------------------------
    // Append before open(). definedSize 0 for a fixed type takes the type's width.
    void appendField(const QString &name, int type, int definedSize = 0);
    void open();
    bool isOpen() const;
    int fieldCount() const;
    const FieldDef &fieldDef(int index) const;
    int fieldIndex(const QString &name) const; // -1 when absent
    std::vector<FieldDef> fields() const;

    Field field(const QString &name) const; // 3265 when absent
    Field field(int index) const;           // 3265 when out of range
    Field operator[](const QString &name) const { return field(name); }

    Value value(const QString &name) const { return field(name).value(); }
    void setValue(const QString &name, const Value &v) { field(name).setValue(v); }

    // --- rows ----------------------------------------------------------------
    void addNew();       // appends a row, makes it current and visible to all clones
    void update();       // ends the edit of the current row
    void cancelUpdate(); // drops a row added since the last update()
    void deleteRow();    // marks the current row deleted; the cursor does not move

    // --- cursor --------------------------------------------------------------
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    void move(int n); // relative to the current row
    bool eof() const;
    bool bof() const;
    int recordCount() const;      // rows the current filter lets through (deleted rows excluded)
    int absolutePosition() const; // 1-based among visible rows, 0 when at BOF/EOF

    // Opaque position that is valid across clones of the same rows.
    Value bookmark() const;
    void setBookmark(const Value &bookmark);

    // --- filter and find -------------------------------------------------------
    // Criteria texts: field op value, AND/OR, parentheses; empty text clears.
    void setFilter(const QString &criteria);
    QString filter() const;
    void find(const QString &criteria, int skipRecords = 0,
              SearchDirection direction = SearchDirection::Forward);

    Recordset clone() const;
    // A new, open record set with no rows and the same fields. The field list
    // is shared rather than rebuilt, which makes stamping out a fixed layout cheap.
    Recordset emptyCopy() const;

    // --- for the storage layer ---------------------------------------------------
    // Appends a row as already stored: status Unchanged; values converted by type.
    void loadRow(const std::vector<Value> &values);
    // Every row, deleted ones included, in storage order.
    void forEachRow(
        const std::function<void(RowStatus status, const std::vector<Value> &values)> &fn) const;
    // Forget deleted rows and mark the others Unchanged (after a successful save).
    void acceptChanges();

    // True when both handles work on the same shared rows.
    bool sharesRowsWith(const Recordset &other) const;

    // A handle on this cursor that reports each field name looked up through
    // it, through copies of it and through clones made from it; other handles
    // on the same rows report nothing. Lets a host learn which of its fields a
    // caller uses.
    using FieldWatcher = std::function<void(const QString &name)>;
    Recordset watched(FieldWatcher watcher) const;

    struct Impl;

private:
    friend class Field;
    explicit Recordset(std::shared_ptr<Impl> impl);
    void lookedUp(const QString &name) const
    {
        if (watcher_)
            (*watcher_)(name);
    }
    std::shared_ptr<Impl> d;
    std::shared_ptr<const FieldWatcher> watcher_;
};

} // namespace orvane
