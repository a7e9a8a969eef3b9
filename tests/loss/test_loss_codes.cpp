#include "Recordset.h"
#include "core/Orvanemod.h"
#include "core/clsProperCase.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

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

TEST(LossCodes, TablesHoldTheirRowsInOrder)
{
    Recordset causes = Orvanemod::CauseOfLoss();
    EXPECT_EQ(column(causes, u"LossCode"_s),
              (QStringList{u"101"_s, u"105"_s, u"111"_s, u"121"_s, u"131"_s, u"199"_s, u"201"_s,
                           u"301"_s, u"311"_s, u"321"_s, u"331"_s, u"341"_s, u"401"_s, u"411"_s,
                           u"421"_s, u"431"_s, u"499"_s, u"901"_s}));
    EXPECT_FALSE(column(causes, u"subnamereq"_s).contains(u"True"_s));
    causes.moveFirst();
    causes.find(u"losscode = 199"_s);
    EXPECT_EQ(causes.value(u"subExpl"_s).toText(), u"Provide Description of Object and person"_s);
    causes.moveFirst();
    causes.find(u"losscode = 105"_s);
    EXPECT_EQ(causes.value(u"Description"_s).toText(),
              u"Rock from Road - 3rd Part Fault License #"_s);
    EXPECT_TRUE(causes.value(u"subreq"_s).toBool());

    const QStringList openings = column(Orvanemod::OpeningType(), u"OpeningType"_s);
    EXPECT_EQ(openings, (QStringList{u"WR"_s, u"WS"_s, u"DR"_s, u"SI"_s, u"VN"_s, u"QT"_s, u"PT"_s,
                                     u"BK"_s, u"RF"_s}));

    const Recordset damage = Orvanemod::DamageInformationRS();
    EXPECT_EQ(damage.fieldCount(), 10);
    EXPECT_EQ(damage.recordCount(), 0);
    EXPECT_EQ(damage.fieldDef(9).name, u"notrepairable"_s);

    Recordset one = Orvanemod::CauseOfLoss();
    Orvanemod::AddLossrecords(999, QString(120, u'd'), true, QString(35, u'x'), {}, {}, false, one);
    EXPECT_EQ(one.recordCount(), 19);
    EXPECT_EQ(one.value(u"Description"_s).toText().size(), 100);
    EXPECT_EQ(one.value(u"subdatafield"_s).toText().size(), 30);
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
