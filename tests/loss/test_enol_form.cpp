// The notice of loss from its lists, codes and entries to the check before it
// goes out.
#include "loss/LossFixture.h"

#include "host/ShopDatabase.h"
#include "qorOrvaneUI/core/Orvanemod.h"
#include "qorOrvaneUI/core/clsProperCase.h"
#include "qorOrvaneUI/loss/frmPIDList.h"
#include "runtime/widgets/RecordsetModel.h"
#include "support/OrderOnlyInvoice.h"
#include "support/StubEnvironment.h"
#include "support/TestHelpers.h"
#include <qorOrvaneUI/external/IDataCommand.h>

#include <QApplication>
#include <QClipboard>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

using orvane::MsgResult;
using orvane::loss::frmPIDList;
using orvane::ui::clsProperCase;
namespace Orvanemod = orvane::Orvanemod;

using namespace losstest;

namespace {

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
    // A character outside the basic plane at the edge is kept whole, never split.
    const QString wide = QString(29, u'x') + QString::fromUtf8("\xF0\x9F\x9A\x97");
    Orvanemod::AddLossrecords(999, QString(120, u'd'), true, wide + u"yy"_s, {}, {}, false, causes);
    EXPECT_EQ(causes.value(u"Description"_s).toText().size(), 100);
    EXPECT_EQ(causes.value(u"subdatafield"_s).toText(), wide);
}

