#include <qorOrvaneUI/runtime/XmlDocument.h>

#include "runtime/vb.h"
#include <qorOrvaneUI/runtime/VbError.h>

#include <QByteArray>
#include <QFile>
#include <QStringDecoder>

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <vector>

using namespace Qt::StringLiterals;

namespace orvane {

namespace detail {

// One parsed or built tree. pugixml has no free-standing nodes, so nodes that
// were created but not yet appended wait under a nameless holder element, the
// last child of the document. The holder is never handed out: every walk
// treats it as absent.
struct XmlTree : TreeCount {
    // The parsed text: the tree reads its names and values in place.
    QByteArray source;
    pugi::xml_document doc;
    pugi::xml_node holder;

    // Readers walk children by index 0, 1, 2, ...; pugixml finds a child by index
    // only by walking from the first one, so the last answer is kept and the next
    // index continues from it.
    pugi::xml_node_struct *cacheParent = nullptr;
    pugi::xml_node_struct *cacheNode = nullptr;
    int cacheIndex = -1;

    bool isHolder(const pugi::xml_node &n) const { return holder && n == holder; }
    pugi::xml_node detached()
    {
        if (!holder)
            holder = doc.append_child(pugi::node_element);
        return holder;
    }
    void forgetCache()
    {
        cacheParent = nullptr;
        cacheNode = nullptr;
        cacheIndex = -1;
    }
};

void destroyTree(XmlTree *tree) noexcept
{
    delete tree;
}

TreeCount &countOf(XmlTree *tree) noexcept
{
    return *tree;
}

TreeRef TreeRef::make()
{
    return TreeRef(new XmlTree);
}

} // namespace detail

namespace {

const QString ErrorSource = u"XmlDocument"_s;

VbError objectNotSet()
{
    return objectVariableNotSet(ErrorSource);
}

VbError domError(const QString &description)
{
    return {err::Unspecified, ErrorSource, description};
}

// A document cannot hold NUL, and pugixml would stop reading at one anyway, so
// the cut is made here where it is predictable.
QByteArray utf8UpToNul(const QString &text)
{
    // U+0000 is the only character whose UTF-8 form holds a zero byte.
    QByteArray utf8 = text.toUtf8();
    if (const void *nul = std::memchr(utf8.constData(), 0, size_t(utf8.size())))
        utf8.truncate(static_cast<const char *>(nul) - utf8.constData());
    return utf8;
}

// Whether the markup can hold an attribute at all: an "=" after the XML
// declaration. Most documents the library reads have none, which spares them
// the walk that looks for repeated attributes.
// The character data a document can carry: XML 1.0 has no way to write NUL,
// the other C0 controls but tab, line feed and carriage return, U+FFFE, U+FFFF
// or a surrogate without its partner (not even as a character reference), and
// a receiver refuses the whole document over one of them. Text is cut at its
// first NUL, as everywhere else in the library, and the other such characters
// are dropped, so a built document is always well-formed.
QByteArray xmlCharData(const QString &text)
{
    const auto allowed = [](char16_t c) {
        return c >= 0x20 ? c != 0xFFFE && c != 0xFFFF : c == u'\t' || c == u'\n' || c == u'\r';
    };
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    const QStringView in = nul < 0 ? QStringView(text) : QStringView(text).left(nul);
    bool clean = true;
    for (qsizetype i = 0; i < in.size() && clean; ++i) {
        const char16_t c = in[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < in.size() && in[i + 1].isLowSurrogate())
            ++i;
        else
            clean = allowed(c) && !QChar::isSurrogate(c);
    }
    if (clean)
        return in.toUtf8();
    QString kept;
    kept.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char16_t c = in[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < in.size() && in[i + 1].isLowSurrogate()) {
            kept.append(in.mid(i, 2));
            ++i;
        } else if (allowed(c) && !QChar::isSurrogate(c)) {
            kept.append(QChar(c));
        }
    }
    return kept.toUtf8();
}

// pugixml writes a carriage return in text as it is, and every parser turns it
// into a line feed on reading; as a character reference it survives. Attribute
// values come out escaped already. Inside character data a reference means
// nothing, so the section is closed around it.
QByteArray keepCarriageReturns(const QByteArray &markup)
{
    if (!markup.contains('\r'))
        return markup;
    QByteArray out;
    out.reserve(markup.size() + 64);
    qsizetype i = 0;
    while (i < markup.size()) {
        const char c = markup[i];
        if (c == '<' && markup.mid(i, 9) == "<![CDATA[") {
            qsizetype end = markup.indexOf("]]>", i + 9);
            end = end < 0 ? markup.size() : end + 3;
            QByteArray section = markup.mid(i, end - i);
            section.replace("\r", "]]>&#13;<![CDATA[");
            out += section;
            i = end;
        } else if (c == '<' && (markup.mid(i, 4) == "<!--" || markup.mid(i, 2) == "<?")) {
            const bool comment = markup[i + 1] == '!';
            qsizetype end = markup.indexOf(comment ? "-->" : "?>", i + 2);
            end = end < 0 ? markup.size() : end + (comment ? 3 : 2);
            out += markup.mid(i, end - i);
            i = end;
        } else {
            if (c == '\r')
                out += "&#13;";
            else
                out += c;
            ++i;
        }
    }
    return out;
}

bool mayHaveAttributes(const QByteArray &utf8)
{
    qsizetype from = 0;
    if (utf8.startsWith("<?xml")) {
        from = utf8.indexOf("?>");
        if (from < 0)
            return true;
    }
    return std::memchr(utf8.constData() + from, '=', size_t(utf8.size() - from)) != nullptr;
}

QString fromUtf8(const char *s)
{
    return xmlTextFromUtf8(s);
}

bool isNameStart(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' ||
           c >= 0x80;
}

bool isNameChar(char16_t c)
{
    return isNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

// Rough XML Name rule: enough to refuse what would make the output unreadable
// (spaces, markup characters, an empty name); non-ASCII letters are let through.
void checkName(const QString &name, const char16_t *what)
{
    bool ok = !name.isEmpty() && isNameStart(name.front().unicode());
    for (qsizetype i = 1; ok && i < name.size(); ++i)
        ok = isNameChar(name.at(i).unicode());
    if (!ok)
        throw domError(u"'"_s % name % u"' is not a valid "_s % QStringView(what) % u" name."_s);
}

bool hasValueType(pugi::xml_node_type t)
{
    return t == pugi::node_pcdata || t == pugi::node_cdata || t == pugi::node_comment ||
           t == pugi::node_pi;
}

struct ByteWriter : pugi::xml_writer {
    QByteArray out;
    void write(const void *data, size_t size) override
    {
        out.append(static_cast<const char *>(data), qsizetype(size));
    }
};

bool hasRepeatedAttribute(const pugi::xml_node &element)
{
    std::vector<const char *> names;
    for (const pugi::xml_attribute &a : element.attributes())
        names.push_back(a.name());
    if (names.size() < 2)
        return false;
    std::sort(names.begin(), names.end(),
              [](const char *a, const char *b) { return std::strcmp(a, b) < 0; });
    return std::adjacent_find(names.begin(), names.end(), [](const char *a, const char *b) {
               return std::strcmp(a, b) == 0;
           }) != names.end();
}

// pugixml accepts an attribute given twice on one element; XML does not.
bool anyRepeatedAttribute(const pugi::xml_node &root)
{
    pugi::xml_node n = root.first_child();
    while (n) {
        if (n.first_attribute() != n.last_attribute() && hasRepeatedAttribute(n))
            return true;
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n != root && !n.next_sibling())
            n = n.parent();
        if (n == root)
            break;
        n = n.next_sibling();
    }
    return false;
}

constexpr unsigned ParseFlags = pugi::parse_default | pugi::parse_fragment;

// Parsing as a fragment keeps text outside the root element, so that it can be
// refused here together with a missing or second root element.
QString checkWellFormed(const pugi::xml_parse_result &result, const pugi::xml_document &doc,
                        bool checkAttributes)
{
    if (!result)
        return fromUtf8(result.description()) % u" at offset "_s % QString::number(result.offset);
    int elements = 0;
    for (const pugi::xml_node &n : doc.children()) {
        if (n.type() == pugi::node_element)
            ++elements;
        else if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            return u"Text is not allowed outside the root element."_s;
    }
    if (elements == 0)
        return u"The document has no root element."_s;
    if (elements > 1)
        return u"Only one top level element is allowed in an XML document."_s;
    if (checkAttributes && anyRepeatedAttribute(doc))
        return u"An attribute is given twice on one element."_s;
    return {};
}

// The DOM name of a raw node, as UTF-8 without a copy.
const char *domName(const pugi::xml_node &n)
{
    switch (n.type()) {
    case pugi::node_pcdata:
        return "#text";
    case pugi::node_cdata:
        return "#cdata-section";
    case pugi::node_comment:
        return "#comment";
    case pugi::node_document:
        return "#document";
    case pugi::node_declaration:
        return "xml";
    default:
        return n.name();
    }
}

// Calls visit(node) for root and every node below it in document order, without
// recursion, until visit returns true. The holder of unattached nodes is never
// visited. pugixml's own traversal does the stepping: it runs inside the
// library, where following the tree's links costs no call per step.
template <class Visit>
void walkSubtree(const detail::XmlTree &tree, const pugi::xml_node &root, Visit &&visit)
{
    if (visit(root))
        return;
    struct Walker : pugi::xml_tree_walker {
        const detail::XmlTree &tree;
        Visit &visit;
        Walker(const detail::XmlTree &t, Visit &v) : tree(t), visit(v) {}
        bool for_each(pugi::xml_node &n) override
        {
            // The holder is the document's last child: nothing after it is attached.
            if (tree.isHolder(n))
                return false;
            return !visit(n);
        }
    } walker(tree, visit);
    pugi::xml_node(root).traverse(walker);
}

} // namespace

