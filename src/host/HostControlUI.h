#pragma once

#include <qorOrvaneUI/external/IControlUI.h>

#include <QString>

class QWidget;

namespace orvane::host {

// ControlUI.ControlUIcls: remembers where the user left each view and how the
// columns of each grid were sized and ordered, in "layout.ini" of the shop's
// data folder (kept apart from Orvane.ini, which other programs share).
//
// A top-level view is stored by its key as its position, size and maximized
// state; a grid (a QTableView, QTreeView or QHeaderView) as the width and
// order of its columns, each column known by its caption so that a grid whose
// columns change between versions still gets the right widths. The service
// keeps no state between calls, so the object created for Terminate need not
// be the one that saw Initialize. Failures are ignored: layout is a comfort,
// never a reason for a view to fail.
class HostControlUI : public orvane::ext::IControlUI {
public:
    // `dataPath`: the shop's data folder, ending with '/'.
    explicit HostControlUI(const QString &dataPath);

    // Restores the saved layout. A grid whose columns are not there yet (the
    // record set is bound after registration) gets it as soon as they appear.
    void Initialize(QWidget *control, const QString &key) override;
    // Saves the layout, unless the view was never shown (its geometry is then
    // only the default and would overwrite what the user chose before).
    void Terminate(QWidget *control, const QString &key) override;

    const QString &layoutFile() const { return file_; }

private:
    QString file_;
};

} // namespace orvane::host
