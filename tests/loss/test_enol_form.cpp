#include "LossFixture.h"

#include "RecordsetModel.h"
#include "ShopDatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

using namespace losstest;

namespace {

const QString CRLF = u"\r\n"_s;

void choose(QComboBox *c, const QString &text)
{
    c->setCurrentIndex(c->findText(text));
    ASSERT_EQ(c->currentText(), text);
}

// Gives the entry the focus, types, and moves on as a user would.
void typeInto(eNOLfrm *view, QWidget *entry, const QString &text, QWidget *next)
{
    entry->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QTest::keyClicks(entry, text);
    next->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    (void)view;
}

QStringList lines(const QString &text, const QString &head)
{
    EXPECT_TRUE(text.startsWith(head)) << text.toStdString();
    QStringList out = text.mid(head.size()).split(CRLF);
    EXPECT_EQ(out.takeLast(), QString());
    return out;
}

} // namespace

TEST_F(LossTest, ActivationFillsTheIdentifiersFromSingleRowsAndTheShop)
{
    addRows(orvane::ext::progid::g_pidList, u"g_pidlist"_s,
            {{{u"PID"_s, u"LISTED1"_s}, {u"PIDname"_s, u"Harbor listed"_s}}});
    addRows(orvane::ext::progid::g_oidList, u"g_oidlist"_s,
            {{{u"Origid"_s, u"NET9"_s}, {u"Company"_s, u"Glass Network"_s}}});
    addRows(orvane::ext::progid::g_inscoid, u"g_inscoid"_s,
            {{{u"destpid"_s, u"RPID00417"_s},
              {u"origpid"_s, u"NET9"_s},
              {u"INScoid"_s, u"IC-7"_s},
              {u"Company"_s, u"Cascade Mutual "_s},
              {u"City"_s, u"Salem"_s},
              {u"PhoneArea"_s, u"503"_s},
              {u"Phone"_s, u"5550101"_s}}});
    addRows(orvane::ext::progid::g_insid, u"g_insid"_s,
            {{{u"billtoid"_s, 1},
              {u"Origpid"_s, u"NET9"_s},
              {u"destpid"_s, u"RPID00417"_s},
              {u"Insurerid"_s, u"CMI01"_s},
              {u"Insurer"_s, u"Cascade Mutual Insurance"_s}}});
    openForm(2, [](eNOLfrm *view) {
        EXPECT_EQ(view->windowTitle(), u"Claim Launch"_s);
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
        EXPECT_EQ(view->txtCar[3]->text(), u"Camry"_s);
        EXPECT_EQ(view->cboVehicleSource->currentText(), u"NAGS"_s);
        EXPECT_EQ(view->cboVehicleType->currentText(), u"STANDARD"_s);
        EXPECT_EQ(view->cboOwnership->currentIndex(), -1);
        EXPECT_EQ(view->cboCauseofLoss->count(), 18);
        EXPECT_EQ(view->cboCauseofLoss->itemData(6).toLongLong(), 201);
        EXPECT_EQ(view->cboOpeningType->count(), 9);
        EXPECT_EQ(view->cboSide->count(), 4);
        EXPECT_EQ(view->cboSide->itemText(0), QString());
        EXPECT_EQ(view->txtContactName->text(), u"Pat Rivera"_s);
        EXPECT_FALSE(view->dteLossDate->isEmpty());
    });
    EXPECT_TRUE(reportedErrors().isEmpty()) << reportedErrors().join(u"|"_s).toStdString();
}

TEST_F(LossTest, SeveralRowsABlankShopAndNoBillToLeaveTheEntriesAlone)
{
    addRows(orvane::ext::progid::g_oidList, u"g_oidlist"_s,
            {{{u"Origid"_s, u"NET1"_s}}, {{u"Origid"_s, u"NET2"_s}}});
    // A shop listed before the real one whose ID is blank text.
    host_->database().exec(
        u"INSERT INTO customer (shopid, name, address, city, state, zip, phone, user2) "
        u"VALUES (0, 'Blank', '', '', '', '', '', '')"_s);
    auto order = host_->openOrder(2);
    order->itemsrecordset().setValue(u"shopid"_s, 2); // a shop without an ID
    order->itemsrecordset().setValue(u"billto_id"_s, Value::null());
    order_ = order;
    ui_->onDialog([](QDialog *d) {
        auto *view = dynamic_cast<eNOLfrm *>(d);
        ASSERT_TRUE(view);
        EXPECT_EQ(view->txtPID->text(), u"RPID00417"_s);
        EXPECT_EQ(view->txtOID->text(), QString());
        EXPECT_EQ(view->txtInsuranceID->text(), QString());
    });
    eNOLcls cls;
    cls.SendeNOL(order, 0);
    EXPECT_TRUE(reportedErrors().isEmpty()) << reportedErrors().join(u"|"_s).toStdString();
}

