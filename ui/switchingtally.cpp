// Switching's tally: which camera lamp is red, green or off, and the order
// the commands go out in. Apart from switching.cpp because tally is the part
// an on-air mend touches most; the class and its owner thread are the same
// (the interface thread).
#include "ui/switching.h"

#include "camera/vekcameraobject.h"
#include "platform/threadcheck.h"
#include "ui/devicelines.h"
#include "ui/switcherstate.h"

#include <functional>
#include <utility>
#include <vector>

namespace {

enum TallyKind { TallyOff, TallyGreen, TallyRed };
using TallyOps = std::vector<std::pair<int, TallyKind>>;

void sendTally(DeviceLines *lines, TallyOps ops)
{
    if (!lines || ops.empty())
        return;
    lines->camera().post([ops = std::move(ops)](vekCameraObject &v) {
        for (const auto &op : ops) {
            switch (op.second) {
            case TallyOff: v.camTallyOff(op.first); break;
            case TallyGreen: v.greenTallyOn(op.first); break;
            case TallyRed: v.redTallyOn(op.first); break;
            }
        }
    });
}

// The lamp of source 1..3's camera; an offline camera never gets a tally
// command: its line may be the one that holds up the next inquiry.
void addLamp(TallyOps &ops, const std::function<bool(int)> &camOnline, int source, TallyKind kind)
{
    if (source >= 1 && source <= 3 && camOnline(source - 1))
        ops.emplace_back(source - 1, kind);
}

} // namespace

// ---------------------------------------------------------------- tally

void Switching::updateTally(bool programPress)
{
    TAVRIK_ASSERT_OWNER(this);
    TallyOps ops;
    if (tallyOnAirSources()) {
        // Offs first, then green, then red, so no camera is lit twice over.
        for (TallyKind kind : {TallyOff, TallyGreen, TallyRed})
            for (int cam = 0; cam < 3; ++cam)
                if (camOnline_(cam) && tallyFor(cam) == kind)
                    ops.emplace_back(cam, kind);
        sendTally(lines_, std::move(ops));
        return;
    }
    const int program = state_->programNo();
    const int preview = state_->previewNo();
    for (int cam = 0; cam < 3; ++cam)
        if (cam + 1 != program && cam + 1 != preview && camOnline_(cam))
            ops.emplace_back(cam, TallyOff);
    auto lamp = [&](int source, TallyKind kind) { addLamp(ops, camOnline_, source, kind); };
    if (programPress && program != preview) {
        lamp(program, TallyRed);
        lamp(preview, TallyGreen);
    } else {
        lamp(preview, TallyGreen);
        lamp(program, TallyRed);
    }
    sendTally(lines_, std::move(ops));
}

void Switching::tallyCamera(int camera)
{
    TAVRIK_ASSERT_OWNER(this);
    if (camera < 0 || camera > 2 || !camOnline_(camera))
        return;
    sendTally(lines_, {{camera, TallyKind(tallyFor(camera))}});
}

int Switching::tallyFor(int camera) const
{
    const int source = camera + 1;
    if (tallyOnAirSources())
        return state_->onAir(source) ? TallyRed : state_->onPreview(source) ? TallyGreen : TallyOff;
    return state_->programNo() == source ? TallyRed : state_->previewNo() == source ? TallyGreen : TallyOff;
}

void Switching::tallyPair(int preview, int program)
{
    TAVRIK_ASSERT_OWNER(this);
    TallyOps ops;
    addLamp(ops, camOnline_, preview, TallyGreen);
    addLamp(ops, camOnline_, program, TallyRed);
    sendTally(lines_, std::move(ops));
}