// --- XmlNode -------------------------------------------------------------------

XmlNode::XmlNode(detail::TreeRef tree, pugi::xml_node_struct *node)
    : tree_(node ? std::move(tree) : detail::TreeRef()), node_(node)
{
}

int XmlNode::nodeType() const
{
    switch (pugi::xml_node(node_).type()) {
    case pugi::node_element:
        return xmlkind::Element;
    case pugi::node_pcdata:
        return xmlkind::Text;
    case pugi::node_cdata:
        return xmlkind::CData;
    case pugi::node_pi:
    case pugi::node_declaration:
        return xmlkind::ProcessingInstruction;
    case pugi::node_comment:
        return xmlkind::Comment;
    case pugi::node_document:
        return xmlkind::Document;
    case pugi::node_doctype:
        return 10;
    case pugi::node_null:
        break;
    }
    return 0;
}

const char *XmlNode::nodeNameUtf8() const
{
    return domName(pugi::xml_node(node_));
}

QString XmlNode::nodeName() const
{
    return fromUtf8(nodeNameUtf8());
}

bool XmlNode::hasValue() const
{
    return hasValueType(pugi::xml_node(node_).type());
}

const char *XmlNode::nodeValueUtf8() const
{
    return hasValue() ? pugi::xml_node(node_).value() : nullptr;
}

