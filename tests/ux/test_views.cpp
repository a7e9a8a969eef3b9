// Every view as the keyboard and a translation meet it: Tab order, Enter,
// Escape and mnemonics; every caption, tip, header and message goes through
// Qt's translation, and the order's own values do not.

#include "support/OrderOnlyInvoice.h"
#include "support/StubEnvironment.h"
#include "ux/UxViews.h"
#include <qorOrvaneUI/widgets/ScriptedUi.h>

#include "runtime/widgets/report/ReportViewer.h"

#include <QImage>
#include <QKeySequence>
#include <QTableView>
#include <QTest>
#include <QTranslator>

#include <map>

using namespace Qt::StringLiterals;

namespace {

class Keyboard : public ::testing::TestWithParam<ux::View> {};

TEST_P(Keyboard, TabFollowsTheLayoutMnemonicsAreUniqueAndKeysDoWhatTheButtonsSay)
{
    orvane::test::ScopedScriptedUi ui;
    const auto view = GetParam().make();
    EXPECT_EQ(ux::tabChain(view.get()).join(u' ').toStdString(), GetParam().tabChain);
    // A grid that walks its cells with Tab never lets Tab reach the buttons.
    for (const QTableView *grid : view->findChildren<QTableView *>())
        EXPECT_FALSE(grid->tabKeyNavigation()) << grid->objectName().toStdString();

    std::map<QString, QString> taken;
    for (const QString &caption : ux::mnemonicCaptions(view.get())) {
        const QString key = QKeySequence::mnemonic(caption).toString();
        if (key.isEmpty())
            continue;
        const auto [at, fresh] = taken.emplace(key, caption);
        EXPECT_TRUE(fresh) << key.toStdString() << ": \"" << caption.toStdString() << "\" and \""
                           << at->second.toStdString() << "\"";
    }

    // Enter and Escape do what the buttons say.
    for (const ux::Key &k : GetParam().keys) {
        SCOPED_TRACE(std::string(k.key == Qt::Key_Escape ? "Escape in " : "Enter in ") + k.control);
        const auto shown = GetParam().make();
        shown->show();
        QString pressed;
        for (QAbstractButton *b : shown->findChildren<QAbstractButton *>())
            QObject::connect(b, &QAbstractButton::clicked, shown.get(),
                             [&pressed, b] { pressed += ux::controlName(b); });
        QWidget *target = shown.get();
        if (*k.control) {
            target = nullptr;
            for (QWidget *w : shown->findChildren<QWidget *>())
                if (ux::controlName(w) == QLatin1StringView(k.control))
                    target = w;
            ASSERT_NE(target, nullptr) << k.control;
        }
        QTest::keyClick(target, k.key);
        EXPECT_EQ(pressed.toStdString(), k.pressed);
        EXPECT_EQ(shown->isVisible(), k.staysOpen);
        shown->hide();
    }
}

INSTANTIATE_TEST_SUITE_P(Views, Keyboard, ::testing::ValuesIn(ux::views()), ux::caseName);

const QString kMark = u"[xx]"_s;

// Translates every text it is asked for into "[xx]" + the text, for as long
// as it lives.
class PseudoTranslator : public QTranslator {
public:
    PseudoTranslator() { QCoreApplication::installTranslator(this); }
    ~PseudoTranslator() override { QCoreApplication::removeTranslator(this); }
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

class Translation : public ::testing::TestWithParam<ux::View> {
protected:
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

INSTANTIATE_TEST_SUITE_P(Views, Translation, ::testing::ValuesIn(ux::views()), ux::caseName);

// The comparison names its rows with the system's captions, which the grid
// shows translated; the two values are the orders' own and stay as they are.
TEST(TranslationData, ComparisonCaptionsAndMessagesThroughTheHostAreTranslatedValuesAreNot)
{
    PseudoTranslator pseudo;
    orvane::test::ScopedScriptedUi ui;
    ChooseDispatchfrm choose;
    orvane::Recordset rs = choose.CreateCompareRecordset();
    choose.AddCompare(rs, u"BILL TO"_s, u"Acme"_s, u"Zenith"_s, u"billto_id"_s);
    Comparersfrm view;
    view.setCompareRecordset(rs);
    const QAbstractItemModel *model = view.grdCompare->model();
    EXPECT_EQ(model->index(0, 0).data().toString(), u"[xx]BILL TO"_s);
    EXPECT_EQ(model->index(0, 1).data().toString(), u"Acme"_s);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), u"[xx]Field Name"_s);
    // The row keeps the name the transfer matches on.
    EXPECT_EQ(view.rsCompare.value(u"FieldName"_s).toText(), u"BILL TO"_s);

    // The authorization views tell the user through the host's error class;
    // those messages are translated like the boxes.
    const auto env = std::make_shared<orvane::test::StubEnvironment>();
    const auto invoice = std::make_shared<orvane::test::OrderInvoiceWithEnv>();
    invoice->env = env;
    Authorizationfrm authorization;
    authorization.setInvoice(invoice);
    authorization.show(); // the lines are read when the view first shows: none here
    env->errors->reports.clear();
    authorization.cmdBuild->click();
    authorization.hide();
    const auto &reports = env->errors->reports;
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].number, 0);
    EXPECT_TRUE(reports[0].text.startsWith(kMark)) << reports[0].text.toStdString();
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

// Every icon the views name is the library's own, sharp at 1x and 2x.
TEST(Icons, EveryIconTheViewsNameIsDrawnAtBothSizes)
{
    for (int id : {101, 102, 103, 105, 111, 143, 153, 154}) {
        EXPECT_FALSE(orvane::ui::libraryIcon(id).isNull()) << id;
        const QString name = u":/qorOrvaneUI/icon"_s % QString::number(id);
        EXPECT_EQ(QImage(name % u".png"_s).size(), QSize(16, 16)) << id;
        EXPECT_EQ(QImage(name % u"@2x.png"_s).size(), QSize(32, 32)) << id;
    }
    EXPECT_FALSE(orvane::ui::libraryIcon(164).isNull());
}
