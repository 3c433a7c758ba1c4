<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>AudioMixer</name>
    <message>
        <location filename="../ui/audiomixer.cpp" line="+90"/>
        <source>MUTE</source>
        <translation>靜音</translation>
    </message>
</context>
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
    <message>
        <location line="+43"/>
        <source>PGM AUDIO</source>
        <translation>節目音訊</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>L</source>
        <translation>左</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>R</source>
        <translation>右</translation>
    </message>
</context>
<context>
    <name>CameraPopup</name>
    <message>
        <location filename="../qml/popups/CameraPopup.qml" line="+23"/>
        <source>Camera</source>
        <translation>攝影機</translation>
    </message>
    <message>
        <location line="+17"/>
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
        <location line="+32"/>
        <source>White balance</source>
        <translation>白平衡</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+63"/>
        <location line="+31"/>
        <source>Auto</source>
        <translation>自動</translation>
    </message>
    <message>
        <location line="-94"/>
        <source>One push</source>
        <translation>一鍵</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+63"/>
        <location line="+31"/>
        <source>Manual</source>
        <translation>手動</translation>
    </message>
    <message>
        <location line="-85"/>
        <source>WB gain</source>
        <translation>白平衡增益</translation>
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
    <name>ConfigBackup</name>
    <message>
        <location filename="../ui/configbackup.cpp" line="+105"/>
        <source>unknown setting %1</source>
        <translation>未知的設定 %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 is not on or off</source>
        <translation>%1 不是開或關</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>%1 is not a whole number from %2 to %3</source>
        <translation>%1 不是 %2 到 %3 之間的整數</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 is not a text</source>
        <translation>%1 不是文字</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 is not an address</source>
        <translation>%1 不是有效的位址</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+2"/>
        <source>%1 is not a label</source>
        <translation>%1 不是有效的名稱</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1 is not a picture file of the unit</source>
        <translation>%1 不是本機的圖片檔</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>The file is empty or too large.</source>
        <translation>檔案是空的或過大。</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+11"/>
        <location line="+9"/>
        <location line="+25"/>
        <source>The file is damaged.</source>
        <translation>檔案已損壞。</translation>
    </message>
    <message>
        <location line="-42"/>
        <source>The file is not a configuration of this panel.</source>
        <translation>此檔案不是本控制面板的組態。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The file was written by a newer panel.</source>
        <translation>此檔案由較新版本的控制面板寫入。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The file&apos;s version is not known.</source>
        <translation>無法辨識檔案的版本。</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>The T-bar&apos;s ends in the file are too close together.</source>
        <translation>檔案中推桿的兩端數值過於接近。</translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+10"/>
        <source>The network part of the file is damaged.</source>
        <translation>檔案的網路部分已損壞。</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Address from DHCP: %1 → %2</source>
        <translation>由 DHCP 取得位址：%1 → %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Address: %1 → %2</source>
        <translation>IP 位址：%1 → %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Mask: %1 → %2</source>
        <translation>子網路遮罩：%1 → %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Gateway: %1 → %2</source>
        <translation>閘道：%1 → %2</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>The configuration was written to the update medium.</source>
        <translation>組態已寫入更新媒體。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The configuration could not be written: %1</source>
        <translation>無法寫入組態：%1</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>No configuration file on the update medium.</source>
        <translation>更新媒體上沒有組態檔。</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>The file holds the settings the unit has.</source>
        <translation>檔案中的設定與本機目前相同。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The file is sound. These settings will change:</source>
        <translation>檔案完好。以下設定將會變更：</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>The network settings were not applied: %1</source>
        <translation>網路設定未套用：%1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Restored. Some settings take effect at the next start.</source>
        <translation>已還原。部分設定於下次開機時生效。</translation>
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
        <location filename="../qml/pages/HomePage.qml" line="+114"/>
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
        <location line="+13"/>
        <location line="+70"/>
        <source>BKG</source>
        <translation>背景</translation>
    </message>
    <message>
        <location line="-70"/>
        <location line="+70"/>
        <source>BAR</source>
        <translation>彩條</translation>
    </message>
    <message>
        <location line="-69"/>
        <location line="+245"/>
        <source>CAM %1</source>
        <translation>攝影機 %1</translation>
    </message>
    <message>
        <location line="-156"/>
        <source>CAM%1</source>
        <translation>攝影機%1</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>MAINBOARD</source>
        <translation>主機板</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>NO CONTROL · MAINBOARD NOT ANSWERING</source>
        <translation>無法控制 · 主機板無回應</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>MAINBOARD OFFLINE</source>
        <translation>主機板離線</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>SCREENSHOT MODE</source>
        <translation>截圖模式</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+146"/>
        <source>MEM %1</source>
        <translation>記憶 %1</translation>
    </message>
    <message>
        <location line="-128"/>
        <source>L</source>
        <translation>左</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>R</source>
        <translation>右</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>MB %1</source>
        <translation>主機板 %1</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>PGM</source>
        <translation>PGM</translation>
    </message>
    <message>
        <location line="+6"/>
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
        <location line="+6"/>
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
        <location line="+27"/>
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
        <source>MEMORY