TEST_F(LossTest, EntriesBehaveAsTypedAndWriteTheOrder)
{
    openForm(2, [this](eNOLfrm *view) {
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view));
        view->txtSoldTo[15]->clear();
        typeInto(view, view->txtSoldTo[15], u"mary ann"_s, view->txtSoldTo[14]);
        EXPECT_EQ(view->txtSoldTo[15]->text(), u"Mary Ann"_s);
        view->txtQuantity->clear();
        typeInto(view, view->txtQuantity, u"1x2-"_s, view->txtContactName);
        EXPECT_EQ(view->txtQuantity->text(), u"12"_s);
        view->txtQuantity->setFocus(Qt::TabFocusReason);
        QTest::keyClick(view->txtQuantity, Qt::Key_Tab); // Tab still leaves it
        EXPECT_EQ(QApplication::focusWidget(), view->cboPos);
        view->txtPolicyState->clear();
        typeInto(view, view->txtPolicyState, u"or"_s, view->txtContactName);
        EXPECT_EQ(view->txtPolicyState->text(), u"OR"_s);
        view->txtSold_To[5]->clear();
        typeInto(view, view->txtSold_To[5], u"5550199"_s, view->txtContactName);
        EXPECT_EQ(view->txtSold_To[5]->text(), u"555-0199"_s);
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
    struct Case {
        const char16_t *opening, *qty, *pos, *loc, *side;
        Qt::CheckState repairable;
        QStringList refused; // the lines of the message; empty: added
        QString title = u"Data Error"_s;
    };
    const QString dup =
        u"You already have a record with the same opening type, position, and side codes."_s;
    const std::vector<Case> cases = {
        {u"",
         u"0",
         u"",
         u"",
         u"",
         Qt::Unchecked,
         {u"You must fill out the opening type"_s,
          u"You must enter a quantity for the Glass Replacement"_s}},
        {u"Windshield",
         u"1",
         u"",
         u"",
         u"",
         Qt::PartiallyChecked,
         {u"You must check whether the glass is repairable or not"_s}},
        {u"Door",
         u"1",
         u"Front",
         u"",
         u"",
         Qt::Unchecked,
         {u"With a Door, Vent, or Quarter, you must select a side code"_s}},
        {u"Door",
         u"-1",
         u"Front",
         u"",
         u"Left",
         Qt::Unchecked,
         {u"You must enter a quantity for the Glass Replacement"_s}},
        {u"Door",
         u"abc",
         u"Front",
         u"",
         u"Left",
         Qt::Unchecked,
         {u"You must enter a quantity for the Glass Replacement"_s}},
        {u"Door", u"2abc", u"Front", u"Upper", u"Left", Qt::Unchecked, {}},
        {u"Door", u"1", u"Front", u"Lower", u"Left", Qt::Unchecked, {dup}},
        {u"Door", u"1", u"Front", u"", u"Right", Qt::Unchecked, {}},
        {u"Windshield", u"1", u"", u"", u"", Qt::Checked, {}},
        {u"Windshield", u"3", u"", u"", u"", Qt::Unchecked, {dup}},
    };
    openForm(2, [&](eNOLfrm *view) {
        view->cmdDelete->click(); // nothing to delete
        for (const Case &c : cases) {
            const QString opening = QString::fromUtf16(c.opening);
            if (opening.isEmpty())
                view->cboOpeningType->setCurrentIndex(-1);
            else
                choose(view->cboOpeningType, opening);
            view->chkRepairable->setCheckState(c.repairable);
            view->txtQuantity->setText(QString::fromUtf16(c.qty));
            view->cboPos->setCurrentIndex(view->cboPos->findText(QString::fromUtf16(c.pos)));
            view->cboLocation->setCurrentIndex(
                view->cboLocation->findText(QString::fromUtf16(c.loc)));
            view->cboSide->setCurrentIndex(view->cboSide->findText(QString::fromUtf16(c.side)));
            ui_->clear();
            const int before = view->damageLines().recordCount();
            view->cmdAdd->click();
            const std::string what =
                opening.toStdString() + " " + QString::fromUtf16(c.qty).toStdString();
            if (c.refused.isEmpty()) {
                EXPECT_TRUE(ui_->boxes().empty()) << what;
                EXPECT_EQ(view->damageLines().recordCount(), before + 1) << what;
                EXPECT_EQ(view->cboOpeningType->currentIndex(), -1);
                continue;
            }
            EXPECT_EQ(view->damageLines().recordCount(), before) << what;
            ASSERT_EQ(ui_->boxes().size(), 1u) << what;
            EXPECT_EQ(ui_->boxes()[0].title, c.title);
            if (c.refused.front() == dup)
                EXPECT_EQ(ui_->boxes()[0].text, dup);
            else
                EXPECT_EQ(lines(ui_->boxes()[0].text, head), c.refused) << what;
        }
        // What the lines hold: codes and texts from the catalogue, the
        // quantity the check accepted, the repairable answer.
        Recordset rs = view->damageLines().clone();
        EXPECT_EQ(rs.recordCount(), 3);
        EXPECT_EQ(rs.value(u"OpeningCode"_s).toText(), u"DR"_s);
        EXPECT_EQ(rs.value(u"GlassQuantity"_s).toInt64(), 2);
        EXPECT_EQ(rs.value(u"PositionCode"_s).toText(), u"F"_s);
        EXPECT_EQ(rs.value(u"LocationCodeText"_s).toText(), u"Upper"_s);
        EXPECT_EQ(rs.value(u"SideCode"_s).toText(), u"L"_s);
        EXPECT_FALSE(rs.value(u"notrepairable"_s).toBool());
        rs.moveLast();
        EXPECT_EQ(rs.value(u"OpeningCodeDesc"_s).toText(), u"Windshield"_s);
        EXPECT_TRUE(rs.value(u"notrepairable"_s).toBool());
        EXPECT_EQ(view->damageModel()->rowCount(), 3);
        // Delete takes the selected line, then the next one asked for.
        view->grdDamage->setCurrentIndex(view->damageModel()->index(2, 0));
        view->cmdDelete->click();
        view->cmdDelete->click();
        EXPECT_EQ(view->damageLines().recordCount(), 1);
    });
    EXPECT_TRUE(reportedErrors().isEmpty()) << reportedErrors().join(u"|"_s).toStdString();
}

