<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>AudioPopup</name>
    <message>
        <location filename="../qml/popups/AudioPopup.qml" line="+18"/>
        <source>Audio</source>
        <translation>音訊</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>CLOSE</source>
        <translation>關閉</translation>
    </message>
</context>
<context>
    <name>CameraPopup</name>
    <message>
        <location filename="../qml/popups/CameraPopup.qml" line="+22"/>
        <source>Camera</source>
        <translation>攝影機</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>CAM 1</source>
        <translation>攝影機 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CAM 2</source>
        <translation>攝影機 2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CAM 3</source>
        <translation>攝影機 3</translation>
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
        <translation>自動</translation>
    </message>
    <message>
        <location line="-92"/>
        <source>One push</source>
        <translation>一鍵</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+61"/>
        <location line="+31"/>
        <source>Manual</source>
        <translation>手動</translation>
    </message>
    <message>
        <location line="-85"/>
        <source>Gain</source>
        <translation>增益</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Red</source>
        <translation>紅</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Blue</source>
        <translation>藍</translation>
    </message>
    <message>
        <location line="+24"/>
        <location line="+101"/>
        <source>Shutter</source>
        <translation>快門</translation>
    </message>
    <message>
        <location line="-79"/>
        <source>Focus</source>
        <translation>對焦</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Near</source>
        <translation>近</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Far</source>
        <translation>遠</translation>
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
        <translation>開大</translation>
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
    <name>HomePage</name>
    <message>
        <location filename="../qml/pages/HomePage.qml" line="+102"/>
        <source>BLK</source>
        <translation>BLK</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>IN1</source>
        <translation>IN1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>IN2</source>
        <translation>IN2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>IN3</source>
        <translation>IN3</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>IN4</source>
        <translation>IN4</translation>
    </message>
    <message>
        <location line="+12"/>
        <location line="+50"/>
        <source>BKG</source>
        <translation>背景</translation>
    </message>
    <message>
        <location line="-50"/>
        <location line="+50"/>
        <source>BAR</source>
        <translation>彩條</translation>
    </message>
    <message>
        <location line="-49"/>
        <location line="+158"/>
        <source>CAM %1</source>
        <translation>攝影機 %1</translation>
    </message>
    <message>
        <location line="-89"/>
        <source>CAM%1</source>
        <translation>攝影機%1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>MAINBOARD</source>
        <translation>主機板</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>MAINBOARD OFFLINE</source>
        <translation>主機板離線</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>SCREENSHOT MODE</source>
        <translation>截圖模式</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+99"/>
        <source>MEM %1</source>
        <translation>記憶 %1</translation>
    </message>
    <message>
        <location line="-92"/>
        <source>MB %1</source>
        <translation>主機板 %1</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>PGM</source>
        <translation>PGM</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>PiP PGM</source>
        <translation>子母 PGM</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>KEY PGM</source>
        <translation>鍵控 PGM</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>PVW</source>
        <translation>PVW</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>PiP PVW</source>
        <translation>子母 PVW</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>KEY PVW</source>
        <translation>鍵控 PVW</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>JOYSTICK</source>
        <translation>搖桿</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>SPEED</source>
        <translation>速度</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>SLOW</source>
        <translation>慢</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>MID</source>
        <translation>中</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>FAST</source>
        <translation>快</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>MEMORY</source>
        <translation>記憶</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>MIX</source>
        <translation>混合</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>WIPE</source>
        <translation>劃像</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>CUT</source>
        <translation>CUT</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>AUTO</source>
        <translation>AUTO</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>rate %1</source>
        <translation>速率 %1</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>T-BAR</source>
        <translation>推桿</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>LOCKED</source>
        <translation>已鎖定</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>FREE</source>
        <translation>可用</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>TRACKING</source>
        <translation>追蹤</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>CAMERA</source>
        <translation>攝影機</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>PiP</source>
        <translation>子母畫面</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>LUMA</source>
        <translation>亮度鍵</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>AUDIO</source>
        <translation>音訊</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>SETUP</source>
        <translation>設定</translation>
    </message>
</context>
<context>
    <name>ImageKeys</name>
    <message>
        <location filename="../ui/imagekeys.cpp" line="+137"/>
        <source>No camera signal detected

Image Key function requires a connected camera to operate.</source>
        <translation>未偵測到攝影機訊號

影像鍵功能需要連接攝影機才能使用。</translation>
    </message>
</context>
<context>
    <name>ImageKeysPage</name>
    <message>
        <location filename="../qml/pages/ImageKeysPage.qml" line="+27"/>
        <source>Back</source>
        <translation>返回</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Image keys</source>
        <translation>影像鍵</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Tracking setup</source>
        <translation>追蹤設定</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Press a key of CAM %1 to store</source>
        <translation>按攝影機 %1 的影像鍵以儲存</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>STORE</source>
        <translation>儲存</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>CAM %1</source>
        <translation>攝影機 %1</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>No signal</source>
        <translation>無訊號</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Joystick camera</source>
        <translation>搖桿控制中</translation>
    </message>
    <message>
        <location line="+85"/>
        <source>Auto-tracking is on: image keys are hidden</source>
        <translation>自動追蹤已開啟：影像鍵已隱藏</translation>
    </message>
