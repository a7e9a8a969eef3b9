#include "host/AgentControl.h"
#include "host/HostEnvironment.h"
#include "host/HostInvoice.h"
#include "host/HostVehicle.h"
#include "host/ReferenceHost.h"
#include "host/ShopDatabase.h"
#include "host/VehicleChooserDialog.h"
#include "support/DemoShopTest.h"
#include <qorOrvaneUI/external/IVehicleChooser.h>
#include <qorOrvaneUI/external/ObjectCast.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/widgets/ScriptedUi.h>

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace orvane;
using namespace orvane::host;

namespace {

class HostWidgets : public orvane::test::DemoShopTest {
protected:
    void SetUp() override
    {
        DemoShopTest::SetUp();
        chooser = ext::objectAs<ext::IVehicleChooser>(
            host_->env()->SafeCreateUIObj(ext::objkind::VehicleChooser), u"test"_s);
        car = ext::objectAs<ext::IVehicle>(host_->env()->SafeCreatenagsObj(ext::objkind::NagsCar),
                                           u"test"_s);
    }

    std::shared_ptr<ext::IVehicleChooser> chooser;
    std::shared_ptr<ext::IVehicle> car;
};

VehicleChooserDialog *asChooser(QDialog *d)
{
    auto *dialog = qobject_cast<VehicleChooserDialog *>(d);
    EXPECT_NE(dialog, nullptr);
    return dialog;
}

} // namespace

TEST_F(HostWidgets, ChooserNarrowsAsTheUserTypesAndHandsBackTheChoice)
{
    car->setYear(2021);
    ui_->onDialog([](QDialog *d) {
        VehicleChooserDialog *dialog = asChooser(d);
        // Starts from the order's vehicle, on the year.
        EXPECT_EQ(dialog->txtYear->text(), u"2021"_s);
        EXPECT_EQ(dialog->shownCount(), 4);
        QTest::keyClicks(dialog->txtMake, u"toy"_s);
        EXPECT_EQ(dialog->shownCount(), 3);
        QTest::keyClicks(dialog->txtModel, u"co"_s);
        EXPECT_EQ(dialog->shownCount(), 1);
        dialog->txtModel->clear();
        QTest::keyClicks(dialog->txtModel, u"ca"_s);
        ASSERT_EQ(dialog->shownCount(), 1);
        dialog->grdVehicles->selectRow(0);
        EXPECT_TRUE(dialog->cmdOK->isEnabled());
        QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
    });
    auto chosen = chooser->choosecar(0, car, u"YEAR"_s);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->car_id(), Value(u"CV15022"_s));
    EXPECT_EQ(chosen->body(), Value(u"4 Door Sedan"_s));
    EXPECT_EQ(ui_->dialogsShown().size(), 1u);
}

TEST_F(HostWidgets, ChooserFindsByVinTreatsWildcardsAsTextAndCancelledGivesNothing)
{
    chooser->setVIN(u"1FTEW1EP1LF000003"_s);
    ui_->onDialog([](QDialog *d) {
        VehicleChooserDialog *dialog = asChooser(d);
        EXPECT_EQ(dialog->shownCount(), 1);
        QTest::keyClicks(dialog->txtMake, u"%"_s);
        EXPECT_EQ(dialog->shownCount(), 0);
        EXPECT_FALSE(dialog->cmdOK->isEnabled());
        dialog->txtMake->clear();
        EXPECT_EQ(dialog->shownCount(), 1);
        QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
    });
    auto chosen = chooser->choosecar(0, car, u"YEAR"_s);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->model(), Value(u"F-150"_s));
    EXPECT_EQ(chooser->VIN(), u"1FTEW1EP1LF000003"_s);

    // Cancelled: nothing, and the VIN stays.
    chooser->setVIN(u"SOMEVIN"_s);
    ui_->onDialog([](QDialog *d) {
        VehicleChooserDialog *dialog = asChooser(d);
        dialog->txtVIN->clear();
        EXPECT_EQ(dialog->shownCount(), 20);
        QTest::mouseClick(dialog->cmdCancel, Qt::LeftButton);
    });
    EXPECT_EQ(chooser->choosecar(0, car, u"YEAR"_s), nullptr);
    EXPECT_EQ(chooser->VIN(), u"SOMEVIN"_s);
}

TEST_F(HostWidgets, AgentEntryLooksUpAgentsAndReportsThePick)
{
    auto control = CreateObject<ext::IAgentControl>(QString::fromUtf16(ext::progid::qorAgent));
    auto invoice = host_->openOrder(1);
    QWidget parent;
    QWidget *w = control->widget(&parent);
    EXPECT_EQ(control->widget(&parent), w);
    control->setEnv(host_->env());
    control->setRecordset(invoice->itemsrecordset());
    auto *entry = qobject_cast<AgentEntry *>(w);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->txtAgent->text(), u"Okafor"_s); // beside the view's first name

    std::vector<QString> picked;
    control->onAgentChosen([&](const Recordset &agent) {
        picked.push_back(agent.value(u"a_last"_s).toText());
        invoice->SetAgent(agent);
    });

    // Typing without focus: the offer list fills, its popup stays closed.
    entry->txtAgent->clear();
    QTest::keyClicks(entry->txtAgent, u"OKA"_s);
    ASSERT_EQ(entry->matches->rowCount(), 2);
    EXPECT_EQ(entry->matches->item(0)->text(), u"Dana Okafor (Bridgeway Insurance)"_s);
    entry->lookUp(u"%"_s);
    EXPECT_EQ(entry->matches->rowCount(), 0);
    entry->lookUp(u"o_"_s);
    EXPECT_EQ(entry->matches->rowCount(), 0);

    entry->lookUp(u"o'n"_s);
    entry->pick(0);
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0], u"O'Neill"_s);
    EXPECT_EQ(entry->txtAgent->text(), u"O'Neill"_s);
    EXPECT_EQ(invoice->itemsrecordset().value(u"a_company"_s), Value(u"Summit Agency"_s));
    EXPECT_EQ(invoice->itemsrecordset().value(u"a_phone"_s), Value(u"5550189"_s));
    entry->pick(7); // nothing offered there
    EXPECT_EQ(picked.size(), 1u);
}
