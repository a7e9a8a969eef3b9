#include "qorOrvaneUI/core/Form_Utils.h"
#include "qorOrvaneUI/core/WindowAPImod.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "runtime/RuntimeHelpers.h"
#include <qorOrvaneUI/external/IShop.h>
#include <qorOrvaneUI/external/ObjectCast.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/widgets/ScriptedUi.h>

#include <QLineEdit>
#include <QRegularExpression>
#include <QWidget>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace orvane;
using namespace orvane::ext;
using namespace orvane::WindowAPImod;
using orvane::test::errorNumber;

namespace {

class SomethingElse : public ComObject {};

const QSize Screen(1920, 1080);

} // namespace

TEST(modOrvane, CreateGUIDStringLaysOutTheBytesAsStoredInMemory)
{
    static const QRegularExpression hex(u"^[0-9A-F]{32}$"_s);
    const QString id = modOrvane::CreateGUIDString();
    EXPECT_NE(id, modOrvane::CreateGUIDString());
    // A random identifier carries version 4 in the high nibble of Data3, whose
    // bytes are stored low first (digits 12-15), and its variant 10xx at the
    // start of Data4 (digit 16), which keeps its order.
    EXPECT_TRUE(hex.match(id).hasMatch()) << id.toStdString();
    EXPECT_EQ(id.at(14), u'4') << id.toStdString();
    EXPECT_TRUE(u"89AB"_s.contains(id.at(16))) << id.toStdString();
}

TEST(modOrvane, SQLSafeTextSplicesQuotesAndLineBreaks)
{
    EXPECT_EQ(modOrvane::SQLSafeText(Value::null()), u"");
    EXPECT_EQ(modOrvane::SQLSafeText(Value(u"  O'Brien  "_s)), u"O' + CHR(39) + 'Brien");
    EXPECT_EQ(modOrvane::SQLSafeText(Value(u"a\r\r\n\nb''"_s)),
              u"a\r' + CHR(13) + CHR(10) + '' + CHR(10) + 'b' + CHR(39) + '' + CHR(39) + '");
    // Only spaces are trimmed, and only after the cut at the NUL.
    EXPECT_EQ(modOrvane::SQLSafeText(Value(u" x "_s + QChar(u'\0') + u"y"_s)), u"x");
    EXPECT_EQ(modOrvane::SQLSafeText(Value(QChar(u'\0') + u"y"_s)), u"");
    EXPECT_EQ(modOrvane::SQLSafeText(Value(u"\tx "_s)), u"\tx");
    EXPECT_EQ(modOrvane::SQLSafeText(Value(std::int32_t(42))), u"42");
}

TEST(modOrvane, SetRSValueFitsTextFieldsAndPassesFailuresUp)
{
    Recordset rs = test::openRecordset({{u"Name"_s, ftype::Text, 5},
                                        {u"Notes"_s, ftype::Text, 10000},
                                        {u"Price"_s, ftype::Double},
                                        {u"Count"_s, ftype::Int32},
                                        {u"Memo"_s, 203}});
    rs.addNew();
    modOrvane::setRSValue(rs.field(u"Name"_s), Value(u"  abcdefg  "_s));
    EXPECT_EQ(rs.value(u"Name"_s), Value(u"abcde"_s));

    // 10000 and more is unlimited; so is a text field declared without a size.
    const QString longText = QString(9000, u'x');
    modOrvane::setRSValue(rs.field(u"Notes"_s), Value(u"  "_s + longText + u" "_s));
    EXPECT_EQ(rs.value(u"Notes"_s), Value(longText));
    modOrvane::setRSValue(rs.field(u"Memo"_s), Value(u" "_s + longText + u" "_s));
    EXPECT_EQ(rs.value(u"Memo"_s), Value(longText));

    EXPECT_EQ(test::errorText([&] { modOrvane::setRSValue(rs.field(u"Name"_s), Value::null()); }),
              u"94 setRSValue: Invalid use of Null\r\nLine : 20"_s);
    EXPECT_EQ(
        test::errorText([&] { modOrvane::setRSValue(rs.field(u"Count"_s), Value(u"12ab"_s)); }),
        u"13 setRSValue: Type mismatch\r\nLine : 50"_s);

    EXPECT_TRUE(modOrvane::FieldExists(rs, u"PRICE"_s));
    EXPECT_FALSE(modOrvane::FieldExists(rs, u"Cost"_s));
    EXPECT_FALSE(modOrvane::FieldExists(Recordset(), u"Price"_s));
}

