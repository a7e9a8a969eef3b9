#pragma once

#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <QString>

// Finding, reading and creating elements by name in the documents the library
// receives and sends. Names match without regard to case or surrounding
// spaces, and with no namespace handling. A missing element is no failure:
// FindNode gives a null node and ReturnNormValue empty text.
//
// Every failure is passed up as a VbError with the caught number, the routine's
// name as source ("XMLUtilmod.FindNode", ...) and the statement number in the
// description; the four-argument CreateNode chains the caught source instead.
namespace orvane::XMLUtilmod {

// The first node named `name` in document order, starting with `node` itself.
orvane::XmlNode FindNode(const orvane::XmlNode &node, const QString &name);

// The text of the first child of the element FindNode finds; empty text when
// there is no such element or it has no children. Fails with 94 when that
// first child is an element.
QString ReturnNormValue(const orvane::XmlNode &node, const QString &name);

// Appends <name>value</name> to the document element; the value is kept as
// given, and an empty one gives an element with no children.
void CreateNode(orvane::XmlDocument &doc, const QString &name, const QString &value);

// Appends an empty element to the document element and returns it.
orvane::XmlNode CreateNodeRoot(orvane::XmlDocument &doc, const QString &name);

// Appends <name>value</name> to `parent`, with `value` trimmed of spaces; the
// caller's variable receives the trimmed text. Spaces alone give an element
// with no children.
void CreateNode(orvane::XmlDocument &doc, const QString &name, QString &value,
                const orvane::XmlNode &parent);

} // namespace orvane::XMLUtilmod
