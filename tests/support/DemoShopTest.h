#pragma once

// Header-only: the consumers link orvane::host and orvane::transport.
#include "host/FieldUse.h"
#include "host/ReferenceHost.h"
#include "qorOrvaneUI/core/FieldContract.h"
#include "transport/TableObjects.h"
#include <qorOrvaneUI/widgets/ScriptedUi.h>

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

    // Plays the user in the next dialog shown, which must be a `View`.
    template <class View> void on(std::function<void(View *)> play)
    {
        ui_->onDialog([play](QDialog *d) {
            auto *view = dynamic_cast<View *>(d);
            ASSERT_TRUE(view);
            play(view);
        });
    }

    QStringList boxTitles() { return boxField(&ScriptedUi::Box::title); }
    QStringList boxTexts() { return boxField(&ScriptedUi::Box::text); }
    QStringList boxField(QString ScriptedUi::Box::*field)
    {
        QStringList out;
        for (const auto &b : ui_->boxes())
            out << b.*field;
        return out;
    }

    QTemporaryDir dir_;
    std::shared_ptr<host::ReferenceHost> host_;
    ScopedScriptedUi ui_;
};

// The library's flows over the demo shop. What a flow asks of the host's
// records and databases must all be in the field contract the host guide
// documents.
class FlowTest : public DemoShopTest {
protected:
    void SetUp() override
    {
        host::fielduse::start();
        DemoShopTest::SetUp();
    }

    void TearDown() override
    {
        for (const auto &[record, names] : host::fielduse::fields())
            for (const QString &name : names)
                EXPECT_TRUE(contract::knownField(record, name))
                    << "not in the field contract: " << record.toStdString() << "."
                    << name.toStdString();
        for (const QString &query : host::fielduse::queries())
            EXPECT_TRUE(contract::knownQuery(query))
                << "not in the field contract: query " << query.toStdString();
    }
};

} // namespace orvane::test
