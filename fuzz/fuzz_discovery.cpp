// Discovery and control datagrams, and the address texts the server parses.
#include "fuzz/fuzzsupport.h"
#include "netsvc/kivoproto.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::init();
    const QByteArray in = fuzz::bytes(data, size);

    const Kivo::Command c = Kivo::dispatch(in);
    const quint8 type = Kivo::replyType(in);
    FUZZ_CHECK(type == Kivo::KIVO_TYPE_BROADCAST || type == Kivo::KIVO_TYPE_UDP);
    Kivo::isBroadcastRequest(in);
    const QString target = Kivo::targetMacHex(in);
    FUZZ_CHECK(target.isEmpty() || target.size() == 12);
    if (c == Kivo::Command::SetMacAdr)
        Kivo::macText(Kivo::newMacOf(in));

    const QString text = QString::fromUtf8(in);
    Kivo::Quad quad{};
    const bool quadOk = Kivo::parseQuad(text, &quad);
    if (Kivo::isDottedQuad(text))
        FUZZ_CHECK(quadOk);
    Kivo::Mac mac{};
    const bool macOk = Kivo::parseMac(text, &mac);
    if (Kivo::isMacText(text))
        FUZZ_CHECK(macOk);
    Kivo::broadcastOf(text);
    Kivo::ethReqReply(type, mac, quad, quad).size();
    return 0;
}