TEST(ProperCase, CapitalisesTheFirstLetterOfEachWordPerBox)
{
    const std::tuple<QString, bool, QString> cases[] = {
        {u"mary o'neill"_s, false, u"Mary O'neill"_s},
        {u"x"_s, false, u"x"_s}, // one letter stays until the next is typed
        {u"van 2nd street"_s, false, u"Van 2nd Street"_s},
        {u"ann lee"_s, true, u"Ann Lee"_s},
    };
    for (const auto &[typed, keyUp, expected] : cases) {
        clsProperCase pc;
        QLineEdit box;
        type(pc, box, typed, keyUp);
        EXPECT_EQ(box.text(), expected) << typed.toStdString();
    }

    // Two boxes keep separate flags: a space in one does not arm the other.
    clsProperCase pc;
    QLineEdit one(u"Q7"_s), two;
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

TEST_F(LossTest, VerifyFieldsListsWhatTheOrderLacksInOrder)
{
    const QString head = u"The following fields are required to save this order\r\n\r\n"_s;
    // The fields set, and what is listed (empty: nothing raised).
    const std::vector<std::pair<std::map<QString, Value>, QString>> cases = {
        {{}, {}},
        {{{u"s_last"_s, u"  "_s}, {u"model"_s, QString()}},
         u"Sold to Last\t\t\t|s_last\r\nVehicle Model\t\t\t|model\r\n"_s},
        {{{u"lossdate"_s, QDate(1900, 1, 1)}}, u"lossdate\t\t\t|Date of Loss\r\n"_s},
        {{{u"lossdate"_s, QDate(1900, 1, 2)}}, {}},
        {{{u"s_area2"_s, QString()}, {u"carid"_s, QString()}},
         u"Sold to Home Area Code\t\t\t|s_area1\r\nVehicle\t\t\t|carid\r\n"_s},
    };
    for (const auto &[set, listed] : cases) {
        auto order = host_->openOrder(2);
        Recordset rs = order->itemsrecordset();
        for (const auto &[field, value] : set)
            rs.setValue(field, value);
        bool result = false;
        const orvane::VbError e =
            orvane::test::raised([&] { result = eNOLcls().VerifyFields(order); });
        EXPECT_EQ(e.number(), listed.isEmpty() ? 0 : -10000) << e.description().toStdString();
        EXPECT_EQ(e.description(), listed.isEmpty() ? QString() : head + listed);
        EXPECT_FALSE(result);
    }
    // An order row without a field the check reads names it and the check.
    auto bare = std::make_shared<orvane::test::OrderInvoiceWithEnv>();
    bare->order.appendField(u"s_first"_s, orvane::ftype::Text, 20);
    bare->order.open();
    bare->order.addNew();
    bare->order.update();
    const orvane::VbError e = orvane::test::raised([&] { eNOLcls().VerifyFields(bare); });
    EXPECT_EQ(e.number(), orvane::err::ItemNotFound);
    EXPECT_EQ(e.source(), u"qorOrvaneUI.VerifyFields"_s);
    EXPECT_TRUE(e.description().endsWith(u"(\"s_last\")"_s));
}

TEST_F(LossTest, ListsHandBackTheChosenRowOrNothing)
{
    addRows(u"g_pidlist"_s, {row(u"PID=P1|PIDname=Main"_s), row(u"PID=P2|PIDname=East"_s)});
    eNOLcls cls;
    const auto pickSecond = [](frmPIDList *view) {
        view->grdEdits->setCurrentIndex(view->gridModel()->index(1, 0));
        view->cmdAction[0]->click();
    };
    on<frmPIDList>(pickSecond);
    EXPECT_EQ(cls.PIDList(host_->env())->itemsrecordset().value(u"PID"_s).toText(), u"P2"_s);

    // Cancel picks nothing but still saves what was edited; No keeps the row.
    on<frmPIDList>([this](frmPIDList *view) {
        view->cmdEdits[1]->click();
        Recordset rows = view->rows();
        rows.setValue(u"PID"_s, u"P3"_s);
        rows.update();
        ui_->answer(MsgResult::No);
        view->cmdEdits[2]->click();
        view->cmdAction[1]->click();
    });
    EXPECT_FALSE(cls.PIDList(host_->env()));
    EXPECT_EQ(ui_->boxes().size(), 1u);
    auto all = orvane::CreateObject<ext::IPidList>(QString::fromUtf16(ext::progid::g_pidList));
    all->setEnv(host_->env());
    all->get_g_pidlist();
    EXPECT_EQ(all->itemsrecordset().recordCount(), 3);

    // The network list: its own columns, no Add or Delete.
    on<frmPIDList>([](frmPIDList *view) {
        EXPECT_TRUE(view->gridKey().startsWith(u"NETIDLIST."_s));
        EXPECT_TRUE(view->cmdEdits[1]->isHidden());
        view->cmdAction[1]->click();
    });
    EXPECT_FALSE(cls.NetIDList(host_->env()));

    // Insurers come from the host's own table and are never written back.
    on<frmPIDList>(pickSecond);
    EXPECT_EQ(cls.InsurerIDList(host_->env())->value(u"orvaneid"_s).toText(), u"NSC07"_s);
}

TEST_F(LossTest, TheInsuranceCompanyListIsLoadedForTheTypedIdsSafely)
{
    addRows(u"g_inscoid"_s, {row(u"destpid=O'Hara|origpid=NET1|INScoid=C1"_s),
                             row(u"destpid=OHara|origpid=NET1|INScoid=C2"_s)});
    on<frmPIDList>([](frmPIDList *view) {
        EXPECT_EQ(view->gridModel()->rowCount(), 1);
        // "Origination INS ID" shown whole.
        EXPECT_GE(view->grdEdits->columnWidth(0),
                  view->grdEdits->horizontalHeader()->sectionSizeHint(0));
        view->cmdAction[0]->click();
    });
    eNOLcls().INSCOIDList(host_->env(), u" O'Hara "_s, u"NET1 "_s);
}

TEST_F(LossTest, ActivationFillsTheIdentifiersFromSingleRowsAndTheShop)
{
    addRows(u"g_pidlist"_s, {row(u"PID=LISTED1|PIDname=Harbor listed"_s)});
    addRows(u"g_oidlist"_s, {row(u"Origid=NET9|Company=Glass Network"_s)});
    addRows(u"g_inscoid"_s,
            {row(u"destpid=RPID00417|origpid=NET9|INScoid=IC-7|Company=Cascade Mutual |"
                 u"City=Salem|PhoneArea=503|Phone=5550101"_s)});
    addRows(u"g_insid"_s, {row(u"billtoid=1|Origpid=NET9|destpid=RPID00417|Insurerid=CMI01|"
                               u"Insurer=Cascade Mutual Insurance"_s)});
    openForm(host_->openOrder(2), [](eNOLfrm *view) {
        // The shop's own ID wins over the single listed one; the name stays.
        EXPECT_EQ(view->txtPID->text(), u"RPID00417"_s);
        EXPECT_EQ(view->lblPIDName->text(), u"Harbor listed"_s);
        EXPECT_EQ(view->txtOID->text(), u"NET9"_s);
        EXPECT_EQ(view->lblOID->text(), u"Glass Network"_s);
        EXPECT_EQ(view->txtInsCOID->text(), u"IC-7"_s);
        EXPECT_EQ(view->lblInsCOID->text(), u"Cascade Mutual\r\nSalem\r\n(503) 555-0101\r\n"_s);
        EXPECT_EQ(view->txtInsuranceID->text(), u"CMI01"_s);
        EXPECT_EQ(view->lblInsuranceID->text(), u"Cascade Mutual Insurance"_s);
        // The order's values, the list defaults and the current user.
        EXPECT_EQ(view->txtSold_To[5]->text(), u"555-0172"_s);
        EXPECT_EQ(view->cboVehicleSource->currentText(), u"NAGS"_s);
        EXPECT_EQ(view->txtContactName->text(), u"Pat Rivera"_s);
        EXPECT_FALSE(view->dteLossDate->isEmpty());
    });
    EXPECT_TRUE(reportedErrors().isEmpty()) << reportedErrors().join(u"|"_s).toStdString();
}

TEST_F(LossTest, SeveralRowsABlankShopAndNoBillToLeaveTheEntriesAlone)
{
    addRows(u"g_oidlist"_s, {row(u"Origid=NET1"_s), row(u"Origid=NET2"_s)});
    // A shop listed before the real one whose ID is blank text.
    host_->database().exec(
        u"INSERT INTO customer (shopid, name, address, city, state, zip, phone, user2) "
        u"VALUES (0, 'Blank', '', '', '', '', '', '')"_s);
    auto order = host_->openOrder(2);
    order->itemsrecordset().setValue(u"shopid"_s, 2); // a shop without an ID
    order->itemsrecordset().setValue(u"billto_id"_s, Value::null());
    openForm(order, [](eNOLfrm *view) {
        EXPECT_EQ(view->txtPID->text(), u"RPID00417"_s);
        EXPECT_EQ(view->txtOID->text(), QString());
        EXPECT_EQ(view->txtInsuranceID->text(), QString());
    });
    EXPECT_TRUE(reportedErrors().isEmpty()) << reportedErrors().join(u"|"_s).toStdString();
}

TEST_F(LossTest, EntriesBehaveAsTypedAndWriteTheOrder)
{
    openForm(host_->openOrder(2), [this](eNOLfrm *view) {
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view));
        const std::tuple<QLineEdit *, QString, QString> typed[] = {
            {view->txtSoldTo[15], u"mary ann"_s, u"Mary Ann"_s},
            {view->txtQuantity, u"1x2-"_s, u"12"_s},
            {view->txtPolicyState, u"or"_s, u"OR"_s},
            {view->txtSold_To[5], u"5550199"_s, u"555-0199"_s}};
        for (const auto &[entry, text, shown] : typed) {
            entry->clear();
            entry->setFocus(Qt::TabFocusReason);
            QCoreApplication::processEvents();
            QTest::keyClicks(entry, text);
            view->txtContactName->setFocus(Qt::TabFocusReason); // leaving it
            QCoreApplication::processEvents();
            EXPECT_EQ(entry->text(), shown);
        }
        view->txtQuantity->setFocus(Qt::TabFocusReason);
        QTest::keyClick(view->txtQuantity, Qt::Key_Tab); // Tab still leaves it
        EXPECT_EQ(QApplication::focusWidget(), view->cboPos);
        // Enter submits what was just typed: the entry is written before the check.
        view->txtSoldTo[14]->clear();
        view->txtSoldTo[14]->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(view->txtSoldTo[14], u"okafor"_s);
        QTest::keyClick(view->txtSoldTo[14], Qt::Key_Return);
        EXPECT_EQ(order_->itemsrecordset().value(u"s_last"_s).toText(), u"Okafor"_s);
        // An entry holds what its field holds; a pasted line break is a space.
        EXPECT_EQ(view->txtContactName->maxLength(), 60);
        QGuiApplication::clipboard()->setText(u"Pat\r\nRivera\tJr"_s);
        view->txtContactName->clear();
        view->txtContactName->paste();
        EXPECT_EQ(view->txtContactName->text(), u"Pat Rivera Jr"_s);
        // A click into the date selects the part clicked, for typing over.
        auto *dateText = view->dteLossDate->edit->findChild<QLineEdit *>();
        QTest::mouseClick(dateText, Qt::LeftButton, {}, QPoint(3, dateText->height() / 2));
        QCoreApplication::processEvents();
        EXPECT_TRUE(dateText->hasSelectedText());
        // A date on or before 1 January 1900 becomes today when the picker is left.
        view->dteLossDate->setValue(QDateTime(QDate(1900, 1, 1), QTime(0, 0)));
        view->dteLossDate->edit->setFocus(Qt::TabFocusReason);
        view->txtContactName->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        EXPECT_EQ(order_->itemsrecordset().value(u"lossdate"_s).toDate().date(),
                  QDate::currentDate());
        // Clearing it and leaving stores the day before the zero date; the picker stays empty.
        view->dteLossDate->chkSet->setFocus(Qt::TabFocusReason);
        view->dteLossDate->chkSet->setChecked(false);
        view->txtContactName->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        EXPECT_TRUE(view->dteLossDate->isEmpty());
    });
    const Recordset rs = order_->itemsrecordset();
    EXPECT_EQ(rs.value(u"s_first"_s).toText(), u"Mary Ann"_s);
    EXPECT_EQ(rs.value(u"s_phone2"_s).toText(), u"5550199"_s);
    EXPECT_EQ(rs.value(u"lossdate"_s).toDate().date(), QDate(1899, 12, 31));
}

