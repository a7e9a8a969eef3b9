// The parsed form of a report template, shared by the code that loads
// templates (ReportTemplate.cpp) and the code that renders them (Report.cpp).
#pragma once

#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/widgets/report/Report.h>

#include <pugixml.hpp>

#include <map>
#include <memory>
#include <vector>

namespace orvane::report {

namespace detail {

enum class Format { Text, Date, Money, Percent, Number, YesNo, Phone };

struct FieldRef {
    QString table;
    QString field;
};

// One piece of a formula: a literal, or a field whose text is read at render.
struct FormulaPart {
    bool isField = false;
    QString literal;
    FieldRef ref;
};

QString fromUtf8(const char *s);
// A table's or formula's name as looked up: trimmed, without regard to case.
QString key(const QString &name);
VbError templateError(const QString &origin, const QString &what);
// formula := [term ('+' term)*]; term := 'literal' | {TABLE.FIELD}
std::vector<FormulaPart> parseFormula(const QString &text, const QString &name);
// The layout elements that are report objects, by element name.
const std::map<QString, ObjectKind> &objectElements();

} // namespace detail

struct Report::Impl {
    using Format = detail::Format;
    using FieldRef = detail::FieldRef;
    std::shared_ptr<pugi::xml_document> doc;
    pugi::xml_node root;
    QString origin;
    QString name;
    QString title;
    QString css;
    QString pageSize = QStringLiteral("Letter");
    double marginMm = 12;
    QString pageFooter;
    FormulaField pageHeader;
    QString currencySymbol;
    std::vector<ReportTable> tables;
    std::vector<FormulaField> formulas;
    std::vector<ReportSection> sections;
    std::vector<pugi::xml_node> sectionNodes;
    std::vector<std::unique_ptr<Report>> subreports;
    std::map<const void *, Report *> subreportAt;
    // Parsed field objects, by element; shared by the copies of a template,
    // as they are never changed after loading.
    struct FieldObject {
        FieldRef ref;
        Format format = Format::Text;
        QString prefix; // shown around the value only when there is one
        QString suffix;
    };
    std::shared_ptr<std::map<const void *, FieldObject>> fieldAt =
        std::make_shared<std::map<const void *, FieldObject>>();

    // --- loading -------------------------------------------------------------
    void load(pugi::xml_node element, const Impl *parent);
    // A report of its own over the same parsed template, which nothing changes
    // after loading: bindings and formula texts set on one never reach the other.
    std::unique_ptr<Report> copy() const;
    void collectObjects(pugi::xml_node node, ReportSection &section);
    const ReportTable *findTable(const QString &tableName) const;
    int tableIndex(const QString &tableName) const;

    // --- rendering -------------------------------------------------------------
    // The row each table is on while a detail section repeats; the others
    // read their first row.
    struct Context {
        std::map<int, Recordset> rows;
    };
    Value fieldValue(const FieldRef &ref, const Context &ctx) const;
    QString evaluate(const FormulaField &formula, const Context &ctx) const;
    void renderChildren(pugi::xml_node node, const Context &ctx, QString &out) const;
    void renderNode(pugi::xml_node node, const Context &ctx, QString &out) const;
    void renderSection(std::size_t index, const Context &ctx, QString &out) const;
    QString renderBody() const;
};

} // namespace orvane::report
