#pragma once

#include "support/TestHelpers.h"

#include <QFile>
#include <QString>

#include <functional>

namespace dispatchtest {

using orvane::test::raised;

// An error as "number|source|description", to be compared whole.
inline std::string errorOf(const orvane::VbError &e)
{
    const QString text = QString::number(e.number()) % u'|' % e.source() % u'|' % e.description();
    return text.toStdString();
}

// A dispatch document around the given body elements.
inline QString doc(const QString &body)
{
    return QStringLiteral("<DispatchAssignment><DispatchAssignmentHeader>"
                          "<EnvironmentID>PROD</EnvironmentID></DispatchAssignmentHeader>"
                          "<DispatchAssignmentDetails>") +
           body + QStringLiteral("</DispatchAssignmentDetails></DispatchAssignment>");
}

// An element of a document; left out when the text is null.
inline QString element(const QString &name, const QString &text)
{
    return text.isNull() ? QString() : QStringLiteral("<%1>%2</%1>").arg(name, text);
}

inline QString sample(const QString &name)
{
    QFile f(QStringLiteral(ORVANE_SAMPLES_DIR "/dispatch/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

} // namespace dispatchtest
