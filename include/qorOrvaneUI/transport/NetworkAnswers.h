#pragma once

#include <QHash>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace orvane {
class Value;
class XmlDocument;
class XmlNode;
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

// A document the network reads and will never take (no lines, not XML, an
// unknown record type), or an answer the shop cannot file against its rows.
struct Refused {
    QString reason;
};

// What the network knows of a loss when it sends the dispatch: the loss
// notice's values under the g_enol column names, and its damage lines under
// the g_enolline ones.
struct LossFacts {
    QHash<QString, QString> notice;
    std::vector<QHash<QString, QString>> lines;
};

// The network's side: reads an outgoing document and gives the answer element
// the protocol carries back (docs/network-protocol.md), appended under
// `answerParent`. Knows nothing of the shop's tables; the loss behind a
// coverage answer comes from `lossFacts`.
class NetworkAnswerer {
public:
    explicit NetworkAnswerer(const NetworkRules &rules = {}) : rules_(rules) {}

    const NetworkRules &rules() const { return rules_; }
    NetworkRules &rules() { return rules_; }

    // Looks a loss up by its loss reference; none by default.
    std::function<std::optional<LossFacts>(const QString &lossRef)> lossFacts;

    // Answers `request` (record type and id as queued). Throws Refused for a
    // document the network will not take.
    void answer(const QString &rectype, const QString &recid, const XmlDocument &request,
                XmlDocument &out, XmlNode &answerParent) const;

    // The facts of a loss notice document, as lossFacts gives them.
    static LossFacts factsOfNotice(const XmlDocument &notice);

private:
    void answerAuthorization(const QString &recid, const XmlDocument &doc, XmlDocument &out,
                             XmlNode &parent) const;
    void answerNotice(const QString &recid, const XmlDocument &doc, XmlDocument &out,
                      XmlNode &parent) const;
    void answerCoverage(const XmlDocument &doc, XmlDocument &out, XmlNode &parent) const;
    QString dispatchXml(const QString &lossRef, const XmlNode &coverageAnswer) const;

    NetworkRules rules_;
};

// What one written answer added.
struct WrittenAnswer {
    int answerLines = 0;
    int notices = 0;
    int coverageRows = 0;
    int lossAcks = 0;
    int dispatches = 0;
};

// The shop's side: files the network's answer to one outgoing document in the
// staging tables the library polls, through the transport's table objects.
// Runs inside the caller's write transaction; throws Refused before writing
// anything when the answer does not fit the document or the shop's rows.
class AnswerWriter {
public:
    explicit AnswerWriter(std::shared_ptr<ext::IEnvironment> env) : env_(std::move(env)) {}

    // `answers` holds the answer element(s) the network gave (the children of
    // the protocol's NetworkAnswer). daskid/daskloc: the outgoing row's.
    WrittenAnswer write(const QString &rectype, const QString &recid, const XmlDocument &request,
                        const XmlNode &answers, const Value &daskid, const Value &daskloc);

    // A refusal of the whole document as the network's error answer, so the
    // library's wait shows it: every line of an authorization request, the
    // loss notice, or a loss acknowledgement for a coverage answer.
    void writeRefusal(const QString &rectype, const QString &recid, const XmlDocument &request,
                      const QString &code, const QString &text, const Value &daskid,
                      const Value &daskloc);

private:
    std::shared_ptr<ext::IEnvironment> env_;
};

} // namespace orvane::transport
