#pragma once

#include "ReferenceHost.h"
#include "TableObjects.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <memory>

namespace orvane::bench {

// The views need a widget application; an offscreen one unless told otherwise.
inline void ensureApplication()
{
    // Never destroyed: at exit Qt's SQL globals are gone before a static
    // application would be, and its clean-up would touch them.
    static QApplication *app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench_orvane";
        static char *argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
}

// The seeded demo shop with its staging tables, in a folder of its own.
struct DemoShop {
    QTemporaryDir dir;
    std::shared_ptr<host::ReferenceHost> host;

    DemoShop()
    {
        QDir().mkpath(dir.path() + QStringLiteral("/data"));
        QDir().mkpath(dir.path() + QStringLiteral("/nags"));
        host = host::ReferenceHost::open(dir.path() + QStringLiteral("/data/"),
                                         dir.path() + QStringLiteral("/nags/"));
        host->seedDemo();
        transport::registerTransportClasses();
    }
};

} // namespace orvane::bench
