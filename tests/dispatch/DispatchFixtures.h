#pragma once

#include "support/TestHelpers.h"

#include <QFile>
#include <QString>

#include <functional>

namespace dispatchtest {

using orvane::test::raised;

// A dispatch document around the given body elements.
inline QString doc(const QString &body)
{
    return QStringLiteral("<DispatchAssignment><DispatchAssignmentHeader>"
                          "<EnvironmentID>PROD</EnvironmentID></DispatchAssignmentHeader>"
                          "<DispatchAssignmentDetails>") +
           body + QStringLiteral("</DispatchAssignmentDetails></DispatchAssignment>");
}

inline QString sample(const QString &name)
{
    QFile f(QStringLiteral(ORVANE_SAMPLES_DIR "/dispatch/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

} // namespace dispatchtest
