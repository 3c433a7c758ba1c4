<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>AudioPopup</name>
    <message>
        <location filename="../qml/popups/AudioPopup.qml" line="+18"/>
        <source>Audio mixer</source>
        <translation>混音器</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>CH 1</source>
        <translation>CH 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CH 2</source>
        <translation>CH 2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>HDMI</source>
        <translation>HDMI</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>RCA</source>
        <translation>RCA</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Headset</source>
        <translation>耳機</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Master</source>
        <translation>總輸出</translation>
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
    <name>ControlApiPopup</name>
    <message>
        <location filename="../qml/popups/ControlApiPopup.qml" line="+23"/>
        <source>Control API</source>
        <translation>控制 API</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Off: nothing listens.</source>
        <translation>關閉：不接受任何連線。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>On, not listening yet.</source>
        <translation>開啟，尚未開始監聽。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ws://%1:%2   clients: %3</source>
        <translation>ws://%1:%2   用戶端：%3</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Control token</source>
        <translation>控制權杖</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Read-only token</source>
        <translation>唯讀權杖</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>New tokens</source>
        <translation>產生新權杖</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>CLOSE</source>
        <translation>關閉</translation>
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
        <location filename="../ui/imagekeys.cpp" line="+130"/>
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
        <location line="+9"/>
        <source>Key source</source>
        <translation>鍵控來源</translation>
    </message>
    <message>
        <location line="+4"/>
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
        <location line="+0"/>
        <source>BKG</source>
        <translation>背景</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>BAR</source>
        <translation>彩條</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Key out</source>
        <translation>去除</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Black</source>
        <translation>黑色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>White</source>
        <translation>白色</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Clean-up level</source>
        <translation>清理強度</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Transparency</source>
        <translation>透明度</translation>
    </message>
</context>
<context>
    <name>NetworkPage</name>
    <message>
        <location filename="../qml/pages/NetworkPage.qml" line="+36"/>
        <source>Network</source>
        <translation>網路</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>CLOSE</source>
        <translation>關閉</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>DHCP</source>
        <translation>DHCP</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Address</source>
        <translation>IP 位址</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Mask</source>
        <translation>子網路遮罩</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Gateway</source>
        <translation>閘道</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>APPLY</source>
        <translation>套用</translation>
    </message>
</context>
<context>
    <name>NetworkSettings</name>
    <message>
        <location filename="../ui/networksettings.cpp" line="+117"/>
        <source>The address is not valid.</source>
        <translation>IP 位址無效。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The mask is not valid.</source>
        <translation>子網路遮罩無效。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The address is not valid for this mask.</source>
        <translation>IP 位址與子網路遮罩不符。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The gateway is not valid.</source>
        <translation>閘道無效。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The gateway is not in the same network as the address.</source>
        <translation>閘道與 IP 位址不在同一網段。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The gateway must differ from the address.</source>
        <translation>閘道不可與 IP 位址相同。</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>The settings could not be saved; the old settings are kept.</source>
        <translation>無法儲存設定，仍使用原有設定。</translation>
    </message>
</context>
<context>
    <name>Panel</name>
    <message>
        <location filename="../ui/switching.cpp" line="+443"/>
        <source>T-Bar transition in progress

Other operations are unavailable until the transition is completed.</source>
        <translation>推桿轉場進行中

轉場完成前無法進行其他操作。</translation>
    </message>
