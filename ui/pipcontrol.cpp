#include "ui/pipcontrol.h"

#include "platform/threadcheck.h"
#include "switcher/commandexecobject.h"

#include <QVariantList>

#include <cmath>

namespace {
// More than this many slider steps or pixels since the last value sent
// sends again while the finger is still moving.
constexpr int kMoveThreshold = 5;
} // namespace

PipControl::PipControl(Panel *panel, QObject *parent) : PageLogic(panel, parent) { attachIfReady(); }

void PipControl::attach()
{
    SwitcherState *state = switcher();
    if (!lines() || !lines()->mainboard().object())
        return;
    connect(state, &SwitcherState::pipReported, this, [this, state] {
        applyReport(state->pipSize(), state->pipPosX(), state->pipPosY(), state->pipCropSize(), state->pipCropLeft(),
                    state->pipCropRight(), state->pipCropTop(), state->pipCropBottom());
    });
    connect(state, &SwitcherState::bordersReported, this, [this, state] {
        borderSize_ = state->pipBorderSize();
        borderColor_ = state->pipBorderColor();
        emit valuesChanged();
    });
    // The pop-up is made when it opens: show the board's values, not defaults.
    if (connected())
        onMainboard([](commandExecObject &m) { m.readUserMenuSetting3(); });
}

void PipControl::applyReport(int size, int x, int y, int cropSize, int left, int right, int top, int bottom)
{
    TAVRIK_ASSERT_OWNER(this);
    posZ_ = qBound(1, size, 100);
    posX_ = qBound(-50, x, 50);
    posY_ = qBound(-50, y, 50);
    const int crops[5] = {left, right, top, bottom, cropSize};
    for (int i = 0; i < 5; ++i)
        crop_[i] = qBound(0, crops[i], 100);
    emit valuesChanged();
}

void PipControl::setSliderMode(int mode)
{
    TAVRIK_ASSERT_OWNER(this);
    if (mode < ModeX || mode > ModeSize || mode == sliderMode_)
        return;
    sliderMode_ = mode;
    lastSlider_ = sliderValue();
    emit valuesChanged();
}

int PipControl::sliderValue() const
{
    return sliderMode_ == ModeX ? posX_ + 50 : sliderMode_ == ModeY ? posY_ + 50 : posZ_;
}

void PipControl::setCropSel(int sel)
{
    TAVRIK_ASSERT_OWNER(this);
    if (sel < CropLeft || sel > CropSize || sel == cropSel_)
        return;
    cropSel_ = sel;
    lastCropSlider_ = crop_[sel];
    emit valuesChanged();
}

int PipControl::mapX(double x, double width)
{
    if (width <= 0)
        return 0;
    return int(100.0 * qBound(0.0, x, width) / width - 50.0);
}

int PipControl::mapY(double y, double height)
{
    if (height <= 0)
        return 0;
    return int(100.0 * (1.0 - qBound(0.0, y, height) / height) - 50.0);
}

QVariantList PipControl::insetRect(double width, double height) const
{
    TAVRIK_ASSERT_OWNER(this);
    const double w = width * posZ_ / 100.0;
    const double h = height * posZ_ / 100.0;
    const double cx = width * (posX_ + 50) / 100.0;
    const double cy = height * (50 - posY_) / 100.0;
    // The crop size takes its share off both sides; each side crop off its own.
    const double cs = crop_[CropSize] / 200.0;
    const double left = w * (cs + crop_[CropLeft] / 100.0);
    const double right = w * (cs + crop_[CropRight] / 100.0);
    const double top = h * (cs + crop_[CropTop] / 100.0);
    const double bottom = h * (cs + crop_[CropBottom] / 100.0);
    const double x0 = cx - w / 2 + left;
    const double y0 = cy - h / 2 + top;
    return {x0, y0, std::max(0.0, w - left - right), std::max(0.0, h - top - bottom)};
}

template <typename F> void PipControl::post(F &&fn)
{
    DeviceLines *l = lines();
    if (!l)
        return;
    ++inFlight_;
    l->mainboard().post(std::forward<F>(fn), this, [this] { --inFlight_; });
}

void PipControl::sendX(bool check)
{
    const int x = posX_;
    post([x, check](commandExecObject &m) { m.writePipPosX(x, check); });
}

void PipControl::sendY(bool check)
{
    const int y = posY_;
    post([y, check](commandExecObject &m) { m.writePipPosY(y, check); });
}

