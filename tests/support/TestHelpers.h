#pragma once

#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <QString>

#include <gtest/gtest.h>

#include <functional>

namespace orvane::test {

// The error a call raises; number 0 when it raises none.
inline VbError raised(const std::function<void()> &f)
{
    try {
        f();
    } catch (const VbError &e) {
        return e;
    }
    return {0, {}, {}};
}

inline long errorNumber(const std::function<void()> &f)
{
    return raised(f).number();
}

// A document from text that must be well-formed.
inline XmlDocument parsedXml(const QString &text)
{
    XmlDocument doc;
    EXPECT_TRUE(doc.loadXml(text)) << doc.parseError().toStdString();
    return doc;
}

} // namespace orvane::test
