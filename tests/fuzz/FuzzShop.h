// One staging database for a whole fuzzing run: SQLite in memory, so that no
// commit touches a file or takes a file lock, the transport's classes
// registered, and every table emptied before each input so that no run is
// slowed or steered by the rows of the runs before it. The environment's
// folder is a fresh one for what is written beside the database.
#pragma once

#include "support/StubEnvironment.h"
#include "transport/StagingDatabase.h"
#include "transport/TableObjects.h"
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/Value.h>

#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>
#include <vector>

namespace orvane::fuzz {

class FuzzShop {
public:
    static FuzzShop &instance()
    {
        static FuzzShop shop;
        return shop;
    }

    std::shared_ptr<test::StubEnvironment> env() const { return env_; }

    // An outgoing row waiting for the network, `xml` as it stands.
    void queue(const QString &rectype, const QString &recid, const QString &xml)
    {
        QSqlQuery q(db_->db());
        if (!q.prepare(QStringLiteral("INSERT INTO g_trans (guid, rectype, recid, xml, processed, "
                                      "daskid, daskloc) VALUES (?, ?, ?, ?, 0, 7, 1)")))
            std::abort();
        q.addBindValue(QStringLiteral("F0220000000000000000000000000001"));
        q.addBindValue(rectype);
        q.addBindValue(recid);
        q.addBindValue(xml);
        if (!q.exec())
            std::abort();
    }

    void clear()
    {
        // One commit for all of them, not one a table.
        QSqlDatabase &db = db_->db();
        if (!db.transaction())
            std::abort();
        for (QSqlQuery &q : clearing_)
            if (!q.exec())
                std::abort();
        if (!db.commit())
            std::abort();
    }

private:
    FuzzShop()
        : dir_(QDir(QStringLiteral("/dev/shm")).exists()
                   ? QStringLiteral("/dev/shm/orvane-fuzz-XXXXXX")
                   : QDir::tempPath() + QStringLiteral("/orvane-fuzz-XXXXXX"))
    {
        if (!dir_.isValid())
            std::abort();
        transport::registerTransportClasses();
        const QString data = dir_.path() + QStringLiteral("/");
        const QString connection = QStringLiteral("QSQLITE::memory:");
        env_ = std::make_shared<test::StubEnvironment>(data, connection, 1);
        // Held for the whole run: an in-memory database lives as long as its
        // one connection, and the table objects share it instead of opening
        // (and migrating) one each.
        db_ = transport::StagingDatabase::open(connection);
        // Prepared once: parsing them again for every input cost more than running them.
        for (const QString &table : db_->db().tables()) {
            if (!table.startsWith(QStringLiteral("g_"), Qt::CaseInsensitive))
                continue;
            clearing_.emplace_back(db_->db());
            if (!clearing_.back().prepare(QStringLiteral("DELETE FROM \"") + table +
                                          QStringLiteral("\"")))
                std::abort();
        }
    }

    QTemporaryDir dir_;
    std::shared_ptr<test::StubEnvironment> env_;
    std::shared_ptr<transport::StagingDatabase> db_;
    std::vector<QSqlQuery> clearing_;
};

// Reads every field of every row, as the views that show them do.
inline void readRows(Recordset rows)
{
    if (!rows.isOpen() || rows.recordCount() == 0)
        return;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext())
        for (int i = 0; i < rows.fieldCount(); ++i) {
            const Value v = rows.field(i).value();
            if (!v.isNull())
                (void)v.toText();
        }
}

} // namespace orvane::fuzz