</context>
<context>
    <name>PanelSettings</name>
    <message>
        <location filename="../ui/panelsettings.cpp" line="+286"/>
        <source>The settings could not be saved; they are kept until the next start only.</source>
        <translation>無法儲存設定；目前的設定只保留到下次開機。</translation>
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
        <location line="+6"/>
        <source>Position</source>
        <translation>位置</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Crop</source>
        <translation>裁切</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+124"/>
        <source>Source</source>
        <translation>訊號源</translation>
    </message>
    <message>
        <location line="-75"/>
        <source>X</source>
        <translation>X</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+37"/>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <location line="-19"/>
        <source>X %1   Y %2   Size %3</source>
        <translation>X %1   Y %2   大小 %3</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Reset position</source>
        <translation>重設位置</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Left</source>
        <translation>左</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Right</source>
        <translation>右</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Top</source>
        <translation>上</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Bottom</source>
        <translation>下</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Reset crop</source>
        <translation>重設裁切</translation>
    </message>
    <message>
        <location line="+18"/>
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
        <location line="+0"/>
        <source>BKG</source>
        <translation>背景</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>BAR</source>
        <translation>彩條</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Border size</source>
        <translation>邊框大小</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Off</source>
        <translation>關</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Small</source>
        <translation>小</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Middle</source>
        <translation>中</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Large</source>
        <translation>大</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Border colour</source>
        <translation>邊框顏色</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>White</source>
        <translation>白色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Yellow</source>
        <translation>黃色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Cyan</source>
        <translation>青色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Green</source>
        <translation>綠色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Magenta</source>
        <translation>洋紅</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Red</source>
        <translation>紅色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Blue</source>
        <translation>藍色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Black</source>
        <translation>黑色</translation>
    </message>
</context>
<context>
    <name>SetupMenu</name>
    <message>
        <location filename="../ui/setupmenu.cpp" line="+15"/>
        <source>White</source>
        <translation>白色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Yellow</source>
        <translation>黃色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cyan</source>
        <translation>青色</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+114"/>
        <source>Green</source>
        <translation>綠色</translation>
    </message>
    <message>
        <location line="-113"/>
        <source>Magenta</source>
        <translation>洋紅</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+112"/>
        <source>Red</source>
        <translation>紅色</translation>
    </message>
    <message>
        <location line="-111"/>
        <source>Blue</source>
        <translation>藍色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Black</source>
        <translation>黑色</translation>
    </message>
    <message>
        <location line="+70"/>
        <source>Mix</source>
        <translation>混合</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Wipe</source>
        <translation>劃像</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Left Right</source>
        <translation>左右</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Top Bottom</source>
        <translation>上下</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Center</source>
        <translation>中心</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+26"/>
        <location line="+4"/>
        <location line="+6"/>
        <source>Off</source>
        <translation>關</translation>
    </message>
    <message>
        <location line="-36"/>
        <source>Small</source>
        <translation>小</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Middle</source>
        <translation>中</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Large</source>
        <translation>大</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Input 1</source>
        <translation>輸入 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Input 2</source>
        <translation>輸入 2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Input 3</source>
        <translation>輸入 3</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Input 4</source>
        <translation>輸入 4</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Follow</source>
        <translation>跟隨</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Channel 1&amp;2</source>
        <translation>聲道 1&amp;2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Channel 3&amp;4</source>
        <translation>聲道 3&amp;4</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Channel 5&amp;6</source>
        <translation>聲道 5&amp;6</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Channel 7&amp;8</source>
        <translation>聲道 7&amp;8</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+10"/>
        <source>Normal</source>
        <translation>正常</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>Audio Mixer Mode</source>
        <translation>混音器模式</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>On</source>
        <translation>開</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Flip</source>
        <translation>翻轉</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mirror</source>
        <translation>鏡像</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Mirror and Flip</source>
        <translation>鏡像及翻轉</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Reversed</source>
        <translation>反向</translation>
    </message>
