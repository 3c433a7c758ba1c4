// The control API's messages as a client sends them: the parser must take
// only what it promises (fields in range) and never read past the input.
#include "fuzz/fuzzsupport.h"
#include "netsvc/apiproto.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::init();
    const QByteArray in = fuzz::bytes(data, size);
    const Api::Parsed p = Api::parse(in);
    if (!p.ok) {
        FUZZ_CHECK(!p.error.isEmpty());
        return 0;
    }
    const Api::Command &c = p.command;
    FUZZ_CHECK(in.size() <= Api::kMaxMessageBytes);
    FUZZ_CHECK(c.id >= -1 && c.id <= 0x7fffffff);
    switch (c.kind) {
    case Api::Command::Program:
    case Api::Command::Preview: FUZZ_CHECK(c.source >= 0 && c.source <= 5); break;
    case Api::Command::MemoryRecall: FUZZ_CHECK(c.memory >= 1 && c.memory <= 6); break;
    case Api::Command::PresetRecall:
    case Api::Command::PresetStore: FUZZ_CHECK(c.camera >= 1 && c.camera <= 3 && c.preset >= 1 && c.preset <= 4); break;
    case Api::Command::Login:
        FUZZ_CHECK(c.role != Api::Role::None && c.response.size() == 32);
        Api::sameBytes(Api::loginResponse(in, in.left(Api::kNonceBytes), c.role), c.response);
        break;
    case Api::Command::Move: FUZZ_CHECK(c.pan >= -1 && c.pan <= 1 && c.tilt >= -1 && c.tilt <= 1); break;
    case Api::Command::Zoom: FUZZ_CHECK(c.zoom >= -1 && c.zoom <= 1); break;
    default: break;
    }
    // Whatever came in can be echoed back as valid JSON.
    FUZZ_CHECK(!Api::reply(c.id, p.error).isEmpty());
    return 0;
}
