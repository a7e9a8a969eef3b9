#include "host/HostControlUI.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QSettings>
#include <QTableView>
#include <QTreeView>
#include <QWidget>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace orvane::host {

namespace {

// Set on a registered control once it has been shown.
constexpr const char *ShownProperty = "_orvaneLayoutShown";

// Notes that the control was shown. The widget's own flags cannot tell: a
// closed top-level window has lost its native window, and the flags with it.
class ShownTracker : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            watched->setProperty(ShownProperty, true);
        return false;
    }
};

void trackShown(QWidget *control)
{
    if (control->property(ShownProperty).isValid())
        return;
    control->setProperty(ShownProperty, control->isVisible());
    control->installEventFilter(new ShownTracker(control));
}

bool wasShown(const QWidget *control)
{
    return control->isVisible() || control->property(ShownProperty).toBool();
}

struct Column {
    QString id;
    int width = 0;
    bool operator==(const Column &) const = default;
};
using GridLayout = std::vector<Column>;

QHeaderView *headerOf(QWidget *control)
{
    if (auto *header = qobject_cast<QHeaderView *>(control))
        return header;
    if (auto *table = qobject_cast<QTableView *>(control))
        return table->horizontalHeader();
    if (auto *tree = qobject_cast<QTreeView *>(control))
        return tree->header();
    return nullptr;
}

// A '/' or '\' in a key would nest settings groups.
QString group(const QString &kind, const QString &key)
{
    QString safe = key;
    safe.replace(u'/', u'_').replace(u'\\', u'_');
    return kind + u'/' + safe;
}

QString columnId(const QHeaderView *header, int logical)
{
    QString caption;
    if (const QAbstractItemModel *model = header->model())
        caption = model->headerData(logical, header->orientation(), Qt::DisplayRole).toString();
    return caption.isEmpty() ? u'#' + QString::number(logical) : caption;
}

void applyGrid(QHeaderView *header, const GridLayout &layout)
{
    const int count = header->count();
    std::vector<bool> placed(size_t(count), false);
    int target = 0;
    for (const Column &column : layout) {
        int logical = -1;
        for (int l = 0; l < count && logical < 0; ++l) {
            if (!placed[size_t(l)] && columnId(header, l) == column.id)
                logical = l;
        }
        if (logical < 0)
            continue; // a column the grid no longer has
        placed[size_t(logical)] = true;
        const int from = header->visualIndex(logical);
        if (from != target)
            header->moveSection(from, target);
        ++target;
        // Hidden columns and columns the view sizes itself stay as the view set them.
        if (column.width > 0 && !header->isSectionHidden(logical) &&
            header->sectionResizeMode(logical) == QHeaderView::Interactive)
            header->resizeSection(logical, column.width);
    }
}

GridLayout readGrid(QSettings &settings)
{
    GridLayout layout;
    const int size = settings.beginReadArray(u"columns"_s);
    for (int i = 0; i < size; ++i) {
        settings.setArrayIndex(i);
        layout.push_back({settings.value(u"id"_s).toString(), settings.value(u"width"_s).toInt()});
    }
    settings.endArray();
    return layout;
}

void restoreGrid(QHeaderView *header, QSettings &settings, const QString &key)
{
    settings.beginGroup(group(u"grids"_s, key));
    const GridLayout layout = readGrid(settings);
    settings.endGroup();
    if (layout.empty())
        return;
    if (header->count() > 0) {
        applyGrid(header, layout);
        return;
    }
    // The grid's columns come with its record set, bound after registration:
    // apply the layout once, when they appear.
    auto *pending = new QObject(header);
    QObject::connect(header, &QHeaderView::sectionCountChanged, pending,
                     [header, pending, layout](int, int newCount) {
                         if (newCount <= 0 || pending->property("applied").toBool())
                             return;
                         pending->setProperty("applied", true);
                         applyGrid(header, layout);
                         pending->deleteLater();
                     });
}

