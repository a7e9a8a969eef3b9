#pragma once

#include "qorOrvaneUI/core/clsProperCase.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace orvane::ui {

// Makes a view's controls the one way: named (and numbered when they belong
// to a control group), with their tips, entries bound to a field and typed
// through the view's filter, buttons Enter does not press, lists with
// nothing chosen.
class FormParts {
public:
    explicit FormParts(QWidget *owner, QObject *entryFilter = nullptr)
        : owner_(owner), filter_(entryFilter)
    {
    }

    QLineEdit *entry(const QString &name, int index = -1, const QString &field = QString(),
                     const QString &tip = QString()) const;
    QLineEdit *masked(const QString &name, int index, const QString &mask, const QString &field,
                      int width, const QString &tip = QString()) const;
    QPushButton *button(const QString &name, const QString &caption,
                        const QString &tip = QString()) const;
    QComboBox *combo(const QString &name, const QStringList &items = {}) const;
    // A label, numbered in its control group when `index` is not negative.
    QLabel *label(const QString &name, int index, const QString &text,
                  QWidget *buddy = nullptr) const;

    // A frame's grid: a label column, and a row of entries beside each label.
    static QGridLayout *frameGrid(QGroupBox *frame);
    static void addRow(QGridLayout *grid, QWidget *rowLabel,
                       std::initializer_list<QWidget *> widgets, bool trailingStretch = false);

private:
    QWidget *owner_;
    QObject *filter_;
};

// How an entry takes typing.
enum class Typing {
    Free,
    Digits,     // digits and backspace only
    Upper,      // letters become capitals
    ProperCase, // each word starts with a capital
};

// The typing rules of a view's entries: a masked entry takes digits only (a
// refused key is heard, not lost unnoticed); an entry selects its text when
// it gets the focus unless told not to. Tab, Enter and Escape keep their
// meaning for the view. Install it on an entry (FormParts does) to give it
// these rules.
class EntryTyping : public QObject {
public:
    using QObject::QObject;
    void set(QLineEdit *entry, Typing typing);
    void keepCaretOnFocus(QLineEdit *entry);
    // Called when the user leaves one of the entries.
    std::function<void(QLineEdit *)> left;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    clsProperCase properCase_;
};

} // namespace orvane::ui
