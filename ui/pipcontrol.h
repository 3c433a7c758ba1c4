#pragma once

#include "ui/pagelogic.h"

// The picture-in-picture pop-up's logic: position and size of the inset
// (slider and drag on the miniature), its crop, source and border. Values
// the mainboard reports (through the switcher state) replace the page's.
// Lives on the interface thread; every call comes from there.
class PipControl : public PageLogic
{
    Q_OBJECT
    Q_PROPERTY(int posX READ posX NOTIFY valuesChanged)
    Q_PROPERTY(int posY READ posY NOTIFY valuesChanged)
    Q_PROPERTY(int posZ READ posZ NOTIFY valuesChanged)
    Q_PROPERTY(int cropLeft READ cropLeft NOTIFY valuesChanged)
    Q_PROPERTY(int cropRight READ cropRight NOTIFY valuesChanged)
    Q_PROPERTY(int cropTop READ cropTop NOTIFY valuesChanged)
    Q_PROPERTY(int cropBottom READ cropBottom NOTIFY valuesChanged)
    Q_PROPERTY(int cropSize READ cropSize NOTIFY valuesChanged)
    // What the position slider drives, and the value it shows (0..100).
    Q_PROPERTY(int sliderMode READ sliderMode WRITE setSliderMode NOTIFY valuesChanged)
    Q_PROPERTY(int sliderValue READ sliderValue NOTIFY valuesChanged)
    // Which crop value the crop slider and arrows drive, and its value.
    Q_PROPERTY(int cropSel READ cropSel WRITE setCropSel NOTIFY valuesChanged)
    Q_PROPERTY(int cropValue READ cropValue NOTIFY valuesChanged)
    Q_PROPERTY(int source READ source NOTIFY valuesChanged)
    Q_PROPERTY(int borderSize READ borderSize NOTIFY valuesChanged)
    Q_PROPERTY(int borderColor READ borderColor NOTIFY valuesChanged)
public:
    enum SliderMode { ModeX, ModeY, ModeSize };
    Q_ENUM(SliderMode)
    enum Crop { CropLeft, CropRight, CropTop, CropBottom, CropSize };
    Q_ENUM(Crop)

    explicit PipControl(Panel *panel = nullptr, QObject *parent = nullptr);

    int posX() const { return posX_; }
    int posY() const { return posY_; }
    int posZ() const { return posZ_; }
    int cropLeft() const { return crop_[CropLeft]; }
    int cropRight() const { return crop_[CropRight]; }
    int cropTop() const { return crop_[CropTop]; }
    int cropBottom() const { return crop_[CropBottom]; }
    int cropSize() const { return crop_[CropSize]; }
    int sliderMode() const { return sliderMode_; }
    void setSliderMode(int mode);
    int sliderValue() const;
    int cropSel() const { return cropSel_; }
    void setCropSel(int sel);
    int cropValue() const { return crop_[cropSel_]; }
    int source() const { return source_; }
    int borderSize() const { return borderSize_; }
    int borderColor() const { return borderColor_; }

    // The miniature: a point clamped to a w x h area -> posX, posY.
    static int mapX(double x, double width);
    static int mapY(double y, double height);
    // The inset drawn at size and crop inside a w x h miniature:
    // {x, y, width, height} of the visible part.
    Q_INVOKABLE QVariantList insetRect(double width, double height) const;

    Q_INVOKABLE void sliderMoved(int value);
    Q_INVOKABLE void sliderReleased(int value);
    Q_INVOKABLE void dragTo(double x, double y, double width, double height);
    Q_INVOKABLE void dragReleased(double x, double y, double width, double height);
    Q_INVOKABLE void resetPosition();

    Q_INVOKABLE void cropStep(int delta);
    Q_INVOKABLE void cropSliderMoved(int value);
    Q_INVOKABLE void cropSliderReleased(int value);
    Q_INVOKABLE void resetCrop();

    Q_INVOKABLE void chooseSource(int source);
    Q_INVOKABLE void chooseBorderSize(int code);
    Q_INVOKABLE void chooseBorderColor(int code);

    // The mainboard's report (sendPipSettings).
    void applyReport(int size, int x, int y, int cropSize, int left, int right, int top, int bottom);

signals:
    void valuesChanged();

protected:
    void attach() override;

private:
    // Posts a write; counts it until the lane has run it.
    template <typename F> void post(F &&fn);
    // An earlier write is still queued: a moving finger's intermediate
    // values are skipped (the release always sends), so a drag never piles
    // writes on the lane in front of a CUT.
    bool busy() const { return inFlight_ > 0; }
    void sendX(bool check);
    void sendY(bool check);
    void sendCrop(int sel, int value, bool check);
    void applySlider(int value);

    int posX_ = 0;
    int posY_ = 0;
    int posZ_ = 50;
    int crop_[5] = {0, 0, 0, 0, 0};
    int sliderMode_ = ModeX;
    int cropSel_ = CropLeft;
    int source_ = -1;
    int borderSize_ = -1;
    int borderColor_ = -1;
    // The last slider value applied, -1 before the first.
    int lastSlider_ = -1;
    int lastCropSlider_ = -1;
    // Pointer position (pixels) at the last value sent per axis.
    double lastDragX_ = -1e9;
    double lastDragY_ = -1e9;
    int inFlight_ = 0;
};
