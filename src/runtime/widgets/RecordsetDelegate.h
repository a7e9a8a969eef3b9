#pragma once

#include <QStyledItemDelegate>

namespace orvane {

class RecordsetModel;

// The grids' cell editor: a drop-down over a column's value list (showing the
// texts, storing the values) or drop-down list, and check box columns that
// toggle with a click anywhere in the cell or the space bar. Other cells get
// the usual editors. Works through proxy models stacked on a RecordsetModel.
class RecordsetDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit RecordsetDelegate(QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
    // A cell too narrow for its text shows the whole text as its tip, unless
    // the column has a tip of its own: what was typed is never only half seen.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
    // The text of `index` when `option`'s rectangle cannot show it whole;
    // empty otherwise.
    QString hiddenText(const QStyleOptionViewItem &option, const QModelIndex &index) const;
};

} // namespace orvane
