#include <qorOrvaneUI/widgets/report/Report.h>

#include "runtime/widgets/report/ReportImpl.h"
#include "runtime/widgets/report/ReportPages.h"

#include "runtime/vb.h"
#include <qorOrvaneUI/runtime/VbError.h>

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextDocument>

#include <pugixml.hpp>

#include <cmath>
#include <map>

using namespace Qt::StringLiterals;

namespace orvane::report {

using namespace detail;

namespace {

QString groupedFixed(double value, int decimals)
{
    QString digits = QString::number(std::fabs(value), 'f', decimals);
    const qsizetype point = decimals > 0 ? digits.indexOf(u'.') : digits.size();
    for (qsizetype at = point - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    static const QRegularExpression nonZero(u"[1-9]"_s);
    if (value < 0 && digits.contains(nonZero))
        return u"-"_s % digits;
    return digits;
}

QString formatValue(const Value &value, Format format, const QString &currencySymbol)
{
    if (value.isEmpty() || value.isNull())
        return {};
    switch (format) {
    case Format::Text:
        return value.toText();
    case Format::Date:
        // The zero date is how a missing date travels: nothing to show.
        if (value.toDate() == DateValue{})
            return {};
        return vb::FormatShortDate(value.toDate());
    case Format::Money: {
        const double amount =
            value.kind() == ValueKind::Currency ? value.toCurrency().toDouble() : value.toDouble();
        const QString text = groupedFixed(amount, 2);
        if (text.startsWith(u'-'))
            return u"-"_s % currencySymbol % text.mid(1);
        return currencySymbol % text;
    }
    case Format::Percent:
        // Stored as percentage points already (15 for fifteen per cent).
        return vb::NumberText(std::round(value.toDouble() * 100.0) / 100.0) % u"%"_s;
    case Format::Number:
        return vb::NumberText(value.toDouble());
    case Format::YesNo:
        return value.toBool() ? u"Yes"_s : u"No"_s;
    case Format::Phone: {
        QString text = value.toText();
        QString digits;
        for (QChar c : text)
            if (c.isDigit())
                digits += c;
        if (digits.size() == 10)
            return u"("_s % digits.left(3) % u") "_s % digits.mid(3, 3) % u"-"_s % digits.mid(6);
        if (digits.size() == 7)
            return digits.left(3) % u"-"_s % digits.mid(3);
        return text;
    }
    }
    return value.toText();
}

// A value as HTML: its own line breaks kept, trailing ones dropped (a list of
// comments ends with one).
QString htmlText(QString text)
{
    while (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    QString escaped = text.toHtmlEscaped();
    escaped.replace(u"\r\n"_s, u"<br/>"_s);
    escaped.replace(u'\n', u"<br/>"_s);
    escaped.replace(u'\r', u"<br/>"_s);
    return escaped;
}

bool isVoidElement(const QString &tag)
{
    return tag == u"br"_s || tag == u"hr"_s || tag == u"img"_s || tag == u"col"_s;
}

} // namespace

Value Report::Impl::fieldValue(const FieldRef &ref, const Context &ctx) const
{
    const int index = tableIndex(ref.table);
    if (index < 0)
        throw VbError(err::FormulaError, u"orvane.report"_s,
                      u"No table "_s % ref.table % u" in report "_s % name);
    if (const auto it = ctx.rows.find(index); it != ctx.rows.end())
        return it->second.field(ref.field).value();
    const ReportTable &table = tables[std::size_t(index)];
    if (!table.bound_)
        return {};
    // A clone reads the first row without moving the caller's cursor.
    const Recordset rs = table.rs_.clone();
    if (rs.recordCount() == 0) {
        rs.field(ref.field); // an unknown field still fails
        return {};
    }
    return rs.field(ref.field).value();
}

QString Report::Impl::evaluate(const FormulaField &formula, const Context &ctx) const
{
    QString out;
    for (const FormulaPart &part : parseFormula(formula.text_, formula.name_)) {
        if (!part.isField) {
            out += part.literal;
            continue;
        }
        const Value v = fieldValue(part.ref, ctx);
        out += formatValue(v, v.kind() == ValueKind::Date ? Format::Date : Format::Text,
                           currencySymbol);
    }
    return out;
}

void Report::Impl::renderChildren(pugi::xml_node node, const Context &ctx, QString &out) const
{
    for (pugi::xml_node child : node.children())
        renderNode(child, ctx, out);
}

void Report::Impl::renderNode(pugi::xml_node node, const Context &ctx, QString &out) const
{
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
        // Template text is layout: its line breaks are the author's, not the reader's.
        out += fromUtf8(node.value()).toHtmlEscaped();
        return;
    }
    if (node.type() != pugi::node_element)
        return;
    const QString tag = fromUtf8(node.name());
    const auto kind = objectElements().find(tag);
    if (kind == objectElements().end()) {
        out += u"<"_s % tag;
        for (pugi::xml_attribute a : node.attributes())
            out += u" "_s % fromUtf8(a.name()) % u"=\""_s % fromUtf8(a.value()).toHtmlEscaped() %
                   u"\""_s;
        if (isVoidElement(tag)) {
            out += u"/>"_s;
            return;
        }
        out += u">"_s;
        renderChildren(node, ctx, out);
        out += u"</"_s % tag % u">"_s;
        return;
    }
    switch (kind->second) {
    case ObjectKind::Field: {
        const FieldObject &field = fieldAt->at(node.internal_object());
        const QString text = formatValue(fieldValue(field.ref, ctx), field.format, currencySymbol);
        if (!text.isEmpty())
            out += field.prefix.toHtmlEscaped() % htmlText(text) % field.suffix.toHtmlEscaped();
        break;
    }
    case ObjectKind::Formula: {
        const QString k = key(fromUtf8(node.attribute("name").value()));
        for (const FormulaField &f : formulas)
            if (key(f.name_) == k) {
                out += htmlText(evaluate(f, ctx));
                break;
            }
        break;
    }
    case ObjectKind::Text:
        renderChildren(node, ctx, out);
        break;
    case ObjectKind::Line:
        out += u"<hr/>"_s;
        break;
    case ObjectKind::Subreport: {
        const Report *sub = subreportAt.at(node.internal_object());
        // A subreport reads its own tables only.
        for (std::size_t i = 0; i < sub->d->sections.size(); ++i)
            sub->d->renderSection(i, Context{}, out);
        break;
    }
    }
}

void Report::Impl::renderSection(std::size_t index, const Context &ctx, QString &out) const
{
    const ReportSection &section = sections[index];
    const pugi::xml_node node = sectionNodes[index];
    if (section.kind_ == SectionKind::Block) {
        renderChildren(node, ctx, out);
        return;
    }
    const int table = tableIndex(fromUtf8(node.attribute("table").value()));
    out += u"<table"_s;
    for (pugi::xml_attribute a : node.attributes()) {
        const std::string_view attr(a.name());
        if (attr == "name" || attr == "kind" || attr == "table")
            continue;
        out +=
            u" "_s % fromUtf8(a.name()) % u"=\""_s % fromUtf8(a.value()).toHtmlEscaped() % u"\""_s;
    }
    out += u">"_s;
    int columns = 0;
    if (const pugi::xml_node header = node.child("header")) {
        // A head row is repeated on every page the table runs onto.
        out += u"<thead><tr>"_s;
        renderChildren(header, ctx, out);
        out += u"</tr></thead>"_s;
        for (pugi::xml_node c : header.children())
            columns += c.type() == pugi::node_element ? 1 : 0;
    }
    const pugi::xml_node row = node.child("row");
    const ReportTable &source = tables[std::size_t(table)];
    int rows = 0;
    if (source.bound_ && row) {
        Context inner = ctx;
        Recordset rs = source.rs_.clone();
        if (rs.recordCount() > 0) {
            for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
                inner.rows[table] = rs;
                out += u"<tr>"_s;
                renderChildren(row, inner, out);
                out += u"</tr>"_s;
                ++rows;
            }
        }
    }
    if (rows == 0) {
        if (const pugi::xml_node empty = node.child("empty")) {
            out += u"<tr><td class=\"empty\" colspan=\""_s % QString::number(std::max(columns, 1)) %
                   u"\">"_s;
            renderChildren(empty, ctx, out);
            out += u"</td></tr>"_s;
        }
    }
    out += u"</table>"_s;
}

QString Report::Impl::renderBody() const
{
    QString out;
    for (std::size_t i = 0; i < sections.size(); ++i)
        renderSection(i, Context{}, out);
    return out;
}

// --- public ---------------------------------------------------------------------

void ReportTable::setDataSource(const Recordset &rs)
{
    rs_ = rs;
    bound_ = true;
}

Report &ReportObject::openSubreport() const
{
    if (kind_ != ObjectKind::Subreport || !subreport_)
        throw VbError(err::NotASubreport, u"orvane.report"_s,
                      u"Report object "_s % name_ % u" is not a subreport"_s);
    return *subreport_;
}

Report::Report() : d(std::make_unique<Impl>()) {}
Report::~Report() = default;

const QString &Report::name() const
{
    return d->name;
}

const QString &Report::title() const
{
    return d->title;
}

int Report::tableCount() const
{
    return int(d->tables.size());
}

ReportTable &Report::table(int position)
{
    if (position < 1 || position > tableCount())
        throw VbError(err::SubscriptOutOfRange, u"orvane.report"_s,
                      u"Subscript out of range: report "_s % d->origin % u" has no table "_s %
                          QString::number(position));
    return d->tables[std::size_t(position - 1)];
}

const ReportTable &Report::table(int position) const
{
    return const_cast<Report *>(this)->table(position);
}

std::vector<FormulaField> &Report::formulaFields()
{
    return d->formulas;
}

const std::vector<FormulaField> &Report::formulaFields() const
{
    return d->formulas;
}

const std::vector<ReportSection> &Report::sections() const
{
    return d->sections;
}

QString Report::toHtml() const
{
    const QString body = d->renderBody();
    return u"<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"/><title>"_s %
           d->title.toHtmlEscaped() % u"</title><style>"_s % d->css % u"</style></head><body>"_s %
           body % u"</body></html>\n"_s;
}

namespace {

QPageSize pageSizeOf(const QString &name)
{
    const QString n = name.trimmed().toLower();
    if (n == u"a4"_s)
        return QPageSize(QPageSize::A4);
    if (n == u"legal"_s)
        return QPageSize(QPageSize::Legal);
    return QPageSize(QPageSize::Letter);
}

} // namespace

std::unique_ptr<QTextDocument> Report::toDocument() const
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setHtml(toHtml());
    return doc;
}