hold to recall</source>
        <translation>記憶
長按載入</translation>
    </message>
    <message>
        <location line="+98"/>
        <source>rate %1 fr</source>
        <translation>速率 %1 格</translation>
    </message>
    <message>
        <location line="+73"/>
        <source>UNLOCKED</source>
        <translation>已解鎖</translation>
    </message>
    <message>
        <location line="-136"/>
        <source>MIX</source>
        <translation>混合</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>WIPE</source>
        <translation>劃像</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>CUT</source>
        <translation>CUT</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>AUTO</source>
        <translation>AUTO</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>T-BAR</source>
        <translation>推桿</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>LOCKED</source>
        <translation>已鎖定</translation>
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
        <location filename="../ui/imagekeys.cpp" line="+152"/>
        <source>No camera signal detected

Image Key function requires a connected camera to operate.</source>
        <translation>未偵測到攝影機訊號

預設位功能需要連接攝影機才能使用。</translation>
    </message>
</context>
<context>
    <name>ImageKeysPage</name>
    <message>
        <location filename="../qml/pages/ImageKeysPage.qml" line="+34"/>
        <source>Back</source>
        <translation>返回</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Tracking setup</source>
        <translation>追蹤設定</translation>
    </message>
    <message>
        <location line="-7"/>
        <source>Presets</source>
        <translation>預設位</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Press a preset of CAM %1 to store</source>
        <translation>按攝影機 %1 的預設位以儲存</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CAM %1 is on air: hold to move</source>
        <translation>攝影機 %1 正在播出：長按才會轉動</translation>
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
        <location line="+94"/>
        <source>ON AIR · HOLD</source>
        <translation>播出中 · 長按</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Auto-tracking is on: presets are hidden</source>
        <translation>自動追蹤開啟中：預設位已隱藏</translation>
    </message>
</context>
<context>
    <name>LoadingPage</name>
    <message>
        <location filename="../qml/pages/LoadingPage.qml" line="+25"/>
        <source>Loading...</source>
        <translation>載入中...</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Reading the switcher state. The buses are up to date again in a few seconds.</source>
        <translation>正在讀取切換台狀態，數秒後 PGM/PVW 即更新完成。</translation>
    </message>
</context>
<context>
    <name>LumaPopup</name>
    <message>
        <location filename="../qml/popups/LumaPopup.qml" line="+19"/>
        <source>Luma key</source>
        <translation>亮度鍵</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Key source</source>
        <translation>鍵控來源</translation>
    </message>
    <message>
        <location line="+5"/>
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
        <translation>去背</translation>
    </message>
    <message>
        <location line="+5"/>
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
        <location filename="../ui/networksettings.cpp" line="+125"/>
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
        <location line="+34"/>
        <source>The settings could not be saved; the old settings are kept.</source>
        <translation>無法儲存設定，仍使用原有設定。</translation>
    </message>