TEST_F(LossTest, DamageLinesAreCheckedAndNotDuplicated)
{
    const QString head = u"The information you entered is incorrect.  Please correct the "
                         u"information to add it to your damage information\r\n\r\n"_s;
    const QString opening = u"You must fill out the opening type"_s;
    const QString qty = u"You must enter a quantity for the Glass Replacement"_s;
    const QString dup =
        u"You already have a record with the same opening type, position, and side codes."_s;
    // Opening|quantity|position|location|side, the repairable box, and the lines
    // of the message (none: added).
    const std::vector<std::tuple<QString, Qt::CheckState, QStringList>> cases = {
        {u"|0|||"_s, Qt::Unchecked, {opening, qty}},
        {u"Windshield|1|||"_s,
         Qt::PartiallyChecked,
         {u"You must check whether the glass is repairable or not"_s}},
        {u"Door|1|Front||"_s,
         Qt::Unchecked,
         {u"With a Door, Vent, or Quarter, you must select a side code"_s}},
        {u"Door|abc|Front||Left"_s, Qt::Unchecked, {qty}},
        {u"Door|12345678901234567890|Front||Left"_s,
         Qt::Unchecked,
         {u"The quantity for the Glass Replacement is too large"_s}},
        {u"Door|2abc|Front|Upper|Left"_s, Qt::Unchecked, {}},
        {u"Door|1|Front|Lower|Left"_s, Qt::Unchecked, {dup}},
        {u"Door|1|Front||Right"_s, Qt::Checked, {}}, // not a windshield: stored repairable
        {u"Windshield|1|||"_s, Qt::Checked, {}},
    };
    const auto dc = host_->env()->Options()->dcobject();
    const QString hostConnection = dc->constructstring();
    openForm(host_->openOrder(2), [&](eNOLfrm *view) {
        // The catalogue lists are loaded, and the host's shared data command is back on its
        // own database.
        EXPECT_EQ(dc->constructstring(), hostConnection);
        view->cmdDelete->click(); // nothing to delete
        for (const auto &[entries, repairable, refused] : cases) {
            SCOPED_TRACE(entries.toStdString());
            const QStringList e = entries.split(u'|');
            view->cboOpeningType->setCurrentIndex(view->cboOpeningType->findText(e[0]));
            view->chkRepairable->setCheckState(repairable);
            view->txtQuantity->setText(e[1]);
            view->cboPos->setCurrentIndex(view->cboPos->findText(e[2]));
            view->cboLocation->setCurrentIndex(view->cboLocation->findText(e[3]));
            view->cboSide->setCurrentIndex(view->cboSide->findText(e[4]));
            ui_->clear();
            const int before = view->damageLines().recordCount();
            view->cmdAdd->click();
            EXPECT_EQ(view->damageLines().recordCount(), before + int(refused.isEmpty()));
            if (refused.isEmpty()) {
                EXPECT_TRUE(ui_->boxes().empty());
                EXPECT_EQ(view->cboOpeningType->currentIndex(), -1);
                continue;
            }
            ASSERT_EQ(ui_->boxes().size(), 1u);
            EXPECT_EQ(ui_->boxes()[0].title, u"Data Error"_s);
            if (refused.front() == dup)
                EXPECT_EQ(ui_->boxes()[0].text, dup);
            else
                EXPECT_EQ(lines(ui_->boxes()[0].text, head), refused);
        }
        // What the lines hold: codes and texts from the catalogue, the
        // quantity the check accepted, the repairable answer.
        Recordset rs = view->damageLines().clone();
        EXPECT_EQ(rs.value(u"OpeningCode"_s).toText(), u"DR"_s);
        EXPECT_EQ(rs.value(u"GlassQuantity"_s).toInt64(), 2);
        EXPECT_EQ(rs.value(u"LocationCodeText"_s).toText(), u"Upper"_s);
        rs.moveNext();
        EXPECT_FALSE(rs.value(u"notrepairable"_s).toBool());
        rs.moveLast();
        EXPECT_TRUE(rs.value(u"notrepairable"_s).toBool());
        // Delete takes the selected line, then the next one asked for.
        view->grdDamage->setCurrentIndex(view->damageModel()->index(2, 0));
        view->cmdDelete->click();
        view->cmdDelete->click();
        EXPECT_EQ(view->damageLines().recordCount(), 1);
        // A tick given for a windshield does not stay on another opening.
        choose(view->cboOpeningType, u"Windshield"_s);
        view->chkRepairable->setCheckState(Qt::Checked);
        choose(view->cboOpeningType, u"Door"_s);
        EXPECT_EQ(view->chkRepairable->checkState(), Qt::Unchecked);
    });
    EXPECT_TRUE(reportedErrors().isEmpty()) << reportedErrors().join(u"|"_s).toStdString();
}