void PipControl::applySlider(int value)
{
    value = qBound(0, value, 100);
    lastSlider_ = value;
    switch (sliderMode_) {
    case ModeX:
        posX_ = value - 50;
        sendX(false);
        break;
    case ModeY:
        posY_ = value - 50;
        sendY(false);
        break;
    default: {
        posZ_ = qBound(1, value, 100);
        const int z = posZ_;
        post([z](commandExecObject &m) { m.writePipSize(z); });
        sendX(false);
        sendY(false);
        break;
    }
    }
    emit valuesChanged();
}

void PipControl::sliderMoved(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    if (lastSlider_ < 0)
        lastSlider_ = sliderValue();
    if (std::abs(value - lastSlider_) > kMoveThreshold && !busy())
        applySlider(value);
}

void PipControl::sliderReleased(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    applySlider(value);
}

void PipControl::dragTo(double x, double y, double width, double height)
{
    TAVRIK_ASSERT_OWNER(this);
    x = qBound(0.0, x, width);
    y = qBound(0.0, y, height);
    posX_ = mapX(x, width);
    posY_ = mapY(y, height);
    emit valuesChanged();
    if (busy())
        return;
    if (std::abs(x - lastDragX_) > kMoveThreshold) {
        lastDragX_ = x;
        sendX(false);
    }
    if (std::abs(y - lastDragY_) > kMoveThreshold) {
        lastDragY_ = y;
        sendY(false);
    }
}

void PipControl::dragReleased(double x, double y, double width, double height)
{
    TAVRIK_ASSERT_OWNER(this);
    posX_ = mapX(x, width);
    posY_ = mapY(y, height);
    lastDragX_ = lastDragY_ = -1e9;
    sendX(true);
    sendY(true);
    emit valuesChanged();
}

void PipControl::resetPosition()
{
    TAVRIK_ASSERT_OWNER(this);
    posX_ = posY_ = 0;
    posZ_ = 50;
    onMainboard([](commandExecObject &m) {
        m.resetPipSizeXYPos();
        m.writePipPosX(0);
        m.writePipPosY(0);
    });
    emit valuesChanged();
}

void PipControl::sendCrop(int sel, int value, bool check)
{
    crop_[sel] = value;
    emit valuesChanged();
    if (!connected())
        return;
    post([sel, value, check](commandExecObject &m) {
        switch (sel) {
        case CropLeft: m.writePipCropLeft(value, check); break;
        case CropRight: m.writePipCropRight(value, check); break;
        case CropTop: m.writePipCropTop(value, check); break;
        case CropBottom: m.writePipCropBottom(value, check); break;
        default: m.writePipCropSize(value, check); break;
        }
    });
}

void PipControl::cropStep(int delta)
{
    TAVRIK_ASSERT_OWNER(this);
    const int value = qBound(0, crop_[cropSel_] + delta, 100);
    if (value == crop_[cropSel_])
        return;
    lastCropSlider_ = value;
    sendCrop(cropSel_, value, false);
}

void PipControl::cropSliderMoved(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    value = qBound(0, value, 100);
    if (lastCropSlider_ < 0)
        lastCropSlider_ = crop_[cropSel_];
    if (std::abs(value - lastCropSlider_) <= kMoveThreshold || value == crop_[cropSel_] || busy())
        return;
    lastCropSlider_ = value;
    sendCrop(cropSel_, value, false);
}

void PipControl::cropSliderReleased(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    value = qBound(0, value, 100);
    lastCropSlider_ = value;
    sendCrop(cropSel_, value, true);
}

void PipControl::resetCrop()
{
    TAVRIK_ASSERT_OWNER(this);
    for (int &c : crop_)
        c = 0;
    lastCropSlider_ = 0;
    onMainboard([](commandExecObject &m) { m.resetPipCrop(); });
    emit valuesChanged();
}

void PipControl::chooseSource(int source)
{
    TAVRIK_ASSERT_OWNER(this);
    if (source < 0 || source > 6)
        return;
    source_ = source;
    emit valuesChanged();
    // The status record names the source that is seen (split or PiP), and
    // the buses and tally show it as on air: read back at once.
    onMainboard([source](commandExecObject &m) {
        if (m.writePipSource(source))
            m.refreshStatus2();
    });
}

void PipControl::chooseBorderSize(int code)
{
    TAVRIK_ASSERT_OWNER(this);
    borderSize_ = code;
    emit valuesChanged();
    if (connected())
        onMainboard([code](commandExecObject &m) { m.writePipSplitBorderSize(code); });
}

void PipControl::chooseBorderColor(int code)
{
    TAVRIK_ASSERT_OWNER(this);
    borderColor_ = code;
    emit valuesChanged();
    if (connected())
        onMainboard([code](commandExecObject &m) { m.writePipSplitBorderColor(code); });
}
