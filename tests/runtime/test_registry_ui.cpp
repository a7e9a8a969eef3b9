#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include "support/TestHelpers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace orvane;
using orvane::test::raised;

namespace {

class Greeter : public ComObject {
public:
    virtual QString hello() const { return u"hello"_s; }
};

class Other : public ComObject {};

} // namespace

TEST(ObjectRegistry, CreatesByIdentifierWithoutRegardToCase)
{
    auto &registry = ObjectRegistry::instance();
    registry.registerClass(u"Test.Greeter"_s, [] { return std::make_shared<Greeter>(); });
    registry.registerClass(u"Test.Other"_s, [] { return std::make_shared<Other>(); });

    EXPECT_EQ(CreateObject<Greeter>(u"test.GREETER"_s)->hello(), u"hello"_s);
    // Each creation is a new object.
    EXPECT_NE(registry.create(u"Test.Greeter"_s), registry.create(u"Test.Greeter"_s));

    const VbError missing = raised([] { CreateObject<Greeter>(u"Test.Missing"_s); });
    EXPECT_EQ(missing.number(), 429);
    EXPECT_EQ(missing.description(), u"ActiveX component can't create object (\"Test.Missing\")"_s);
    EXPECT_EQ(raised([] { CreateObject<Greeter>(u"Test.Other"_s); }).number(), 13);
    registry.unregisterClass(u"TEST.GREETER"_s);
    EXPECT_FALSE(registry.isRegistered(u"Test.Greeter"_s));
    registry.unregisterClass(u"Test.Other"_s);
}

TEST(VbError, ProceduresWrapOncePerLevel)
{
    Proc inner(u"qorOrvaneUI.clsShowDispatch.NodeValue()"_s);
    Proc outer(u"qorOrvaneUI.clsShowDispatch.FillRecordset()"_s);
    inner.at(20);
    outer.at(30);
    const VbError caught(13, u"x"_s, u"Type mismatch"_s);
    const VbError once = inner.wrap(caught);
    const VbError twice = outer.wrap(once);
    EXPECT_EQ(twice.number(), 13);
    EXPECT_EQ(twice.source(), u"qorOrvaneUI.clsShowDispatch.FillRecordset()"_s);
    EXPECT_EQ(twice.description(),
              u"qorOrvaneUI.clsShowDispatch.FillRecordset()\r\nLine : 30\r\n"
              u"qorOrvaneUI.clsShowDispatch.NodeValue()\r\nLine : 20\r\nType mismatch"_s);

    Proc xml(u"XMLUtilmod.CreateNode"_s, WrapStyle::XmlRoutineChained);
    xml.at(40);
    const VbError chained = xml.wrap(VbError(91, u"Doc"_s, u"Object variable not set"_s));
    EXPECT_EQ(chained.source(), u"Doc:XMLUtilmod.CreateNode"_s);
    EXPECT_EQ(chained.description(),
              u"Object variable not set\r\nXMLUtilmod.CreateNode\r\nLine # : 40"_s);

    Proc util(u"setRSValue"_s, WrapStyle::Utility);
    util.at(3);
    EXPECT_EQ(util.wrap(caught).description(), u"Type mismatch\r\nLine : 3"_s);

    // Anything thrown that is not a VbError still arrives with a number.
    const VbError foreign = raised([&] {
        try {
            throw std::runtime_error("boom");
        } catch (...) {
            outer.rethrow();
        }
    });
    EXPECT_NE(foreign.number(), 0);
    EXPECT_TRUE(foreign.description().endsWith(u"boom"_s));
}