TEST_F(LossTest, ValidationListsTheFailedRulesInOrder)
{
    auto told = [this] {
        if (ui_->boxes().empty())
            return QStringList();
        EXPECT_EQ(ui_->boxes()[0].title, u"Missing or invalid data"_s);
        return lines(ui_->boxes()[0].text, u"To submit this Notice of Loss, you must fill out "
                                           u"the following information\r\n\r\n"_s);
    };
    // Everything blank: every rule in order.
    orvane::loss::LossNotice notice;
    orvane::loss::LossNotice::Form blank;
    blank.lossDate = QDate(1899, 12, 31);
    EXPECT_FALSE(notice.validdata(blank));
    EXPECT_EQ(told(),
              u"Retail PID|Network PID |Insurance Company ID |Network PID|Sold To First Name|"
              u"Sold To Last Name|Sold To Area Code|Sold To Zip Code|Sold To Phone #|"
              u"Policy Number|Policy State|Date of Loss|Vehicle Source|Vehicle Type|"
              u"Vehicle Ownership|Cause of Loss|Glass Only Damage Check box|"
              u"Must have at least one damage type added.|Bodily Insury Check box|"
              u"Contact Name"_s.split(u'|'));

    // Filled in: passes; then the entries the view checks, one change at a time.
    openForm(host_->openOrder(2), [&](eNOLfrm *view) {
        fillValid(view);
        const std::pair<std::function<void()>, QStringList> steps[] = {
            {[] {}, {}},
            {[view] {
                 view->txtPID->clear();
                 view->txtSold_To[1]->setText(u"53"_s);
             },
             {u"Retail PID"_s, u"Sold To Area Code must have 3 digits"_s}},
            {[view] {
                 view->txtPID->setText(u"RPID00417"_s);
                 view->txtSold_To[1]->setText(u"503"_s);
                 view->txtLossIDNumber->clear();
                 view->chkBodilyInjury->setCheckState(Qt::Checked);
             },
             {u"Loss ID # ( Claim ) when bodily injury has occurred"_s}},
            {[view] {
                 view->txtLossIDNumber->setText(u"CLM-402"_s);
                 choose(view->cboCauseofLoss, u"Animal"_s);
                 EXPECT_FALSE(view->szrSubrogation->isHidden());
                 EXPECT_TRUE(view->txtsubName->isHidden());
             },
             {u"Type of Animal is required for this cause."_s}},
            {[view] {
                 choose(view->cboCauseofLoss, u"Collision"_s);
                 view->txtSubdata->setText(u"Claim 77"_s);
             },
             {}}, // the name is never required
        };
        for (const auto &[change, expected] : steps) {
            change();
            ui_->clear();
            EXPECT_EQ(view->validdata(), expected.isEmpty());
            EXPECT_EQ(told(), expected);
        }
        choose(view->cboCauseofLoss, u"Hail Storm"_s);
        EXPECT_TRUE(view->szrSubrogation->isHidden());
        view->cmdAction[1]->click();
        EXPECT_TRUE(view->isHidden());
    });
}

TEST_F(LossTest, AnOrderWithoutEnvOrOptionsRaises91InsteadOfCrashing)
{
    const auto env = host_->env();
    auto noOptions = std::make_shared<orvane::test::StubEnvironment>(
        env->data_path(), env->GetConnectString(env->data_path(), 0));
    noOptions->options = nullptr;
    for (const std::shared_ptr<ext::IEnvironment> &given :
         {std::shared_ptr<ext::IEnvironment>(), std::shared_ptr<ext::IEnvironment>(noOptions)}) {
        auto order = std::make_shared<orvane::test::OrderInvoiceWithEnv>();
        order->order = host_->openOrder(2)->itemsrecordset();
        order->env = given;
        on<eNOLfrm>([](eNOLfrm *view) {
            view->cmdVehicle->click();
            fillValid(view);
            view->cmdAction[0]->click();
            view->cmdAction[1]->click();
        });
        EXPECT_FALSE(eNOLcls().SendeNOL(order, 0));
    }
    ASSERT_FALSE(noOptions->errors->reports.empty());
    for (const auto &r : noOptions->errors->reports)
        EXPECT_EQ(r.number, 91) << r.procedure.toStdString() << " " << r.text.toStdString();
}
