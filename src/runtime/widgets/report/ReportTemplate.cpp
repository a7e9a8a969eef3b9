// Loading a report template: parsing it, checking what it names, and keeping
// the last few parsed so that opening one again is a copy.
#include "runtime/widgets/report/ReportImpl.h"

#include "runtime/vb.h"

#include <QFile>
#include <QFileInfo>

#include <list>
#include <mutex>

using namespace Qt::StringLiterals;

namespace orvane::report {

using namespace detail;

namespace {

// How deep a template may nest its elements, and its subreports within that.
constexpr int MaxElementDepth = 256;
constexpr int MaxSubreportDepth = 4;

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

} // namespace

namespace detail {

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

const std::map<QString, ObjectKind> &objectElements()
{
    static const std::map<QString, ObjectKind> kinds{{u"field"_s, ObjectKind::Field},
                                                     {u"text"_s, ObjectKind::Text},
                                                     {u"formula"_s, ObjectKind::Formula},
                                                     {u"line"_s, ObjectKind::Line},
                                                     {u"subreport"_s, ObjectKind::Subreport}};
    return kinds;
}

} // namespace detail

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

} // namespace orvane::report
