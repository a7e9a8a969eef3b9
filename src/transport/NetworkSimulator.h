#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <memory>

namespace orvane {
class Value;
class XmlDocument;
namespace ext {
class IEnvironment;
}
} // namespace orvane

namespace orvane::transport {

// How the simulated network answers. Every rule of the simulator is here, so
// a demo or a test changes behaviour by changing a field, never the code.
struct NetworkRules {
    // --- authorization requests (record type AUTHREQ) ---------------------------
    // A requested line whose part number matches is refused: it comes back with
    // lineErrorCode (which must start with "e", the mark of a refused line) and
    // no accepted part, price or quantity.
    QRegularExpression refusedPart{QStringLiteral("^X"), QRegularExpression::CaseInsensitiveOption};
    QString lineErrorCode = QStringLiteral("e104");
    QString lineErrorText = QStringLiteral("Part number not found in the insurer's price list");
    // Accepted price = requested price x this factor, rounded to the cent.
    double acceptedPriceFactor = 1.0;
    // Confirmation codes are this prefix and six digits.
    QString confirmationPrefix = QStringLiteral("AC");

    // --- loss notices (record type ENOL) -------------------------------------
    // A notice whose claim number (LossIdentificationNumbers) matches is refused
    // with noticeErrorCode; any other is confirmed with code "0" and answered
    // with coverage rows. ".*" refuses every notice.
    QRegularExpression refusedClaim{QStringLiteral("^REFUSE"),
                                    QRegularExpression::CaseInsensitiveOption};
    QString noticeErrorCode = QStringLiteral("120");
    QString noticeErrorText = QStringLiteral("Policy not found for the claim number given");
    QString noticeConfirmText = QStringLiteral("Loss notice received by the insurer");
    QString lossReferencePrefix = QStringLiteral("LR-");
    QString lossContact = QStringLiteral("Network claims desk 800-555-0140");
    // Vehicles on the customer's policy: one coverage row each, the first the
    // vehicle the notice names.
    int policyVehicles = 1;
    double deductible = 250.0;
    QString coverageText = QStringLiteral("Coverage confirmed");

    // --- coverage answers (record type LOSSAH) -------------------------------------
    // "0" confirms the answer; any other code refuses it (and no dispatch follows).
    QString lossAckErrorCode = QStringLiteral("0");
    QString lossAckErrorText = QStringLiteral("Work assignment confirmed");
    QString declineText = QStringLiteral("Decline of the work assignment recorded");
    // An accepted assignment is followed by a dispatch numbered with this prefix.
    QString dispatchPrefix = QStringLiteral("D-SIM-");
    QString insurerName = QStringLiteral("Simulated Mutual Insurance");
    double glassDiscount = 0.30;
};

// What one run did.
struct SimulationReport {
    int documents = 0;    // outgoing rows answered and marked processed
    int bounced = 0;      // outgoing rows refused as unreadable, marked processed
    int answerLines = 0;  // g_ackn answer rows written
    int notices = 0;      // loss notices confirmed or refused
    int coverageRows = 0; // g_cover rows written
    int lossAcks = 0;     // g_lossack confirmations written
    int dispatches = 0;   // dispatches sent (g_dispatch row + DISPATCH document)
    QStringList problems; // one line per document that could not be answered
};

// Stands in for the network on one machine: takes the outgoing rows of g_trans
// that are not yet processed and answers them as the insurer's side would, in
// the staging tables the library polls. Works through the transport's table
// objects (created by program identifier), so it runs on whichever backend the
// environment's database is.
//
// Each row is claimed (processed set), answered and stamped in one
// transaction, so the demo host's timer and the command line running at once
// never answer a row twice, and a simulator killed half-way leaves the row
// waiting with nothing of its answer stored. A document the network cannot
// read (no lines, no notice row, not XML) stays processed with the reason in
// g_trans.errortext, as a network would bounce it. A row whose answer cannot
// be stored stays unprocessed and is tried again on the next run.
class NetworkSimulator {
public:
    explicit NetworkSimulator(std::shared_ptr<ext::IEnvironment> env, NetworkRules rules = {});

    const NetworkRules &rules() const { return rules_; }
    NetworkRules &rules() { return rules_; }

    // Answers the waiting documents once, oldest first, at most `maxDocuments`
    // of them (0: all). Failures of single rows go into the report; only a
    // failure to read the table at all (no database) is raised.
    SimulationReport runOnce(int maxDocuments = 0);

private:
    struct Refused;
    void answerAuthorization(const QString &recid, const XmlDocument &doc, const Value &daskid,
                             const Value &daskloc, SimulationReport &report);
    void answerNotice(const QString &recid, const XmlDocument &doc, SimulationReport &report);
    void answerCoverage(const XmlDocument &doc, SimulationReport &report);
    void sendDispatch(const QString &lossRef, const XmlDocument &coverageAnswer,
                      SimulationReport &report);

    std::shared_ptr<ext::IEnvironment> env_;
    NetworkRules rules_;
};

} // namespace orvane::transport
