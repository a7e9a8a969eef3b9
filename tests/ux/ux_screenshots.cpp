// Not a check: with ORVANE_SCREENSHOTS=<folder> set, writes each view as a
// PNG for a person to look at (for example under QT_SCALE_FACTOR=2).

#include "ux/UxViews.h"
#include <qorOrvaneUI/widgets/ScriptedUi.h>

#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

using orvane::dispatch::clsShowDispatch;

using namespace Qt::StringLiterals;

namespace {

void dressUp(QDialog *view)
{
    if (auto *e = qobject_cast<frmEscheduleInfo *>(view)) {
        const QStringList values{u"12/07/2026"_s, u"08:00:00"_s, u"17:00:00"_s,
                                 u"Customer's driveway, 1200 Long Road"_s, u"Y"_s};
        for (int i = 0; i < 5; ++i)
            e->lblEsched[std::size_t(i)]->setText(values[i]);
        e->Form_Load();
    } else if (auto *c = qobject_cast<Comparersfrm *>(view)) {
        ChooseDispatchfrm choose;
        orvane::Recordset rs = choose.CreateCompareRecordset();
        choose.AddCompare(rs, u"BILL TO"_s, u"Acme Insurance"_s, u"Zenith Mutual"_s,
                          u"billto_id"_s);
        choose.AddCompare(rs, u"Sold To Last Name"_s, u"Smith"_s, u"Smyth"_s, u"s_last"_s);
        c->setCompareRecordset(rs);
    } else if (auto *w = qobject_cast<Authoriizewaitfrm *>(view)) {
        w->cmdCancel->show();
        w->lblWarning->show();
    }
}

TEST(Screenshots, EachView)
{
    const QString folder = qEnvironmentVariable("ORVANE_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "set ORVANE_SCREENSHOTS to a folder";
    QDir().mkpath(folder);
    orvane::test::ScopedScriptedUi ui;
    ui->setScreenSize(QGuiApplication::primaryScreen()->size());
    for (const ux::View &v : ux::views()) {
        const auto view = v.make();
        dressUp(view.get());
        view->show();
        QTest::qWait(50);
        EXPECT_TRUE(view->grab().save(folder + u'/' + QString::fromStdString(v.name) + u".png"_s));
        view->hide();
    }
    // The dispatch view as staff see it: a sample dispatch in the report.
    orvane::XmlDocument sample;
    ASSERT_TRUE(sample.load(QStringLiteral(ORVANE_SAMPLES_DIR "/dispatch/glass-replacement.xml")));
    ui->onDialog([&](QDialog *dialog) {
        QTest::qWait(50);
        EXPECT_TRUE(dialog->grab().save(folder + u"/Dispatchfrm-report.png"_s));
        dialog->close();
    });
    clsShowDispatch dispatch;
    orvane::WindowHandle owner = 0;
    QString xml = sample.xml(),
            report = QStringLiteral(ORVANE_SAMPLES_DIR "/reports/g_dispatch.rpt");
    dispatch.ShowDispatch(owner, xml, report);
}

} // namespace
