#pragma once

#include <qorOrvaneUI/external/IAgentControl.h>
#include <qorOrvaneUI/runtime/Recordset.h>

#include <QPointer>
#include <QWidget>

#include <memory>

class QCompleter;
class QLineEdit;
class QStandardItemModel;

namespace orvane::host {

class ShopDatabase;

// The agent entry's widget: the user types the start of an agent's first or
// last name (or "first last"); the agents that match are offered in a popup
// list, and picking one reports the agent's record.
class AgentEntry : public QWidget {
    Q_OBJECT

public:
    AgentEntry(std::shared_ptr<ShopDatabase> db, QWidget *parent = nullptr);

    // Fills the offer list for a typed text (what typing does).
    void lookUp(const QString &typed);
    // Picks the agent offered in row `row` of the list.
    void pick(int row);
    QLineEdit *txtAgent;
    QCompleter *completer;
    QStandardItemModel *matches;

Q_SIGNALS:
    void agentChosen(const orvane::Recordset &agent);

private:
    std::shared_ptr<ShopDatabase> db_;
};

// qorAgent: the agent entry the loss notice view embeds.
class AgentControl : public ext::IAgentControl {
public:
    explicit AgentControl(std::shared_ptr<ShopDatabase> db);

    QWidget *widget(QWidget *parent) override;
    void setEnv(std::shared_ptr<ext::IEnvironment> env) override { env_ = std::move(env); }
    // Shows the order's agent (a_first, a_last) in the entry.
    void setRecordset(const Recordset &order) override;
    void onAgentChosen(AgentChosen handler) override { *handler_ = std::move(handler); }

    AgentEntry *entry() const { return entry_; }

private:
    void showOrderAgent();
    std::shared_ptr<ShopDatabase> db_;
    std::shared_ptr<ext::IEnvironment> env_;
    Recordset order_;
    bool hasOrder_ = false;
    QPointer<AgentEntry> entry_;
    // Shared with the widget's connection, which may outlive this object.
    std::shared_ptr<AgentChosen> handler_ = std::make_shared<AgentChosen>();
};

} // namespace orvane::host
