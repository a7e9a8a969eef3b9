#pragma once

#include <qorOrvaneUI/external/ITableObject.h>

#include <QString>

namespace orvane::ext {

// g_ackn (qorOrvaneOut.g_ackncls): authorization answers and the rows the
// library records for a request it sends.
class Ig_ackn : public ITableObject {
public:
    // Loads the answer rows matching `filter`.
    virtual void Get_g_ACKN(const QString &filter) = 0;
    // Fills itemsrecordset with one new row per line of an outgoing
    // authorization document (`xml`: its text), for the library to complete.
    virtual void get_ackfromxml(const QString &xml) = 0;
    // While true, the object saves nothing on its own (get_ackfromxml only
    // fills rows); the library sets it false around each Update.
    virtual bool blnnosave() const = 0;
    virtual void setblnnosave(bool noSave) = 0;
};

} // namespace orvane::ext
