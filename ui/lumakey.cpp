#include "ui/lumakey.h"

#include "platform/threadcheck.h"
#include "switcher/commandexecobject.h"
#include "ui/timeseam.h"

LumaKey::LumaKey(Panel *panel, QObject *parent)
    : PageLogic(panel, parent)
    , cleanupTimer_(new SeamTimer(150, false, this))
    , transparencyTimer_(new SeamTimer(100, false, this))
{
    connect(cleanupTimer_, &SeamTimer::timeout, this, [this] {
        cleanup_ = pendingCleanup_;
        emit changed();
        const int v = cleanup_;
        if (ready())
            onMainboard([v](commandExecObject &m) { m.writelumakeyCleanupLevel(v); });
    });
    connect(transparencyTimer_, &SeamTimer::timeout, this, [this] {
        transparency_ = pendingTransparency_;
        emit changed();
        const int v = transparency_;
        if (ready())
            onMainboard([v](commandExecObject &m) { m.writelumakeyTransparency(v); });
    });
    attachIfReady();
}

void LumaKey::attach()
{
    SwitcherState *state = switcher();
    if (!lines() || !lines()->mainboard().object())
        return;
    connect(state, &SwitcherState::lumaAudioReported, this, [this, state] {
        mode_ = state->lumaMode() ? 1 : 0;
        cleanup_ = pendingCleanup_ = qBound(0, state->lumaCleanUpLevel(), 100);
        transparency_ = pendingTransparency_ = qBound(0, state->lumaTransparency(), 64);
        emit changed();
    });
    connect(state, &SwitcherState::pipReported, this, [this, state] { cropSize_ = state->pipCropSize(); });
}

void LumaKey::opened()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!connected())
        return;
    const int known = cropSize_;
    // The board's luma values for the sliders (sendLumaAudio), then the size.
    onMainboard([](commandExecObject &m) { m.readLumaAudio(); });
    onMainboard([known](commandExecObject &m) {
        if (known >= 0) {
            m.writePipCropSize(known);
            return;
        }
        // Never reported yet: read the record first, so the size sent is the
        // board's own and not a zero that would undo its crop.
        m.refreshPipCropPage();
        m.writePipCropSize(m.pipCropSize());
    });
}

void LumaKey::chooseSource(int source)
{
    TAVRIK_ASSERT_OWNER(this);
    if (source < 0 || source > 6)
        return;
    source_ = source;
    emit changed();
    if (connected())
        // The key's fill as seen on air comes with the status record.
        onMainboard([source](commandExecObject &m) {
            if (m.writeKeySource(source))
                m.refreshStatus2();
        });
}

void LumaKey::chooseMode(int mode)
{
    TAVRIK_ASSERT_OWNER(this);
    mode_ = mode ? 1 : 0;
    emit changed();
    const int m0 = mode_;
    if (connected())
        onMainboard([m0](commandExecObject &m) { m.writelumakeyMode(m0); });
}

void LumaKey::cleanupMoved(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    // Slider bindings fire while the start-up sequence fills the page.
    if (!panel() || !panel()->systemEnabled())
        return;
    pendingCleanup_ = qBound(0, value, 100);
    cleanupTimer_->start();
}

void LumaKey::transparencyMoved(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!panel() || !panel()->systemEnabled())
        return;
    pendingTransparency_ = qBound(0, value, 64);
    transparencyTimer_->start();
}