void Report::exportPdf(const QString &path) const
{
    auto failed = [&](const QString &why) {
        return VbError(err::ExportFailed, u"orvane.report"_s,
                       u"Cannot write the PDF file '"_s % path % u"': "_s % why);
    };
    toHtml(); // render failures surface before the file is touched
    // Written aside and renamed into place at the end, so a failed export
    // never leaves a half-written file or destroys the one it would replace.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw failed(file.errorString());
    {
        QPdfWriter writer(&file);
        ReportPages::preparePdfWriter(*this, writer);
        if (!ReportPages::print(*this, writer))
            throw failed(u"the pages could not be drawn"_s);
    }
    if (!file.commit())
        throw failed(file.errorString());
}

QPageLayout Report::pageLayout() const
{
    return QPageLayout(pageSizeOf(d->pageSize), QPageLayout::Portrait,
                       QMarginsF(d->marginMm, d->marginMm, d->marginMm, d->marginMm),
                       QPageLayout::Millimeter);
}

QString Report::pageHeaderText() const
{
    return d->pageHeader.text_.trimmed().isEmpty() ? QString()
                                                   : d->evaluate(d->pageHeader, Impl::Context{});
}

QString Report::pageFooterText(int page, int pages) const
{
    QString footer = d->pageFooter;
    footer.replace(u"{page}"_s, QString::number(page));
    footer.replace(u"{pages}"_s, QString::number(pages));
    footer.replace(u"{title}"_s, d->title);
    return footer;
}

QString quoteFormulaText(const QString &text)
{
    QString doubled = text;
    doubled.replace(u"'"_s, u"''"_s);
    return u"'"_s % doubled % u"'"_s;
}

QString evaluateLiteralFormula(const QString &text)
{
    QString out;
    for (const FormulaPart &part : parseFormula(text, u"(literal)"_s)) {
        if (part.isField)
            throw VbError(err::FormulaError, u"orvane.report"_s,
                          u"Formula reads a field where a literal was expected: "_s % text);
        out += part.literal;
    }
    return out;
}

} // namespace orvane::report
