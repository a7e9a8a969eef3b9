#pragma once

#include <QMainWindow>

#include <memory>

class QLabel;
class QMenu;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QTimer;

namespace orvane {
class RecordsetModel;
namespace host {
class HostInvoice;
class ReferenceHost;
} // namespace host
namespace transport {
class StagingDatabase;
}
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
    // True when the form holds edits the open order does not have yet, or the
    // order holds changes (the form's or the library's) not yet stored.
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
    QTableView *linesView() const { return linesView_; }
    QTabWidget *tabs() const { return tabs_; }
    // The received dispatch in the selected row: its report (and, for a mobile
    // dispatch, its appointment), or giving up its link to an order.
    void viewSelectedDispatch(bool schedule = false);
    void unlinkSelectedDispatch();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Where the dispatch report template is: the host's report folder or the shipped one.
    QString dispatchTemplate() const;
    void buildMenus();
    void addAuthorizationActions(QMenu *menu);
    void buildOrderForm(QWidget *page);
    void buildDispatchPage(QWidget *page);
    // The staging tables and the ID lists the network delivers, so a new shop
    // works (and counts) from its first start.
    void prepareShop();
    void showOrder();
    // Writes what the form holds into the open order; false (reported) when a
    // value does not fit. Every action that hands the order to the library
    // calls it first, so nothing typed is left behind or overwritten.
    bool applyForm();
    // Stores the open order as the library left it and takes it as the saved state.
    void storeOrder();
    // The order's row and lines as text: what tells a stored order from a changed one.
    QString orderState() const;
    void selectOpenOrder();
    void updateDispatchButtons();
    void showSettings();
    void reloadDispatches();
    void fitOrderList();
    // Shows `shopWords` (what did not happen, as the shop sees it) and
    // `nextStep` (what staff can do about it) and keeps the failure being
    // handled, with its number and source, in the error log. Call only inside
    // a catch block.
    void reportError(const QString &shopWords, const QString &nextStep = {});

    std::shared_ptr<orvane::host::ReferenceHost> host_;
    std::shared_ptr<orvane::host::HostInvoice> order_;
    // Kept open: the library's table objects share this connection.
    std::shared_ptr<orvane::transport::StagingDatabase> staging_;
    QTableView *ordersView_ = nullptr;
    orvane::RecordsetModel *ordersModel_ = nullptr;
    QTableView *linesView_ = nullptr;
    orvane::RecordsetModel *linesModel_ = nullptr;
    QTableView *dispatchView_ = nullptr;
    orvane::RecordsetModel *dispatchModel_ = nullptr;
    QLabel *dispatchNote_ = nullptr;
    QPushButton *viewDispatch_ = nullptr;
    QPushButton *scheduleDispatch_ = nullptr;
    QPushButton *unlinkDispatch_ = nullptr;
    QLabel *orderTitle_ = nullptr;
    QLabel *totals_ = nullptr;
    QLabel *counters_ = nullptr;
    QTabWidget *tabs_ = nullptr;
    QTimer *counterTimer_ = nullptr;
    std::vector<std::pair<QString, QLineEdit *>> editors_;
    QString savedState_; // orderState() when the order was opened or last stored
};
