#pragma once

#include <qorOrvaneUI/runtime/Value.h>

#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace pugi {
struct xml_node_struct;
}

namespace orvane {

namespace detail {
struct XmlTree;

// The count a tree keeps of the nodes and documents that hold it. Plain, not
// atomic: a document and its nodes belong to one thread at a time, and nodes
// are copied at every step of a walk.
struct TreeCount {
    long refs = 0;
};
void destroyTree(XmlTree *tree) noexcept;
TreeCount &countOf(XmlTree *tree) noexcept;

// A shared reference to a tree.
class TreeRef {
public:
    TreeRef() = default;
    explicit TreeRef(XmlTree *tree) noexcept : p_(tree) { retain(); }
    TreeRef(const TreeRef &o) noexcept : p_(o.p_) { retain(); }
    TreeRef(TreeRef &&o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    TreeRef &operator=(TreeRef o) noexcept
    {
        std::swap(p_, o.p_);
        return *this;
    }
    ~TreeRef() { release(); }

    static TreeRef make();
    XmlTree *get() const noexcept { return p_; }
    XmlTree *operator->() const noexcept { return p_; }
    XmlTree &operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    friend bool operator==(const TreeRef &a, const TreeRef &b) { return a.p_ == b.p_; }

private:
    void retain() noexcept
    {
        if (p_)
            ++countOf(p_).refs;
    }
    void release() noexcept
    {
        if (p_ && --countOf(p_).refs == 0)
            destroyTree(p_);
    }
    XmlTree *p_ = nullptr;
};
} // namespace detail

// Node kinds, numbered as the callers' DOM numbers them.
namespace xmlkind {
inline constexpr int Element = 1;
inline constexpr int Text = 3;
inline constexpr int CData = 4;
inline constexpr int ProcessingInstruction = 7;
inline constexpr int Comment = 8;
inline constexpr int Document = 9;
} // namespace xmlkind

class XmlNode;
class XmlNodeList;

// A node's UTF-8 text as text, a leading U+FEFF kept (it is a character of the
// value there, not a byte-order mark).
QString xmlTextFromUtf8(const char *utf8);

// Element names as the library's readers look them up: a node's name matches a
// wanted one when both, trimmed of spaces and upper-cased, are equal. There is
// no namespace handling. Several names can be looked for in one walk.
class XmlNameSet {
public:
    explicit XmlNameSet(const QString &name) : XmlNameSet(QStringList{name}) {}
    explicit XmlNameSet(const QStringList &names);

    int size() const { return int(names_.size()); }
    const QString &name(int index) const { return names_.at(std::size_t(index)); }
    // The index of the first wanted name the node's name matches, or -1.
    int indexOf(const XmlNode &node) const;

    // True when no wanted name is empty or starts with "#", so that only
    // elements and processing instructions can match.
    bool plainNamesOnly() const;
    // Positions of the wanted names a raw UTF-8 node name matches (nullptr for none).
    const std::vector<int> *match(const char *utf8Name) const;

private:
    struct Lookup;
    std::vector<QString> names_;
    std::shared_ptr<const Lookup> lookup_;
};

// A node of an XmlDocument, with the DOM rules the library's readers and writers
// rely on: an element is named by its tag and has no value; text is "#text",
// character data "#cdata-section", the document "#document"; a child index past
// the end gives a null node.
//
// A node is a small handle. It keeps its document's tree alive, so a node stays
// valid after the XmlDocument it came from has gone or has loaded other text.
// Reading a null node gives empty answers (no name, a Null value, no children);
// changing one fails with 91, as using an unset object variable does.
//
// Not thread-safe: a document and its nodes belong to one thread at a time.
class XmlNode {
public:
    XmlNode() = default;

    bool isNull() const { return node_ == nullptr; }
    explicit operator bool() const { return node_ != nullptr; }

    int nodeType() const; // an xmlkind value; 0 for a null node
    QString nodeName() const;
    // The same name as UTF-8, without a copy ("" for a null node); valid while
    // the node lives and its name is not changed.
    const char *nodeNameUtf8() const;

