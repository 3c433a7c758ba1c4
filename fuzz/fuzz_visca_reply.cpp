// Everything a camera may send back, through every reply decoder.
#include "camera/vekreply.h"
#include "fuzz/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::init();
    const QByteArray in = fuzz::bytes(data, size);
    using namespace VekReply;

    byteAt(in, -1);
    byteAt(in, int(size));
    containsAckComplete(in);
    isPresetAck(in);
    QByteArray payload;
    if (bareAnswer(in, &payload, 1))
        FUZZ_CHECK(!payload.isEmpty() && !payload.contains(char(0xFF)) && payload.size() < in.size());
    if (framedAnswer(in, &payload, 1))
        FUZZ_CHECK(!payload.isEmpty() && !payload.contains(char(0xFF)) && payload.size() + 5 <= in.size());
    SystemStatus status;
    if (decodeSystemStatus(in, &status))
        FUZZ_CHECK(size == 15 && status.videoCode >= 0 && status.videoCode < 64);
    VersionInfo version;
    if (decodeVersion(in, &version))
        FUZZ_CHECK(size == 16 && version.model.size() == 3);
    const int shutter = shutterPosition(in);
    FUZZ_CHECK(shutter >= -1 && shutter <= 255);
    int gain = -7;
    if (framedGain(in, &gain))
        FUZZ_CHECK(gain >= 0 && gain <= 255);
    int state = -7;
    trackState(in, &state);
    FUZZ_CHECK(state >= -1 && state <= 15);
    const int profile = profileNumber(in);
    FUZZ_CHECK(profile == -1 || (profile >= 1 && profile <= 10));
    // What came back after a message, sorted against it: every byte lands in
    // the answer or among the dropped ones, none twice and none made up.
    const int sentLength = size ? data[0] % 16 : 0;
    const QByteArray sent = in.mid(1, sentLength);
    const QByteArray collected = in.mid(1 + sentLength);
    const Exchange x = sortExchange(sent, collected);
    FUZZ_CHECK(x.answer.size() + x.dropped.size() == collected.size());
    QString text;
    int index = 0;
    const int code = size ? data[0] : 0;
    // Several codes may share a format; the code chosen for its list
    // position must still give that format.
    if (videoFormatForCode(code, &text, &index)) {
        QString back;
        int backIndex = -1;
        FUZZ_CHECK(videoFormatForCode(videoCodeForIndex(index), &back, &backIndex) && back == text);
    }
    return 0;
}
