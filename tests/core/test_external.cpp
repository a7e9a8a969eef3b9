// The one piece of code among the external headers: the check the library
// makes on what the host's creators hand back. The interfaces themselves are
// exercised by the host and transport tests.
#include "support/TestHelpers.h"
#include <qorOrvaneUI/external/IShop.h>
#include <qorOrvaneUI/external/ObjectCast.h>

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
}
