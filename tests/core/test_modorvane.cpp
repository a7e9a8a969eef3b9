#include "qorOrvaneUI/core/Form_Utils.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "support/TestHelpers.h"
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/widgets/ScriptedUi.h>

#include <QLineEdit>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace Form_Utils = orvane::Form_Utils;
namespace modOrvane = orvane::modOrvane;

using namespace Qt::StringLiterals;
using orvane::Recordset;
using orvane::Value;
using orvane::VbError;
namespace ftype = orvane::ftype;

namespace {

Recordset oneRow()
{
    Recordset rs;
    rs.appendField(u"Name"_s, ftype::Text, 5);
    rs.appendField(u"Notes"_s, ftype::Text, 10000);
    rs.appendField(u"Price"_s, ftype::Double);
    rs.appendField(u"Count"_s, ftype::Int32);
    rs.appendField(u"Memo"_s, 203, 0);
    rs.open();
    rs.addNew();
    return rs;
}

} // namespace

TEST(modOrvane, CreateGUIDStringLaysOutTheBytesAsStoredInMemory)
{
    static const QRegularExpression hex(u"^[0-9A-F]{32}$"_s);
    const QString a = modOrvane::CreateGUIDString();
    const QString b = modOrvane::CreateGUIDString();
    EXPECT_NE(a, b);
    // A random identifier carries version 4 in the high nibble of Data3, whose
    // bytes are stored low first (digits 12-15), and its variant 10xx at the
    // start of Data4 (digit 16), which keeps its order.
    for (const QString &id : {a, b}) {
        EXPECT_TRUE(hex.match(id).hasMatch()) << id.toStdString();
        EXPECT_EQ(id.at(14), u'4') << id.toStdString();
        EXPECT_TRUE(u"89AB"_s.contains(id.at(16))) << id.toStdString();
    }
}

TEST(modOrvane, SQLSafeTextSplicesQuotesAndLineBreaks)
{
    EXPECT_EQ(modOrvane::SQLSafeText(Value::null()), u"");
    EXPECT_EQ(modOrvane::SQLSafeText(Value()), u"");
    EXPECT_EQ(modOrvane::SQLSafeText(Value(u"  O'Brien  "_s)), u"O' + CHR(39) + 'Brien");
    EXPECT_EQ(modOrvane::SQLSafeText(Value(u"a\r\r\n\nb''"_s)),
              u"a\r' + CHR(13) + CHR(10) + '' + CHR(10) + 'b' + CHR(39) + '' + CHR(39) + '");
    // Only spaces are trimmed, and only after the cut at the NUL.
    EXPECT_EQ(modOrvane::SQLSafeText(Value(u" x "_s + QChar(u'\0') + u"y"_s)), u"x");
    EXPECT_EQ(modOrvane::SQLSafeText(Value(u"\tx "_s)), u"\tx");
    EXPECT_EQ(modOrvane::SQLSafeText(Value(std::int32_t(42))), u"42");
}

TEST(modOrvane, SetRSValueFitsTextFieldsAndLeavesOthersAlone)
{
    Recordset rs = oneRow();
    modOrvane::setRSValue(rs.field(u"Name"_s), Value(u"  abcdefg  "_s));
    EXPECT_EQ(rs.value(u"Name"_s), Value(u"abcde"_s));
    // Sizes count characters: one outside the basic plane counts once and is
    // never split.
    modOrvane::setRSValue(rs.field(u"Name"_s), Value(u"abcd\U0001F600xyz"_s));
    EXPECT_EQ(rs.value(u"Name"_s), Value(u"abcd\U0001F600"_s));
    modOrvane::setRSValue(rs.field(u"Name"_s), Value(u"\U0001F600\U0001F600\U0001F600"_s));
    EXPECT_EQ(rs.value(u"Name"_s), Value(u"\U0001F600\U0001F600\U0001F600"_s));

    // 10000 and more is unlimited; so is a text field declared without a size.
    const QString longText = QString(9000, u'x');
    modOrvane::setRSValue(rs.field(u"Notes"_s), Value(u"  "_s + longText + u" "_s));
    EXPECT_EQ(rs.value(u"Notes"_s), Value(longText));
    modOrvane::setRSValue(rs.field(u"Memo"_s), Value(u" "_s + longText + u" "_s));
    EXPECT_EQ(rs.value(u"Memo"_s), Value(longText));

    modOrvane::setRSValue(rs.field(u"Count"_s), Value(std::int32_t(7)));
    EXPECT_EQ(rs.value(u"Count"_s), Value(std::int32_t(7)));
}

TEST(modOrvane, SetRSValuePassesFailuresUp)
{
    Recordset rs = oneRow();
    const VbError null =
        orvane::test::raised([&] { modOrvane::setRSValue(rs.field(u"Name"_s), Value::null()); });
    EXPECT_EQ(null.number(), orvane::err::InvalidUseOfNull);
    EXPECT_EQ(null.source(), u"setRSValue");
    EXPECT_EQ(null.description(), u"Invalid use of Null\r\nLine : 20");

    const VbError mismatch = orvane::test::raised(
        [&] { modOrvane::setRSValue(rs.field(u"Count"_s), Value(u"12ab"_s)); });
    EXPECT_EQ(mismatch.number(), orvane::err::TypeMismatch);
    EXPECT_EQ(mismatch.source(), u"setRSValue");
    EXPECT_TRUE(mismatch.description().endsWith(u"\r\nLine : 50"));
}

TEST(modOrvane, FieldExists)
{
    const Recordset rs = oneRow();
    EXPECT_TRUE(modOrvane::FieldExists(rs, u"PRICE"_s));
    EXPECT_FALSE(modOrvane::FieldExists(rs, u"Cost"_s));
    EXPECT_FALSE(modOrvane::FieldExists(rs, QString()));
    EXPECT_FALSE(modOrvane::FieldExists(Recordset(), u"Price"_s));
}

TEST(Form_Utils, SelectAllTextTrimsAndSelectsEverything)
{
    orvane::test::ScopedScriptedUi ui;
    QLineEdit box;
    box.setText(u" 12 Main St "_s);
    box.setCursorPosition(3);
    Form_Utils::SelectAllText(&box);
    EXPECT_GE(ui->doEventsCalls(), 1);
    EXPECT_EQ(box.text(), u"12 Main St");
    EXPECT_EQ(box.selectedText(), u"12 Main St");
    EXPECT_EQ(box.selectionStart(), 0);

    box.setText(u"\tTab "_s); // only spaces are trimmed
    Form_Utils::SelectAllText(&box);
    EXPECT_EQ(box.selectedText(), u"\tTab");

    Form_Utils::SelectAllText(nullptr);
}
