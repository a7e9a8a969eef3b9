#pragma once

#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IErrorClass.h>
#include <qorOrvaneUI/external/IOptions.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include <QMap>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace orvane::test {

// What a view reported through Env.ErrorClass.
struct ErrorReport {
    QString procedure;
    QString text;
    long number = 0;
    int line = 0;
};

class StubErrors : public ext::IErrorClass {
public:
    void ErrorHandle(int, const QString &procedure, const QString &text, long number, int line,
                     std::optional<int>) override
    {
        reports.push_back({procedure, text, number, line});
    }
    std::vector<ErrorReport> reports;
};

// Settings kept in memory under "file|section|key" (as given: no case folding).
class StubOptions : public ext::IOptions {
public:
    QString readinistring(const QString &section, const QString &key,
                          const QString &file) const override
    {
        return ini.value(file % u'|' % section % u'|' % key);
    }
    void writeinistring(const QString &section, const QString &key, const QString &value,
                        const QString &file) override
    {
        if (log)
            *log << QStringLiteral("writeinistring ") % section % u' ' % key % u' ' % value % u' ' %
                        file;
        if (failWrites)
            throw VbError(75, QStringLiteral("writeinistring"),
                          QStringLiteral("Path/File access error"));
        ini.insert(file % u'|' % section % u'|' % key, value);
    }
    QString dask_ini() const override { return {}; }
    std::shared_ptr<ext::IDataCommand> dcobject() const override { return nullptr; }

    QMap<QString, QString> ini;
    QStringList *log = nullptr; // every write is appended here when set
    bool failWrites = false;
};

// The host environment the library's code sees, with every part in reach of
// the test: the connection text is given for `dataPath` only, the creators
// answer through `create` (nothing when unset), the user is absent.
class StubEnvironment : public ext::IEnvironment {
public:
    explicit StubEnvironment(QString data = {}, QString connectionText = {}, int loc = 1)
        : dataPath(std::move(data)), connection(std::move(connectionText)), location(loc)
    {
    }
    std::shared_ptr<ext::IErrorClass> ErrorClass() const override { return errors; }
    std::shared_ptr<ext::IOptions> Options() const override { return options; }
    QString GetConnectString(const QString &folder, int) const override
    {
        return folder == dataPath ? connection : QString();
    }
    QString data_path() const override { return dataPath; }
    QString nags_path() const override { return dataPath + QStringLiteral("nags/"); }
    Value Location() const override { return location; }
    QString SecurityToken() const override { return {}; }
    std::shared_ptr<ext::IUser> currentuser() const override { return nullptr; }
    std::shared_ptr<ComObject> safecreateobj(int kind) override { return made(kind); }
    std::shared_ptr<ComObject> SafeCreatenagsObj(int kind) override { return made(kind); }
    std::shared_ptr<ComObject> SafeCreateUIObj(int kind) override { return made(kind); }

    QString dataPath, connection;
    int location;
    std::shared_ptr<StubErrors> errors = std::make_shared<StubErrors>();
    std::shared_ptr<StubOptions> options = std::make_shared<StubOptions>();
    std::function<std::shared_ptr<ComObject>(int kind)> create;

private:
    std::shared_ptr<ComObject> made(int kind) const { return create ? create(kind) : nullptr; }
};

} // namespace orvane::test