// False when the file already holds this layout: closing a view is then free
// of disk writes, which matters to a workstation that opens and closes a
// view for every answer.
bool saveGrid(QHeaderView *header, QSettings &settings, const QString &key)
{
    GridLayout layout;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        layout.push_back({columnId(header, logical),
                          header->isSectionHidden(logical) ? 0 : header->sectionSize(logical)});
    }
    settings.beginGroup(group(u"grids"_s, key));
    const bool changed = readGrid(settings) != layout;
    if (changed) {
        settings.remove(QString());
        settings.beginWriteArray(u"columns"_s, int(layout.size()));
        for (size_t i = 0; i < layout.size(); ++i) {
            settings.setArrayIndex(int(i));
            settings.setValue(u"id"_s, layout[i].id);
            settings.setValue(u"width"_s, layout[i].width);
        }
        settings.endArray();
    }
    settings.endGroup();
    return changed;
}

// Moves (and if need be shrinks) `rect` into `area`, so a view saved on a
// screen that is gone, or with a larger resolution, opens where it can be seen.
QRect fitted(QRect rect, const QRect &area)
{
    rect.setWidth(std::min(rect.width(), area.width()));
    rect.setHeight(std::min(rect.height(), area.height()));
    rect.moveLeft(std::clamp(rect.left(), area.left(), area.right() - rect.width() + 1));
    rect.moveTop(std::clamp(rect.top(), area.top(), area.bottom() - rect.height() + 1));
    return rect;
}

void restoreView(QWidget *view, QSettings &settings, const QString &key)
{
    settings.beginGroup(group(u"views"_s, key));
    const QRect saved = settings.value(u"rect"_s).toRect();
    const bool maximized = settings.value(u"maximized"_s).toBool();
    settings.endGroup();
    if (!saved.isValid())
        return;

    QScreen *screen = QGuiApplication::screenAt(saved.center());
    if (!screen)
        screen = view->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : saved;

    // Resize first: the view's own minimum and maximum size may change the
    // size, and the position is fitted to the size it really gets.
    view->resize(fitted(saved, area).size());
    // A view larger than the screen (its minimum size) keeps its top-left corner visible.
    view->move(fitted(QRect(saved.topLeft(), view->size()), area).topLeft());
    if (maximized)
        view->setWindowState(view->windowState() | Qt::WindowMaximized);
}

bool saveView(QWidget *view, QSettings &settings, const QString &key)
{
    const bool maximized = view->isMaximized() || view->isFullScreen();
    const QRect rect = maximized ? view->normalGeometry() : QRect(view->pos(), view->size());
    settings.beginGroup(group(u"views"_s, key));
    const bool changed = !settings.contains(u"maximized"_s) ||
                         settings.value(u"rect"_s).toRect() != rect ||
                         settings.value(u"maximized"_s).toBool() != maximized;
    if (changed) {
        settings.setValue(u"rect"_s, rect);
        settings.setValue(u"maximized"_s, maximized);
    }
    settings.endGroup();
    return changed;
}

} // namespace

HostControlUI::HostControlUI(const QString &dataPath)
    : file_(dataPath.isEmpty() ? QString() : dataPath + u"layout.ini"_s)
{
}

void HostControlUI::Initialize(QWidget *control, const QString &key)
{
    if (!control || key.isEmpty() || file_.isEmpty())
        return;
    try {
        trackShown(control);
        QSettings settings(file_, QSettings::IniFormat);
        if (QHeaderView *header = headerOf(control))
            restoreGrid(header, settings, key);
        else if (control->isWindow())
            restoreView(control, settings, key);
    } catch (...) {
    }
}

void HostControlUI::Terminate(QWidget *control, const QString &key)
{
    if (!control || key.isEmpty() || file_.isEmpty())
        return;
    try {
        if (!wasShown(control))
            return;
        QSettings settings(file_, QSettings::IniFormat);
        bool changed = false;
        if (QHeaderView *header = headerOf(control))
            changed = saveGrid(header, settings, key);
        else if (control->isWindow())
            changed = saveView(control, settings, key);
        if (changed)
            settings.sync();
    } catch (...) {
    }
}

} // namespace orvane::host