Value XmlNode::nodeValue() const
{
    if (!hasValue())
        return Value::null();
    return Value(fromUtf8(pugi::xml_node(node_).value()));
}

void XmlNode::setNodeValue(const QString &value)
{
    if (isNull())
        throw objectNotSet();
    if (!hasValue())
        throw domError(u"This operation cannot be performed on a node of type "_s % nodeName() %
                       u"."_s);
    pugi::xml_node(node_).set_value(xmlCharData(value).constData());
}

QString XmlNode::text() const
{
    const pugi::xml_node root(node_);
    if (!root)
        return {};
    if (root.type() == pugi::node_pcdata || root.type() == pugi::node_cdata)
        return fromUtf8(root.value());
    // Walked without recursion: documents may nest arbitrarily deep.
    QByteArray out;
    pugi::xml_node n = root.first_child();
    while (n && !tree_->isHolder(n)) {
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            out.append(n.value());
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n != root && !n.next_sibling())
            n = n.parent();
        if (n == root)
            break;
        n = n.next_sibling();
    }
    return xmlTextFromUtf8(out.constData());
}

Value XmlNode::attribute(const QString &name) const
{
    const pugi::xml_attribute a = pugi::xml_node(node_).attribute(name.toUtf8().constData());
    return a ? Value(fromUtf8(a.value())) : Value::null();
}

void XmlNode::setAttribute(const QString &name, const QString &value)
{
    if (isNull())
        throw objectNotSet();
    pugi::xml_node n(node_);
    if (n.type() != pugi::node_element)
        throw domError(u"Only an element has attributes."_s);
    checkName(name, u"attribute");
    const QByteArray key = name.toUtf8();
    pugi::xml_attribute a = n.attribute(key.constData());
    if (!a)
        a = n.append_attribute(key.constData());
    a.set_value(xmlCharData(value).constData());
}

XmlNode XmlNode::parentNode() const
{
    const pugi::xml_node p = pugi::xml_node(node_).parent();
    if (!p || tree_->isHolder(p))
        return {};
    return {tree_, p.internal_object()};
}

XmlNode XmlNode::firstChild() const
{
    const pugi::xml_node c = pugi::xml_node(node_).first_child();
    if (!c || tree_->isHolder(c))
        return {};
    return {tree_, c.internal_object()};
}

XmlNode XmlNode::lastChild() const
{
    pugi::xml_node c = pugi::xml_node(node_).last_child();
    if (c && tree_->isHolder(c))
        c = c.previous_sibling();
    if (!c)
        return {};
    return {tree_, c.internal_object()};
}

