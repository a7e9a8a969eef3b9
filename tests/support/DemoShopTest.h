#pragma once

// Header-only: the consumers link orvane::host and orvane::transport.
#include "host/ReferenceHost.h"
#include "support/ScriptedUi.h"
#include "transport/TableObjects.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace orvane::test {

// The demo shop (orders 1 quote 1001, 2 invoice 5001, 3 workorder 7001,
// 4 void; all at location 1) with its staging tables, in a fresh folder,
// and a scripted Ui for the dialogs and boxes it shows.
class DemoShopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        const QString data = dir_.path() + QStringLiteral("/data/");
        const QString nags = dir_.path() + QStringLiteral("/nags/");
        ASSERT_TRUE(QDir().mkpath(data));
        ASSERT_TRUE(QDir().mkpath(nags));
        host_ = host::ReferenceHost::open(data, nags);
        host_->seedDemo();
        transport::registerTransportClasses();
    }

    QStringList boxTitles()
    {
        QStringList out;
        for (const auto &b : ui_->boxes())
            out << b.title;
        return out;
    }

    QStringList boxTexts()
    {
        QStringList out;
        for (const auto &b : ui_->boxes())
            out << b.text;
        return out;
    }

    QTemporaryDir dir_;
    std::shared_ptr<host::ReferenceHost> host_;
    ScopedScriptedUi ui_;
};

} // namespace orvane::test
