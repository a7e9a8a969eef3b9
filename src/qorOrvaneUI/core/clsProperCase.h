#pragma once

#include <QHash>
#include <QString>

class QLineEdit;

namespace orvane::ui {

// Capitalises words as the user types into a text box: the box's first letter
// and the first letter after each space. One object serves any number of
// boxes and keeps one "capitalise the next character" flag per box.
class clsProperCase {
public:
    // Before a typed character goes in; `keyAscii` may be replaced by its capital.
    void KeyPressed(QLineEdit *textbox, int &keyAscii);
    // After a key is released: the space bar arms the flag, any other key clears it.
    void KeyisUp(QLineEdit *textbox, int keyCode);

    // The text a box is known by: its name, its index in its control group
    // (the "index" property, 0 without one) and its identity, so two boxes
    // never share a flag.
    static QString boxKey(const QLineEdit *textbox);

private:
    bool flag(const QString &key);
    QHash<QString, bool> flags_;
};

} // namespace orvane::ui
