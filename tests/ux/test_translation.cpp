// Every caption, tip, header and message of the views goes through Qt's
// translation; the order's own values do not.

#include "support/OrderOnlyInvoice.h"
#include "support/StubEnvironment.h"
#include "ux/UxViews.h"
#include <qorOrvaneUI/widgets/ScriptedUi.h>

#include "runtime/widgets/RecordsetModel.h"
#include "runtime/widgets/report/ReportViewer.h"
#include <qorOrvaneUI/runtime/Recordset.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTranslator>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString kMark = u"[xx]"_s;

// Translates every text it is asked for into "[xx]" + the text.
class PseudoTranslator : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *, const char *source, const char *, int) const override
    {
        return kMark + QString::fromUtf8(source);
    }
};

// A text a user reads as words (not "...", "!" or a value left empty).
bool isWords(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

// Every caption the view shows: title, labels, buttons, group boxes, tips and
// grid headers, each with where it was found.
std::vector<std::pair<QString, QString>> shownTexts(QWidget *view)
{
    std::vector<std::pair<QString, QString>> texts{{u"windowTitle"_s, view->windowTitle()}};
    for (QWidget *w : view->findChildren<QWidget *>()) {
        const QString at = ux::controlName(w);
        if (auto *l = qobject_cast<QLabel *>(w))
            texts.emplace_back(at, l->text());
        else if (auto *b = qobject_cast<QAbstractButton *>(w))
            texts.emplace_back(at, b->text());
        else if (auto *g = qobject_cast<QGroupBox *>(w))
            texts.emplace_back(at, g->title());
        else if (auto *t = qobject_cast<QTableView *>(w); t && t->model())
            for (int c = 0; c < t->model()->columnCount(); ++c)
                texts.emplace_back(at + u" header"_s,
                                   t->model()->headerData(c, Qt::Horizontal).toString());
        texts.emplace_back(at + u" tip"_s, w->toolTip());
    }
    std::erase_if(texts, [](const auto &t) { return !isWords(t.second); });
    return texts;
}

struct TextCase {
    const char *name;
    ux::Make make;
    // Plays the user until the view has shown what it can (grids filled,
    // messages raised); may be empty.
    std::function<void(QDialog *)> play;
};

void PrintTo(const TextCase &c, std::ostream *os)
{
    *os << c.name;
}

class Translation : public ::testing::TestWithParam<TextCase> {
protected:
    void SetUp() override { QCoreApplication::installTranslator(&pseudo_); }
    void TearDown() override { QCoreApplication::removeTranslator(&pseudo_); }
    PseudoTranslator pseudo_;
};

TEST_P(Translation, EveryCaptionAndMessageIsTranslated)
{
    orvane::test::ScopedScriptedUi ui;
    const auto view = GetParam().make();
    if (GetParam().play)
        GetParam().play(view.get());
    for (const auto &[at, text] : shownTexts(view.get()))
        EXPECT_TRUE(text.startsWith(kMark)) << at.toStdString() << ": " << text.toStdString();
    for (const auto &box : ui->boxes()) {
        EXPECT_TRUE(box.text.startsWith(kMark)) << box.text.toStdString();
        if (box.title != QString::fromUtf16(orvane::DefaultMsgTitle)) {
            EXPECT_TRUE(box.title.startsWith(kMark)) << box.title.toStdString();
        }
    }
    view->hide();
}

orvane::Recordset pidRows()
{
    orvane::Recordset rs;
    rs.appendField(u"PID"_s, orvane::ftype::Text, 20);
    rs.appendField(u"PIDname"_s, orvane::ftype::Text, 40);
    rs.open();
    rs.addNew();
    rs.setValue(u"PID"_s, u"P1"_s);
    rs.setValue(u"PIDname"_s, u"Main street"_s);
    rs.update();
    return rs;
}

INSTANTIATE_TEST_SUITE_P(
    Views, Translation,
    ::testing::Values(
        TextCase{"Dispatchfrm", ux::make<Dispatchfrm>(), {}},
        TextCase{"frmEscheduleInfo", ux::make<frmEscheduleInfo>(), {}},
        TextCase{"Comparersfrm", ux::make<Comparersfrm>(), {}},
        TextCase{"ChooseDispatchfrm", ux::make<ChooseDispatchfrm>(), {}},
        TextCase{"Authorizationfrm", ux::make<Authorizationfrm>(),
                 [](QDialog *v) { static_cast<Authorizationfrm *>(v)->cmdBuild->click(); }},
        TextCase{"AuthorizationShowfrm", ux::make<AuthorizationShowfrm>(), {}},
        TextCase{"Authoriizewaitfrm", ux::make<Authoriizewaitfrm>(), {}},
        TextCase{"eNOLfrm", ux::make<eNOLfrm>(),
                 [](QDialog *v) { static_cast<eNOLfrm *>(v)->cmdAction[0]->click(); }},
        TextCase{"eNOLwaitfrm", ux::make<eNOLwaitfrm>(), {}},
        TextCase{"Coveragefrm", ux::make<Coveragefrm>(),
                 [](QDialog *v) { static_cast<Coveragefrm *>(v)->cmdBuild->click(); }},
        TextCase{"frmPIDList", ux::make<frmPIDList>(),
                 [](QDialog *v) {
                     auto *list = static_cast<frmPIDList *>(v);
                     list->bindGrid(pidRows());
                     list->cmdEdits[2]->click();
                 }}),
    ux::CaseName());

// The comparison names its rows with the system's captions, which the grid
// shows translated; the two values are the orders' own and stay as they are.
TEST(TranslationData, ComparisonShowsCaptionsTranslatedAndValuesAsTheyAre)
{
    PseudoTranslator pseudo;
    QCoreApplication::installTranslator(&pseudo);
    orvane::test::ScopedScriptedUi ui;
    ChooseDispatchfrm choose;
    orvane::Recordset rs = choose.CreateCompareRecordset();
    choose.AddCompare(rs, u"BILL TO"_s, u"Acme"_s, u"Zenith"_s, u"billto_id"_s);
    Comparersfrm view;
    view.setCompareRecordset(rs);
    const QAbstractItemModel *model = view.grdCompare->model();
    EXPECT_EQ(model->index(0, 0).data().toString(), u"[xx]BILL TO"_s);
    EXPECT_EQ(model->index(0, 1).data().toString(), u"Acme"_s);
    EXPECT_EQ(model->index(0, 2).data().toString(), u"Zenith"_s);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), u"[xx]Field Name"_s);
    // The row keeps the name the transfer matches on.
    EXPECT_EQ(view.rsCompare.value(u"FieldName"_s).toText(), u"BILL TO"_s);
    QCoreApplication::removeTranslator(&pseudo);
}

