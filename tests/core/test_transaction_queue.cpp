// The outgoing queue against fakes that record every call, so the order of
// the steps and what is left behind after a failure can be checked without a
// database.
#include "qorOrvaneUI/core/TransactionQueue.h"
#include "runtime/RuntimeHelpers.h"
#include "support/TestHelpers.h"
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/Ig_trans.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include <QStringList>

#include "support/OrderOnlyInvoice.h"
#include "support/StubEnvironment.h"

#include <gtest/gtest.h>

namespace TransactionQueue = orvane::TransactionQueue;

using namespace Qt::StringLiterals;
using namespace orvane;
using namespace orvane::ext;
using orvane::test::errorNumber;
using orvane::test::parsedXml;

namespace {

// Every fake appends what it was asked to this one log; the transaction
// table's rows live in `stored`, shared by every object as the database is.
QStringList calls;
Recordset stored;
bool refuseUpdate = false;

class QueueTrans : public Ig_trans {
public:
    QueueTrans() { calls << u"create"_s; }
    ~QueueTrans() override { calls << u"release"_s; }
    std::shared_ptr<IEnvironment> Env() const override { return env_; }
    void setEnv(std::shared_ptr<IEnvironment> env) override
    {
        calls << u"setEnv"_s;
        env_ = std::move(env);
    }
    Recordset itemsrecordset() const override { return rows_; }
    void get_g_trans(const QString &filter) override
    {
        calls << u"get_g_trans "_s % filter;
        rows_ = stored.emptyCopy();
    }
    void Update() override
    {
        calls << u"Update"_s;
        if (refuseUpdate)
            throw VbError(err::Unspecified, u"clsg_trans.Update"_s, u"disk full"_s);
        rows_.forEachRow(
            [](RowStatus, const std::vector<Value> &values) { stored.loadRow(values); });
    }

private:
    std::shared_ptr<IEnvironment> env_;
    Recordset rows_;
};

class TransactionQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        calls.clear();
        refuseUpdate = false;
        env->options->log = &calls;
        invoice->env = env;
        invoice->order =
            test::openRecordset({{u"idnumber"_s, ftype::Int32}, {u"location"_s, ftype::Int32}});
        invoice->order.loadRow({1042, 2}); // the order's own location; the row takes Env's
        stored = test::openRecordset({{u"guid"_s, ftype::Text, 32},
                                      {u"rectype"_s, ftype::Text, 10},
                                      {u"recid"_s, ftype::Text, 40},
                                      {u"xml"_s, ftype::Text},
                                      {u"processed"_s, ftype::Bool},
                                      {u"daskid"_s, ftype::Int32},
                                      {u"daskloc"_s, ftype::Int32}});
        ObjectRegistry::instance().registerClass(QString::fromUtf16(progid::g_trans),
                                                 [] { return std::make_shared<QueueTrans>(); });
        // A row already in the table, which queueing must leave alone.
        stored.loadRow({u"OLD"_s, u"DISPATCH"_s, u"D-1"_s, u"<x/>"_s, true, 1, 1});
    }
    void TearDown() override
    {
        ObjectRegistry::instance().unregisterClass(QString::fromUtf16(progid::g_trans));
    }
    // Rows of the table as "rectype|recid|xml|processed|daskid|daskloc".
    QStringList storedRows() const
    {
        QStringList rows;
        stored.forEachRow([&rows](RowStatus, const std::vector<Value> &v) {
            QStringList cells;
            for (std::size_t i = 1; i < v.size(); ++i)
                cells << v[i].toText();
            rows << cells.join(u'|');
        });
        return rows;
    }

    long queue(std::shared_ptr<IInvoice> order, const QString &type = u"ENOL"_s)
    {
        return errorNumber([&] {
            TransactionQueue::QueueTransaction(order, parsedXml(u"<a/>"_s), type, u"G1"_s);
        });
    }

    std::shared_ptr<test::StubEnvironment> env =
        std::make_shared<test::StubEnvironment>(u"/shop/data/"_s, QString(), 7);
    std::shared_ptr<test::OrderInvoiceWithEnv> invoice =
        std::make_shared<test::OrderInvoiceWithEnv>();
};

TEST_F(TransactionQueueTest, WritesTheRowThenRaisesTheFlagInThatOrder)
{
    EXPECT_EQ(queue(invoice, u"AUTHREQ"_s), 0);
    EXPECT_EQ(
        calls.join(u" / "_s),
        u"create / setEnv / get_g_trans g_trans.guid = '1' and g_trans.guid <> '1' / Update / "
        u"writeinistring Orvane SendTrans 1 /shop/data/Orvane.ini / release"_s);
    // The existing row is untouched; the new one carries the order's id and
    // the environment's location, unprocessed.
    EXPECT_EQ(storedRows(),
              (QStringList{u"DISPATCH|D-1|<x/>|True|1|1"_s, u"AUTHREQ|G1|<a/>|False|1042|7"_s}));
}

// A refused row raises no flag; pieces missing fail before anything is
// written; a flag that cannot be written leaves the row for the next send.
TEST_F(TransactionQueueTest, FailuresRaiseNoFlagForARowNotWritten)
{
    refuseUpdate = true;
    EXPECT_EQ(queue(invoice), err::Unspecified);
    EXPECT_EQ(calls.last(), u"release"_s) << "the object is released on the way out";
    refuseUpdate = false;

    // An order with no current row cannot give its idnumber: the row is dropped.
    invoice->order.moveLast();
    invoice->order.moveNext();
    EXPECT_EQ(queue(invoice), err::NoCurrentRecord);
    EXPECT_EQ(queue(nullptr), err::ObjectVariableNotSet);
    // No transport registered: 429 from the creation.
    ObjectRegistry::instance().unregisterClass(QString::fromUtf16(progid::g_trans));
    EXPECT_EQ(queue(invoice), err::CantCreateObject);
    EXPECT_FALSE(calls.join(u'\n').contains(u"writeinistring"_s));

    ObjectRegistry::instance().registerClass(QString::fromUtf16(progid::g_trans),
                                             [] { return std::make_shared<QueueTrans>(); });
    invoice->order.moveFirst();
    env->options->failWrites = true;
    EXPECT_EQ(queue(invoice), 75);
    EXPECT_EQ(storedRows().size(), 2);
}

} // namespace
