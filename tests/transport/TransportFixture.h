#pragma once

#include "support/StubEnvironment.h"
#include "transport/NetworkClient.h"
#include "transport/StagingDatabase.h"
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/transport/TransportClasses.h>

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace orvane::transport::test {

enum class Db { SQLite, PostgreSQL };

inline std::string backendName(const ::testing::TestParamInfo<Db> &info)
{
    return info.param == Db::SQLite ? "SQLite" : "PostgreSQL";
}
inline const auto backends = ::testing::Values(Db::SQLite, Db::PostgreSQL);

// Each row's values of `columns` joined with '|', in the rows' order: a
// table compares as one value and a failure shows every row.
inline QStringList rowTexts(const Recordset &rs, const QStringList &columns)
{
    QStringList out;
    for (Recordset row = rs.clone(); row.recordCount() > 0 && !row.eof(); row.moveNext()) {
        QStringList cells;
        for (const QString &column : columns)
            cells << row.value(column).toText();
        out << cells.join(u'|');
    }
    return out;
}

// Takes each document and answers only when the test says so.
class HeldClient : public INetworkClient {
public:
    QStringList sent; // recid of each document sent
    QString messageId;
    void send(const protocol::Request &request, std::function<void(const Exchange &)> done) override
    {
        sent << request.recid;
        messageId = request.messageId;
        pending_ = std::move(done);
    }
    void checkHealth(std::function<void(bool, const QString &)> done) override { done(true, {}); }
    void answer(const Exchange &exchange) { std::exchange(pending_, nullptr)(exchange); }

private:
    std::function<void(const Exchange &)> pending_;
};

// The test server's connection text: ORVANE_PG_CONNECTION, else the file the
// ctest fixture (tests/support/pg-test-server.sh) wrote. Empty with `why` set
// when there is none.
inline QString pgConnection(QString *why)
{
    const QByteArray fromEnv = qgetenv("ORVANE_PG_CONNECTION");
    if (!fromEnv.isEmpty())
        return QString::fromUtf8(fromEnv).trimmed();
    const QString dir = QStringLiteral(ORVANE_PG_DIR);
    QFile file(dir + QStringLiteral("/connection.txt"));
    if (file.open(QIODevice::ReadOnly))
        return QString::fromUtf8(file.readAll()).trimmed();
    QFile error(dir + QStringLiteral("/error.txt"));
    if (error.open(QIODevice::ReadOnly))
        *why = QString::fromUtf8(error.readAll()).trimmed();
    else
        *why = QStringLiteral("no PostgreSQL test server (run through ctest, which starts one, or "
                              "set ORVANE_PG_CONNECTION)");
    return {};
}

// Every case runs on SQLite (a file in a fresh folder) and on PostgreSQL (a
// fresh schema in the test server's database).
class TransportTest : public ::testing::TestWithParam<Db> {
protected:
    void SetUp() override
    {
        dataPath_ = dir_.path() + QStringLiteral("/");
        if (GetParam() == Db::SQLite) {
            connection_ = QStringLiteral("QSQLITE:") + dataPath_ + QStringLiteral("shop.sqlite");
        } else {
            QString why;
            connection_ = pgConnection(&why);
            // CI must not pass on SQLite alone because the server did not start.
            if (connection_.isEmpty() && qEnvironmentVariableIsSet("ORVANE_REQUIRE_PG"))
                FAIL() << "PostgreSQL: " << why.toStdString();
            if (connection_.isEmpty())
                GTEST_SKIP() << "PostgreSQL: " << why.toStdString();
            useFreshDatabase();
        }
        env_ = std::make_shared<orvane::test::StubEnvironment>(dataPath_, connection_);
        // Every case reads and writes the staging tables through the table objects.
        orvane::transport::registerTransportClasses();
    }

    // A database of its own for each case: ctest runs cases in parallel
    // processes against the one server. The server is thrown away afterwards.
    void useFreshDatabase()
    {
        static int counter = 0;
        const QString name =
            QStringLiteral("orvane_t%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
        const QString admin = QStringLiteral("transport-test-admin");
        {
            QSqlDatabase db = sql::openConnection(connection_, admin, QStringLiteral("test"));
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(QStringLiteral("CREATE DATABASE ") + name));
        }
        QSqlDatabase::removeDatabase(admin);
        QStringList parts = connection_.split(u';');
        for (QString &part : parts)
            if (part.trimmed().startsWith(QStringLiteral("dbname="), Qt::CaseInsensitive))
                part = QStringLiteral("dbname=") + name;
        connection_ = parts.join(u';');
    }

    bool postgres() const { return GetParam() == Db::PostgreSQL; }

    // A table object of the transport, on this case's database.
    template <class T> std::shared_ptr<T> object(const char16_t *progId)
    {
        auto o = CreateObject<T>(QString::fromUtf16(progId));
        o->setEnv(env_);
        return o;
    }

    QTemporaryDir dir_;
    QString dataPath_;
    QString connection_;
    std::shared_ptr<orvane::test::StubEnvironment> env_;
};

} // namespace orvane::transport::test
