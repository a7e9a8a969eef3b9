// Whatever a client sends, the network server's reader refuses it with a
// reason or reads a request the network then answers or refuses.
#include "transport/NetworkProtocol.h"
#include <qorOrvaneUI/transport/NetworkAnswers.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace orvane::transport;
    const QByteArray body(reinterpret_cast<const char *>(data), qsizetype(size));
    QString why;
    const auto request = protocol::readRequest(body, &why);
    if (!request) {
        if (why.isEmpty())
            std::abort(); // a refusal always says why
        return 0;
    }
    static const NetworkAnswerer answerer;
    orvane::XmlDocument document;
    document.loadXml(request->document);
    orvane::XmlDocument out = protocol::newAnswer(request->messageId, QStringLiteral("R"), false);
    orvane::XmlNode answers = out.documentElement();
    try {
        answerer.answer(request->rectype, request->recid, document, out, answers);
    } catch (const Refused &) {
        return 0;
    }
    // The answer must read back as an answer to the same message.
    if (!protocol::readAnswer(out.xml().toUtf8(), request->messageId, protocol::DefaultSizeLimit,
                              nullptr))
        std::abort();
    return 0;
}
