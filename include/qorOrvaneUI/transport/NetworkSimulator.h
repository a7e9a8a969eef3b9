#pragma once

#include <qorOrvaneUI/transport/NetworkAnswers.h>

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
// environment's database is. The answers are the network server's own
// (NetworkAnswerer), filed by the transport service's writer (AnswerWriter).
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
    explicit NetworkSimulator(std::shared_ptr<ext::IEnvironment> env,
                              const NetworkRules &rules = {});

    const NetworkRules &rules() const { return answerer_.rules(); }
    NetworkRules &rules() { return answerer_.rules(); }

    // Answers the waiting documents once, oldest first, at most `maxDocuments`
    // of them (0: all). Failures of single rows go into the report; only a
    // failure to read the table at all (no database) is raised.
    SimulationReport runOnce(int maxDocuments = 0);

private:
    std::shared_ptr<ext::IEnvironment> env_;
    NetworkAnswerer answerer_;
};

} // namespace orvane::transport
