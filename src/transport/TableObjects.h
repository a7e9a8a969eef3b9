#pragma once

#include "storage/SqlTable.h"
#include <qorOrvaneUI/external/IInsIdList.h>
#include <qorOrvaneUI/external/IInscoIdList.h>
#include <qorOrvaneUI/external/IOidList.h>
#include <qorOrvaneUI/external/IPidList.h>
#include <qorOrvaneUI/external/IRsTable.h>
#include <qorOrvaneUI/external/ITransaction.h>
#include <qorOrvaneUI/external/Ig_ackn.h>
#include <qorOrvaneUI/external/Ig_trans.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>
#include <qorOrvaneUI/transport/TransportClasses.h>

#include <QHash>

#include <memory>
#include <vector>

namespace orvane::transport {

class StagingDatabase;

// What every table object shares: the environment, the connection it gives,
// the rows of the last load and the values they were loaded with (so that
// Update writes only what changed, and refuses to overwrite another
// workstation's change to the same row).
class TableCore {
public:
    explicit TableCore(const QString &table);

    std::shared_ptr<ext::IEnvironment> env() const { return env_; }
    void setEnv(std::shared_ptr<ext::IEnvironment> env);
    const sql::TableDef &table() const { return *table_; }
    StagingDatabase &database() const; // 91 before setEnv

    void load(const QString &filter);
    // Replaces the rows with `rows` (new rows to be added by the next save).
    void adopt(Recordset rows);
    Recordset rows() const { return rows_; }
    // Fills what the table fills on its own in rows being added (guid), then
    // writes all changes in one transaction.
    void save();

    bool fillsGuid = false;

private:
    const sql::TableDef *table_;
    std::shared_ptr<ext::IEnvironment> env_;
    std::shared_ptr<StagingDatabase> db_;
    Recordset rows_;
    QHash<qint64, std::vector<Value>> loaded_;
    QString source_;
};

// Implements the members every table interface shares.
template <class Interface> class TableObject : public Interface {
public:
    explicit TableObject(const QString &table) : core_(table) {}
    std::shared_ptr<ext::IEnvironment> Env() const override { return core_.env(); }
    void setEnv(std::shared_ptr<ext::IEnvironment> env) override { core_.setEnv(std::move(env)); }
    Recordset itemsrecordset() const override { return core_.rows(); }
    void Update() override { core_.save(); }
    TableCore &core() { return core_; }

protected:
    TableCore core_;
};

class Clsg_trans : public TableObject<ext::Ig_trans> {
public:
    Clsg_trans();
    void get_g_trans(const QString &filter) override { core_.load(filter); }
};

class G_ackncls : public TableObject<ext::Ig_ackn> {
public:
    G_ackncls();
    void Get_g_ACKN(const QString &filter) override { core_.load(filter); }
    void get_ackfromxml(const QString &xml) override;
    bool blnnosave() const override { return noSave_; }
    void setblnnosave(bool noSave) override { noSave_ = noSave; }
    void Update() override;

private:
    bool noSave_ = false;
};

// g_enol (fills guid), g_enolline, g_cover, g_lossack, g_dispatch.
class RsTable : public TableObject<ext::IRsTable> {
public:
    explicit RsTable(const QString &table, bool fillsGuid = false);
    void get_rs(const QString &filter) override { core_.load(filter); }
};

class G_pidListcls : public TableObject<ext::IPidList> {
public:
    G_pidListcls();
    void get_g_pidlist() override { core_.load({}); }
};

class G_oidListcls : public TableObject<ext::IOidList> {
public:
    G_oidListcls();
    void Get_g_oidList() override { core_.load({}); }
};

class G_inscoidcls : public TableObject<ext::IInscoIdList> {
public:
    G_inscoidcls();
    void get_g_inscoid(const QString &filter) override { core_.load(filter); }
    QString PID() const override { return pid_; }
    void setPID(const QString &pid) override { pid_ = pid; }
    QString oid() const override { return oid_; }
    void setoid(const QString &oid) override { oid_ = oid; }
    // Rows the user added in the list belong to the IDs it was loaded for.
    void Update() override;

private:
    QString pid_, oid_;
};

class G_insidcls : public TableObject<ext::IInsIdList> {
public:
    G_insidcls();
    void get_g_insid(const QString &filter) override { core_.load(filter); }
};

// The staging connection of an environment held in one transaction.
class ClsTransaction : public ext::ITransaction {
public:
    ~ClsTransaction() override;
    void setEnv(std::shared_ptr<ext::IEnvironment> env) override;
    void BeginTrans() override;
    void CommitTrans() override;
    void RollbackTrans() override;

private:
    StagingDatabase &database() const;
    std::shared_ptr<StagingDatabase> db_;
    bool open_ = false;
};

// 32 upper-case hexadecimal digits, as the library's identifiers.
QString newGuid();

// Every element named `name` inside `node`, in document order.
std::vector<XmlNode> elementsNamed(const XmlNode &node, const QString &name);

} // namespace orvane::transport
