#include "qorOrvaneUI/core/clsProperCase.h"

#include <QLineEdit>
#include <QVariant>

namespace orvane::ui {

using namespace Qt::StringLiterals;

namespace {

constexpr int Space = 32;

int upperCode(int code)
{
    if (code < 0 || code > 0xFFFF)
        return code;
    return QChar(char16_t(code)).toUpper().unicode();
}

} // namespace

QString clsProperCase::boxKey(const QLineEdit *textbox)
{
    const QVariant index = textbox->property("index");
    return textbox->objectName() % u'(' % QString::number(index.isValid() ? index.toInt() : 0) %
           u")@"_s % QString::number(quintptr(textbox), 16);
}

bool clsProperCase::flag(const QString &key)
{
    auto it = flags_.find(key);
    if (it == flags_.end())
        it = flags_.insert(key, false);
    return it.value();
}

void clsProperCase::KeyPressed(QLineEdit *textbox, int &keyAscii)
{
    // Typing must never stop because of this class.
    if (textbox == nullptr)
        return;
    const QString key = boxKey(textbox);
    const bool capitalise = flag(key);
    const QString text = textbox->text();
    if (text.size() == 1) {
        // The first letter is made a capital as the second one is typed, so a
        // box that was filled or pasted into is set right as well.
        textbox->setText(text.toUpper());
        textbox->setCursorPosition(1);
    } else if (capitalise) {
        keyAscii = upperCode(keyAscii);
        flags_[key] = false;
    }
    if (keyAscii == Space)
        flags_[key] = true;
}

void clsProperCase::KeyisUp(QLineEdit *textbox, int keyCode)
{
    if (textbox == nullptr)
        return;
    flags_[boxKey(textbox)] = keyCode == Space;
}

} // namespace orvane::ui