TEST(Form_Utils, SelectAllTextTrimsAndSelectsEverything)
{
    test::ScopedScriptedUi ui;
    QLineEdit box;
    box.setText(u" 12 Main St "_s);
    box.setCursorPosition(3);
    Form_Utils::SelectAllText(&box);
    EXPECT_GE(ui->doEventsCalls(), 1);
    EXPECT_EQ(box.selectedText(), u"12 Main St");

    box.setText(u"\tTab "_s); // only spaces are trimmed
    Form_Utils::SelectAllText(&box);
    EXPECT_EQ(box.selectedText(), u"\tTab");

    Form_Utils::SelectAllText(nullptr);
}

// The check the library makes on what the host's creators hand back; the
// interfaces themselves are exercised by the host and transport tests.

TEST(External, HostCreatorResultsAreCheckedBeforeUse)
{
    // An object of another kind is a type mismatch; nothing at all, the host
    // environment tests check.
    EXPECT_EQ(errorNumber([] { objectAs<IShop>(std::make_shared<SomethingElse>(), u"FillIn"_s); }),
              err::TypeMismatch);
}

// Owner rectangle, form size, and where each placement puts the form on a 1920 x 1080 screen.
TEST(WindowAPImod, PlacementFollowsTheOwnerAndStaysOnScreen)
{
    const struct {
        QRect owner;
        QSize form;
        QPoint corner, centred;
    } cases[] = {
        // Pulled left until the right edges meet; right at the edge is not beyond it.
        {{120, 80, 800, 600}, {400, 300}, {120, 80}, {320, 230}},
        {{1700, 100, 800, 600}, {400, 300}, {1520, 100}, {1520, 250}},
        // Low on the screen: pulled up until the bottom edges meet.
        {{10, 1000, 800, 600}, {400, 300}, {10, 780}, {210, 780}},
        // On a monitor left of the main one.
        {{-1280, 200, 1280, 1024}, {400, 300}, {0, 200}, {0, 562}},
        // Larger than the screen: ends at the top left.
        {{300, 200, 800, 600}, {600, 1200}, {300, 0}, {400, 0}},
        {{300, 200, 800, 600}, {2000, 1200}, {0, 0}, {0, 0}},
        // Odd owner halves round to the even neighbour (101 / 2 -> 50, 103 / 2 -> 52),
        // odd form halves drop their fraction.
        {{100, 50, 101, 103}, {31, 21}, {100, 50}, {100 + 50 - 15, 50 + 52 - 10}},
        // Wider than its small owner: left of the owner but not off the screen.
        {{100, 100, 200, 100}, {600, 400}, {100, 100}, {0, 0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.owner.x());
        EXPECT_EQ(OwnerCornerPosition(c.owner, c.form, Screen), c.corner);
        EXPECT_EQ(CentredPosition(c.owner, c.form, Screen), c.centred);
    }
}

TEST(WindowAPImod, MovesTheFormOverTheOwnerWindow)
{
    test::ScopedScriptedUi ui;
    ui->setScreenSize(QSize(1280, 1024));
    ui->setWindowRect(42, QRect(200, 100, 640, 480));

    QWidget form;
    form.resize(320, 240);

    PlaceAtOwnerCorner(42, &form);
    EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(200, 100));

    // An unknown handle reads as a zero rectangle: the form goes to the top-left area.
    PlaceAtOwnerCorner(0, &form);
    EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(0, 0));
}
