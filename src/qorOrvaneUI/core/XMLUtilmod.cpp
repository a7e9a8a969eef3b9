#include "qorOrvaneUI/core/XMLUtilmod.h"

#include "runtime/vb.h"
#include <qorOrvaneUI/runtime/VbError.h>

using namespace Qt::StringLiterals;
using orvane::XmlDocument;
using orvane::XmlNode;

namespace orvane::XMLUtilmod {

namespace {

// Errors the routines raise themselves come from the library, as the runtime
// the callers were written against names them.
orvane::VbError objectNotSet()
{
    return orvane::objectVariableNotSet(u"qorOrvaneUI"_s);
}

} // namespace

XmlNode FindNode(const XmlNode &node, const QString &name)
{
    orvane::Proc p(u"XMLUtilmod.FindNode"_s, orvane::WrapStyle::XmlRoutine);
    try {
        p.at(10);
        const orvane::XmlNameSet wanted(name);
        p.at(20);
        if (node.isNull())
            throw objectNotSet();
        p.at(30);
        return node.findFirst(wanted);
    } catch (...) {
        p.rethrow();
    }
}

QString ReturnNormValue(const XmlNode &node, const QString &name)
{
    orvane::Proc p(u"XMLUtilmod.ReturnNormValue"_s, orvane::WrapStyle::XmlRoutine);
    try {
        p.at(10);
        const orvane::XmlNameSet wanted(name);
        p.at(20);
        if (node.isNull())
            throw objectNotSet();
        p.at(30);
        const XmlNode element = node.findFirst(wanted);
        if (element.isNull())
            return {};
        p.at(40);
        const XmlNode first = element.firstChild();
        if (first.isNull())
            return {};
        p.at(50);
        return first.nodeValue().toText();
    } catch (...) {
        p.rethrow();
    }
}

void CreateNode(XmlDocument &doc, const QString &name, const QString &value)
{
    orvane::Proc p(u"XMLUtilmod.CreateNode"_s, orvane::WrapStyle::XmlRoutine);
    try {
        p.at(10);
        XmlNode element = doc.createNode(orvane::xmlkind::Element, name, QString());
        p.at(20);
        if (!value.isEmpty()) {
            XmlNode text = doc.createNode(orvane::xmlkind::Text, u"#text"_s, QString());
            p.at(30);
            text.setNodeValue(value);
            p.at(40);
            element.appendChild(text);
        }
        p.at(50);
        XmlNode root = doc.documentElement();
        if (root.isNull())
            throw objectNotSet();
        p.at(60);
        root.appendChild(element);
    } catch (...) {
        p.rethrow();
    }
}

XmlNode CreateNodeRoot(XmlDocument &doc, const QString &name)
{
    orvane::Proc p(u"XMLUtilmod.CreateNodeRoot"_s, orvane::WrapStyle::XmlRoutine);
    try {
        p.at(10);
        XmlNode element = doc.createNode(orvane::xmlkind::Element, name, QString());
        p.at(20);
        XmlNode root = doc.documentElement();
        if (root.isNull())
            throw objectNotSet();
        p.at(30);
        root.appendChild(element);
        return element;
    } catch (...) {
        p.rethrow();
    }
}

void CreateNode(XmlDocument &doc, const QString &name, QString &value, const XmlNode &parent)
{
    orvane::Proc p(u"XMLUtilmod.CreateNode"_s, orvane::WrapStyle::XmlRoutineChained);
    try {
        p.at(10);
        value = vb::Trim(value);
        p.at(20);
        XmlNode element = doc.createNode(orvane::xmlkind::Element, name, QString());
        p.at(30);
        if (!value.isEmpty()) {
            XmlNode text = doc.createNode(orvane::xmlkind::Text, u"#text"_s, QString());
            p.at(40);
            text.setNodeValue(value);
            p.at(50);
            element.appendChild(text);
        }
        p.at(60);
        if (parent.isNull())
            throw objectNotSet();
        XmlNode target = parent;
        target.appendChild(element);
    } catch (...) {
        p.rethrow();
    }
}

} // namespace orvane::XMLUtilmod