</context>
<context>
    <name>OfflineTag</name>
    <message>
        <location filename="../qml/marks/OfflineTag.qml" line="+21"/>
        <source>OFFLINE</source>
        <translation>離線</translation>
    </message>
</context>
<context>
    <name>OutcomeTag</name>
    <message>
        <location filename="../qml/marks/OutcomeTag.qml" line="+21"/>
        <source>DONE</source>
        <translation>完成</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>REFUSED BY SWITCHER</source>
        <translation>切換台拒絕</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>NOT SENT: NO ANSWER</source>
        <translation>未送出：無回應</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>NOT SENT: LINE CLOSED</source>
        <translation>未送出：線路關閉</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>NOT SENT: TOO LATE</source>
        <translation>未送出：已逾時</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>NOT SENT: TRANSITION</source>
        <translation>未送出：轉場中</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>NOT SENT: CAMERA OFFLINE</source>
        <translation>未送出：攝影機離線</translation>
    </message>
</context>
<context>
    <name>Panel</name>
    <message>
        <location filename="../ui/switching.cpp" line="+476"/>
        <source>T-Bar transition in progress

Other operations are unavailable until the transition is completed.</source>
        <translation>推桿轉場進行中

轉場完成前無法進行其他操作。</translation>
    </message>
</context>
<context>
    <name>PanelSettings</name>
    <message>
        <location filename="../ui/panelsettings.cpp" line="+322"/>
        <source>The settings could not be saved; they are kept until the next start only.</source>
        <translation>無法儲存設定；目前的設定只保留到下次開機。</translation>
    </message>
