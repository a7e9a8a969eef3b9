#include "storage/TransactionGuard.h"

#include "runtime/CrashPoint.h"
#include "storage/BackendDialect.h"
#include "storage/SqlTable.h"
#include <qorOrvaneUI/runtime/VbError.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace orvane::sql {

TransactionGuard::TransactionGuard(QSqlDatabase &db, const QString &source)
    : db_(db), source_(source)
{
    // QSqlDatabase::transaction() would begin a deferred transaction on SQLite,
    // which takes the write lock only at the first write. Transaction statements
    // cannot be prepared on PostgreSQL: run it plainly.
    QSqlQuery q(db_);
    if (!q.exec(BackendDialect::forBackend(backendOf(db_)).beginWrite()))
        throw VbError(err::Unspecified, source_, q.lastError().text());
    open_ = true;
}

TransactionGuard::~TransactionGuard()
{
    if (open_)
        db_.rollback();
    releaseRefusedStatements();
}

void TransactionGuard::commit()
{
    // QSqlDatabase::commit() also notices PostgreSQL turning the COMMIT of an
    // aborted transaction into a rollback.
    crashPoint("commit");
    if (!db_.commit()) {
        const QString text = db_.lastError().text();
        db_.rollback();
        releaseRefusedStatements();
        open_ = false;
        throw VbError(err::Unspecified, source_, text);
    }
    open_ = false;
    crashPoint("committed");
}

} // namespace orvane::sql