// The authorization views tell the user through the host's error class; those
// messages are translated like the boxes.
TEST(TranslationData, MessagesThroughTheHostAreTranslated)
{
    struct Invoice : orvane::test::OrderOnlyInvoice {
        std::shared_ptr<orvane::ext::IEnvironment> Env() const override { return env; }
        std::shared_ptr<orvane::test::StubEnvironment> env =
            std::make_shared<orvane::test::StubEnvironment>();
    };
    PseudoTranslator pseudo;
    QCoreApplication::installTranslator(&pseudo);
    orvane::test::ScopedScriptedUi ui;
    const auto invoice = std::make_shared<Invoice>();
    Authorizationfrm view;
    view.setInvoice(invoice);
    view.show(); // the lines are read when the view first shows: none here
    invoice->env->errors->reports.clear();
    view.cmdBuild->click();
    view.hide();
    const auto &reports = invoice->env->errors->reports;
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].number, 0);
    EXPECT_TRUE(reports[0].text.startsWith(kMark)) << reports[0].text.toStdString();
    QCoreApplication::removeTranslator(&pseudo);
}

} // namespace

// The pseudo-locale the build compiles from the committed template: it reaches
// the views and the report viewer under the contexts their classes translate in.
TEST(TranslationData, TheBuiltPseudoLocaleCoversTheViewsAndTheReportViewer)
{
    QTranslator pseudo;
    const bool loaded =
        pseudo.load(u"qorOrvaneUI_pseudo"_s, QString::fromUtf8(ORVANE_TRANSLATIONS_DIR));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(pseudo.translate("orvane::loss::eNOLfrm", "&Policy Number:"), u"[&Policy Number:]"_s);
    EXPECT_EQ(
        pseudo.translate(orvane::report::ReportViewer::staticMetaObject.className(), "Save as PDF"),
        u"[Save as PDF]"_s);
}
