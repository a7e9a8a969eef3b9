#pragma once

#include "HostEnvironment.h"
#include "HostInvoice.h"
#include "ObjectRegistry.h"
#include "ReferenceHost.h"
#include "ScriptedUi.h"
#include "TableObjects.h"
#include "external/IInsIdList.h"
#include "external/IInscoIdList.h"
#include "external/IOidList.h"
#include "external/IPidList.h"
#include "external/ITableObject.h"
#include "external/ProgIds.h"
#include "loss/eNOLcls.h"
#include "loss/eNOLfrm.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

namespace losstest {

using namespace Qt::StringLiterals;
using orvane::Recordset;
using orvane::Value;

// The demo shop (order 2: an invoice billed to party 1, shop 1 with the
// participant ID RPID00417) with its staging tables, in a fresh folder.
class LossTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        const QString data = dir_.path() + u"/data/"_s;
        const QString nags = dir_.path() + u"/nags/"_s;
        ASSERT_TRUE(QDir().mkpath(data));
        ASSERT_TRUE(QDir().mkpath(nags));
        host_ = orvane::host::ReferenceHost::open(data, nags);
        host_->seedDemo();
        orvane::transport::registerTransportClasses();
    }

    // Adds rows to a transport table; each row maps field names to values.
    void addRows(const char16_t *progId, const QString &table,
                 const std::vector<std::map<QString, Value>> &rows)
    {
        auto object = orvane::CreateObject<orvane::ext::ITableObject>(QString::fromUtf16(progId));
        object->setEnv(host_->env());
        load(*object, table);
        Recordset rs = object->itemsrecordset();
        for (const auto &row : rows) {
            rs.addNew();
            for (const auto &[field, value] : row)
                rs.setValue(field, value);
            rs.update();
        }
        object->Update();
    }

    static void load(orvane::ext::ITableObject &object, const QString &table);

    // Opens the loss notice over order `id` and plays the user in it.
    void openForm(int id, std::function<void(eNOLfrm *)> play)
    {
        order_ = host_->openOrder(id);
        ui_->onDialog([play](QDialog *d) {
            auto *view = dynamic_cast<eNOLfrm *>(d);
            ASSERT_TRUE(view);
            play(view);
        });
        eNOLcls cls;
        EXPECT_FALSE(cls.SendeNOL(order_, 0));
    }

    // Errors the view reported through the host (shown as boxes with the error's number).
    QStringList reportedErrors()
    {
        QStringList out;
        for (const auto &b : ui_->boxes())
            if (b.text.startsWith(u"Error "_s))
                out << b.text;
        return out;
    }

    QTemporaryDir dir_;
    std::shared_ptr<orvane::host::ReferenceHost> host_;
    std::shared_ptr<orvane::host::HostInvoice> order_;
    orvane::test::ScopedScriptedUi ui_;
};

inline void LossTest::load(orvane::ext::ITableObject &object, const QString &table)
{
    const QString none = table % u".id = 1 and "_s % table % u".id <> 1"_s;
    if (auto *pid = dynamic_cast<orvane::ext::IPidList *>(&object))
        pid->get_g_pidlist();
    else if (auto *oid = dynamic_cast<orvane::ext::IOidList *>(&object))
        oid->Get_g_oidList();
    else if (auto *insco = dynamic_cast<orvane::ext::IInscoIdList *>(&object))
        insco->get_g_inscoid(none);
    else if (auto *insid = dynamic_cast<orvane::ext::IInsIdList *>(&object))
        insid->get_g_insid(none);
}

} // namespace losstest
