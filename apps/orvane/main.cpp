// orvane: the command-line tool of qorOrvaneUI.
#include "JsonRows.h"
#include "Ui.h"
#include "VbError.h"
#include "XmlDocument.h"
#include "dispatch/clsShowDispatch.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr const char *kUsage =
    "usage: orvane <command> [arguments]\n"
    "\n"
    "commands:\n"
    "  dispatch records FILE   print a dispatch's record sets as JSON (FILE '-' reads stdin)\n"
    "\n"
    "Run 'orvane <command> --help' for a command's details.\n";

constexpr const char *kDispatchUsage =
    "usage: orvane dispatch records FILE\n"
    "\n"
    "Parses the dispatch document FILE ('-' reads standard input) as the library\n"
    "does and prints one JSON object:\n"
    "  {\"dispatch\": [...], \"discounts\": [...], \"auths\": [...], \"damages\": [...]}\n"
    "Each row lists every field of its record set in field order; a field the\n"
    "document did not fill is null, dates are \"YYYY-MM-DD\".\n"
    "A failure prints the error's number, source and description to standard\n"
    "error and exits with 1.\n";

// The tool has no windows: a message box becomes a line on standard error.
class ConsoleUi : public orvane::Ui {
public:
    orvane::MsgResult msgBox(const QString &text, orvane::MsgButtons, orvane::MsgIcon,
                             const QString &title) override
    {
        const QString shown =
            (title.isEmpty() ? QString::fromUtf16(orvane::DefaultMsgTitle) : title) % u": "_s %
            text;
        std::fprintf(stderr, "%s\n", shown.toLocal8Bit().constData());
        return orvane::MsgResult::OK;
    }
    int showModal(QDialog *) override { return 0; }
    void doEvents() override {}
    QRect windowRect(orvane::WindowHandle) override { return {}; }
    QSize screenSize() override { return {}; }
};

void printError(const orvane::VbError &e)
{
    const QString text = u"error "_s % QString::number(e.number()) % u"\nsource: "_s % e.source() %
                         u"\n"_s % e.description();
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

// A document's bytes as text: a byte order mark or the declaration's encoding
// decides, UTF-8 otherwise.
QString decodeDocument(const QByteArray &bytes)
{
    if (auto bom = QStringConverter::encodingForData(bytes))
        return QStringDecoder(*bom).decode(bytes);
    static const QRegularExpression declaration(
        uR"(^\s*<\?xml[^>]*encoding\s*=\s*["']([A-Za-z0-9._-]+)["'])"_s);
    const auto m = declaration.match(QString::fromLatin1(bytes.left(200)));
    if (m.hasMatch()) {
        QStringDecoder decoder(m.captured(1).toLatin1().constData());
        if (decoder.isValid())
            return decoder.decode(bytes);
    }
    return QString::fromUtf8(bytes);
}

QByteArray readInput(const QString &path)
{
    QFile file;
    const bool opened = path == u"-"_s ? file.open(stdin, QIODevice::ReadOnly)
                                       : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened)
        throw orvane::VbError(53, u"orvane"_s, u"File not found: "_s % path);
    return file.readAll();
}

int dispatchRecords(const QString &path)
{
    QString text = decodeDocument(readInput(path));

    clsShowDispatch dispatch;
    dispatch.CreateRecordset();
    orvane::XmlDocument document;
    document.loadXml(text);
    dispatch.FillRecordset(document);

    // The getters parse the same text again, each into a fresh record set, as
    // the host would call them.
    clsShowDispatch groups;
    const orvane::Recordset discounts = groups.GetDiscounts(text);
    const orvane::Recordset auths = groups.GetAuths(text);
    const orvane::Recordset damages = groups.GetDamages(text);

    QByteArray out = "{\n  \"dispatch\": " % JsonRows::rows(dispatch.dispatchRecordset()) %
                     ",\n  \"discounts\": " % JsonRows::rows(discounts) % ",\n  \"auths\": " %
                     JsonRows::rows(auths) % ",\n  \"damages\": " % JsonRows::rows(damages) %
                     "\n}\n";
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return 0;
}

int dispatchCommand(const QStringList &args)
{
    if (args.isEmpty() || args[0] == u"--help"_s || args[0] == u"-h"_s) {
        std::fputs(kDispatchUsage, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    if (args[0] == u"records"_s) {
        if (args.size() == 2 && args[1] == u"--help"_s) {
            std::fputs(kDispatchUsage, stdout);
            return 0;
        }
        if (args.size() != 2) {
            std::fputs(kDispatchUsage, stderr);
            return 2;
        }
        return dispatchRecords(args[1]);
    }
    std::fprintf(stderr, "orvane dispatch: unknown subcommand '%s'\n\n%s",
                 args[0].toLocal8Bit().constData(), kDispatchUsage);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    orvane::Ui::install(std::make_shared<ConsoleUi>());
    QStringList args = app.arguments().mid(1);
    try {
        if (args.isEmpty() || args[0] == u"--help"_s || args[0] == u"-h"_s ||
            args[0] == u"help"_s) {
            std::fputs(kUsage, args.isEmpty() ? stderr : stdout);
            return args.isEmpty() ? 2 : 0;
        }
        const QString command = args.takeFirst();
        if (command == u"dispatch"_s)
            return dispatchCommand(args);
        std::fprintf(stderr, "orvane: unknown command '%s'\n\n%s",
                     command.toLocal8Bit().constData(), kUsage);
        return 2;
    } catch (...) {
        printError(orvane::currentError());
        return 1;
    }
}
