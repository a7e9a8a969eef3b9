#include "qorOrvaneUI/core/Orvanemod.h"
#include "qorOrvaneUI/core/clsProperCase.h"
#include <qorOrvaneUI/runtime/Recordset.h>

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using orvane::ui::clsProperCase;
namespace Orvanemod = orvane::Orvanemod;

using namespace Qt::StringLiterals;
using orvane::Recordset;

namespace {

QStringList column(Recordset rs, const QString &field)
{
    QStringList out;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        out << rs.value(field).toText();
    return out;
}

// Types into the box as the loss notice does: KeyPressed before each
// character goes in, KeyisUp (when asked) after.
void type(clsProperCase &pc, QLineEdit &box, const QString &text, bool keyUp = false)
{
    for (const QChar c : text) {
        int code = c.unicode();
        pc.KeyPressed(&box, code);
        box.insert(QChar(char16_t(code)));
        if (keyUp)
            pc.KeyisUp(&box, c.unicode() == u' ' ? 32 : c.toUpper().unicode());
    }
}

} // namespace

TEST(LossCodes, AddedRowsAreCutToTheirFieldWidths)
{
    Recordset causes = Orvanemod::CauseOfLoss();
    EXPECT_FALSE(column(causes, u"subnamereq"_s).contains(u"True"_s));
    // A character outside the basic plane at the edge is kept whole, never split.
    const QString wide = QString(29, u'x') + QString::fromUtf8("\xF0\x9F\x9A\x97");
    Orvanemod::AddLossrecords(999, QString(120, u'd'), true, wide + u"yy"_s, {}, {}, false, causes);
    EXPECT_EQ(causes.recordCount(), 19);
    EXPECT_EQ(causes.value(u"Description"_s).toText().size(), 100);
    EXPECT_EQ(causes.value(u"subdatafield"_s).toText(), wide);
}

TEST(ProperCase, CapitalisesTheFirstLetterOfEachWordPerBox)
{
    struct Case {
        QString typed;
        bool keyUp;
        QString expected;
    };
    const Case cases[] = {
        {u"mary o'neill"_s, false, u"Mary O'neill"_s},
        {u"x"_s, false, u"x"_s}, // one letter stays until the next is typed
        {u"van 2nd street"_s, false, u"Van 2nd Street"_s},
        {u"ann lee"_s, true, u"Ann Lee"_s},
    };
    for (const Case &c : cases) {
        clsProperCase pc;
        QLineEdit box;
        box.setObjectName(u"txtSoldTo"_s);
        type(pc, box, c.typed, c.keyUp);
        EXPECT_EQ(box.text(), c.expected) << c.typed.toStdString();
    }

    // A box holding one character has it upper-cased whatever is typed next.
    clsProperCase pc;
    QLineEdit one, two;
    one.setText(u"q"_s);
    type(pc, one, u"7"_s);
    EXPECT_EQ(one.text(), u"Q7"_s);
    // Two boxes keep separate flags: a space in one does not arm the other.
    type(pc, two, u"ab "_s);
    type(pc, one, u"z"_s);
    EXPECT_EQ(one.text(), u"Q7z"_s);
    type(pc, two, u"c"_s);
    EXPECT_EQ(two.text(), u"Ab C"_s);
    // Releasing any key but the space bar disarms the flag.
    pc.KeyisUp(&two, 32);
    pc.KeyisUp(&two, 65);
    type(pc, two, u"d"_s);
    EXPECT_EQ(two.text(), u"Ab Cd"_s);
}
