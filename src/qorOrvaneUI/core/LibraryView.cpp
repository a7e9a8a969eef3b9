#include "qorOrvaneUI/core/LibraryView.h"

#include "qorOrvaneUI/core/widgets/Entries.h"
#include <qorOrvaneUI/external/IControlUI.h>
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IErrorClass.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>

#include <QAbstractButton>
#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QApplication>
#include <QFile>

using namespace Qt::StringLiterals;

// The resources live in a static library: nothing would pull their
// registration into the program unless something names it.
static void initLibraryResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(qorOrvaneUI);
        return true;
    }();
    (void)done;
}

namespace orvane::ui {

namespace {

// The layout service is created anew for each call, as the host expects; any
// failure of it (no such object, a refusal) is the host's business, not the view's.
template <class Call> void withControlUI(Call call) noexcept
{
    try {
        const auto controlUI =
            CreateObject<ext::IControlUI>(QString::fromUtf16(ext::progid::ControlUI));
        call(*controlUI);
    } catch (...) {
    }
}

std::shared_ptr<ext::IErrorClass> errorClassOf(const std::shared_ptr<ext::IInvoice> &invoice)
{
    if (!invoice)
        return nullptr;
    const auto env = invoice->Env();
    return env ? env->ErrorClass() : nullptr;
}

} // namespace

QIcon libraryIcon(int id, QStyle::StandardPixmap fallback)
{
    initLibraryResources();
    const QString path = u":/qorOrvaneUI/icon"_s % QString::number(id) % u".png"_s;
    if (QFile::exists(path))
        return QIcon(path);
    if (int(fallback) >= 0 && QApplication::style())
        return QApplication::style()->standardIcon(fallback);
    return {};
}

QIcon libraryIconPair(int id, int secondId)
{
    QIcon icon = libraryIcon(id);
    const QString second = u":/qorOrvaneUI/icon"_s % QString::number(secondId) % u".png"_s;
    if (!icon.isNull() && QFile::exists(second))
        icon.addFile(second, QSize(), QIcon::Disabled);
    return icon;
}

void reportTrapped(const std::shared_ptr<ext::IInvoice> &invoice, const Proc &proc) noexcept
{
    try {
        const VbError e = currentError();
        if (const auto errors = errorClassOf(invoice))
            errors->ErrorHandle(0, proc.name(), e.description(), e.number(), proc.line());
    } catch (...) {
    }
}

void reportMessage(const std::shared_ptr<ext::IInvoice> &invoice, const QString &procedure,
                   const QString &text, int line) noexcept
{
    try {
        if (const auto errors = errorClassOf(invoice))
            errors->ErrorHandle(0, procedure, text, 0, line);
    } catch (...) {
    }
}

LibraryView::LibraryView(const QString &name, const QString &caption, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(name);
    setWindowTitle(caption);
}

LibraryView::~LibraryView()
{
    unloadView();
}

void LibraryView::registerView(std::vector<std::pair<QWidget *, QString>> grids)
{
    registered_.clear();
    registered_.emplace_back(this, objectName());
    for (auto &grid : grids)
        registered_.push_back(std::move(grid));
    withControlUI([this](ext::IControlUI &ui) {
        for (const auto &[control, key] : registered_)
            ui.Initialize(control, key);
    });
}

bool LibraryView::unloadView()
{
    if (unloaded_)
        return false;
    unloaded_ = true;
    if (!registered_.empty())
        withControlUI([this](ext::IControlUI &ui) {
            for (const auto &[control, key] : registered_)
                ui.Terminate(control, key);
        });
    registered_.clear();
    return true;
}

Proc LibraryView::proc(const QString &procedure) const
{
    return Proc(u"qorOrvaneUI."_s % objectName() % u"."_s % procedure);
}

void LibraryView::reportTrapped(const Proc &p) const noexcept
{
    if (!holding_) {
        ui::reportTrapped(reportInvoice_, p);
        return;
    }
    try {
        const VbError e = currentError();
        held_.push_back({p.name(), e.description(), e.number(), p.line()});
    } catch (...) {
    }
}

void LibraryView::flushReports() noexcept
{
    std::vector<HeldReport> held;
    held.swap(held_);
    for (const HeldReport &r : held) {
        try {
            if (const auto errors = errorClassOf(reportInvoice_))
                errors->ErrorHandle(0, r.procedure, r.description, r.number, r.line);
        } catch (...) {
        }
    }
}

LibraryView::ReportsAfter::ReportsAfter(LibraryView *view) : view_(view), outer_(!view->holding_)
{
    view_->holding_ = true;
}

LibraryView::ReportsAfter::~ReportsAfter()
{
    if (!outer_)
        return;
    view_->holding_ = false;
    view_->flushReports();
}

void LibraryView::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    fitEntries(this);
    for (QAbstractButton *button : findChildren<QAbstractButton *>())
        connect(button, &QAbstractButton::pressed, this, &LibraryView::commitPendingEntries,
                Qt::UniqueConnection);
}

void LibraryView::commitPendingEntries()
{
    if (QWidget *focused = focusWidget())
        commitPendingEntry(focused);
}

void LibraryView::commitPendingEntry(QWidget *focused)
{
    // A grid's open editor is a child of the grid's viewport.
    for (QWidget *editor = focused; editor && editor != this; editor = editor->parentWidget()) {
        QWidget *viewport = editor->parentWidget();
        auto *grid =
            viewport ? qobject_cast<QAbstractItemView *>(viewport->parentWidget()) : nullptr;
        if (grid && grid->viewport() == viewport) {
            const QModelIndex at = grid->currentIndex();
            if (grid->indexWidget(at) == editor)
                if (QAbstractItemDelegate *delegate = grid->itemDelegateForIndex(at))
                    Q_EMIT delegate->commitData(editor);
            return;
        }
    }
}

} // namespace orvane::ui
