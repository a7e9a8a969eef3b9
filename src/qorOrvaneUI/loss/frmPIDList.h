#pragma once

#include "qorOrvaneUI/core/LibraryView.h"
#include <qorOrvaneUI/runtime/Recordset.h>

#include <array>
#include <memory>

class QPushButton;
class QTableView;

namespace orvane {
class RecordsetModel;
namespace ext {
class IEnvironment;
class ITableObject;
} // namespace ext
} // namespace orvane

namespace orvane::loss {

// "PID List": the shop's participant IDs (or, set up by the caller, another
// ID list), editable in the grid; OK picks the current row. The caller reads
// Selected() and the current row of the list's row set after the view hides.
class frmPIDList : public orvane::ui::LibraryView {
    Q_OBJECT
public:
    explicit frmPIDList(QWidget *parent = nullptr);
    ~frmPIDList() override;

    QTableView *grdEdits = nullptr;
    std::array<QPushButton *, 2> cmdAction{};
    // Index 0 unused, as the buttons are numbered 1 and 2.
    std::array<QPushButton *, 3> cmdEdits{};

    // The list object whose Update saves the grid's rows; may be none (a list
    // read from the host's own tables).
    void setList(std::shared_ptr<orvane::ext::ITableObject> list);
    // Where the view reports its failures (Env.ErrorClass); the list's own
    // environment when not set.
    void setEnv(std::shared_ptr<orvane::ext::IEnvironment> env) { env_ = std::move(env); }
    std::shared_ptr<orvane::ext::ITableObject> list() const { return list_; }
    // Shows `rows` in the grid with the current columns.
    void bindGrid(const orvane::Recordset &rows);
    orvane::Recordset rows() const { return rows_; }
    orvane::RecordsetModel *gridModel() const { return model_; }

    // The grid's columns and the tag its layout is kept under; call before
    // bindGrid and before the view is shown.
    void clearColumns();
    void addColumn(const QString &caption, const QString &field, int width = -1);
    void setGridTag(const QString &tag) { gridTag_ = tag; }
    QString gridKey() const;

    bool Selected() const { return selected_; }
    // When set, closing the view writes nothing back.
    void setKeepUnsaved(bool keep) { keepUnsaved_ = keep; }

    void Form_Load();
    void Form_Unload();
    void cmdAction_Click(int index);
    void cmdEdits_Click(int index);

    // Escape and the window's close box act as Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct Column {
        QString caption, field;
        int width;
    };
    void rebuildModel();
    void report(const orvane::Proc &p) const noexcept;

    std::shared_ptr<orvane::ext::ITableObject> list_;
    std::shared_ptr<orvane::ext::IEnvironment> env_;
    orvane::Recordset rows_;
    orvane::RecordsetModel *model_ = nullptr;
    std::vector<Column> columns_;
    QString gridTag_;
    bool selected_ = false;
    bool keepUnsaved_ = false;
    bool loaded_ = false;
};

} // namespace orvane::loss
