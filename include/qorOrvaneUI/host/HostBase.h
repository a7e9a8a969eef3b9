#pragma once

// Base classes with defaults for a host: a host derives from or creates these
// and writes only what is its own (the order's record and lines, and a data
// command over its databases). Every default is documented in the host guide.
#include <qorOrvaneUI/external/IControlUI.h>
#include <qorOrvaneUI/external/IDataCommand.h>
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IErrorClass.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/IOptions.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/Value.h>

#include <QString>

#include <memory>

namespace orvane::hostbase {

// Settings in INI files through QSettings: `section` and `key` as the file's
// [section] and key. A write that cannot reach the file raises a VbError.
class IniOptions : public ext::IOptions {
public:
    // `hostIni`: the host's own settings file (dask_ini); `command`: what
    // dcobject hands out.
    IniOptions(QString hostIni, std::shared_ptr<ext::IDataCommand> command);
    QString readinistring(const QString &section, const QString &key,
                          const QString &file) const override;
    void writeinistring(const QString &section, const QString &key, const QString &value,
                        const QString &file) override;
    QString dask_ini() const override { return hostIni_; }
    std::shared_ptr<ext::IDataCommand> dcobject() const override { return command_; }

private:
    QString hostIni_;
    std::shared_ptr<ext::IDataCommand> command_;
};

// Logs each report as a Qt warning, "qorOrvaneUI reported error N in
// PROCEDURE, line L: TEXT" (a validation message, number 0, as "qorOrvaneUI:
// TEXT"), and counts them. Never throws.
class LoggingErrorClass : public ext::IErrorClass {
public:
    void ErrorHandle(int zero, const QString &procedure, const QString &text, long number,
                     int ErrorLine, std::optional<int> Mode = std::nullopt) override;
    int reports() const { return reports_; }

private:
    int reports_ = 0;
};

// A layout service that keeps nothing; register it under
// ControlUI.ControlUIcls only to silence a host's own checks, the library
// works without one.
class NoLayout : public ext::IControlUI {
public:
    void Initialize(QWidget *, const QString &) override {}
    void Terminate(QWidget *, const QString &) override {}
};

// A data command with no database: every query fails (Execute gives false),
// which the library takes as "nothing to show or count".
class NoDataCommand : public ext::IDataCommand {
public:
    QString constructstring() const override { return connection_; }
    void setconstructstring(const QString &connection) override { connection_ = connection; }
    bool Execute(const QString &, const QString &, Recordset &, const QList<Value> &) override
    {
        return false;
    }

private:
    QString connection_;
};

// The environment with defaults: settings in `dataPath` + "host.ini", errors
// logged, the shop's participant ID and the user's names as members, and the
// optional creators (order list, catalogue vehicle, vehicle chooser) absent.
// GetConnectString(folder) is "QSQLITE:" + folder + "orvane.db". `command` is
// the data command dcobject hands out (one without a connection text is
// pointed at the data folder's database); without one every query fails.
class Environment : public ext::IEnvironment {
public:
    explicit Environment(QString dataPath, const QString &nagsPath = QString(),
                         std::shared_ptr<ext::IDataCommand> command = nullptr);

    Value location = 1;
    QString securityToken;
    QString userFirst, userLast;
    QString shopPid; // the shop's participant ID ("OrvaneShopID")
    std::shared_ptr<ext::IErrorClass> errors = std::make_shared<LoggingErrorClass>();
    std::shared_ptr<ext::IOptions> options;

    std::shared_ptr<ext::IErrorClass> ErrorClass() const override { return errors; }
    std::shared_ptr<ext::IOptions> Options() const override { return options; }
    QString GetConnectString(const QString &folder, int mode) const override;
    QString data_path() const override { return dataPath_; }
    QString nags_path() const override { return nagsPath_; }
    Value Location() const override { return location; }
    QString SecurityToken() const override { return securityToken; }
    std::shared_ptr<ext::IUser> currentuser() const override;
    // 11: the shop, as one record holding shopPid; anything else absent.
    std::shared_ptr<ComObject> safecreateobj(int kind) override;
    std::shared_ptr<ComObject> SafeCreatenagsObj(int) override { return nullptr; }
    std::shared_ptr<ComObject> SafeCreateUIObj(int) override { return nullptr; }

private:
    QString dataPath_, nagsPath_;
};

// The order as one record and its lines as another, both with every field the
// library uses (the field contract in the host guide), so the host only fills
// them in. The vehicle (Item("car")) is read from the order record; bill-to
// party, discount and agent records handed over are copied into the order's
// fields of the same names; getbillto/getdiscount give nothing. Override
// calculateinvoice to recalculate totals.
class Invoice : public ext::IInvoice {
public:
    explicit Invoice(std::shared_ptr<ext::IEnvironment> env);

    Recordset order; // open, on its one row
    Recordset lines; // open, no rows: addNew, set the fields, update

    // Empty open record sets with the contract's order and line fields.
    static Recordset orderRecord();
    static Recordset lineRecord();

    Recordset itemsrecordset() const override { return order; }
    std::shared_ptr<ext::IEnvironment> Env() const override { return env_; }
    std::shared_ptr<ext::ILineItems> getlineitems() override;
    void calculateinvoice(bool, bool) override {}
    void setbillto(const Recordset &item, bool, bool, bool, bool) override { copyIn(item); }
    void setdiscount(const Recordset &item) override { copyIn(item); }
    std::shared_ptr<ext::IHostItem> getbillto(const Value &) override { return nullptr; }
    std::shared_ptr<ext::IHostItem> getdiscount(const Value &) override { return nullptr; }
    std::shared_ptr<ext::IOrderCar> Item(const QString &name) const override;
    void SetAgent(const Recordset &agent) override { copyIn(agent); }

protected:
    // Copies the fields `item` shares with the order, the order's idnumber aside.
    void copyIn(const Recordset &item);

private:
    std::shared_ptr<ext::IEnvironment> env_;
};

} // namespace orvane::hostbase
