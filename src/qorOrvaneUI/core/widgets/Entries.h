#pragma once

#include <QString>
#include <QValidator>

class QDateTimeEdit;
class QLineEdit;
class QWidget;

namespace orvane::ui {

// What a single-line entry shows is what it stores: a line break or tab that
// arrives in it (pasted, dropped or set from a stored value) becomes one space.
class SingleLineValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
    // `text` with each line break (CR LF, CR or LF) and each tab made one space.
    static QString singleLine(const QString &text);
};

// The number of characters a user types into an input mask ("999-9999": 7).
int maskSlots(const QString &inputMask);

// Gives every entry under `root` the library's entry behaviour, once:
// - a single-line entry without a validator of its own gets SingleLineValidator;
// - a masked entry clicked beyond what was typed in it puts the caret where the
//   typing stands, so it takes typing wherever it was clicked;
// - a click into a date or time selects the part clicked (day, month, hour...),
//   so typing replaces its digits instead of being refused.
void fitEntries(QWidget *root);

} // namespace orvane::ui
