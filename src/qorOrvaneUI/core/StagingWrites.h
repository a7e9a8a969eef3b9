#pragma once

#include <qorOrvaneUI/runtime/Recordset.h>

#include <QString>

#include <memory>

namespace orvane::ext {
class IEnvironment;
class ITableObject;
class ITransaction;
} // namespace orvane::ext

// How the library writes to the transport's staging tables when a step takes
// more than one save, or when several workstations poll the same answers.
namespace orvane::StagingWrites {

// Holds the table objects' saves of `env` in one transaction until commit();
// without a commit (an error, the view closing) nothing of them is stored.
// A transport without the transaction object saves each Update on its own.
class Transaction {
public:
    explicit Transaction(const std::shared_ptr<orvane::ext::IEnvironment> &env);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    std::shared_ptr<orvane::ext::ITransaction> trans_;
};

// Sets `flag` true on the rows of `rows` from its current one to the end, and
// saves them in one Update: the poll's rows become this workstation's answer.
// False when none of them was unread or another workstation marked one since
// they were read (then nothing is written, and the answer is the other's).
bool claim(orvane::ext::ITableObject &table, orvane::Recordset rows, const QString &flag);

} // namespace orvane::StagingWrites