XmlNode XmlNode::nextSibling() const
{
    const pugi::xml_node n(node_);
    if (!n || tree_->isHolder(n.parent()))
        return {};
    const pugi::xml_node s = n.next_sibling();
    if (!s || tree_->isHolder(s))
        return {};
    return {tree_, s.internal_object()};
}

XmlNode XmlNode::previousSibling() const
{
    const pugi::xml_node n(node_);
    if (!n || tree_->isHolder(n.parent()))
        return {};
    const pugi::xml_node s = n.previous_sibling();
    if (!s)
        return {};
    return {tree_, s.internal_object()};
}

XmlNode XmlNode::child(int index) const
{
    if (isNull() || index < 0)
        return {};
    detail::XmlTree &t = *tree_;
    XmlNode c;
    int i = 0;
    if (t.cacheParent == node_ && t.cacheIndex >= 0 && t.cacheIndex <= index) {
        c = XmlNode(tree_, t.cacheNode);
        i = t.cacheIndex;
    } else {
        c = firstChild();
    }
    for (; !c.isNull() && i < index; ++i)
        c = c.nextSibling();
    if (!c.isNull()) {
        t.cacheParent = node_;
        t.cacheNode = c.node_;
        t.cacheIndex = index;
    }
    return c;
}

XmlNodeList XmlNode::childNodes() const
{
    return XmlNodeList(*this);
}

int XmlNode::childCount() const
{
    int count = 0;
    for (XmlNode c = firstChild(); !c.isNull(); c = c.nextSibling())
        ++count;
    return count;
}

XmlNode XmlNode::appendChild(const XmlNode &child)
{
    if (isNull() || child.isNull())
        throw objectNotSet();
    if (child.tree_ != tree_)
        throw domError(u"The node to append belongs to another document."_s);
    pugi::xml_node parent(node_);
    const pugi::xml_node moved(child.node_);
    if (parent.type() != pugi::node_element && parent.type() != pugi::node_document)
        throw domError(u"A node of type "_s % nodeName() % u" cannot have children."_s);
    if (moved.type() == pugi::node_document)
        throw domError(u"The document cannot be appended to a node."_s);

    pugi::xml_node placed;
    if (parent.type() == pugi::node_document) {
        // Whatever is appended to the document must keep it well-formed.
        if (moved.type() == pugi::node_pcdata || moved.type() == pugi::node_cdata)
            throw domError(u"Text is not allowed outside the root element."_s);
        const XmlNode root = documentElement();
        if (moved.type() == pugi::node_element && !root.isNull() && root != child)
            throw domError(u"Only one top level element is allowed in an XML document."_s);
        placed = tree_->holder ? parent.insert_move_before(moved, tree_->holder)
                               : parent.append_move(moved);
    } else {
        placed = parent.append_move(moved);
    }
    tree_->forgetCache();
    if (!placed)
        throw domError(u"A node cannot be appended inside itself."_s);
    return child;
}

XmlNode XmlNode::findFirst(const XmlNameSet &names) const
{
    if (isNull())
        return {};
    pugi::xml_node found;
    const bool plain = names.plainNamesOnly();
    walkSubtree(*tree_, pugi::xml_node(node_), [&](const pugi::xml_node &n) {
        if (!names.match(plain ? n.name() : domName(n)))
            return false;
        found = n;
        return true;
    });
    return found ? XmlNode(tree_, found.internal_object()) : XmlNode();
}

std::vector<XmlNode> XmlNode::findEach(const XmlNameSet &names) const
{
    std::vector<XmlNode> found(std::size_t(names.size()));
    if (isNull())
        return found;
    std::size_t missing = found.size();
    const bool plain = names.plainNamesOnly();
    walkSubtree(*tree_, pugi::xml_node(node_), [&](const pugi::xml_node &n) {
        if (const std::vector<int> *at = names.match(plain ? n.name() : domName(n))) {
            for (const int i : *at) {
                XmlNode &slot = found[std::size_t(i)];
                if (slot.isNull()) {
                    slot = XmlNode(tree_, n.internal_object());
                    --missing;
                }
            }
        }
        return missing == 0;
    });
    return found;
}

XmlNode XmlNode::documentElement() const
{
    if (isNull())
        return {};
    for (const pugi::xml_node &n : tree_->doc.children()) {
        if (n.type() == pugi::node_element && !tree_->isHolder(n))
            return {tree_, n.internal_object()};
    }
    return {};
}

