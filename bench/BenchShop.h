#pragma once

#include "host/HostInvoice.h"
#include "host/ReferenceHost.h"
#include "transport/TableObjects.h"
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/ILineItems.h>
#include <qorOrvaneUI/widgets/Ui.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

#include <unistd.h>

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
        // The offscreen platform says this at every fixed-size window; it is
        // not news, and it would bury the figures.
        static QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &context, const QString &text) {
                if (previous && !text.startsWith(QLatin1String("This plugin does not support")))
                    previous(type, context, text);
            });
        return new QApplication(argc, argv);
    }();
    (void)app;
}

// The process's resident memory in kilobytes.
inline double residentKb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / 1024.0 : 0;
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

// Puts `lines` lines of the usual mix (glass, moulding, kit, labour) in place
// of the order's own; nothing is saved.
inline void setLines(ext::IInvoice &order, int lines)
{
    using namespace Qt::StringLiterals;
    Recordset rs = order.getlineitems()->itemsrecordset();
    if (rs.recordCount() > 0) {
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            rs.deleteRow();
    }
    static const char16_t *kinds[] = {u"G WS", u"H ML", u"K LU", u"L"};
    for (int i = 0; i < lines; ++i) {
        rs.addNew();
        rs.setValue(u"mfr_part"_s, u"FW%1GTNN"_s.arg(i, 5, 10, QChar(u'0')));
        rs.setValue(u"part"_s, i % 4 == 3 ? u"BACKTINT"_s : u"FW%1"_s.arg(i));
        rs.setValue(u"typeofpart"_s, QString::fromUtf16(kinds[i % 4]));
        rs.setValue(u"mfr"_s, i % 2 ? u"2"_s : u"NAG"_s);
        rs.setValue(u"net"_s, 10.0 + i);
        rs.setValue(u"quantity"_s, 1);
        rs.update();
    }
}

// Shows a dialog, lets the events its showing posted run (layout, paint), and
// closes it, as a user who opens a view and closes it at once. A message box
// means the view failed to load; it is counted, never shown.
// Answers the dialog's widget count.
inline int showAndClose(QDialog *dialog)
{
    dialog->show();
    QCoreApplication::processEvents();
    dialog->done(QDialog::Rejected);
    return int(dialog->findChildren<QWidget *>().size());
}

class ShowAndCloseUi : public QtUi {
public:
    MsgResult msgBox(const QString &, MsgButtons, MsgIcon, const QString &) override
    {
        ++boxes;
        return MsgResult::OK;
    }
    int showModal(QDialog *dialog) override
    {
        widgets = showAndClose(dialog);
        return QDialog::Rejected;
    }
    int boxes = 0;
    int widgets = 0; // of the last dialog shown
};

// Installs a ShowAndCloseUi for the life of the guard.
struct ShowAndClose {
    std::shared_ptr<ShowAndCloseUi> ui = std::make_shared<ShowAndCloseUi>();
    std::shared_ptr<Ui> previous = Ui::install(ui);
    ~ShowAndClose() { Ui::install(previous); }
};

} // namespace orvane::bench
