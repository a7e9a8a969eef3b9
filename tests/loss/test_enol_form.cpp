#include "loss/LossFixture.h"

#include "host/ShopDatabase.h"
#include "runtime/widgets/RecordsetModel.h"

#include "support/OrderOnlyInvoice.h"
#include "support/StubEnvironment.h"
#include <qorOrvaneUI/external/IDataCommand.h>
#include <qorOrvaneUI/widgets/ScriptedUi.h>

#include <QApplication>
#include <QClipboard>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

using orvane::loss::eNOLcls;
using orvane::loss::eNOLfrm;

using namespace losstest;

namespace {

// Gives the entry the focus, types, and moves on as a user would.
void typeInto(QWidget *entry, const QString &text, QWidget *next)
{
    entry->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QTest::keyClicks(entry, text);
    next->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
}

const QString kValidationHead = u"To submit this Notice of Loss, you must fill out the following "
                                u"information\r\n\r\n"_s;

} // namespace

TEST_F(LossTest, ActivationFillsTheIdentifiersFromSingleRowsAndTheShop)
{
    addRows(ext::progid::g_pidList, u"g_pidlist"_s, {row(u"PID=LISTED1|PIDname=Harbor listed"_s)});
    addRows(ext::progid::g_oidList, u"g_oidlist"_s, {row(u"Origid=NET9|Company=Glass Network"_s)});
    addRows(ext::progid::g_inscoid, u"g_inscoid"_s,
            {row(u"destpid=RPID00417|origpid=NET9|INScoid=IC-7|Company=Cascade Mutual |"
                 u"City=Salem|PhoneArea=503|Phone=5550101"_s)});
    addRows(ext::progid::g_insid, u"g_insid"_s,
            {row(u"billtoid=1|Origpid=NET9|destpid=RPID00417|Insurerid=CMI01|"
                 u"Insurer=Cascade Mutual Insurance"_s)});
    openForm(2, [](eNOLfrm *view) {
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
        EXPECT_EQ(view->txtSoldTo[15]->text(), u"Jordan"_s);
        EXPECT_EQ(view->txtSold_To[5]->text(), u"555-0172"_s);
        EXPECT_EQ(view->cboVehicleSource->currentText(), u"NAGS"_s);
        EXPECT_EQ(view->cboVehicleType->currentText(), u"STANDARD"_s);
        EXPECT_EQ(view->cboOwnership->currentIndex(), -1);
        EXPECT_EQ(view->txtContactName->text(), u"Pat Rivera"_s);
        EXPECT_FALSE(view->dteLossDate->isEmpty());
    });
    EXPECT_TRUE(reportedErrors().isEmpty()) << reportedErrors().join(u"|"_s).toStdString();
}

