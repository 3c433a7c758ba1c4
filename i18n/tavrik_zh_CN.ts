<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CameraPopup</name>
    <message>
        <location filename="../qml/popups/CameraPopup.qml" line="+17"/>
        <source>Camera</source>
        <translation>摄像机</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>CAM 1</source>
        <translation>摄像机 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CAM 2</source>
        <translation>摄像机 2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CAM 3</source>
        <translation>摄像机 3</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>White balance</source>
        <translation>白平衡</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+61"/>
        <location line="+31"/>
        <source>Auto</source>
        <translation>自动</translation>
    </message>
    <message>
        <location line="-92"/>
        <source>One push</source>
        <translation>一键</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+61"/>
        <location line="+31"/>
        <source>Manual</source>
        <translation>手动</translation>
    </message>
    <message>
        <location line="-85"/>
        <source>Gain</source>
        <translation>增益</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Red</source>
        <translation>红</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Blue</source>
        <translation>蓝</translation>
    </message>
    <message>
        <location line="+24"/>
        <location line="+101"/>
        <source>Shutter</source>
        <translation>快门</translation>
    </message>
    <message>
        <location line="-79"/>
        <source>Focus</source>
        <translation>对焦</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Near</source>
        <translation>近</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Far</source>
        <translation>远</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Iris</source>
        <translation>光圈</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Close</source>
        <translation>收小</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Open</source>
        <translation>开大</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Back</source>
        <translation>返回</translation>
    </message>
</context>
<context>
    <name>DigitKeyboard</name>
    <message>
        <location filename="../qml/controls/DigitKeyboard.qml" line="+46"/>
        <source>Done</source>
        <translation>完成</translation>
    </message>
</context>
<context>
    <name>ImageKeys</name>
    <message>
        <location filename="../ui/imagekeys.cpp" line="+137"/>
        <source>No camera signal detected

Image Key function requires a connected camera to operate.</source>
        <translation>未检测到摄像机信号

图像键功能需要连接摄像机才能使用。</translation>
    </message>
</context>
<context>
    <name>ImageKeysPage</name>
    <message>
        <location filename="../qml/pages/ImageKeysPage.qml" line="+25"/>
        <source>Back</source>
        <translation>返回</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Image keys</source>
        <translation>图像键</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Press a key of CAM %1 to store</source>
        <translation>按摄像机 %1 的图像键以保存</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>STORE</source>
        <translation>保存</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>CAM %1</source>
        <translation>摄像机 %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>No signal</source>
        <translation>无信号</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Joystick camera</source>
        <translation>摇杆控制中</translation>
    </message>
    <message>
        <location line="+85"/>
        <source>Auto-tracking is on: image keys are hidden</source>
        <translation>自动跟踪已开启：图像键已隐藏</translation>
    </message>
</context>
<context>
    <name>ToggleSwitch</name>
    <message>
        <location filename="../qml/controls/ToggleSwitch.qml" line="+9"/>
        <source>ON</source>
        <translation>开</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OFF</source>
        <translation>关</translation>
    </message>
</context>
<context>
    <name>TrackingSetupPopup</name>
    <message>
        <location filename="../qml/popups/TrackingSetupPopup.qml" line="+20"/>
        <source>Auto tracking</source>
        <translation>自动跟踪</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Framing</source>
        <translation>构图</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Indicators</source>
        <translation>指示与位置</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>CAM %1</source>
        <translation>摄像机 %1</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>No signal</source>
        <translation>无信号</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>No tracking</source>
        <translation>不支持跟踪</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Joystick drives CAM %1</source>
        <translation>摇杆控制摄像机 %1</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Placement</source>
        <translation>人物位置</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Left</source>
        <translation>左</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Centre</source>
        <translation>中</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Right</source>
        <translation>右</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Speed</source>
        <translation>速度</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Fast</source>
        <translation>快</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Medium</source>
        <translation>中</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Slow</source>
        <translation>慢</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Figure size</source>
        <translation>人物大小</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Apply</source>
        <translation>应用</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Framing: %1</source>
        <translation>构图：%1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Full body</source>
        <translation>全身</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Half body</source>
        <translation>半身</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Close-up</source>
        <translation>特写</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Custom</source>
        <translation>自定义</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Detection box</source>
        <translation>检测框</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>On</source>
        <translation>开</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Off</source>
        <translation>关</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Default</source>
        <translation>默认</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Subject</source>
        <translation>跟踪对象</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Confirm</source>
        <translation>确认</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Start position</source>
        <translation>起始位置</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Reminder</source>
        <translation>画面提示</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Auto zoom</source>
        <translation>自动变焦</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Auto tilt</source>
        <translation>自动俯仰</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>CAM %1 has no signal: options are unavailable</source>
        <translation>摄像机 %1 无信号：无法设置选项</translation>
    </message>
</context>
</TS>
