// Every external header compiled together, and the one piece of code among
// them: the check the library makes on what the host's creators hand back.
// The interfaces themselves are exercised by the host and transport tests.
#include "ObjectRegistry.h"
#include "Recordset.h"
#include "TestHelpers.h"
#include "VbError.h"
#include "external/IAgentControl.h"
#include "external/IControlUI.h"
#include "external/IDataCommand.h"
#include "external/IEnvironment.h"
#include "external/IErrorClass.h"
#include "external/IHostItem.h"
#include "external/IInsIdList.h"
#include "external/IInscoIdList.h"
#include "external/IInvoice.h"
#include "external/ILineItems.h"
#include "external/IOidList.h"
#include "external/IOptions.h"
#include "external/IOrderCar.h"
#include "external/IOrderList.h"
#include "external/IOrvaneOut.h"
#include "external/IPidList.h"
#include "external/IRsTable.h"
#include "external/IShop.h"
#include "external/ITableObject.h"
#include "external/IUser.h"
#include "external/IVehicle.h"
#include "external/IVehicleChooser.h"
#include "external/Ig_ackn.h"
#include "external/Ig_trans.h"
#include "external/ObjectCast.h"
#include "external/ProgIds.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace orvane;
using namespace orvane::ext;
using orvane::test::errorNumber;
using orvane::test::raised;

namespace {

class FakeShop : public IShop {
public:
    void getshopbyid(const Value &) override {}
    void getshops(const QString &) override {}
    int RecordCount() const override { return 0; }
    Recordset itemsrecordset() const override { return {}; }
};

class SomethingElse : public ComObject {};

} // namespace

TEST(External, HostCreatorResultsAreCheckedBeforeUse)
{
    EXPECT_NE(objectAs<IShop>(std::make_shared<FakeShop>(), u"FillIn"_s), nullptr);

    // The host answers nothing: an error for the caller's trap, not a crash later.
    const VbError none = raised([] { objectAs<IShop>(nullptr, u"FillIn"_s); });
    EXPECT_EQ(none.number(), err::ObjectVariableNotSet);
    EXPECT_EQ(none.source(), u"FillIn"_s);
    // An object of another kind is a type mismatch.
    EXPECT_EQ(errorNumber([] { objectAs<IShop>(std::make_shared<SomethingElse>(), u"FillIn"_s); }),
              err::TypeMismatch);
    // Program identifiers are the system's own spelling.
    EXPECT_EQ(QString::fromUtf16(progid::g_trans), u"qorOrvaneOut.clsg_trans"_s);
    EXPECT_EQ(QString::fromUtf16(progid::ControlUI), u"ControlUI.ControlUIcls"_s);
}
