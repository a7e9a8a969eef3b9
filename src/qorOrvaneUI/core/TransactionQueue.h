#pragma once

#include <QString>

#include <memory>

namespace orvane {
class XmlDocument;
namespace ext {
class IInvoice;
class Ig_trans;
} // namespace ext
} // namespace orvane

// How every outgoing document leaves the library: one row in the transport's
// transaction table, then the send flag in the shop's network settings file
// for the transport service to see. The library never talks to the network.
namespace orvane::TransactionQueue {

// Record types of the documents the library sends.
inline constexpr const char16_t *AuthorizationRequest = u"AUTHREQ";
inline constexpr const char16_t *LossNotice = u"ENOL";
inline constexpr const char16_t *CoverageAnswer = u"LOSSAH";

// Writes `doc` as a new, unprocessed transaction row of type `recType` with
// record id `recId`, stamped with the order's idnumber and the shop's location,
// then raises "SendTrans" in section "Orvane" of data_path + "Orvane.ini".
//
// Failures reach the caller's error trap unchanged. Nothing is undone: a row
// saved before the flag could be written stays, and the service sends it the
// next time the flag is raised. A row that could not be saved raises no flag.
void QueueTransaction(const std::shared_ptr<orvane::ext::IInvoice> &objInvoice,
                      const orvane::XmlDocument &doc, const QString &recType, const QString &recId);

// The two halves, for a caller that stores the row inside its own staging
// transaction (StagingWrites::Transaction): the flag belongs after the commit,
// since it lives in a file the transaction cannot take back. Killed between
// the two, the row waits for the next flag; a flag without a row would only
// make the service look in vain.
// QueueRow hands back the transaction object that saved the row.
std::shared_ptr<orvane::ext::Ig_trans>
QueueRow(const std::shared_ptr<orvane::ext::IInvoice> &objInvoice, const orvane::XmlDocument &doc,
         const QString &recType, const QString &recId);
void RaiseSendFlag(const std::shared_ptr<orvane::ext::IInvoice> &objInvoice);

} // namespace orvane::TransactionQueue