</context>
<context>
    <name>PipPopup</name>
    <message>
        <location filename="../qml/popups/PipPopup.qml" line="+19"/>
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
        <location line="+135"/>
        <source>Source</source>
        <translation>訊號源</translation>
    </message>
    <message>
        <location line="-80"/>
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
        <location line="+41"/>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <location line="-20"/>
        <source>X %1 %   Y %2 %   Size %3 %</source>
        <translation>X %1 %   Y %2 %   大小 %3 %</translation>
    </message>
    <message>
        <location line="+6"/>
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
        <location line="+25"/>
        <source>Reset crop</source>
        <translation>重設裁切</translation>
    </message>
    <message>
        <location line="+19"/>
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
        <location line="+5"/>
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
        <source>Large</source>
        <translation>大</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Medium</source>
        <translation>中</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Border colour</source>
        <translation>邊框顏色</translation>
    </message>
    <message>
        <location line="+5"/>
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
    <name>ServicePage</name>
    <message>
        <location filename="../qml/pages/ServicePage.qml" line="+46"/>
        <source>Service</source>
        <translation>維修</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Lines</source>
        <translation>連線</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Controls</source>
        <translation>操作元件</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>System</source>
        <translation>系統</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Support</source>
        <translation>支援</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>CLOSE</source>
        <translation>關閉</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Mainboard answering</source>
        <translation>主機板有回應</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Mainboard not answering</source>
        <translation>主機板無回應</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Frames sent</source>
        <translation>已送出封包</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Acknowledged</source>
        <translation>已確認</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Refused</source>
        <translation>被拒絕</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+20"/>
        <source>Timed out</source>
        <translation>逾時</translation>
    </message>
    <message>
        <location line="-19"/>
        <source>Late replies</source>
        <translation>延遲回覆</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Garbled replies</source>
        <translation>錯誤回覆</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Write failures</source>
        <translation>寫入失敗</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Last error</source>
        <translation>最近錯誤</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Camera %1</source>
        <translation>攝影機 %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Line</source>
        <translation>連線</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Messages</source>
        <translation>訊息</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Replies (1 min)</source>
        <translation>回覆（1 分鐘）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Reply p50 (ms)</source>
        <translation>回覆 p50（毫秒）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Reply p99 (ms)</source>
        <translation>回覆 p99（毫秒）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Model</source>
        <translation>型號</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Version</source>
        <translation>版本</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>online</source>
        <translation>線上</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>offline</source>
        <translation>離線</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Converter (raw readings)</source>
        <translation>轉換器（原始讀數）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>T-bar</source>
        <translation>推桿</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>T-bar position</source>
        <translation>推桿位置</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>T-bar ends</source>
        <translation>推桿兩端</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Joystick X</source>
        <translation>搖桿 X</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Joystick Y</source>
        <translation>搖桿 Y</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Joystick centre</source>
        <translation>搖桿中心</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom</source>
        <translation>變焦</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zoom centre</source>
        <translation>變焦中心</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>End key test</source>
        <translation>結束按鍵測試</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Key test</source>
        <translation>按鍵測試</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Lamp test</source>
        <translation>燈號測試</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Press the keys: nothing is sent to the switcher.</source>
        <translation>請按下按鍵：不會傳送任何指令至切換台。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>During the key test the keys switch nothing.</source>
        <translation>按鍵測試期間，按鍵不會進行任何切換。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>LOCK</source>
        <translation>鎖定</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>FAST</source>
        <translation>快</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>MID</source>
        <translation>中</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>SLOW</source>
        <translation>慢</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CUT</source>
        <translation>CUT</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>AUTO</source>
        <translation>AUTO</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>UNLOCK</source>
        <translation>解鎖</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Key lamp pattern %1 of 4 lit</source>
        <translation>按鍵燈號第 %1 組（共 4 組）亮起</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Network</source>
        <translation>網路</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Address</source>
        <translation>IP 位址</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mask</source>
        <translation>子網路遮罩</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Gateway</source>
        <translation>閘道</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Link</source>
        <translation>連線狀態</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>up</source>
        <translation>已連線</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>down</source>
        <translation>未連線</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Discovery requests</source>
        <translation>搜尋請求</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Unit</source>
        <translation>本機</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Panel</source>
        <translation>控制面板</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mainboard firmware</source>
        <translation>主機板韌體</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Uptime</source>
        <translation>運作時間</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CPU</source>
        <translation>CPU</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Memory</source>
        <translation>記憶體</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Board temperature</source>
        <translation>主板溫度</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Write support bundle</source>
        <translation>寫入支援資料包</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Settings, network, recent log, versions and counters, written to the update medium. No passwords or tokens.</source>
        <translation>設定、網路、近期記錄、版本與計數，寫入更新媒體。不含密碼或權杖。</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Back up configuration</source>
        <translation>備份組態</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Restore configuration</source>
        <translation>還原組態</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The unit&apos;s settings to and from the update medium. A restore shows what will change before anything does.</source>
        <translation>將本機設定備份至更新媒體或由其還原。還原前會先列出將變更的項目。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Network (only with the network):</source>
        <translation>網路（僅在一併還原網路時）：</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Restore without network</source>
        <translation>還原（不含網路）</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Restore with network</source>
        <translation>還原（含網路）</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>ServiceStatus</name>
    <message>
        <location filename="../ui/servicestatus.cpp" line="+108"/>
        <source>refused</source>
        <translation>被拒絕</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no reply</source>
        <translation>無回覆</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>garbled reply</source>
        <translation>錯誤回覆</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>write failed</source>
        <translation>寫入失敗</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>none</source>
        <translation>無</translation>
    </message>
    <message>
        <location line="+194"/>
        <source>%1 of %2 MB in use</source>
        <translation>已使用 %1 / %2 MB</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>%1 d %2</source>
        <translation>%1 天 %2</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Writing the support bundle…</source>
        <translation>正在寫入支援資料包…</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>The support bundle could not be written: %1</source>
        <translation>無法寫入支援資料包：%1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Support bundle written: %1</source>
        <translation>已寫入支援資料包：%1</translation>
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
        <location line="+116"/>
        <source>Green</source>
        <translation>綠色</translation>
    </message>
    <message>
        <location line="-115"/>
        <source>Magenta</source>
        <translation>洋紅</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+114"/>
        <source>Red</source>
        <translation>紅色</translation>
    </message>
    <message>
        <location line="-113"/>
        <source>Blue</source>
        <translation>藍色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Black</source>
        <translation>黑色</translation>
    </message>
    <message>
        <location line="+72"/>
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
        <source>Large</source>
        <translation>大</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Medium</source>
        <translation>中</translation>
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
        <location filename="../qml/pages/SetupMenuPage.qml" line="+88"/>
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
        <location line="+348"/>
        <source>CLOSE</source>
        <translation>關閉</translation>
    </message>
    <message>
        <location line="-356"/>
        <source>Transition</source>
        <translation>轉場</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Transition type</source>
        <translation>轉場方式</translation>
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
        <location line="+0"/>
        <source>fr</source>
        <translation>格</translation>
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
        <location line="+293"/>
        <source>Save</source>
        <translation>儲存</translation>
    </message>
    <message>
        <location line="-288"/>
        <source>Recall</source>
        <translation>載入</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Hold Recall to load a memory: it changes the whole switcher and the audio levels.</source>
        <translation>長按「載入」以載入記憶：會改變整台切換台的設定及音量。</translation>
    </message>
    <message>
        <location line="+5"/>
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
        <location line="+2"/>
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
        <source>Preset speed</source>
        <translation>預設位速度</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>WB red gain</source>
        <translation>白平衡紅色增益</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>WB blue gain</source>
        <translation>白平衡藍色增益</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>On-air preset: hold to move</source>
        <translation>播出中的預設位：長按才轉動</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Control API</source>
        <translation>控制 API</translation>
    </message>
    <message>
        <location line="+155"/>
        <source>Load factory settings</source>
        <translation>載入原廠設定</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save to MEM %1</source>
        <translation>儲存到記憶 %1</translation>
    </message>
    <message>
        <location line="-175"/>
        <source>Program output</source>
        <translation>PGM 輸出</translation>
    </message>
    <message>
        <location line="-23"/>
        <source>Mirror / flip</source>
        <translation>鏡像/翻轉</translation>
    </message>
    <message>
        <location line="+24"/>
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
        <source>Tally out</source>
        <translation>提示燈輸出</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Mainboard %1   Panel %2</source>
        <translation>主機板 %1   面板 %2</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Screenshot mode: on</source>
        <translation>截圖模式：開</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Screenshot mode: off</source>
        <translation>截圖模式：關</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The CUT key saves a screenshot instead of cutting.</source>
        <translation>CUT 鍵改為儲存螢幕截圖，不會切換。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hold 2 s: the CUT key then saves screenshots instead of cutting.</source>
        <translation>長按 2 秒：之後 CUT 鍵改為儲存螢幕截圖，不會切換。</translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+114"/>
        <source>Reset</source>
        <translation>重設</translation>
    </message>
    <message>
        <location line="-66"/>
        <location line="+76"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="-22"/>
        <source>Do you want to load the factory settings ?</source>
        <translation>要載入原廠設定嗎？</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save the switcher&apos;s settings and the audio levels into MEM %1? What MEM %1 holds now is overwritten.</source>
        <translation>要將切換台設定及音量儲存到記憶 %1 嗎？記憶 %1 原有的內容將被覆寫。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Do you want to reset settings ?</source>
        <translation>要重設本頁設定嗎？</translation>
    </message>
    <message>
        <location line="+47"/>
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
        <location line="+18"/>
        <source>Shut down</source>
        <translation>關機</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>Do you want to shut down the system ?</source>
        <translation>要關閉系統嗎？</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Cancel</source>
        <translation>取消</translation>
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
    <name>TallyOutPage</name>
    <message>
        <location filename="../qml/pages/TallyOutPage.qml" line="+65"/>
        <source>Tally out</source>
        <translation>提示燈輸出</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Destinations</source>
        <translation>目的地</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Displays</source>
        <translation>顯示器</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Lamps</source>
        <translation>燈號</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>CLOSE</source>
        <translation>關閉</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Address (empty: not used)</source>
        <translation>位址（空白：不使用）</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+18"/>
        <source>Port</source>
        <translation>連接埠</translation>
    </message>
    <message>
        <location line="-17"/>
        <source>Protocol</source>
        <translation>協定</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Destination %1</source>
        <translation>目的地 %1</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>none</source>
        <translation>無</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1: display index</source>
        <translation>%1：顯示器編號</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1: label</source>
        <translation>%1：名稱</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>TSL 5.0 colour</source>
        <translation>TSL 5.0 顏色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>TSL 3.1 tally</source>
        <translation>TSL 3.1 提示燈</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Program</source>
        <translation>節目（PGM）</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Preview</source>
        <translation>預覽（PVW）</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Red</source>
        <translation>紅色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Green</source>
        <translation>綠色</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Amber</source>
        <translation>琥珀色</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Receivers differ in which tally means preview: set it as they expect.</source>
        <translation>各接收端對預覽使用哪一個提示燈不盡相同：請依接收端的設定選擇。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Camera tally</source>
        <translation>攝影機提示燈</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>On: camera lamps also light for PiP/key sources on program, and for both sources during a mix. Off (standard): program and preview only. Takes effect at once, without APPLY.</source>
        <translation>開啟：節目上的子母畫面/鍵控來源，以及混合過程中的兩個來源，攝影機提示燈也會亮起。關閉（標準）：只有節目與預覽。立即生效，不需按「套用」。</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Off: nothing is sent. On: the tally the switcher confirms, at once and every 2 s.</source>
        <translation>關閉：不傳送任何資料。開啟：切換台確認的提示燈狀態會立即傳送，並每 2 秒重送一次。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>APPLY</source>
        <translation>套用</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>TallyOutSetup</name>
    <message>
        <location filename="../ui/tallyoutsetup.cpp" line="+159"/>
        <source>Destination %1: the address is not valid.</source>
        <translation>目的地 %1：位址無效。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Destination %1: the port must be 1 to 65535.</source>
        <translation>目的地 %1：連接埠必須為 1 至 65535。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Tally out needs at least one destination.</source>
        <translation>提示燈輸出至少需要一個目的地。</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1: the display index must be 0 to %2.</source>
        <translation>%1：顯示器編號必須為 0 至 %2。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1: TSL 3.1 displays are 0 to %2.</source>
        <translation>%1：TSL 3.1 顯示器編號為 0 至 %2。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 and %2 have the same display index.</source>
        <translation>%1 與 %2 的顯示器編號相同。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Program and preview need different lamps.</source>
        <translation>節目與預覽必須使用不同的燈號。</translation>
    </message>
