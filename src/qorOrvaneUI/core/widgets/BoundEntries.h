#pragma once

#include <qorOrvaneUI/runtime/Recordset.h>

#include <QString>

class QLineEdit;
class QObject;
class QWidget;

// Entries bound by name to a field of a record: the field's name is the
// entry's "dataField" property. A view loads them from its record, and writes
// an entry back when the user leaves it.
namespace orvane::ui {

void bindToField(QObject *entry, const QString &field);
// The field an entry is bound to; empty when none.
QString boundField(const QObject *entry);

// An entry takes no more than the text field it is stored in holds, so the
// user sees the limit while typing and nothing is cut when it is stored.
void limitTo(QLineEdit *entry, const Field &field);

// A masked entry's text without the mask's separators, trimmed.
QString unmaskedText(const QLineEdit *entry);
// What an entry stores: its text trimmed, a masked entry's without separators.
QString storedText(const QLineEdit *entry);

// Loads every unmasked bound entry under `root` from `rs`, each limited to its field.
void loadBoundEntries(QWidget *root, const Recordset &rs);
// Empties every masked entry under `root` and lays the stored value of a bound
// one into its empty mask.
void loadMaskedEntries(QWidget *root, const Recordset &rs);

} // namespace orvane::ui
