#include "dispatch/DispatchFixtures.h"
#include "qorOrvaneUI/dispatch/frmEscheduleInfo.h"
#include "runtime/vb.h"
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/widgets/ScriptedUi.h>

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

using orvane::dispatch::clsShowDispatch;
using orvane::dispatch::frmEscheduleInfo;

using namespace Qt::StringLiterals;
using namespace dispatchtest;

namespace {

QString escheduleDoc(const QString &date, const QString &begin, const QString &end,
                     const QString &location, const QString &mobile)
{
    return doc(
        u"<DispatchNumber>D1</DispatchNumber>"_s % element(u"RequestedAppointmentDate"_s, date) %
        element(u"BeginRequestedTime"_s, begin) % element(u"EndRequestedTime"_s, end) %
        element(u"MobileLocationDescription"_s, location) % element(u"MobileIndicator"_s, mobile));
}

struct Shown {
    QStringList values;
    QPoint position;
    QSize size;
    bool hiddenByOk = false;
};

Shown show(const QString &xml)
{
    orvane::test::ScopedScriptedUi ui;
    ui->setScreenSize(QSize(1600, 900));
    Shown shown;
    ui->onDialog([&](QDialog *dialog) {
        auto *view = dynamic_cast<frmEscheduleInfo *>(dialog);
        ASSERT_NE(view, nullptr);
        for (int i = 0; i < 5; ++i)
            shown.values << view->lblEsched[std::size_t(i)]->text();
        shown.position = view->pos();
        shown.size = view->frameGeometry().size();
        view->cmdAction[0]->click();
        shown.hiddenByOk = !view->isVisible();
    });
    clsShowDispatch d;
    orvane::WindowHandle owner = 99;
    QString reportPath = u"ignored.rpt"_s;
    d.ShowEschedule(owner, xml, reportPath);
    EXPECT_EQ(ui->dialogsShown(), (std::vector<QString>{u"frmEscheduleInfo"_s}));
    return shown;
}

QString shortDate(int y, int m, int d)
{
    return vb::FormatShortDate(orvane::DateValue::fromDate(QDate(y, m, d)));
}

} // namespace

TEST(Eschedule, ShowsTheFiveValuesReadLeniently)
{
    const Shown mobile = show(sample(u"mobile-eschedule.xml"_s));
    EXPECT_EQ(mobile.values,
              (QStringList{shortDate(2026, 12, 8), u"08:00"_s, u"12:00"_s,
                           u"Employee lot behind O'Hare Logistics, gate 4"_s, u"MOBILE"_s}));
    EXPECT_TRUE(mobile.hiddenByOk);
    // Centred on the screen (1600 x 900 here); the window frame, added when
    // shown, may shift it by its own width.
    EXPECT_NEAR(mobile.position.x(), (1600 - mobile.size.width()) / 2.0, 4);
    EXPECT_NEAR(mobile.position.y(), (900 - mobile.size.height()) / 2.0, 4);

    // "abcd": month 0 and day 0, the day before 1 December 2023. A date that
    // cannot be made leaves the value empty; the view still shows.
    for (const auto &[text, date] : {std::pair{u"2024abcd"_s, shortDate(2023, 11, 30)},
                                     {u"20241332"_s, shortDate(2025, 2, 1)},
                                     {u"99999999"_s, QString()}})
        EXPECT_EQ(show(escheduleDoc(text, u"0800"_s, u"1200"_s, u"x"_s, u"N"_s)).values[0], date);

    const QString longText = QString(u"Mobile bay "_s).repeated(28).left(300);
    const Shown shown = show(escheduleDoc(u"20240315"_s, u"07"_s, u"163000"_s, longText, u" y "_s));
    EXPECT_EQ(shown.values[1], u"07:"_s);
    EXPECT_EQ(shown.values[2], u"16:30"_s);
    EXPECT_EQ(shown.values[3], longText);
    EXPECT_EQ(shown.values[3].size(), 300);
    EXPECT_EQ(shown.values[4], u"MOBILE"_s);
    for (const QString &other : {u"N"_s, u"Yes"_s, u"1"_s})
        EXPECT_EQ(show(escheduleDoc(u"20240315"_s, u"0800"_s, u"1200"_s, u"x"_s, other)).values[4],
                  u"In-Shop"_s)
            << other.toStdString();
}

TEST(Eschedule, AnAppointmentShowsWithWhatItHasAndOnlyNoneIsAnError)
{
    // A mobile job without an end time, a date or a location still shows.
    const Shown noEnd = show(escheduleDoc(u"20240315"_s, u"0800"_s, QString(), u""_s, u"Y"_s));
    EXPECT_EQ(noEnd.values,
              (QStringList{shortDate(2024, 3, 15), u"08:00"_s, QString(), QString(), u"MOBILE"_s}));
    EXPECT_EQ(show(escheduleDoc(QString(), u"0800"_s, u"1200"_s, u"x"_s, u"Y"_s)).values[0],
              QString());

    orvane::test::ScopedScriptedUi ui;
    clsShowDispatch d;
    orvane::WindowHandle owner = 0;
    QString path;
    auto fail = [&](QString xml) { return raised([&] { d.ShowEschedule(owner, xml, path); }); };
    // A first child that is an element has no text.
    EXPECT_EQ(
        fail(escheduleDoc(u"20240315"_s, u"0800"_s, u"1200"_s, u"x"_s, u"<b>Y</b>"_s)).number(),
        94);
    const orvane::VbError none = fail(u"not xml at all"_s);
    EXPECT_EQ(none.number(), 91);
    EXPECT_EQ(none.source(), u"qorOrvaneUI.clsShowDispatch.ShowESchedule()"_s);
    EXPECT_TRUE(ui->dialogsShown().empty());
}
