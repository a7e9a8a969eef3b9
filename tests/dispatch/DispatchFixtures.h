#pragma once

#include "VbError.h"

#include <QFile>
#include <QString>

#include <functional>

namespace dispatchtest {

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

// The error a call raises; number 0 when it raises none.
inline orvane::VbError errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const orvane::VbError &e) {
        return e;
    }
    return {0, {}, {}};
}

} // namespace dispatchtest
