#include <qorOrvaneUI/widgets/report/Report.h>

#include "runtime/widgets/report/ReportPages.h"

#include "runtime/vb.h"
#include <qorOrvaneUI/runtime/VbError.h>

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextDocument>

#include <pugixml.hpp>

#include <cmath>
#include <list>
#include <map>
#include <mutex>

using namespace Qt::StringLiterals;

namespace orvane::report {

namespace {

// How deep a template may nest its elements, and its subreports within that.
constexpr int MaxElementDepth = 256;
constexpr int MaxSubreportDepth = 4;

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

QString fromUtf8(const char *s)
{
    return QString::fromUtf8(s);
}

QString key(const QString &name)
{
    return vb::UCase(vb::Trim(name));
}

VbError templateError(const QString &origin, const QString &what)
{
    return {err::InvalidTemplate, u"orvane.report"_s,
            u"Invalid report template "_s % origin % u": "_s % what};
}

// "TABLE.FIELD", with or without the braces.
bool parseFieldRef(QString text, FieldRef &out)
{
    text = text.trimmed();
    if (text.startsWith(u'{') && text.endsWith(u'}'))
        text = text.mid(1, text.size() - 2).trimmed();
    const qsizetype dot = text.indexOf(u'.');
    if (dot <= 0 || dot == text.size() - 1)
        return false;
    out.table = text.left(dot).trimmed();
    out.field = text.mid(dot + 1).trimmed();
    return !out.table.isEmpty() && !out.field.isEmpty();
}

// formula := [term ('+' term)*]; term := 'literal' | {TABLE.FIELD}
std::vector<FormulaPart> parseFormula(const QString &text, const QString &name)
{
    std::vector<FormulaPart> parts;
    auto fail = [&](const QString &why) {
        return VbError(err::FormulaError, u"orvane.report"_s,
                       u"Formula "_s % name % u" has an error: "_s % why % u" in: "_s % text);
    };
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipSpace = [&] {
        while (i < n && text[i].isSpace())
            ++i;
    };
    skipSpace();
    if (i == n)
        return parts;
    while (true) {
        skipSpace();
        if (i == n)
            throw fail(u"a text or field is missing at the end"_s);
        if (text[i] == u'\'') {
            FormulaPart part;
            ++i;
            bool closed = false;
            while (i < n) {
                if (text[i] == u'\'') {
                    if (i + 1 < n && text[i + 1] == u'\'') {
                        part.literal += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                part.literal += text[i++];
            }
            if (!closed)
                throw fail(u"a text is not closed"_s);
            parts.push_back(std::move(part));
        } else if (text[i] == u'{') {
            const qsizetype end = text.indexOf(u'}', i);
            FormulaPart part;
            part.isField = true;
            if (end < 0 || !parseFieldRef(text.mid(i, end - i + 1), part.ref))
                throw fail(u"a field reference is malformed"_s);
            i = end + 1;
            parts.push_back(std::move(part));
        } else {
            throw fail(u"unexpected '"_s % text[i] % u"'"_s);
        }
        skipSpace();
        if (i == n)
            return parts;
        if (text[i] != u'+')
            throw fail(u"'+' expected"_s);
        ++i;
    }
}

bool parseFormat(const QString &text, Format &out)
{
    static const std::map<QString, Format> formats{
        {u""_s, Format::Text},       {u"text"_s, Format::Text},       {u"date"_s, Format::Date},
        {u"money"_s, Format::Money}, {u"percent"_s, Format::Percent}, {u"number"_s, Format::Number},
        {u"yesno"_s, Format::YesNo}, {u"phone"_s, Format::Phone}};
    const auto it = formats.find(text.trimmed().toLower());
    if (it == formats.end())
        return false;
    out = it->second;
    return true;
}

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

const std::map<QString, ObjectKind> &objectElements()
{
    static const std::map<QString, ObjectKind> kinds{{u"field"_s, ObjectKind::Field},
                                                     {u"text"_s, ObjectKind::Text},
                                                     {u"formula"_s, ObjectKind::Formula},
                                                     {u"line"_s, ObjectKind::Line},
                                                     {u"subreport"_s, ObjectKind::Subreport}};
    return kinds;
}

} // namespace

struct Report::Impl {
    std::shared_ptr<pugi::xml_document> doc;
    pugi::xml_node root;
    QString origin;
    QString name;
    QString title;
    QString css;
    QString pageSize = u"Letter"_s;
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

const ReportTable *Report::Impl::findTable(const QString &tableName) const
{
    const int i = tableIndex(tableName);
    return i < 0 ? nullptr : &tables[std::size_t(i)];
}

int Report::Impl::tableIndex(const QString &tableName) const
{
    const QString k = key(tableName);
    for (std::size_t i = 0; i < tables.size(); ++i)
        if (key(tables[i].name_) == k)
            return int(i);
    return -1;
}

void Report::Impl::load(pugi::xml_node element, const Impl *parent)
{
    root = element;
    name = fromUtf8(element.attribute("name").value());
    title = fromUtf8(element.attribute("title").value());
    if (parent) {
        origin = parent->origin % u" (subreport "_s % name % u")"_s;
        currencySymbol = parent->currencySymbol;
    } else {
        currencySymbol = fromUtf8(element.attribute("currency-symbol").value());
        if (auto a = element.attribute("page-size"))
            pageSize = fromUtf8(a.value());
        if (auto a = element.attribute("margin-mm"))
            marginMm = a.as_double(12);
        pageFooter = fromUtf8(element.attribute("page-footer").value());
        pageHeader.name_ = u"page-header"_s;
        pageHeader.text_ = fromUtf8(element.attribute("page-header").value());
        try {
            parseFormula(pageHeader.text_, pageHeader.name_);
        } catch (const VbError &e) {
            throw templateError(origin, e.description());
        }
        if (auto style = element.child("style"))
            css = fromUtf8(style.child_value());
    }

    for (pugi::xml_node t : element.child("database").children("table")) {
        ReportTable table;
        table.name_ = fromUtf8(t.attribute("name").value());
        tables.push_back(std::move(table));
    }
    for (pugi::xml_node f : element.child("formulas").children("formula")) {
        FormulaField formula;
        formula.name_ = fromUtf8(f.attribute("name").value());
        formula.text_ = fromUtf8(f.text().get());
        try {
            parseFormula(formula.text_, formula.name_);
        } catch (const VbError &e) {
            throw templateError(origin, e.description());
        }
        formulas.push_back(std::move(formula));
    }
    for (pugi::xml_node s : element.children("section")) {
        ReportSection section;
        section.name_ = fromUtf8(s.attribute("name").value());
        const QString kind = fromUtf8(s.attribute("kind").value()).trimmed().toLower();
        if (kind == u"detail"_s) {
            section.kind_ = SectionKind::Detail;
            if (!findTable(fromUtf8(s.attribute("table").value())))
                throw templateError(origin, u"detail section '"_s % section.name_ %
                                                u"' names no table of the report"_s);
        } else if (!kind.isEmpty() && kind != u"block"_s) {
            throw templateError(origin, u"unknown section kind '"_s % kind % u"'"_s);
        }
        collectObjects(s, section);
        sections.push_back(std::move(section));
        sectionNodes.push_back(s);
    }
}

void Report::Impl::collectObjects(pugi::xml_node node, ReportSection &section)
{
    for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const auto it = objectElements().find(fromUtf8(child.name()));
        if (it == objectElements().end()) {
            collectObjects(child, section);
            continue;
        }
        ReportObject object;
        object.kind_ = it->second;
        object.name_ = fromUtf8(child.attribute("name").value());
        switch (object.kind_) {
        case ObjectKind::Field: {
            FieldObject field;
            const QString source = fromUtf8(child.attribute("source").value());
            if (!parseFieldRef(source, field.ref) || !findTable(field.ref.table))
                throw templateError(origin, u"field source '"_s % source %
                                                u"' is not TABLE.FIELD of a table of the report"_s);
            const QString format = fromUtf8(child.attribute("format").value());
            if (!parseFormat(format, field.format))
                throw templateError(origin, u"unknown format '"_s % format % u"'"_s);
            field.prefix = fromUtf8(child.attribute("prefix").value());
            field.suffix = fromUtf8(child.attribute("suffix").value());
            (*fieldAt)[child.internal_object()] = field;
            if (object.name_.isEmpty())
                object.name_ = source;
            break;
        }
        case ObjectKind::Formula: {
            bool known = false;
            for (const FormulaField &f : formulas)
                known = known || key(f.name_) == key(object.name_);
            if (!known)
                throw templateError(origin, u"formula object '"_s % object.name_ %
                                                u"' has no formula of that name"_s);
            break;
        }
        case ObjectKind::Subreport: {
            std::unique_ptr<Report> sub(new Report);
            sub->d->doc = doc;
            sub->d->origin = origin;
            sub->d->load(child, this);
            object.subreport_ = sub.get();
            subreportAt[child.internal_object()] = sub.get();
            subreports.push_back(std::move(sub));
            break;
        }
        case ObjectKind::Text:
        case ObjectKind::Line:
            break;
        }
        const bool textObject = object.kind_ == ObjectKind::Text;
        section.objects_.push_back(std::move(object));
        // A text object's content is layout like any other: the fields and
        // formulas in it render, so they are the section's objects too.
        if (textObject)
            collectObjects(child, section);
    }
}

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

std::unique_ptr<Report> Report::Impl::copy() const
{
    std::unique_ptr<Report> report(new Report);
    Impl &c = *report->d;
    c.doc = doc;
    c.root = root;
    c.origin = origin;
    c.name = name;
    c.title = title;
    c.css = css;
    c.pageSize = pageSize;
    c.marginMm = marginMm;
    c.pageFooter = pageFooter;
    c.pageHeader = pageHeader;
    c.currencySymbol = currencySymbol;
    c.tables = tables;
    c.formulas = formulas;
    c.sections = sections;
    c.sectionNodes = sectionNodes;
    c.fieldAt = fieldAt;
    std::map<const Report *, Report *> copied;
    for (const std::unique_ptr<Report> &sub : subreports) {
        c.subreports.push_back(sub->d->copy());
        copied[sub.get()] = c.subreports.back().get();
    }
    for (const auto &[node, sub] : subreportAt)
        c.subreportAt[node] = copied.at(sub);
    for (ReportSection &section : c.sections)
        for (ReportObject &object : section.objects_)
            if (object.subreport_)
                object.subreport_ = copied.at(object.subreport_);
    return report;
}

std::unique_ptr<Report> Report::open(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        throw VbError(err::FileNotFound, u"orvane.report"_s,
                      u"File not found: report template '"_s % path % u"'"_s);
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        throw VbError(err::FileAccess, u"orvane.report"_s,
                      u"Path/File access error: report template '"_s % path % u"'"_s);
    const QByteArray text = file.readAll();

    // Parsing a template costs far more than reading it, and a shop opens the
    // same few over and over: the last ones parsed are kept and copied. The
    // file is still read each time, so an edited template is parsed afresh.
    struct Parsed {
        QString path;
        QByteArray text;
        std::unique_ptr<Report> report;
    };
    static std::mutex guard;
    static std::list<Parsed> recent;
    constexpr std::size_t kept = 4;
    const std::lock_guard lock(guard);
    for (auto it = recent.begin(); it != recent.end(); ++it) {
        if (it->path == path && it->text == text) {
            recent.splice(recent.begin(), recent, it);
            return recent.front().report->d->copy();
        }
    }
    std::unique_ptr<Report> parsed = fromText(text, path);
    std::unique_ptr<Report> given = parsed->d->copy();
    recent.push_front({path, text, std::move(parsed)});
    if (recent.size() > kept)
        recent.pop_back();
    return given;
}

std::unique_ptr<Report> Report::fromText(const QByteArray &text, const QString &origin)
{
    std::unique_ptr<Report> report(new Report);
    Impl &d = *report->d;
    d.origin = origin.isEmpty() ? u"(text)"_s : origin;
    d.doc = std::make_shared<pugi::xml_document>();
    // Whitespace-only text is kept: the space between two fields is content.
    const pugi::xml_parse_result parsed = d.doc->load_buffer(
        text.constData(), std::size_t(text.size()), pugi::parse_default | pugi::parse_ws_pcdata);
    if (!parsed)
        throw templateError(d.origin, fromUtf8(parsed.description()) % u" at byte "_s %
                                          QString::number(parsed.offset));
    const pugi::xml_node root = d.doc->document_element();
    if (std::string_view(root.name()) != "report")
        throw templateError(d.origin, u"the root element is not <report>"_s);
    // Loading and rendering follow the layout recursively, and each subreport
    // level repeats for every row of the detail around it: both stay shallow.
    struct Depth : pugi::xml_tree_walker {
        std::vector<int> subreportsOpen; // per enclosing element, the subreports around it
        int elements = 0;
        int subreports = 0;
        bool for_each(pugi::xml_node &n) override
        {
            if (n.type() != pugi::node_element)
                return true;
            subreportsOpen.resize(std::size_t(depth()));
            const int around = subreportsOpen.empty() ? 0 : subreportsOpen.back();
            subreportsOpen.push_back(around + (std::string_view(n.name()) == "subreport"));
            elements = std::max(elements, depth() + 1);
            subreports = std::max(subreports, subreportsOpen.back());
            return true;
        }
    } nesting;
    d.doc->traverse(nesting);
    if (nesting.elements > MaxElementDepth)
        throw templateError(d.origin, u"elements nest deeper than "_s %
                                          QString::number(MaxElementDepth) % u" levels"_s);
    if (nesting.subreports > MaxSubreportDepth)
        throw templateError(d.origin, u"subreports nest deeper than "_s %
                                          QString::number(MaxSubreportDepth) % u" levels"_s);
    d.load(root, nullptr);
    return report;
}

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