</context>
<context>
    <name>TallyTag</name>
    <message>
        <location filename="../qml/marks/TallyTag.qml" line="+24"/>
        <source>ON AIR</source>
        <translation>ON AIR</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>PVW</source>
        <translation>PVW</translation>
    </message>
</context>
<context>
    <name>TextKeyboard</name>
    <message>
        <location filename="../qml/controls/TextKeyboard.qml" line="+34"/>
        <source>Space</source>
        <translation>空白</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Done</source>
        <translation>完成</translation>
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
    <name>UnconfirmedTag</name>
    <message>
        <location filename="../qml/marks/UnconfirmedTag.qml" line="+21"/>
        <source>UNCONFIRMED</source>
        <translation>未確認</translation>
    </message>
</context>
<context>
    <name>UpgradeFlow</name>
    <message>
        <location filename="../ui/upgradeflow.cpp" line="+50"/>
        <source>Do you want to upgrade the mainboard firmware ? (MB: %1)</source>
        <translation>要升級主機板韌體嗎？（主機板：%1）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Do you want to upgrade the panel application ? (KBD: %1)</source>
        <translation>要升級面板程式嗎？（面板：%1）</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>Start upgrade KB </source>
        <translation>開始升級面板程式 </translation>
    </message>
    <message>
        <location line="+49"/>
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
        <location line="+35"/>
        <source>Upgrade</source>
        <translation>升級</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Not now</source>
        <translation>稍後</translation>
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
    <message>
        <location line="+50"/>
        <source>UPDATING FROM THE SWITCHER</source>
        <translation>正在從切換台更新</translation>
    </message>
</context>
</TS>
