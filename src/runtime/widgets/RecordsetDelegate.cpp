#include "runtime/widgets/RecordsetDelegate.h"

#include "runtime/widgets/RecordsetModel.h"

#include <QAbstractItemView>
#include <QAbstractProxyModel>
#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QToolTip>

namespace orvane {

namespace {

enum class Editor { Standard, ValueList, DropDown, CheckBox };

// The RecordsetModel behind a (possibly proxied) index, and the index in it.
const RecordsetModel *sourceModel(QModelIndex &index)
{
    const QAbstractItemModel *model = index.model();
    while (const auto *proxy = qobject_cast<const QAbstractProxyModel *>(model)) {
        index = proxy->mapToSource(index);
        model = proxy->sourceModel();
    }
    return qobject_cast<const RecordsetModel *>(model);
}

Editor editorKind(const QModelIndex &index)
{
    QModelIndex source = index;
    const RecordsetModel *model = sourceModel(source);
    if (model == nullptr || !source.isValid() || source.column() >= model->columnCount())
        return Editor::Standard;
    const RecordsetColumn &column = model->column(source.column());
    if (!model->valueListOf(source.row(), source.column()).isEmpty())
        return Editor::ValueList;
    if (!column.dropDownList.isEmpty())
        return Editor::DropDown;
    if (column.format == ColumnFormat::CheckBox)
        return Editor::CheckBox;
    return Editor::Standard;
}

} // namespace

RecordsetDelegate::RecordsetDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

QWidget *RecordsetDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                         const QModelIndex &index) const
{
    QModelIndex source = index;
    const RecordsetModel *model = sourceModel(source);
    switch (editorKind(index)) {
    case Editor::ValueList: {
        auto *combo = new QComboBox(parent);
        // The list of the row being edited, whichever row was current before.
        for (const ValueListEntry &entry : model->valueListOf(source.row(), source.column()))
            combo->addItem(entry.second, entry.first);
        return combo;
    }
    case Editor::DropDown: {
        auto *combo = new QComboBox(parent);
        combo->addItems(model->column(source.column()).dropDownList);
        return combo;
    }
    case Editor::CheckBox:
        return nullptr;
    case Editor::Standard:
        break;
    }
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *line = qobject_cast<QLineEdit *>(editor); line != nullptr && model != nullptr) {
        // Staff see the field's limit while typing, instead of the cell
        // refusing the whole text when it is left.
        if (const int size = model->maxLength(source.column()); size > 0)
            line->setMaxLength(size);
        else if (model->fieldKind(source.column()) == ValueKind::Int32)
            line->setValidator(new QIntValidator(line));
    }
    return editor;
}

void RecordsetDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *combo = qobject_cast<QComboBox *>(editor);
    const Editor kind = editorKind(index);
    if (combo == nullptr || (kind != Editor::ValueList && kind != Editor::DropDown)) {
        QStyledItemDelegate::setEditorData(editor, index);
        return;
    }
    if (kind == Editor::ValueList) {
        QModelIndex source = index;
        const RecordsetModel *model = sourceModel(source);
        int pos = model->valueListIndex(source);
        if (pos < 0) {
            // A stored value the list does not know stays selectable, so closing
            // the editor without a choice does not overwrite it.
            combo->insertItem(0, index.data(Qt::DisplayRole).toString(), index.data(Qt::EditRole));
            pos = 0;
        }
        combo->setCurrentIndex(pos);
        return;
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    int pos = combo->findText(text, Qt::MatchExactly);
    if (pos < 0) {
        combo->insertItem(0, text);
        pos = 0;
    }
    combo->setCurrentIndex(pos);
}

void RecordsetDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                     const QModelIndex &index) const
{
    auto *combo = qobject_cast<QComboBox *>(editor);
    const Editor kind = editorKind(index);
    if (combo == nullptr || (kind != Editor::ValueList && kind != Editor::DropDown)) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    if (combo->currentIndex() < 0)
        return;
    if (kind == Editor::ValueList)
        model->setData(index, combo->currentData(), Qt::EditRole);
    else
        model->setData(index, combo->currentText(), Qt::EditRole);
}

bool RecordsetDelegate::editorEvent(QEvent *event, QAbstractItemModel *model,
                                    const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (editorKind(index) != Editor::CheckBox)
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    const Qt::ItemFlags itemFlags = model->flags(index);
    if (!(itemFlags & Qt::ItemIsUserCheckable) || !(itemFlags & Qt::ItemIsEnabled))
        return false;

    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // Swallowed so a double click toggles twice instead of opening an editor.
        const auto *mouse = static_cast<QMouseEvent *>(event);
        return mouse->button() == Qt::LeftButton &&
               option.rect.contains(mouse->position().toPoint());
    }
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !option.rect.contains(mouse->position().toPoint()))
            return false;
        break;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Select)
            return false;
        break;
    }
    default:
        return false;
    }
    const bool checked = index.data(Qt::CheckStateRole).toInt() == int(Qt::Checked);
    return model->setData(index, int(checked ? Qt::Unchecked : Qt::Checked), Qt::CheckStateRole);
}

QString RecordsetDelegate::hiddenText(const QStyleOptionViewItem &option,
                                      const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    if (opt.text.isEmpty())
        return {};
    const QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
    const QRect room = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
    // The style keeps a margin on either side of the text.
    const int margin = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, &opt, opt.widget) + 1);
    const bool cut = opt.text.contains(u'\n') ||
                     opt.fontMetrics.horizontalAdvance(opt.text) > room.width() - margin;
    return cut ? opt.text : QString();
}

bool RecordsetDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                  const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event && event->type() == QEvent::ToolTip && index.isValid() &&
        !index.data(Qt::ToolTipRole).isValid()) {
        const QString whole = hiddenText(option, index);
        if (!whole.isEmpty()) {
            // Rich text with the value escaped: a value that looks like markup
            // is shown as typed.
            QToolTip::showText(
                event->globalPos(),
                QStringLiteral("<qt>") + whole.toHtmlEscaped() + QStringLiteral("</qt>"), view);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

} // namespace orvane
