#pragma once

#include <qorOrvaneUI/external/IDataCommand.h>

#include <memory>

namespace orvane {

// The host shares one data-command object across its own code; pointing it at
// another database (the catalogue, the insurer list) for a few queries must not
// leave it there, or the host's next query runs on the wrong database without
// any error. Holds the host's connection text and puts it back on leaving.
class DataCommandScope {
public:
    DataCommandScope(std::shared_ptr<ext::IDataCommand> command, const QString &connection)
        : command_(std::move(command)), saved_(command_->constructstring())
    {
        command_->setconstructstring(connection);
    }
    ~DataCommandScope()
    {
        try {
            command_->setconstructstring(saved_);
        } catch (...) {
            // A destructor must not throw; the host's own object refused its old text.
        }
    }
    DataCommandScope(const DataCommandScope &) = delete;
    DataCommandScope &operator=(const DataCommandScope &) = delete;

private:
    std::shared_ptr<ext::IDataCommand> command_;
    QString saved_;
};

} // namespace orvane
