#include "core/LibraryIcon.h"

#include <QFile>

using namespace Qt::StringLiterals;

// The resources live in a static library: nothing would pull their
// registration into the program unless something names it.
static void initLibraryResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(qorOrvaneUI);
        return true;
    }();
    (void)done;
}

namespace orvane::ui {

QIcon libraryIcon(int id)
{
    initLibraryResources();
    const QString path = u":/qorOrvaneUI/icon"_s % QString::number(id) % u".png"_s;
    if (!QFile::exists(path))
        return {};
    return QIcon(path);
}

} // namespace orvane::ui
