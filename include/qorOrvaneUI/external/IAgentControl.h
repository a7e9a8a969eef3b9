#pragma once

#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Recordset.h>

#include <functional>
#include <memory>

class QWidget;

namespace orvane::ext {

class IEnvironment;

// The host's agent entry (qorAgent), embedded in the loss notice view. The
// library gives it the order's environment and record, and hears from it when
// the user picks an agent, which it then hands to the invoice's SetAgent.
class IAgentControl : public ComObject {
public:
    using AgentChosen = std::function<void(const Recordset &agent)>;

    // The entry's widget, made on the first call as a child of `parent`, which
    // owns it from then on; later calls give the same widget.
    virtual QWidget *widget(QWidget *parent) = 0;
    // The order's environment and record (the invoice's Env and itemsrecordset).
    virtual void setEnv(std::shared_ptr<IEnvironment> env) = 0;
    virtual void setRecordset(const Recordset &order) = 0;
    // Called with the agent's record each time the user picks one; replaces
    // any earlier handler.
    virtual void onAgentChosen(AgentChosen handler) = 0;
};

} // namespace orvane::ext
