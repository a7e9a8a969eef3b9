#include "XmlDocument.h"

#include "VbError.h"
#include "vb.h"

#include <QByteArray>
#include <QFile>

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
struct XmlTree {
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

} // namespace detail

namespace {

const QString ErrorSource = u"XmlDocument"_s;

VbError objectNotSet()
{
    return {err::ObjectVariableNotSet, ErrorSource,
            u"Object variable or With block variable not set"_s};
}

VbError domError(const QString &description)
{
    return {err::Unspecified, ErrorSource, description};
}

// A document cannot hold NUL, and pugixml would stop reading at one anyway, so
// the cut is made here where it is predictable.
QByteArray utf8UpToNul(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return (nul < 0 ? text : text.left(nul)).toUtf8();
}

QString fromUtf8(const char *s)
{
    return QString::fromUtf8(s);
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
QString checkWellFormed(const pugi::xml_parse_result &result, const pugi::xml_document &doc)
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
    if (anyRepeatedAttribute(doc))
        return u"An attribute is given twice on one element."_s;
    return {};
}

// The matching key of a name: trimmed of spaces, upper-cased, as UTF-8. ASCII
// names, nearly all of them, are keyed without building a QString; anything
// else takes Unicode case mapping, under which some non-ASCII letters become
// ASCII ones.
void nameKey(const char *name, std::string &key)
{
    key.clear();
    const char *begin = name;
    while (*begin == ' ')
        ++begin;
    const char *end = begin;
    while (*end)
        ++end;
    while (end > begin && end[-1] == ' ')
        --end;
    for (const char *p = begin; p < end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c >= 0x80) {
            const QByteArray upper = vb::UCase(vb::Trim(QString::fromUtf8(name))).toUtf8();
            key.assign(upper.constData(), std::size_t(upper.size()));
            return;
        }
        key.push_back((c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : char(c));
    }
}

// Steps to the node after n in document order within root's subtree; null at
// the end of it.
XmlNode nextInSubtree(const XmlNode &root, XmlNode n)
{
    XmlNode next = n.firstChild();
    while (next.isNull()) {
        if (n == root)
            return {};
        next = n.nextSibling();
        if (next.isNull()) {
            n = n.parentNode();
            if (n.isNull() || n == root)
                return {};
        }
    }
    return next;
}

} // namespace

// --- XmlNameSet ------------------------------------------------------------------

XmlNameSet::XmlNameSet(const QStringList &names)
{
    names_.reserve(std::size_t(names.size()));
    for (const QString &name : names) {
        const QByteArray key = vb::UCase(vb::Trim(name)).toUtf8();
        byKey_[std::string(key.constData(), std::size_t(key.size()))].push_back(int(names_.size()));
        names_.push_back(name);
    }
}

const std::vector<int> &XmlNameSet::positions(const XmlNode &node, std::string &scratch) const
{
    static const std::vector<int> none;
    nameKey(node.nodeNameUtf8(), scratch);
    const auto it = byKey_.find(scratch);
    return it == byKey_.end() ? none : it->second;
}

int XmlNameSet::indexOf(const XmlNode &node) const
{
    std::string scratch;
    const std::vector<int> &at = positions(node, scratch);
    return at.empty() ? -1 : at.front();
}

// --- XmlNode -------------------------------------------------------------------

XmlNode::XmlNode(std::shared_ptr<detail::XmlTree> tree, pugi::xml_node_struct *node)
    : tree_(node ? std::move(tree) : nullptr), node_(node)
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
    const pugi::xml_node n(node_);
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

QString XmlNode::nodeName() const
{
    return fromUtf8(nodeNameUtf8());
}

bool XmlNode::hasValue() const
{
    return hasValueType(pugi::xml_node(node_).type());
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
    pugi::xml_node(node_).set_value(utf8UpToNul(value).constData());
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
    return QString::fromUtf8(out);
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
    a.set_value(utf8UpToNul(value).constData());
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
    std::string scratch;
    for (XmlNode n = *this; !n.isNull(); n = nextInSubtree(*this, n)) {
        if (!names.positions(n, scratch).empty())
            return n;
    }
    return {};
}

std::vector<XmlNode> XmlNode::findEach(const XmlNameSet &names) const
{
    std::vector<XmlNode> found(std::size_t(names.size()));
    std::size_t missing = found.size();
    std::string scratch;
    for (XmlNode n = *this; !n.isNull() && missing > 0; n = nextInSubtree(*this, n)) {
        for (int i : names.positions(n, scratch)) {
            XmlNode &slot = found[std::size_t(i)];
            if (slot.isNull()) {
                slot = n;
                --missing;
            }
        }
    }
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
    return QString::fromUtf8(w.out);
}

// --- XmlDocument -----------------------------------------------------------------

struct XmlDocument::State {
    std::shared_ptr<detail::XmlTree> tree = std::make_shared<detail::XmlTree>();
    QString error;

    // A load always starts a new tree: nodes the caller still holds keep the old
    // one alive instead of pointing into freed memory.
    bool take(const std::shared_ptr<detail::XmlTree> &parsed, const pugi::xml_parse_result &result)
    {
        error = checkWellFormed(result, parsed->doc);
        tree = error.isEmpty() ? parsed : std::make_shared<detail::XmlTree>();
        return error.isEmpty();
    }
};

XmlDocument::XmlDocument() : d(std::make_shared<State>()) {}

bool XmlDocument::loadXml(const QString &text)
{
    QByteArray utf8 = utf8UpToNul(text);
    if (utf8.startsWith("\xEF\xBB\xBF"))
        utf8.remove(0, 3);
    auto parsed = std::make_shared<detail::XmlTree>();
    const pugi::xml_parse_result result = parsed->doc.load_buffer(
        utf8.constData(), size_t(utf8.size()), ParseFlags, pugi::encoding_utf8);
    return d->take(parsed, result);
}

bool XmlDocument::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        d->tree = std::make_shared<detail::XmlTree>();
        d->error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    auto parsed = std::make_shared<detail::XmlTree>();
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
    t.set_value(utf8UpToNul(text).constData());
    return {d->tree, t.internal_object()};
}

XmlNode XmlDocument::createCDataSection(const QString &text)
{
    pugi::xml_node t = d->tree->detached().append_child(pugi::node_cdata);
    t.set_value(utf8UpToNul(text).constData());
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
