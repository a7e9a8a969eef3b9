#include "host/AgentControl.h"

#include "host/HostInvoice.h"
#include "host/ShopDatabase.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStandardItemModel>

using namespace Qt::StringLiterals;

namespace orvane::host {

namespace {

constexpr int AgentIdRole = Qt::UserRole + 1;
constexpr int MaxOffers = 50;

QString likePrefix(const QString &text)
{
    QString escaped = text.toLower();
    escaped.replace(u"\\"_s, u"\\\\"_s).replace(u"%"_s, u"\\%"_s).replace(u"_"_s, u"\\_"_s);
    return escaped % u'%';
}

QString shown(const Recordset &agent)
{
    QString name = agent.value(u"a_first"_s).toText().trimmed() % u' ' %
                   agent.value(u"a_last"_s).toText().trimmed();
    const QString company = agent.value(u"a_company"_s).toText().trimmed();
    if (!company.isEmpty())
        name += u" (" % company % u')';
    return name.trimmed();
}

} // namespace

AgentEntry::AgentEntry(std::shared_ptr<ShopDatabase> db, QWidget *parent)
    : QWidget(parent), db_(std::move(db))
{
    setObjectName(u"qorAgent"_s);
    txtAgent = new QLineEdit(this);
    txtAgent->setObjectName(u"txtAgentLookup"_s);
    txtAgent->setPlaceholderText(tr("Type an agent's name"));
    txtAgent->setToolTip(tr("Agent for this Order"));
    matches = new QStandardItemModel(this);
    completer = new QCompleter(matches, this);
    // The database already chose the matches; the completer only shows them.
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    // Not the line edit's own completer: that one pops up on every key, even
    // for an entry without focus; lookUp decides when the list is offered.
    completer->setWidget(txtAgent);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(txtAgent);

    connect(txtAgent, &QLineEdit::textEdited, this, &AgentEntry::lookUp);
    connect(completer, qOverload<const QModelIndex &>(&QCompleter::activated), this,
            [this](const QModelIndex &index) { pick(index.row()); });
}

void AgentEntry::lookUp(const QString &typed)
{
    matches->clear();
    const QString text = typed.simplified();
    if (text.isEmpty())
        return;
    const TableDef &t = db_->table(u"agents"_s);
    // Bound values only: the typed text never becomes SQL.
    const QString where = u"lower(a_first) LIKE ? ESCAPE '\\' OR lower(a_last) LIKE ? ESCAPE '\\' "
                          u"OR lower(a_first || ' ' || a_last) LIKE ? ESCAPE '\\'"_s;
    const QString pattern = likePrefix(text);
    Recordset found = db_->select(t, where, {pattern, pattern, pattern}, u"a_last, a_first"_s);
    for (int n = 0; !found.eof() && n < MaxOffers; found.moveNext(), ++n) {
        auto *item = new QStandardItem(shown(found));
        item->setData(found.value(u"agentid"_s).toInt32(), AgentIdRole);
        matches->appendRow(item);
    }
    if (matches->rowCount() > 0 && txtAgent->hasFocus())
        completer->complete();
}

void AgentEntry::pick(int row)
{
    if (row < 0 || row >= matches->rowCount())
        return;
    const int id = matches->item(row)->data(AgentIdRole).toInt();
    Recordset agent = HostInvoice::agentRecord(*db_, id);
    if (agent.recordCount() == 0)
        return;
    if (completer->popup())
        completer->popup()->hide();
    txtAgent->setText(agent.value(u"a_last"_s).toText().trimmed());
    Q_EMIT agentChosen(agent);
}

AgentControl::AgentControl(std::shared_ptr<ShopDatabase> db) : db_(std::move(db)) {}

QWidget *AgentControl::widget(QWidget *parent)
{
    if (!entry_) {
        entry_ = new AgentEntry(db_, parent);
        QObject::connect(entry_, &AgentEntry::agentChosen, entry_,
                         [handler = handler_](const Recordset &agent) {
                             if (*handler)
                                 (*handler)(agent);
                         });
        showOrderAgent();
    }
    return entry_;
}

void AgentControl::setRecordset(const Recordset &order)
{
    order_ = order;
    hasOrder_ = true;
    showOrderAgent();
}

void AgentControl::showOrderAgent()
{
    if (!entry_ || !hasOrder_ || order_.eof() || order_.bof())
        return;
    try {
        // The entry stands after the view's own first-name box ("First, Last:"):
        // it shows the last name, so the row does not read "Dana | Dana Okafor".
        entry_->txtAgent->setText(order_.value(u"a_last"_s).toText().trimmed());
    } catch (const VbError &) {
        // An order without agent fields shows an empty entry.
    }
}

} // namespace orvane::host
