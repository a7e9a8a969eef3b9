#pragma once

#include <qorOrvaneUI/runtime/Recordset.h>

#include <QString>

#include <memory>
#include <vector>

class QPageLayout;
class QTextDocument;

// The report engine: templates of our own format (docs/report-templates.md)
// bound to record sets and rendered to HTML (for the viewer) or PDF.
//
// The object model is what the library binds through: a report's database
// tables by position (from 1), its formula fields by name, its sections and
// the report objects they hold, and the subreports among those objects, each a
// report of its own with its own tables.
namespace orvane::report {

// Error numbers of the engine (also listed in docs/report-templates.md).
namespace err {
inline constexpr long SubscriptOutOfRange = 9; // no table at that position
inline constexpr long FileNotFound = 53;
inline constexpr long FileAccess = 75; // exists but cannot be read
inline constexpr long InvalidTemplate = 20600;
inline constexpr long FormulaError = 20601;
inline constexpr long ExportFailed = 20602;
inline constexpr long NotASubreport = 20603;
} // namespace err

enum class ObjectKind { Field = 1, Text = 2, Formula = 3, Line = 4, Subreport = 5 };
enum class SectionKind { Block, Detail };

class Report;

// A database table of a report: a name, and the record set it shows once bound.
class ReportTable {
public:
    const QString &name() const { return name_; }
    void setDataSource(const Recordset &rs);
    bool hasDataSource() const { return bound_; }
    const Recordset &dataSource() const { return rs_; }

private:
    friend class Report;
    QString name_;
    Recordset rs_;
    bool bound_ = false;
};

// A named formula. The text is in the report's formula language: 'text' (an
// embedded quote written twice), {TABLE.FIELD}, joined by +.
class FormulaField {
public:
    const QString &name() const { return name_; }
    const QString &formulaText() const { return text_; }
    // Checked when the report renders, not here, so a caller may set texts in any order.
    void setFormulaText(const QString &text) { text_ = text; }

private:
    friend class Report;
    QString name_;
    QString text_;
};

class ReportObject {
public:
    ObjectKind kind() const { return kind_; }
    const QString &name() const { return name_; }
    // The subreport a kind-5 object holds; other kinds fail with NotASubreport.
    Report &openSubreport() const;

private:
    friend class Report;
    ObjectKind kind_ = ObjectKind::Text;
    QString name_;
    Report *subreport_ = nullptr;
};

class ReportSection {
public:
    const QString &name() const { return name_; }
    SectionKind kind() const { return kind_; }
    // Every report object inside the section, nested layout included, in
    // document order (objects inside a subreport belong to the subreport).
    const std::vector<ReportObject> &reportObjects() const { return objects_; }

private:
    friend class Report;
    QString name_;
    SectionKind kind_ = SectionKind::Block;
    std::vector<ReportObject> objects_;
};

class Report {
public:
    ~Report();
    Report(const Report &) = delete;
    Report &operator=(const Report &) = delete;

    // Opens a template file; see err for the failures.
    static std::unique_ptr<Report> open(const QString &path);
    // The same from template text; `origin` names it in error messages.
    static std::unique_ptr<Report> fromText(const QByteArray &text,
                                            const QString &origin = QString());

    const QString &name() const;
    const QString &title() const;

    int tableCount() const;
    // Position from 1; out of range fails with SubscriptOutOfRange.
    ReportTable &table(int position);
    const ReportTable &table(int position) const;

    std::vector<FormulaField> &formulaFields();
    const std::vector<FormulaField> &formulaFields() const;
    const std::vector<ReportSection> &sections() const;

    // A complete HTML page (with the template's style sheet) of the bound data.
    QString toHtml() const;
    // The same laid out as a printable document on the template's page size.
    std::unique_ptr<QTextDocument> toDocument() const;
    // Writes a PDF (see ReportPages); a file that cannot be written fails with
    // ExportFailed and leaves any file already at `path` as it was.
    void exportPdf(const QString &path) const;

    // The template's paper and margins.
    QPageLayout pageLayout() const;
    // The running head of the printed pages: the template's page-header
    // formula over the bound data; empty when the template has none.
    QString pageHeaderText() const;
    // The template's page-footer for page `page` of `pages`; empty when none.
    QString pageFooterText(int page, int pages) const;

    struct Impl;

private:
    Report();
    std::unique_ptr<Impl> d;
};

// The engine's application object: what a caller creates to open templates.
class ReportEngine {
public:
    std::unique_ptr<Report> OpenReport(const QString &path) const { return Report::open(path); }
};

// The formula-language string literal of a text: enclosed in single quotes,
// an embedded quote written twice ("O'Hare" gives 'O''Hare').
QString quoteFormulaText(const QString &text);

// The value of formula text with no field references ('a' + 'b' gives ab);
// a malformed formula, or one that reads a field, fails with FormulaError.
QString evaluateLiteralFormula(const QString &text);

} // namespace orvane::report
