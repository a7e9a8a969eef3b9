// Whatever the network answers, the service's reader refuses it cleanly or
// the answer is filed in the staging tables, or refused, without a crash.
#include "fuzz/FuzzShop.h"
#include "transport/NetworkProtocol.h"
#include <qorOrvaneUI/external/IRsTable.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/transport/NetworkAnswers.h>

#include <cstddef>
#include <cstdint>

namespace {

constexpr const char *kMessage = "F0220000000000000000000000000001";

const char *requestFor(const QString &answerName)
{
    if (answerName == QStringLiteral("AuthorizationAnswer"))
        return "<Authorization><AuthorizationHeader><SessionID>S1</SessionID>"
               "</AuthorizationHeader><AuthorizationDetails><AuthorizationType><Type>G</Type>"
               "<LineNumber>1</LineNumber><RequestPart>FW1</RequestPart><RequestQuantity>1"
               "</RequestQuantity><RequestPrice>10</RequestPrice></AuthorizationType>"
               "<AuthorizationType><Type>L</Type><LineNumber>2</LineNumber></AuthorizationType>"
               "</AuthorizationDetails></Authorization>";
    if (answerName == QStringLiteral("LossNoticeAnswer"))
        return "<LossNotice><LossNoticeHeader><SessionID>N1</SessionID></LossNoticeHeader>"
               "</LossNotice>";
    return "<LossNoticeAcknowledgement><LossReferenceNumber>LR-1</LossReferenceNumber>"
           "<AcceptWork>Y</AcceptWork></LossNoticeAcknowledgement>";
}

QString recordType(const QString &answerName)
{
    if (answerName == QStringLiteral("AuthorizationAnswer"))
        return QStringLiteral("AUTHREQ");
    if (answerName == QStringLiteral("LossNoticeAnswer"))
        return QStringLiteral("ENOL");
    return QStringLiteral("LOSSAH");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace orvane;
    const QByteArray body(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto answer = transport::protocol::readAnswer(body, QString::fromLatin1(kMessage),
                                                        qint64(64) * 1024, nullptr);
    if (!answer || answer->refused)
        return 0;
    auto &shop = fuzz::FuzzShop::instance();
    shop.clear();
    // The loss notice the confirmation answers.
    auto enol = CreateObject<ext::IRsTable>(QString::fromUtf16(ext::progid::g_enol));
    enol->setEnv(shop.env());
    enol->get_rs(QStringLiteral("g_enol.guid = 'N1' and g_enol.guid <> 'N1'"));
    Recordset notice = enol->itemsrecordset();
    notice.addNew();
    notice.field(QStringLiteral("guid")).setValue(QStringLiteral("N1"));
    enol->Update();

    const XmlNode first = answer->answers().firstChild();
    const QString name = first.isNull() ? QString() : first.nodeName();
    XmlDocument request;
    request.loadXml(QString::fromLatin1(requestFor(name)));
    try {
        transport::AnswerWriter(shop.env())
            .write(recordType(name), QStringLiteral("R1"), request, answer->answers(), Value(7),
                   Value(1));
    } catch (const transport::Refused &) {
    } catch (const VbError &) {
    }
    return 0;
}
