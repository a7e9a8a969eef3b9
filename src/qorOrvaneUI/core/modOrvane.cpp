#include "qorOrvaneUI/core/modOrvane.h"

#include "runtime/vb.h"
#include <qorOrvaneUI/runtime/VbError.h>

#include <QUuid>

#include <array>
#include <cstdint>

using namespace Qt::StringLiterals;

namespace orvane::modOrvane {

namespace {

// Text fields of 10000 characters or more count as unlimited.
constexpr int UnlimitedSize = 10000;

} // namespace

QString CreateGUIDString()
{
    const QUuid id = QUuid::createUuid();
    if (id.isNull())
        return {};
    // Receivers compare identifiers as this text, so the byte order must stay the
    // in-memory one: Data1, Data2 and Data3 least significant byte first.
    std::array<std::uint8_t, 16> bytes{};
    for (int i = 0; i < 4; ++i)
        bytes[i] = std::uint8_t(id.data1 >> (8 * i));
    for (int i = 0; i < 2; ++i) {
        bytes[4 + i] = std::uint8_t(id.data2 >> (8 * i));
        bytes[6 + i] = std::uint8_t(id.data3 >> (8 * i));
    }
    for (int i = 0; i < 8; ++i)
        bytes[8 + i] = id.data4[i];

    static constexpr char16_t Hex[] = u"0123456789ABCDEF";
    QString out;
    out.reserve(32);
    for (std::uint8_t b : bytes) {
        out.append(QChar(Hex[b >> 4]));
        out.append(QChar(Hex[b & 0x0F]));
    }
    return out;
}

QString SQLSafeText(const orvane::Value &value)
{
    if (value.isNull())
        return {};
    QString text = value.toText();
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    text = vb::Trim(text);
    // Each replacement inserts none of the characters a later one looks for, and
    // QString::replace does not rescan what it inserted.
    text.replace(u"'"_s, u"' + CHR(39) + '"_s);
    text.replace(u"\r\n"_s, u"' + CHR(13) + CHR(10) + '"_s);
    text.replace(u"\n"_s, u"' + CHR(10) + '"_s);
    return text;
}

void setRSValue(orvane::Field field, const orvane::Value &value)
{
    orvane::Proc p(u"setRSValue"_s, orvane::WrapStyle::Utility);
    try {
        p.at(10);
        const int type = field.type();
        if (orvane::isTextType(type)) {
            p.at(20);
            QString text = vb::Trim(value.toText());
            p.at(30);
            const int size = field.definedSize();
            // A text field without a declared size is not a zero-length one: cutting
            // to nothing would lose the value without a word.
            if (size < UnlimitedSize)
                text = field.fitted(text);
            p.at(40);
            field.setValue(orvane::Value(text));
        } else {
            p.at(50);
            field.setValue(value);
        }
    } catch (...) {
        p.rethrow();
    }
}

bool FieldExists(const orvane::Recordset &rs, const QString &name)
{
    try {
        return rs.fieldIndex(name) >= 0;
    } catch (...) {
        return false;
    }
}

QString FieldText(const orvane::Recordset &rs, const QString &name)
{
    const orvane::Value v = rs.value(name);
    return v.isNull() ? QString() : v.toText();
}

} // namespace orvane::modOrvane