QString XmlNode::xml() const
{
    const pugi::xml_node n(node_);
    if (!n)
        return {};
    ByteWriter w;
    constexpr unsigned flags = pugi::format_raw | pugi::format_no_declaration;
    if (n.type() == pugi::node_document) {
        for (const pugi::xml_node &c : n.children()) {
            if (!tree_->isHolder(c))
                c.print(w, PUGIXML_TEXT(""), flags, pugi::encoding_utf8);
        }
    } else {
        n.print(w, PUGIXML_TEXT(""), flags, pugi::encoding_utf8);
    }
    return QString::fromUtf8(keepCarriageReturns(w.out));
}

QString xmlTextFromUtf8(const char *utf8)
{
    // QString::fromUtf8 takes a leading U+FEFF for a byte-order mark and drops it.
    if (utf8 && std::strncmp(utf8, "\xEF\xBB\xBF", 3) == 0) {
        QStringDecoder keepingBom(QStringDecoder::Utf8,
                                  QStringDecoder::Flag::Stateless |
                                      QStringDecoder::Flag::ConvertInitialBom);
        return keepingBom(QByteArrayView(utf8));
    }
    return QString::fromUtf8(utf8);
}

// --- XmlDocument -----------------------------------------------------------------

struct XmlDocument::State {
    detail::TreeRef tree = detail::TreeRef::make();
    QString error;

    // A load always starts a new tree: nodes the caller still holds keep the old
    // one alive instead of pointing into freed memory.
    bool take(const detail::TreeRef &parsed, const pugi::xml_parse_result &result,
              bool checkAttributes = true)
    {
        error = checkWellFormed(result, parsed->doc, checkAttributes);
        tree = error.isEmpty() ? parsed : detail::TreeRef::make();
        return error.isEmpty();
    }
};

XmlDocument::XmlDocument() : d(std::make_shared<State>()) {}

bool XmlDocument::loadXml(const QString &text)
{
    QByteArray utf8 = utf8UpToNul(text);
    if (utf8.startsWith("\xEF\xBB\xBF"))
        utf8.remove(0, 3);
    const bool attributes = mayHaveAttributes(utf8);
    auto parsed = detail::TreeRef::make();
    parsed->source = std::move(utf8);
    const pugi::xml_parse_result result = parsed->doc.load_buffer_inplace(
        parsed->source.data(), size_t(parsed->source.size()), ParseFlags, pugi::encoding_utf8);
    return d->take(parsed, result, attributes);
}

bool XmlDocument::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        d->tree = detail::TreeRef::make();
        d->error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    auto parsed = detail::TreeRef::make();
    const pugi::xml_parse_result result = parsed->doc.load_buffer(
        bytes.constData(), size_t(bytes.size()), ParseFlags, pugi::encoding_auto);
    return d->take(parsed, result);
}

QString XmlDocument::parseError() const
{
    return d->error;
}

QString XmlDocument::xml() const
{
    return asNode().xml();
}

XmlNode XmlDocument::asNode() const
{
    return {d->tree, d->tree->doc.internal_object()};
}

XmlNode XmlDocument::documentElement() const
{
    return asNode().documentElement();
}

XmlNode XmlDocument::createElement(const QString &name)
{
    checkName(name, u"element");
    pugi::xml_node e = d->tree->detached().append_child(pugi::node_element);
    e.set_name(name.toUtf8().constData());
    return {d->tree, e.internal_object()};
}

XmlNode XmlDocument::createTextNode(const QString &text)
{
    pugi::xml_node t = d->tree->detached().append_child(pugi::node_pcdata);
    t.set_value(xmlCharData(text).constData());
    return {d->tree, t.internal_object()};
}

XmlNode XmlDocument::createCDataSection(const QString &text)
{
    pugi::xml_node t = d->tree->detached().append_child(pugi::node_cdata);
    t.set_value(xmlCharData(text).constData());
    return {d->tree, t.internal_object()};
}

XmlNode XmlDocument::createNode(int kind, const QString &name, const QString &namespaceUri)
{
    switch (kind) {
    case xmlkind::Element: {
        XmlNode e = createElement(name);
        if (!namespaceUri.isEmpty()) {
            const qsizetype colon = name.indexOf(u':');
            e.setAttribute(colon < 0 ? u"xmlns"_s : u"xmlns:"_s % name.left(colon), namespaceUri);
        }
        return e;
    }
    case xmlkind::Text:
        return createTextNode(QString());
    case xmlkind::CData:
        return createCDataSection(QString());
    default:
        throw VbError(err::InvalidProcedureCall, ErrorSource,
                      u"Invalid procedure call or argument"_s);
    }
}

} // namespace orvane