TEST_F(LossTest, SeveralRowsABlankShopAndNoBillToLeaveTheEntriesAlone)
{
    addRows(ext::progid::g_oidList, u"g_oidlist"_s, {row(u"Origid=NET1"_s), row(u"Origid=NET2"_s)});
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
    openForm(2, [this](eNOLfrm *view) {
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view));
        const std::tuple<QLineEdit *, QString, QString> typed[] = {
            {view->txtSoldTo[15], u"mary ann"_s, u"Mary Ann"_s},
            {view->txtQuantity, u"1x2-"_s, u"12"_s},
            {view->txtPolicyState, u"or"_s, u"OR"_s},
            {view->txtSold_To[5], u"5550199"_s, u"555-0199"_s}};
        for (const auto &[entry, text, shown] : typed) {
            entry->clear();
            typeInto(entry, text, view->txtContactName);
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
        EXPECT_EQ(view->txtSoldTo[13]->maxLength(), 200);
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
        EXPECT_EQ(view->dteLossDate->value().date(), QDate::currentDate());
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
    struct Case {
        QString entries; // opening|quantity|position|location|side
        Qt::CheckState repairable;
        QStringList refused; // the lines of the message; empty: added
    };
    const std::vector<Case> cases = {
        {u"|0|||"_s, Qt::Unchecked, {opening, qty}},
        {u"Windshield|1|||"_s,
         Qt::PartiallyChecked,
         {u"You must check whether the glass is repairable or not"_s}},
        {u"Door|1|Front||"_s,
         Qt::Unchecked,
         {u"With a Door, Vent, or Quarter, you must select a side code"_s}},
        {u"Door|-1|Front||Left"_s, Qt::Unchecked, {qty}},
        {u"Door|abc|Front||Left"_s, Qt::Unchecked, {qty}},
        {u"Door|12345678901234567890|Front||Left"_s,
         Qt::Unchecked,
         {u"The quantity for the Glass Replacement is too large"_s}},
        {u"Door|2abc|Front|Upper|Left"_s, Qt::Unchecked, {}},
        {u"Door|1|Front|Lower|Left"_s, Qt::Unchecked, {dup}},
        {u"Door|1|Front||Right"_s, Qt::Checked, {}}, // not a windshield: stored repairable
        {u"Windshield|1|||"_s, Qt::Checked, {}},
        {u"Windshield|3|||"_s, Qt::Unchecked, {dup}},
    };
    const auto dc = host_->env()->Options()->dcobject();
    const QString hostConnection = dc->constructstring();
    openForm(2, [&](eNOLfrm *view) {
        // The catalogue lists are loaded, and the host's shared data command is back on its
        // own database.
        EXPECT_EQ(dc->constructstring(), hostConnection);
        view->cmdDelete->click(); // nothing to delete
        for (const Case &c : cases) {
            SCOPED_TRACE(c.entries.toStdString());
            const QStringList e = c.entries.split(u'|');
            view->cboOpeningType->setCurrentIndex(view->cboOpeningType->findText(e[0]));
            view->chkRepairable->setCheckState(c.repairable);
            view->txtQuantity->setText(e[1]);
            view->cboPos->setCurrentIndex(view->cboPos->findText(e[2]));
            view->cboLocation->setCurrentIndex(view->cboLocation->findText(e[3]));
            view->cboSide->setCurrentIndex(view->cboSide->findText(e[4]));
            ui_->clear();
            const int before = view->damageLines().recordCount();
            view->cmdAdd->click();
            if (c.refused.isEmpty()) {
                EXPECT_TRUE(ui_->boxes().empty());
                EXPECT_EQ(view->damageLines().recordCount(), before + 1);
                EXPECT_EQ(view->cboOpeningType->currentIndex(), -1);
                continue;
            }
            EXPECT_EQ(view->damageLines().recordCount(), before);
            ASSERT_EQ(ui_->boxes().size(), 1u);
            EXPECT_EQ(ui_->boxes()[0].title, u"Data Error"_s);
            if (c.refused.front() == dup)
                EXPECT_EQ(ui_->boxes()[0].text, dup);
            else
                EXPECT_EQ(lines(ui_->boxes()[0].text, head), c.refused);
        }
        // What the lines hold: codes and texts from the catalogue, the
        // quantity the check accepted, the repairable answer.
        Recordset rs = view->damageLines().clone();
        EXPECT_EQ(rs.value(u"OpeningCode"_s).toText(), u"DR"_s);
        EXPECT_EQ(rs.value(u"GlassQuantity"_s).toInt64(), 2);
        EXPECT_EQ(rs.value(u"PositionCode"_s).toText(), u"F"_s);
        EXPECT_EQ(rs.value(u"LocationCodeText"_s).toText(), u"Upper"_s);
        EXPECT_EQ(rs.value(u"SideCode"_s).toText(), u"L"_s);
        EXPECT_FALSE(rs.value(u"notrepairable"_s).toBool());
        rs.moveNext();
        EXPECT_FALSE(rs.value(u"notrepairable"_s).toBool());
        rs.moveLast();
        EXPECT_TRUE(rs.value(u"notrepairable"_s).toBool());
        EXPECT_EQ(view->damageModel()->rowCount(), 3);
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

TEST(LossNoticeRules, ValidationListsTheFailedRulesInOrder)
{
    using orvane::loss::LossNotice;
    orvane::test::ScopedScriptedUi ui;
    LossNotice notice;
    const auto causes = notice.SetCauseofLoss();
    notice.FillDamageCode();
    auto cause = [&](const QString &name) {
        for (const auto &[description, code] : causes)
            if (description == name)
                return code;
        ADD_FAILURE() << name.toStdString();
        return qint64(-1);
    };
    auto submit = [&](const LossNotice::Form &f) {
        ui->clear();
        notice.validdata(f);
        if (ui->boxes().empty())
            return QStringList();
        EXPECT_EQ(ui->boxes()[0].title, u"Missing or invalid data"_s);
        return lines(ui->boxes()[0].text, kValidationHead);
    };
    // Everything blank: every rule in order.
    LossNotice::Form f;
    f.lossDate = QDate(1899, 12, 31);
    EXPECT_EQ(submit(f),
              u"Retail PID|Network PID |Insurance Company ID |Network PID|Sold To First Name|"
              u"Sold To Last Name|Sold To Area Code|Sold To Zip Code|Sold To Phone #|"
              u"Policy Number|Policy State|Date of Loss|Vehicle Source|Vehicle Type|"
              u"Vehicle Ownership|Cause of Loss|Glass Only Damage Check box|"
              u"Must have at least one damage type added.|Bodily Insury Check box|"
              u"Contact Name"_s.split(u'|'));

    // Filled in: passes; bodily injury asks for the claim; a cause asks for its detail.
    f = {};
    f.pid = u"RPID00417"_s;
    f.oid = u"NET1"_s;
    f.inscoid = u"IC1"_s;
    f.insurerId = u"CMI01"_s;
    f.policyState = u"OR"_s;
    f.contact = u"Pat Rivera"_s;
    f.soldFirst.text = u"Pat"_s;
    f.soldLast.text = u"Rivera"_s;
    f.policy.text = u"P-1"_s;
    f.homeArea = {u"503"_s, 3};
    f.homePhone = {u"5550100"_s, 7};
    f.zip = {u"97201"_s, 9};
    f.owner = u"Owner"_s;
    f.vehicleSource = u"NAGS"_s;
    f.vehicleType = u"RV"_s;
    f.cause = cause(u"Tree Branch"_s);
    f.glassOnly = Qt::Checked;
    f.bodilyInjury = Qt::Unchecked;
    LossNotice::DamageEntry roof;
    roof.opening = u"Roof"_s;
    roof.quantity = u"1"_s;
    ASSERT_TRUE(notice.cmdAdd_Click(roof));
    EXPECT_EQ(submit(f), QStringList());
    f.homeArea.text = u"53"_s;
    EXPECT_EQ(submit(f), QStringList{u"Sold To Area Code must have 3 digits"_s});
    f.homeArea.text = u"503"_s;
    f.bodilyInjury = Qt::Checked;
    EXPECT_EQ(submit(f), QStringList{u"Loss ID # ( Claim ) when bodily injury has occurred"_s});
    f.lossId = u"CLM-402"_s;
    f.cause = cause(u"Animal"_s);
    EXPECT_EQ(submit(f), QStringList{u"Type of Animal is required for this cause."_s});
    f.cause = cause(u"Collision"_s);
    f.subData = u"Claim 77"_s;
    EXPECT_EQ(submit(f), QStringList()); // the name is never required
}

TEST_F(LossTest, TheViewChecksWhatItsEntriesHold)
{
    openForm(2, [&](eNOLfrm *view) {
        fillValid(view);
        view->txtPID->clear();
        view->txtSold_To[1]->setText(u"53"_s);
        ui_->clear();
        EXPECT_FALSE(view->validdata());
        ASSERT_EQ(ui_->boxes().size(), 1u);
        EXPECT_EQ(lines(ui_->boxes()[0].text, kValidationHead),
                  (QStringList{u"Retail PID"_s, u"Sold To Area Code must have 3 digits"_s}));
        choose(view->cboCauseofLoss, u"Animal"_s);
        EXPECT_FALSE(view->szrSubrogation->isHidden());
        EXPECT_TRUE(view->txtsubName->isHidden());
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
