#pragma once

#include <qorOrvaneUI/runtime/VbError.h>

#include <QDialog>
#include <QIcon>
#include <QStyle>

#include <memory>
#include <utility>
#include <vector>

namespace orvane::ext {
class IInvoice;
class IErrorClass;
} // namespace orvane::ext

namespace orvane::ui {

// The library's icon resource by its number (164 the e-schedule window, 101 an
// OK button, ...). A number the library has no picture for gives `fallback`
// from the desktop's style, or a null icon, which a window or button simply
// does not show.
QIcon libraryIcon(int id, QStyle::StandardPixmap fallback = QStyle::StandardPixmap(-1));
// A button's icon with its second picture, shown while the button cannot be
// pressed (103 with 153, 105 with 154).
QIcon libraryIconPair(int id, int secondId);

// Hands the failure being handled to the host's error class of `invoice`
// (Env.ErrorClass.ErrorHandle 0, name, description, number, ErrorLine). Call
// only inside a catch block. Reporting must never become a second failure, so
// a host that cannot take the report is passed over.
void reportTrapped(const std::shared_ptr<ext::IInvoice> &invoice, const Proc &proc) noexcept;
// The same for a message the view shows through the host (number 0), as the
// validation of the authorization views does.
void reportMessage(const std::shared_ptr<ext::IInvoice> &invoice, const QString &procedure,
                   const QString &text, int line = 0) noexcept;

// What every view of the library shares: its name, caption and icon, its
// registration with the host's layout service (ControlUI), once in when it is
// created and once out when it unloads (the destructor unloads a view that was
// not unloaded, so an error path still unregisters), and a trap that reports a
// failure through the open order's error class instead of letting it escape
// into the host's event loop.
//
//   void Xfrm::cmdGo_Click()
//   {
//       Proc p = proc(u"cmdGo_Click"_s);
//       try { p.at(10); ...; p.at(20); ... } catch (...) { reportTrapped(p); }
//   }
class LibraryView : public QDialog {
    Q_OBJECT
public:
    ~LibraryView() override;

    // The order whose Env.ErrorClass receives the view's reports (may be none).
    const std::shared_ptr<ext::IInvoice> &errorInvoice() const { return reportInvoice_; }

    // Writes what the entry holding the focus has not written yet, as leaving
    // it would. Runs before the action of every button of the view (Enter on
    // the default button leaves the focus in the entry), so an action never
    // works on the values from before the last typing.
    void commitPendingEntries();

    // Holds the view's reports while a write transaction is open and makes
    // them when it ends: declared before the transaction, so the transaction
    // is taken back before any report (a box of the host's) can appear.
    class ReportsAfter {
    public:
        explicit ReportsAfter(LibraryView *view);
        ~ReportsAfter();
        ReportsAfter(const ReportsAfter &) = delete;
        ReportsAfter &operator=(const ReportsAfter &) = delete;

    private:
        LibraryView *view_;
        bool outer_;
    };

protected:
    // `name` is the view's object name and the key it registers under;
    // `caption` its window title.
    LibraryView(const QString &name, const QString &caption, QWidget *parent);

    // Registers the view and then `grids` (control, key) with the host's
    // layout service. A host without the service, or one that refuses, still
    // gets a working view.
    void registerView(std::vector<std::pair<QWidget *, QString>> grids = {});
    // Unregisters what registerView registered, in the same order, once.
    // Returns false when the view was unloaded before.
    bool unloadView();
    bool unloaded() const { return unloaded_; }

    // Fits the view's entries (core/widgets/Entries) and ties every button to
    // commitPendingEntries.
    void showEvent(QShowEvent *event) override;
    // What commitPendingEntries does for the widget with the focus; the
    // default commits an open grid editor. Views with entries bound to the
    // order write the entry's value there.
    virtual void commitPendingEntry(QWidget *focused);

    void setErrorInvoice(std::shared_ptr<ext::IInvoice> invoice)
    {
        reportInvoice_ = std::move(invoice);
    }

    // A trap named after this view: "qorOrvaneUI." + view name + "." + procedure.
    Proc proc(const QString &procedure) const;
    // Call only inside a catch block.
    void reportTrapped(const Proc &p) const noexcept;

private:
    struct HeldReport {
        QString procedure, description;
        long number;
        int line;
    };
    void flushReports() noexcept;

    std::vector<std::pair<QWidget *, QString>> registered_;
    mutable std::vector<HeldReport> held_; // reports waiting for the end of a transaction
    bool holding_ = false;
    std::shared_ptr<ext::IInvoice> reportInvoice_;
    bool unloaded_ = false;
};

} // namespace orvane::ui