</context>
<context>
    <name>SetupMenuPage</name>
    <message>
        <location filename="../qml/pages/SetupMenuPage.qml" line="+62"/>
        <source>Type</source>
        <translation>輸入</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Setup</source>
        <translation>設定</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Start</source>
        <translation>基本</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Audio</source>
        <translation>音訊</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Memory</source>
        <translation>記憶</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Camera</source>
        <translation>攝影機</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>System</source>
        <translation>系統</translation>
    </message>
    <message>
        <location line="+8"/>
        <location line="+288"/>
        <source>CLOSE</source>
        <translation>關閉</translation>
    </message>
    <message>
        <location line="-276"/>
        <source>Transition</source>
        <translation>轉場</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wipe effect</source>
        <translation>劃像效果</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wipe border</source>
        <translation>劃像邊框</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Border colour</source>
        <translation>邊框顏色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Background</source>
        <translation>背景顏色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto rate</source>
        <translation>AUTO 速率</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Mute</source>
        <translation>靜音</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>HDMI input</source>
        <translation>HDMI 輸入</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>HDMI group</source>
        <translation>HDMI 聲道組</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>HDMI level</source>
        <translation>HDMI 電平</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tally mode</source>
        <translation>提示燈模式</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Calibration</source>
        <translation>校準</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>MEM %1</source>
        <translation>記憶 %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+233"/>
        <source>Save</source>
        <translation>儲存</translation>
    </message>
    <message>
        <location line="-228"/>
        <source>Recall</source>
        <translation>呼叫</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Factory default</source>
        <translation>原廠設定</translation>
    </message>
    <message>
        <location line="+12"/>
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
        <location line="+6"/>
        <source>Video format</source>
        <translation>視訊格式</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Image</source>
        <translation>影像</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pan direction</source>
        <translation>水平方向</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tilt direction</source>
        <translation>俯仰方向</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tally LED</source>
        <translation>提示燈</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Memory speed</source>
        <translation>記憶速度</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Red gain</source>
        <translation>紅色增益</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Blue gain</source>
        <translation>藍色增益</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Program output</source>
        <translation>PGM 輸出</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Multiview output</source>
        <translation>多畫面輸出</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Output format</source>
        <translation>輸出格式</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Language</source>
        <translation>語言</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Network</source>
        <translation>網路</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Control API</source>
        <translation>控制 API</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Mainboard %1   Panel %2</source>
        <translation>主機板 %1   面板 %2</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Reset</source>
        <translation>重設</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>Do you want to load the factory settings ?</source>
        <translation>要載入原廠設定嗎？</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Do you want to reset settings ?</source>
        <translation>要重設本頁設定嗎？</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>YES</source>
        <translation>是</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>NO</source>
        <translation>否</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Audio calibration</source>
        <translation>音訊校準</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>CH 1</source>
        <translation>CH 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CH 2</source>
        <translation>CH 2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>HDMI</source>
        <translation>HDMI</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>RCA</source>
        <translation>RCA</translation>
    </message>
</context>
<context>
    <name>ShutdownPopup</name>
    <message>
        <location filename="../qml/popups/ShutdownPopup.qml" line="+20"/>
        <source>Shut down</source>
        <translation>關機</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Do you want to shut down the system ?</source>
        <translation>要關閉系統嗎？</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>YES</source>
        <translation>是</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>NO</source>
        <translation>否</translation>
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
    <name>UpgradeFlow</name>
    <message>
        <location filename="../ui/upgradeflow.cpp" line="+46"/>
        <source>Do you want to Upgrade App ?</source>
        <translation>要升級軟體嗎？</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>Start upgrade KB </source>
        <translation>開始升級面板程式 </translation>
    </message>
    <message>
        <location line="+48"/>
        <location line="+25"/>
        <source>MB upgrade fail</source>
        <translation>主機板升級失敗</translation>
    </message>
    <message>
        <location line="-16"/>
        <location line="+3"/>
        <source>MB upgrade success</source>
        <translation>主機板升級成功</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>The system will restart in 5 seconds.</source>
        <translation>系統將於 5 秒後重新啟動。</translation>
    </message>
</context>
<context>
    <name>UpgradePopup</name>
    <message>
        <location filename="../qml/popups/UpgradePopup.qml" line="+26"/>
        <source>Upgrade</source>
        <translation>升級</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>YES</source>
        <translation>是</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>NO</source>
        <translation>否</translation>
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