    // Text, character data, comments and processing instructions have a value;
    // elements and the document do not, and read as Null (so turning it into
    // text fails with 94).
    bool hasValue() const;
    Value nodeValue() const;
    // The same value as UTF-8, without a copy; nullptr when the node has none.
    const char *nodeValueUtf8() const;
    // Text is cut at its first NUL, and loses the other characters XML 1.0
    // cannot carry (C0 controls but tab, line feed and carriage return, U+FFFE,
    // U+FFFF, lone surrogates), so a built document is always well-formed.
    // Fails on a node that has no value.
    void setNodeValue(const QString &value);

    // The text of the node and everything inside it, in document order.
    QString text() const;

    // An element's attribute; Null when absent.
    Value attribute(const QString &name) const;
    void setAttribute(const QString &name, const QString &value);

    XmlNode parentNode() const;
    XmlNode firstChild() const;
    XmlNode lastChild() const;
    XmlNode nextSibling() const;
    XmlNode previousSibling() const;
    // Sequential indexes (0, 1, 2, ...) under the same parent are cheap.
    XmlNode child(int index) const;
    XmlNodeList childNodes() const;
    int childCount() const;
    bool hasChildNodes() const { return !firstChild().isNull(); }

    // Makes child the last child of this node, moving it from where it stood, and
    // returns it. The document takes one element and no text; a node cannot go
    // inside itself; nodes of another document are refused.
    XmlNode appendChild(const XmlNode &child);

    // Pre-order search of this node and everything inside it, without recursion
    // (documents may nest arbitrarily deep). findFirst gives the first node in
    // document order whose name is in the set, this node included; findEach
    // gives, for every name of the set, the node findFirst would give for that
    // name alone (null when absent), in one walk.
    XmlNode findFirst(const XmlNameSet &names) const;
    std::vector<XmlNode> findEach(const XmlNameSet &names) const;

    // The root element of the document this node belongs to.
    XmlNode documentElement() const;

    // The node as markup, without an XML declaration.
    QString xml() const;

    friend bool operator==(const XmlNode &a, const XmlNode &b) { return a.node_ == b.node_; }

private:
    friend class XmlDocument;
    friend class XmlNodeList;
    XmlNode(detail::TreeRef tree, pugi::xml_node_struct *node);

    detail::TreeRef tree_;
    pugi::xml_node_struct *node_ = nullptr;
};

// A node's children as the DOM's childNodes collection: item(i) past the end is
// a null node.
class XmlNodeList {
public:
    XmlNode item(int index) const { return parent_.child(index); }
    int length() const { return parent_.childCount(); }

private:
    friend class XmlNode;
    explicit XmlNodeList(XmlNode parent) : parent_(std::move(parent)) {}
    XmlNode parent_;
};

// An XML document. Copies are handles on the same document, as object
// references are.
//
// Parsing keeps elements, text and character data. Whitespace-only text,
// comments, processing instructions, the declaration and the document type are
// dropped, so the document's only child is its root element and child indexes
// count elements and real text. Entity references are never expanded from a
// document type; an unknown one stays in the text as written.
class XmlDocument {
public:
    XmlDocument();

    // Replaces the content. Text that is not well-formed (one root element, no
    // text outside it) leaves an empty document and returns false. Input is cut
    // at its first NUL character, which XML does not allow.
    bool loadXml(const QString &text);
    // The same for a file; the encoding comes from its byte order mark or
    // declaration (UTF-8 when neither says otherwise).
    bool load(const QString &path);
    // Why the last load failed; empty after a successful one.
    QString parseError() const;

    // The document as markup, no declaration, no added whitespace.
    QString xml() const;

    XmlNode asNode() const;
    XmlNode documentElement() const;
    XmlNode firstChild() const { return asNode().firstChild(); }
    XmlNode child(int index) const { return asNode().child(index); }
    XmlNodeList childNodes() const { return asNode().childNodes(); }
    int childCount() const { return asNode().childCount(); }
    XmlNode appendChild(const XmlNode &child) { return asNode().appendChild(child); }

    // New nodes belong to the document but stand nowhere until appended. Text
    // and character data keep what setNodeValue keeps.
    XmlNode createElement(const QString &name);
    XmlNode createTextNode(const QString &text);
    XmlNode createCDataSection(const QString &text);
    // kind 1 element, 3 text ("#text"), 4 character data. A non-empty namespace
    // on an element is declared on it with xmlns.
    XmlNode createNode(int kind, const QString &name, const QString &namespaceUri);

private:
    struct State;
    std::shared_ptr<State> d;
};

} // namespace orvane