</context>
<context>
    <name>LoadingPage</name>
    <message>
        <location filename="../qml/pages/LoadingPage.qml" line="+24"/>
        <source>Loading...</source>
        <translation>載入中...</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Reading the switcher state. The buses return in a few seconds.</source>
        <translation>正在讀取切換台狀態，數秒後恢復匯流排。</translation>
    </message>
</context>
<context>
    <name>LumaPopup</name>
    <message>
        <location filename="../qml/popups/LumaPopup.qml" line="+18"/>
        <source>Luma key</source>
        <translation>亮度鍵</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>CLOSE</source>
        <translation>關閉</translation>
    </message>
</context>
<context>
    <name>NetworkPage</name>
    <message>
        <location filename="../qml/pages/NetworkPage.qml" line="+18"/>
        <source>Network</source>
        <translation>網路</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>CLOSE</source>
        <translation>關閉</translation>
    </message>
</context>
<context>
    <name>Panel</name>
    <message>
        <location filename="../ui/panel.cpp" line="+685"/>
        <source>T-Bar transition in progress

Other operations are unavailable until the transition is completed.</source>
        <translation>推桿轉場進行中

轉場完成前無法進行其他操作。</translation>
    </message>
</context>
<context>
    <name>PipPopup</name>
    <message>
        <location filename="../qml/popups/PipPopup.qml" line="+18"/>
        <source>Picture in picture</source>
        <translation>子母畫面</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>CLOSE</source>
        <translation>關閉</translation>
    </message>
</context>
<context>
    <name>SetupMenuPage</name>
    <message>
        <location filename="../qml/pages/SetupMenuPage.qml" line="+18"/>
        <source>Setup</source>
        <translation>設定</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>CLOSE</source>
        <translation>關閉</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>NETWORK</source>
        <translation>網路</translation>
    </message>
</context>
<context>
    <name>ShutdownPopup</name>
    <message>
        <location filename="../qml/popups/ShutdownPopup.qml" line="+19"/>
        <source>Shut down</source>
        <translation>關機</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>CLOSE</source>
        <translation>關閉</translation>
    </message>
</context>
<context>
    <name>SplashPage</name>
    <message>
        <location filename="../qml/pages/SplashPage.qml" line="+33"/>
        <source>live production switcher</source>
        <translation>直播切換台</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Starting...</source>
        <translation>啟動中...</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Reading the switcher state</source>
        <translation>正在讀取切換台狀態</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Waiting for the mainboard</source>
        <translation>等待主機板</translation>
    </message>
</context>
<context>
    <name>ToggleSwitch</name>
    <message>
        <location filename="../qml/controls/ToggleSwitch.qml" line="+9"/>
        <source>ON</source>
        <translation>開</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OFF</source>
        <translation>關</translation>
    </message>
</context>
<context>
    <name>TrackingSetupPopup</name>
    <message>
        <location filename="../qml/popups/TrackingSetupPopup.qml" line="+20"/>
        <source>Auto tracking</source>
        <translation>自動追蹤</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Framing</source>
        <translation>構圖</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Indicators</source>
        <translation>指示與位置</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>CAM %1</source>
        <translation>攝影機 %1</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>No signal</source>
        <translation>無訊號</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>No tracking</source>
        <translation>不支援追蹤</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Joystick drives CAM %1</source>
        <translation>搖桿控制攝影機 %1</translation>
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
        <translation>套用</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Framing: %1</source>
        <translation>構圖：%1</translation>
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
        <translation>特寫</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Custom</source>
        <translation>自訂</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Detection box</source>
        <translation>偵測框</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>On</source>
        <translation>開</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Off</source>
        <translation>關</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Default</source>
        <translation>預設</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Subject</source>
        <translation>追蹤對象</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Confirm</source>
        <translation>確認</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Start position</source>
        <translation>起始位置</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Save</source>
        <translation>儲存</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Reminder</source>
        <translation>畫面提示</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto zoom</source>
        <translation>自動變焦</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto tilt</source>
        <translation>自動俯仰</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>CAM %1 has no signal: options are unavailable</source>
        <translation>攝影機 %1 無訊號：無法設定選項</translation>
    </message>
</context>
<context>
    <name>UpgradePopup</name>
    <message>
        <location filename="../qml/popups/UpgradePopup.qml" line="+19"/>
        <source>Update</source>
        <translation>更新</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>CLOSE</source>
        <translation>關閉</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../qml/main.qml" line="+26"/>
        <source>tavrik</source>
        <translation>tavrik</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>T-Bar transition in progress

Other operations are unavailable until the transition is completed.</source>
        <translation>推桿轉場進行中

轉場完成前無法進行其他操作。</translation>
    </message>
</context>
</TS>
