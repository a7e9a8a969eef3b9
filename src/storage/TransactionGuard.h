#pragma once

#include <QString>

class QSqlDatabase;

namespace orvane::sql {

// The one way host and transport write: a transaction that holds the write
// lock from its start (BackendDialect::beginWrite), so a row read inside it is
// still as read when it is written, and that rolls back unless committed, so a
// refused write never leaves half a change behind. Raises a VbError with the
// driver's text when the transaction cannot begin or commit.
class TransactionGuard {
public:
    TransactionGuard(QSqlDatabase &db, const QString &source);
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard &) = delete;
    TransactionGuard &operator=(const TransactionGuard &) = delete;
    void commit();

private:
    QSqlDatabase &db_;
    QString source_;
    bool open_ = false;
};

} // namespace orvane::sql