TEST_F(LossTest, ValidationListsTheFailedRulesInOrder)
{
    const QString head = u"To submit this Notice of Loss, you must fill out the following "
                         u"information\r\n\r\n"_s;
    // The check alone: a notice that passes would be sent.
    auto submit = [&](eNOLfrm *view) {
        ui_->clear();
        view->validdata();
        if (ui_->boxes().empty())
            return QStringList();
        EXPECT_EQ(ui_->boxes()[0].title, u"Missing or invalid data"_s);
        return lines(ui_->boxes()[0].text, head);
    };
    openForm(2, [&](eNOLfrm *view) {
        // Fresh: the identifiers the shop did not give, and what the order does not hold.
        EXPECT_EQ(submit(view),
                  (QStringList{u"Network PID "_s, u"Insurance Company ID "_s, u"Network PID"_s,
                               u"Policy State"_s, u"Vehicle Ownership"_s, u"Cause of Loss"_s,
                               u"Glass Only Damage Check box"_s,
                               u"Must have at least one damage type added."_s,
                               u"Bodily Insury Check box"_s}));
        // Everything else blank as well: rules 1 to 20 in order.
        for (QLineEdit *e :
             {view->txtPID, view->txtSoldTo[15], view->txtSoldTo[14], view->txtSold_To[1],
              view->txtSold_To[3], view->txtSold_To[5], view->txtAgent[10], view->txtContactName})
            e->clear();
        view->cboVehicleSource->setCurrentIndex(-1);
        view->cboVehicleType->setCurrentIndex(-1);
        view->dteLossDate->setValue(QDateTime(QDate(1899, 12, 31), QTime()));
        EXPECT_EQ(submit(view), (QStringList{u"Retail PID"_s,
                                             u"Network PID "_s,
                                             u"Insurance Company ID "_s,
                                             u"Network PID"_s,
                                             u"Sold To First Name"_s,
                                             u"Sold To Last Name"_s,
                                             u"Sold To Area Code"_s,
                                             u"Sold To Zip Code"_s,
                                             u"Sold To Phone #"_s,
                                             u"Policy Number"_s,
                                             u"Policy State"_s,
                                             u"Date of Loss"_s,
                                             u"Vehicle Source"_s,
                                             u"Vehicle Type"_s,
                                             u"Vehicle Ownership"_s,
                                             u"Cause of Loss"_s,
                                             u"Glass Only Damage Check box"_s,
                                             u"Must have at least one damage type added."_s,
                                             u"Bodily Insury Check box"_s,
                                             u"Contact Name"_s}));

        // Filled in: passes; bodily injury asks for the claim; a cause asks for its detail.
        view->txtPID->setText(u"RPID00417"_s);
        view->txtOID->setText(u"NET1"_s);
        view->txtInsCOID->setText(u"IC1"_s);
        view->txtInsuranceID->setText(u"CMI01"_s);
        view->txtSoldTo[15]->setText(u"Jordan"_s);
        view->txtSoldTo[14]->setText(u"Baker"_s);
        view->txtSold_To[1]->setText(u"503"_s);
        view->txtSold_To[3]->setText(u"97205"_s);
        view->txtSold_To[5]->setText(u"5550172"_s);
        view->txtAgent[10]->setText(u"POL-882"_s);
        view->txtPolicyState->setText(u"OR"_s);
        view->txtContactName->setText(u"Pat Rivera"_s);
        view->dteLossDate->setValue(QDateTime(QDate(1900, 1, 1), QTime()));
        choose(view->cboVehicleSource, u"NAGS"_s);
        choose(view->cboVehicleType, u"RV"_s);
        choose(view->cboOwnership, u"Owner"_s);
        choose(view->cboCauseofLoss, u"Tree Branch"_s);
        view->chkGlassDamage->setCheckState(Qt::Checked);
        view->chkBodilyInjury->setCheckState(Qt::Unchecked);
        view->txtLossIDNumber->clear();
        choose(view->cboOpeningType, u"Roof"_s);
        view->txtQuantity->setText(u"1"_s);
        view->cmdAdd->click();
        EXPECT_EQ(submit(view), QStringList());

        view->chkBodilyInjury->setCheckState(Qt::Checked);
        EXPECT_EQ(view->lbleNOL[4]->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        EXPECT_EQ(submit(view),
                  QStringList{u"Loss ID # ( Claim ) when bodily injury has occurred"_s});
        view->txtLossIDNumber->setText(u"CLM-402"_s);

        choose(view->cboCauseofLoss, u"Animal"_s);
        EXPECT_FALSE(view->szrSubrogation->isHidden());
        EXPECT_TRUE(view->txtsubName->isHidden());
        EXPECT_EQ(view->lbleNOL[11]->text(), u"Type of Animal"_s);
        EXPECT_EQ(submit(view), QStringList{u"Type of Animal is required for this cause."_s});

        choose(view->cboCauseofLoss, u"Collision"_s);
        EXPECT_EQ(view->lbleNOL[10]->text(), u"Driver's Name"_s);
        EXPECT_EQ(view->lbleNOL[12]->text(), u"Provide Claim # if available as well"_s);
        view->txtSubdata->setText(u"Claim 77"_s);
        EXPECT_EQ(submit(view), QStringList()); // the name is never required
        choose(view->cboCauseofLoss, u"Hail Storm"_s);
        EXPECT_TRUE(view->szrSubrogation->isHidden());
        view->cmdAction[1]->click();
        EXPECT_TRUE(view->isHidden());
    });
}
