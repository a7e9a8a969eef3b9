#include "storage/SqlTable.h"
#include "storage/TransactionGuard.h"
#include <qorOrvaneUI/runtime/VbError.h>

#include "support/TestHelpers.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using namespace Qt::StringLiterals;
using namespace orvane::sql;
using orvane::test::errorNumber;

namespace {

// Two connections to one SQLite file, as two workstations have.
class TransactionGuardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        const QString connection =
            u"QSQLITE:"_s % dir_.filePath(u"shop.db"_s) % u";BUSY_TIMEOUT=50"_s;
        a_ = openConnection(connection, u"guard-a"_s, u"test"_s);
        b_ = openConnection(connection, u"guard-b"_s, u"test"_s);
        exec(a_, u"CREATE TABLE t (n INTEGER)"_s, {}, u"test"_s);
    }
    void TearDown() override
    {
        for (QSqlDatabase *db : {&a_, &b_}) {
            const QString name = db->connectionName();
            db->close();
            *db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
        }
    }
    int rows()
    {
        QSqlQuery q = exec(b_, u"SELECT COUNT(*) FROM t"_s, {}, u"test"_s);
        return q.next() ? q.value(0).toInt() : -1;
    }

    QTemporaryDir dir_;
    QSqlDatabase a_, b_;
};

// A guard rolls back unless committed. A second writer waits (here: gives
// up) at its start, not after it has read rows the first is about to change.
TEST_F(TransactionGuardTest, RollsBackUnlessCommittedAndHoldsTheWriteLockFromItsStart)
{
    std::optional<TransactionGuard> first;
    first.emplace(a_, u"test"_s);
    exec(a_, u"INSERT INTO t VALUES (?)"_s, {1}, u"test"_s);
    EXPECT_EQ(errorNumber([&] { TransactionGuard second(b_, u"test"_s); }),
              orvane::err::Unspecified);
    first.reset();
    EXPECT_EQ(rows(), 0);
    {
        TransactionGuard guard(b_, u"test"_s);
        exec(b_, u"INSERT INTO t VALUES (?)"_s, {1}, u"test"_s);
        guard.commit();
    }
    EXPECT_EQ(rows(), 1);
}

} // namespace
