// Mainboard replies: the acknowledgement and checksum checks, the removal of
// acknowledgements from a read's reply, the status record and the user-menu
// records decoded from whatever the line delivered.
#include "fuzz/fuzzsupport.h"
#include "mainboard/zarvomu.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::init();
    const QByteArray in = fuzz::bytes(data, size);

    zarvoMu::isStatusAckLength(in);
    const bool acked = zarvoMu::checkWriteCommandAck(in);
    FUZZ_CHECK(!acked || (in.size() >= 2 && (quint8(in.at(1)) & 0x80)));
    // The last byte is the low byte of the sum of all before it.
    unsigned sum = 0;
    for (int i = 0; i + 1 < in.size(); ++i)
        sum += quint8(in.at(i));
    FUZZ_CHECK(zarvoMu::checkChecksum(in) == (size >= 2 && quint8(sum) == data[size - 1]));
    const QByteArray body = in.left(in.size() - 1);
    FUZZ_CHECK(zarvoMuCommandPacks::calcCheckSumByte(body)
               == zarvoMuCommandPacks::truncateCheckSum(zarvoMuCommandPacks::calcCheckSum(body)));

    const QByteArray cleaned = zarvoMu::getReadResponse(in);
    FUZZ_CHECK(!cleaned.contains(QByteArray("\x02\x80\x82", 3)));
    FUZZ_CHECK(cleaned.size() <= in.size() && (in.size() - cleaned.size()) % 3 == 0);

    COMMANDFORMAT frame(readProgram, size > 0 ? data[0] : 0, size > 1 ? data[1] : 0, size > 2 ? data[2] : 0);
    if (size > 3)
        frame.message.assign(data + 3, data + size);
    const size_t before = frame.message.size();
    zarvoMu::checkRecieveWriteCommandCheckSum(frame);
    FUZZ_CHECK(frame.message.size() == (before ? before - 1 : 0));

    // Every bit of the six status bytes has a field: the record must give
    // back exactly what it was made from.
    const zarvoMuStatus status = zarvoMuStatus::fromBytes(in);
    QByteArray six = in.left(6);
    six.append(QByteArray(6 - six.size(), '\0'));
    FUZZ_CHECK(status.toBytes() == six);

    const uint8_t *record = size >= 8 ? data : nullptr;
    FUZZ_CHECK(pipSetting::fromBytes(record).toBytes() == (record ? in.left(8) : QByteArray(8, '\0')));
    machineInfoSetting::fromBytes(record);
    return 0;
}
