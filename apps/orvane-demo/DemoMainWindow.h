#pragma once

#include <QMainWindow>

#include <memory>

class QLabel;
class QMenu;
class QLineEdit;
class QTabWidget;
class QTableView;
class QTimer;

namespace orvane {
class RecordsetModel;
namespace host {
class HostInvoice;
class ReferenceHost;
} // namespace host
} // namespace orvane

// The demo shop's main window: the list of orders, the open order with its
// main fields and lines, the dispatches the network sent, and the counters the
// library keeps in Orvane.ini. The Orvane menu gains one action per public
// method of the library as its views arrive.
class DemoMainWindow : public QMainWindow {
public:
    explicit DemoMainWindow(std::shared_ptr<orvane::host::ReferenceHost> host,
                            QWidget *parent = nullptr);
    ~DemoMainWindow() override;

    // The order shown on the right; nullptr before one is opened.
    std::shared_ptr<orvane::host::HostInvoice> currentOrder() const { return order_; }

    // Both first offer to save edits not yet saved (see maySwitchAway).
    void openOrder(const QVariant &idnumber);
    void newOrder();
    // True when the form holds edits the open order does not have yet.
    bool hasUnsavedEdits() const;
    // Asks "Save changes?" when there are unsaved edits: Yes saves, No drops
    // them, Cancel stays. False when the window must stay on the order.
    bool maySwitchAway();
    // Writes the form into the open order and saves it; false when the host refused.
    bool saveOrder();
    void reloadOrders();
    void refreshCounters();

    // The editors of the order form, by field name (for tests and tab order).
    QLineEdit *editorFor(const QString &field) const;
    QString counterText() const;
    QTableView *ordersView() const { return ordersView_; }
    QTableView *dispatchView() const { return dispatchView_; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void addAuthorizationActions(QMenu *menu);
    void buildOrderForm(QWidget *page);
    void showOrder();
    void showSettings();
    void reloadDispatches();
    void fitOrderList();
    // Shows `shopWords` (what went wrong, as the shop sees it) and keeps the
    // failure being handled, with its number and source, in the error log.
    // Call only inside a catch block.
    void reportError(const QString &shopWords);
    bool hasStagingTables() const;

    std::shared_ptr<orvane::host::ReferenceHost> host_;
    std::shared_ptr<orvane::host::HostInvoice> order_;
    QTableView *ordersView_ = nullptr;
    orvane::RecordsetModel *ordersModel_ = nullptr;
    QTableView *linesView_ = nullptr;
    orvane::RecordsetModel *linesModel_ = nullptr;
    QTableView *dispatchView_ = nullptr;
    orvane::RecordsetModel *dispatchModel_ = nullptr;
    QLabel *dispatchNote_ = nullptr;
    QLabel *orderTitle_ = nullptr;
    QLabel *totals_ = nullptr;
    QLabel *counters_ = nullptr;
    QTabWidget *tabs_ = nullptr;
    QTimer *counterTimer_ = nullptr;
    std::vector<std::pair<QString, QLineEdit *>> editors_;
};
