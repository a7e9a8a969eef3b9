#pragma once

#include <QCoreApplication>
#include <QString>

#include <memory>
#include <vector>

namespace orvane {
class Proc;
namespace ext {
class IInvoice;
class Ig_ackn;
} // namespace ext
} // namespace orvane

namespace orvane::authorization {

// The network's answer to an authorization request, one row per answered
// line, each with an accept flag: set at first on every answered line the
// shop has not declined before (a declined line stays declined). apply()
// writes the accepted prices, quantities and confirmation codes of the
// accepted rows without an error into the order's lines, all of them or,
// when one cannot be written, none, and has the host recalculate the order.
class AuthorizationAnswer {
    // Its texts are translated as its view's.
    Q_DECLARE_TR_FUNCTIONS(orvane::authorization::AuthorizationShowfrm)

public:
    void setAckObject(std::shared_ptr<ext::Ig_ackn> ackn) { ackn_ = std::move(ackn); }
    const std::shared_ptr<ext::Ig_ackn> &ackObject() const { return ackn_; }
    void setInvoice(std::shared_ptr<ext::IInvoice> invoice) { invoice_ = std::move(invoice); }

    // Reads the answer rows and sets the flags. Fails as the table object does.
    void load();
    // The accept flags, one per answer row in row order.
    const std::vector<bool> &accepted() const { return accept_; }
    // What became of a row: not answered, or applied or declined when the
    // answer was shown before (empty otherwise).
    QString status(size_t row) const { return row < status_.size() ? status_[row] : QString(); }
    // Turns a row's flag over; false when the row cannot be taken (a line the
    // network did not answer, or one declined when the answer was shown before).
    bool toggle(int row);
    // Writes the accepted rows into the order, all or none, records each
    // answered line's decision and recalculates the order. On a failure the
    // order's lines are as they were and the failure is thrown on, with
    // `p` at the step that failed.
    void apply(Proc &p);
    void release();

    // Stored with each answered line when the answer is applied.
    static constexpr const char16_t *Applied = u"Applied";
    static constexpr const char16_t *Declined = u"Declined";

private:
    bool takeable(size_t row) const
    {
        return row < answered_.size() && answered_[row] && !declined_[row];
    }

    std::shared_ptr<ext::IInvoice> invoice_;
    std::shared_ptr<ext::Ig_ackn> ackn_;
    std::vector<bool> accept_;
    // Per answer row, in row order: the network answered the line; the shop
    // declined it before.
    std::vector<bool> answered_;
    std::vector<bool> declined_;
    std::vector<QString> status_;
};

} // namespace orvane::authorization
