<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AddressChange</name>
    <message>
        <source>地址 %1 已被本地设备使用，仍要修改吗？</source>
        <translation>Address %1 is already used by the local device. Change it anyway?</translation>
    </message>
    <message>
        <source>地址 %1 已被网络设备 序号 %2 使用，仍要修改吗？</source>
        <translation>Address %1 is already used by network device no. %2. Change it anyway?</translation>
    </message>
    <message>
        <source>两个设备使用同一地址时，发往该地址的命令可能由另一个设备应答。</source>
        <translation>When two devices share an address, a command sent to it may be answered by the other device.</translation>
    </message>
</context>
<context>
    <name>AutoDetect</name>
    <message>
        <source>自动检测</source>
        <translation>Auto-detect</translation>
    </message>
    <message>
        <source>没有可检测的串口。</source>
        <translation>There is no serial port to try.</translation>
    </message>
    <message>
        <source>正在检测…</source>
        <translation>Detecting…</translation>
    </message>
    <message>
        <source>在 %1 上检测到模块，波特率 %2。</source>
        <translation>A module answered on %1 at %2 baud.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>（无法打开）</source>
        <translation> (cannot be opened)</translation>
    </message>
    <message>
        <source>没有模块应答。已尝试的串口：%1；波特率 460800 至 1200，8 位数据位、无校验、1 位停止位。</source>
        <translation>No module answered. Ports tried: %1; at 460800 down to 1200 baud, 8 data bits, no parity, 1 stop bit.</translation>
    </message>
</context>
<context>
    <name>CAboutDlg</name>
    <message>
        <source>关于 Qrvtune</source>
        <translation>About Qrvtune</translation>
    </message>
    <message>
        <source>Qrvtune，%1 版</source>
        <translation>Qrvtune, version %1</translation>
    </message>
    <message>
        <source>Qrvlink 模块开发包，%1 版</source>
        <translation>Qrvlink module SDK, version %1</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CDlgConnectionDoctor</name>
    <message>
        <source>复制报告</source>
        <translation>Copy report</translation>
    </message>
    <message>
        <source>连接诊断</source>
        <translation>Connection doctor</translation>
    </message>
    <message>
        <source>正在检测模块并测量线路（约 10 秒）……</source>
        <translation>Detecting the module and measuring the line (about 10 s)...</translation>
    </message>
</context>
<context>
    <name>CDlgInputPwd</name>
    <message>
        <source>对话框</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>修改密码</source>
        <translation>Change password</translation>
    </message>
    <message>
        <source>新密码</source>
        <translation>New password</translation>
    </message>
    <message>
        <source>确认新密码</source>
        <translation>Confirm new password</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>新密码太长（最多15个字节，一个汉字占2个字节），请从新输入</source>
        <translation>The new password is too long (at most 15 bytes; a Chinese character takes 2 bytes). Please enter it again.</translation>
    </message>
    <message>
        <source>新密码含有模块不支持的字符，请从新输入</source>
        <translation>The new password holds characters the module cannot store. Please enter it again.</translation>
    </message>
    <message>
        <source>输入的密码不正确，请从新输入</source>
        <translation>The password is not correct. Please enter it again.</translation>
    </message>
    <message>
        <source>两次输入的密码不匹配，请从新输入</source>
        <translation>The two new passwords differ. Please enter them again.</translation>
    </message>
</context>
<context>
    <name>CDlgSearchDev</name>
    <message>
        <source>搜索</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>广播搜索</source>
        <translation>Broadcast search</translation>
    </message>
    <message>
        <source>指定搜索</source>
        <translation>Search one address</translation>
    </message>
    <message>
        <source>输入地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>全部通道与速率</source>
        <translation>All channels and rates</translation>
    </message>
    <message>
        <source>通道选择</source>
        <translation>Channels</translation>
    </message>
    <message>
        <source>C-6(2380MHz) </source>
        <translation>C-6(2380MHz) </translation>
    </message>
    <message>
        <source>C-7(2385MHz) </source>
        <translation>C-7(2385MHz) </translation>
    </message>
    <message>
        <source>C-8(2390MHz) </source>
        <translation>C-8(2390MHz) </translation>
    </message>
    <message>
        <source>C-9(2395MHz) </source>
        <translation>C-9(2395MHz) </translation>
    </message>
    <message>
        <source>C-10(2400MHz) </source>
        <translation>C-10(2400MHz) </translation>
    </message>
    <message>
        <source>C-11(2405MHz) </source>
        <translation>C-11(2405MHz) </translation>
    </message>
    <message>
        <source>C-12(2410MHz) </source>
        <translation>C-12(2410MHz) </translation>
    </message>
    <message>
        <source>C-13(2415MHz) </source>
        <translation>C-13(2415MHz) </translation>
    </message>
    <message>
        <source>C-14(2420MHz) </source>
        <translation>C-14(2420MHz) </translation>
    </message>
    <message>
        <source>C-15(2425MHz) </source>
        <translation>C-15(2425MHz) </translation>
    </message>
    <message>
        <source>C-16(2430MHz) </source>
        <translation>C-16(2430MHz) </translation>
    </message>
    <message>
        <source>C-17(2435MHz) </source>
        <translation>C-17(2435MHz) </translation>
    </message>
    <message>
        <source>C-18(2440MHz) </source>
        <translation>C-18(2440MHz) </translation>
    </message>
    <message>
        <source>C-19(2445MHz) </source>
        <translation>C-19(2445MHz) </translation>
    </message>
    <message>
        <source>C-20(2450MHz) </source>
        <translation>C-20(2450MHz) </translation>
    </message>
    <message>
        <source>C-21(2455MHz) </source>
        <translation>C-21(2455MHz) </translation>
    </message>
    <message>
        <source>C-22(2460MHz) </source>
        <translation>C-22(2460MHz) </translation>
    </message>
    <message>
        <source>C-23(2465MHz) </source>
        <translation>C-23(2465MHz) </translation>
    </message>
    <message>
        <source>C-24(2470MHz) </source>
        <translation>C-24(2470MHz) </translation>
    </message>
    <message>
        <source>C-25(2475MHz) </source>
        <translation>C-25(2475MHz) </translation>
    </message>
    <message>
        <source>C-26(2480MHz) </source>
        <translation>C-26(2480MHz) </translation>
    </message>
    <message>
        <source>C-27(2485MHz) </source>
        <translation>C-27(2485MHz) </translation>
    </message>
    <message>
        <source>C-28(2490MHz) </source>
        <translation>C-28(2490MHz) </translation>
    </message>
    <message>
        <source>C-29(2495MHz) </source>
        <translation>C-29(2495MHz) </translation>
    </message>
    <message>
        <source>C-30(2500MHz) </source>
        <translation>C-30(2500MHz) </translation>
    </message>
    <message>
        <source>速率选择</source>
        <translation>Air rates</translation>
    </message>
    <message>
        <source>250K</source>
        <translation>250K</translation>
    </message>
    <message>
        <source>500K</source>
        <translation>500K</translation>
    </message>
    <message>
        <source>1M</source>
        <translation>1M</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>设备ID</source>
        <translation>Device ID</translation>
    </message>
    <message>
        <source>设备类型</source>
        <translation>Device type</translation>
    </message>
    <message>
        <source>运行状态</source>
        <translation>Run state</translation>
    </message>
    <message>
        <source>搜索进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>请确认设备已通电、与本地设备使用相同的网络 ID，并勾选它所在的信道和速率。</source>
        <translation>Check that the device is powered, uses the same network ID as the local device, and that its channel and rate are ticked.</translation>
    </message>
    <message>
        <source>在所选的信道和速率上没有找到设备。</source>
        <translation>No device was found on the chosen channels and rates.</translation>
    </message>
    <message>
        <source>在所选的信道和速率上没有找到地址为 %1 的设备。</source>
        <translation>No device with address %1 was found on the chosen channels and rates.</translation>
    </message>
</context>
<context>
    <name>CDlgUpgradeFrame</name>
    <message>
        <source>选择固件文件</source>
        <translation>Firmware file</translation>
    </message>
    <message>
        <source>浏览...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>当前进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>Upgrade</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>正在升级固件，请等待升级结束后再退出</source>
        <translation>The firmware upgrade is running. Please wait until it ends before leaving.</translation>
    </message>
    <message>
        <source>固件升级成功</source>
        <translation>Firmware upgrade succeeded</translation>
    </message>
    <message>
        <source>固件升级失败</source>
        <translation>Firmware upgrade failed</translation>
    </message>
    <message>
        <source>第 %1 / %2 块</source>
        <translation>Block %1 of %2</translation>
    </message>
    <message>
        <source>固件升级</source>
        <translation>Firmware upgrade</translation>
    </message>
    <message>
        <source>固件文件 (*.bin)|*.bin||</source>
        <translation>Firmware files (*.bin)|*.bin||</translation>
    </message>
    <message>
        <source>固件文件 (*.bin)</source>
        <translation>Firmware file (*.bin)</translation>
    </message>
    <message>
        <source>固件升级 — %1</source>
        <translation>Firmware upgrade — %1</translation>
    </message>
    <message>
        <source>升级 %1：选择固件文件</source>
        <translation>Upgrade %1: choose the firmware file</translation>
    </message>
    <message>
        <source>没有选择固件文件：请按“浏览”选择一个固件文件（.bin）。</source>
        <translation>No firmware file chosen: press “Browse” and choose a firmware file (.bin).</translation>
    </message>
    <message>
        <source>文件路径太长（最多 %1 个字符）：请把固件文件放到路径较短的文件夹中。</source>
        <translation>The file path is too long (at most %1 characters): put the firmware file in a folder with a shorter path.</translation>
    </message>
    <message>
        <source>模块可能停留在 BOOT 状态（只运行引导程序）。再次运行升级即可完成。</source>
        <translation>The module may be left in BOOT (running only its boot loader). Running the upgrade again finishes it.</translation>
    </message>
</context>
<context>
    <name>CQrvtuneDlg</name>
    <message>
        <source>容错读取(&amp;T)</source>
        <translation>&amp;Tolerant reads</translation>
    </message>
    <message>
        <source>连接诊断(&amp;D)...</source>
        <translation>Connection &amp;doctor...</translation>
    </message>
    <message>
        <source>Qrvtune V</source>
        <translation>Qrvtune V</translation>
    </message>
    <message>
        <source>0,1</source>
        <translation>0,1</translation>
    </message>
    <message>
        <source>250,223</source>
        <translation>250,223</translation>
    </message>
    <message>
        <source>串口参数</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>串口号</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>1200</source>
        <translation>1200</translation>
    </message>
    <message>
        <source>2400</source>
        <translation>2400</translation>
    </message>
    <message>
        <source>4800</source>
        <translation>4800</translation>
    </message>
    <message>
        <source>9600</source>
        <translation>9600</translation>
    </message>
    <message>
        <source>19200</source>
        <translation>19200</translation>
    </message>
    <message>
        <source>38400</source>
        <translation>38400</translation>
    </message>
    <message>
        <source>57600</source>
        <translation>57600</translation>
    </message>
    <message>
        <source>115200</source>
        <translation>115200</translation>
    </message>
    <message>
        <source>230400</source>
        <translation>230400</translation>
    </message>
    <message>
        <source>460800</source>
        <translation>460800</translation>
    </message>
    <message>
        <source>数据位</source>
        <translation>Data bits</translation>
    </message>
    <message>
        <source>5</source>
        <translation>5</translation>
    </message>
    <message>
        <source>6</source>
        <translation>6</translation>
    </message>
    <message>
        <source>7</source>
        <translation>7</translation>
    </message>
    <message>
        <source>8</source>
        <translation>8</translation>
    </message>
    <message>
        <source>重新扫描</source>
        <translation>Rescan</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>奇校验</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>偶校验</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>强制为0</source>
        <translation>Forced 0</translation>
    </message>
    <message>
        <source>强制为1</source>
        <translation>Forced 1</translation>
    </message>
    <message>
        <source>停止位</source>
        <translation>Stop bits</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>1.5</source>
        <translation>1.5</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>超时(ms)</source>
        <translation>Time-out (ms)</translation>
    </message>
    <message>
        <source>1000</source>
        <translation>1000</translation>
    </message>
    <message>
        <source>打开串口</source>
        <translation>Open port</translation>
    </message>
    <message>
        <source>关闭串口</source>
        <translation>Close port</translation>
    </message>
    <message>
        <source>221,252</source>
        <translation>221,252</translation>
    </message>
    <message>
        <source>关于 Qrvtune(&amp;A)...</source>
        <translation>&amp;About Qrvtune...</translation>
    </message>
    <message>
        <source>设置(&amp;S)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>界面语言(&amp;L)</source>
        <translation>Interface &amp;language</translation>
    </message>
    <message>
        <source>跟随系统(&amp;Y)</source>
        <translation>S&amp;ystem language</translation>
    </message>
    <message>
        <source>中文(&amp;C)</source>
        <translation>&amp;Chinese</translation>
    </message>
    <message>
        <source>English(&amp;E)</source>
        <translation>&amp;English</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>界面语言将在下次启动 Qrvtune 时更改。</source>
        <translation>The interface language changes the next time Qrvtune starts.</translation>
    </message>
    <message>
        <source>本地设备</source>
        <translation>Local device</translation>
    </message>
    <message>
        <source>网络设备</source>
        <translation>Network devices</translation>
    </message>
    <message>
        <source>基本信息</source>
        <translation>Basic settings</translation>
    </message>
    <message>
        <source>高级</source>
        <translation>Advanced</translation>
    </message>
    <message>
        <source>无线IO</source>
        <translation>Wireless IO</translation>
    </message>
    <message>
        <source>打开串口失败</source>
        <translation>Cannot open the serial port</translation>
    </message>
    <message>
        <source>未连接</source>
        <translation>Not connected</translation>
    </message>
    <message>
        <source>已连接：%1，%2 波特</source>
        <translation>Connected: %1, %2 baud</translation>
    </message>
    <message>
        <source>本地设备 ID %1（%2，%3）</source>
        <translation>Local device ID %1 (%2, %3)</translation>
    </message>
    <message>
        <source>本地设备尚未读取</source>
        <translation>local device not read yet</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>%1：请输入 %2–%3 之间的整数。</source>
        <translation>%1: enter a whole number from %2 to %3.</translation>
    </message>
</context>
<context>
    <name>CTrafficWindow</name>
    <message>
        <source>通信记录</source>
        <translation>Traffic</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>保存为文本...</source>
        <translation>Save as Text...</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>无法保存通信记录到“%1”</source>
        <translation>Could not save the traffic to &quot;%1&quot;</translation>
    </message>
    <message>
        <source>查看(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>通信记录(&amp;T)...</source>
        <translation>&amp;Traffic...</translation>
    </message>
    <message>
        <source>已暂停（点击继续）</source>
        <translation>Paused (click to resume)</translation>
    </message>
</context>
<context>
    <name>CViewADIO</name>
    <message>
        <source>此属性只在VLX设备下有效</source>
        <translation>These functions apply to VLX devices only</translation>
    </message>
    <message>
        <source>4路输入IO</source>
        <translation>4 input lines</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>3</source>
        <translation>3</translation>
    </message>
    <message>
        <source>4</source>
        <translation>4</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>4路输出IO</source>
        <translation>4 output lines</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>4路AD</source>
        <translation>4 analogue inputs</translation>
    </message>
    <message>
        <source>1#</source>
        <translation>1#</translation>
    </message>
    <message>
        <source>(mV)</source>
        <translation>(mV)</translation>
    </message>
    <message>
        <source>2#</source>
        <translation>2#</translation>
    </message>
    <message>
        <source>3#</source>
        <translation>3#</translation>
    </message>
    <message>
        <source>4#</source>
        <translation>4#</translation>
    </message>
    <message>
        <source>IO方向</source>
        <translation>IO direction</translation>
    </message>
    <message>
        <source>输入</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>输出</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>获取失败</source>
        <translation>Read failed</translation>
    </message>
    <message>
        <source>设置失败</source>
        <translation>Set failed</translation>
    </message>
    <message>
        <source>请先获取本地信息</source>
        <translation>Please read the local device first</translation>
    </message>
    <message>
        <source>本地设备必须配置成主机或主机+中继模式才可以访问IO</source>
        <translation>The local device must be in host or host + relay mode to reach IO lines</translation>
    </message>
    <message>
        <source>设置成功</source>
        <translation>Set successfully</translation>
    </message>
</context>
<context>
    <name>CViewBaseInfo</name>
    <message>
        <source>模块版本信息</source>
        <translation>Module</translation>
    </message>
    <message>
        <source>设备名称</source>
        <translation>Device name</translation>
    </message>
    <message>
        <source>最多15个字节，一个汉字占2个字节</source>
        <translation>At most 15 bytes; a Chinese character takes 2 bytes</translation>
    </message>
    <message>
        <source>模块状态</source>
        <translation>Module status</translation>
    </message>
    <message>
        <source>工作参数</source>
        <translation>Network</translation>
    </message>
    <message>
        <source>网络号</source>
        <translation>Network ID</translation>
    </message>
    <message>
        <source>十六进制，0～ffff</source>
        <translation>Hexadecimal, 0 to ffff</translation>
    </message>
    <message>
        <source>本机地址</source>
        <translation>Local address</translation>
    </message>
    <message>
        <source>目标地址</source>
        <translation>Destination address</translation>
    </message>
    <message>
        <source>工作类型</source>
        <translation>Work mode</translation>
    </message>
    <message>
        <source>主机模式</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>终端模式</source>
        <translation>Terminal</translation>
    </message>
    <message>
        <source>主机+中继模式</source>
        <translation>Host + relay</translation>
    </message>
    <message>
        <source>终端+中继模式</source>
        <translation>Terminal + relay</translation>
    </message>
    <message>
        <source>数据采集模式</source>
        <translation>Data collection</translation>
    </message>
    <message>
        <source>数据采集+中继模式</source>
        <translation>Data collection + relay</translation>
    </message>
    <message>
        <source>联动IO模式</source>
        <translation>Linked IO</translation>
    </message>
    <message>
        <source>串口参数</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>1200</source>
        <translation>1200</translation>
    </message>
    <message>
        <source>2400</source>
        <translation>2400</translation>
    </message>
    <message>
        <source>4800</source>
        <translation>4800</translation>
    </message>
    <message>
        <source>9600</source>
        <translation>9600</translation>
    </message>
    <message>
        <source>19200</source>
        <translation>19200</translation>
    </message>
    <message>
        <source>38400</source>
        <translation>38400</translation>
    </message>
    <message>
        <source>57600</source>
        <translation>57600</translation>
    </message>
    <message>
        <source>115200</source>
        <translation>115200</translation>
    </message>
    <message>
        <source>230400</source>
        <translation>230400</translation>
    </message>
    <message>
        <source>460800</source>
        <translation>460800</translation>
    </message>
    <message>
        <source>数据位</source>
        <translation>Data bits</translation>
    </message>
    <message>
        <source>5</source>
        <translation>5</translation>
    </message>
    <message>
        <source>6</source>
        <translation>6</translation>
    </message>
    <message>
        <source>7</source>
        <translation>7</translation>
    </message>
    <message>
        <source>8</source>
        <translation>8</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>奇校验</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>偶校验</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>强制为0</source>
        <translation>Forced 0</translation>
    </message>
    <message>
        <source>强制为1</source>
        <translation>Forced 1</translation>
    </message>
    <message>
        <source>停止位</source>
        <translation>Stop bits</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>通信参数</source>
        <translation>Radio</translation>
    </message>
    <message>
        <source>速率</source>
        <translation>Air rate</translation>
    </message>
    <message>
        <source>250 K</source>
        <translation>250 K</translation>
    </message>
    <message>
        <source>500 K</source>
        <translation>500 K</translation>
    </message>
    <message>
        <source>1  M</source>
        <translation>1  M</translation>
    </message>
    <message>
        <source>发送功率</source>
        <translation>Transmit power</translation>
    </message>
    <message>
        <source>0x02: 8     dBm</source>
        <translation>0x02: 8     dBm</translation>
    </message>
    <message>
        <source>0x03: 7     dBm</source>
        <translation>0x03: 7     dBm</translation>
    </message>
    <message>
        <source>0x04: 6     dBm</source>
        <translation>0x04: 6     dBm</translation>
    </message>
    <message>
        <source>0x05: 5     dBm</source>
        <translation>0x05: 5     dBm</translation>
    </message>
    <message>
        <source>0x06: 4     dBm</source>
        <translation>0x06: 4     dBm</translation>
    </message>
    <message>
        <source>0x07: 3     dBm</source>
        <translation>0x07: 3     dBm</translation>
    </message>
    <message>
        <source>0x08: 2     dBm</source>
        <translation>0x08: 2     dBm</translation>
    </message>
    <message>
        <source>0x09: 1     dBm</source>
        <translation>0x09: 1     dBm</translation>
    </message>
    <message>
        <source>0x0A: 0     dBm</source>
        <translation>0x0A: 0     dBm</translation>
    </message>
    <message>
        <source>0x0B: -5   dBm</source>
        <translation>0x0B: -5   dBm</translation>
    </message>
    <message>
        <source>0x0C: -7   dBm</source>
        <translation>0x0C: -7   dBm</translation>
    </message>
    <message>
        <source>0x0D: -10dBm</source>
        <translation>0x0D: -10dBm</translation>
    </message>
    <message>
        <source>0x0E: -15dBm</source>
        <translation>0x0E: -15dBm</translation>
    </message>
    <message>
        <source>0x0F: -20dBm</source>
        <translation>0x0F: -20dBm</translation>
    </message>
    <message>
        <source>0x10: -30dBm</source>
        <translation>0x10: -30dBm</translation>
    </message>
    <message>
        <source>0x11: -40dBm</source>
        <translation>0x11: -40dBm</translation>
    </message>
    <message>
        <source>0x12: -50dBm</source>
        <translation>0x12: -50dBm</translation>
    </message>
    <message>
        <source>工作频率</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>Channel 6 (2380MHz)</source>
        <translation>Channel 6 (2380MHz)</translation>
    </message>
    <message>
        <source>Channel 7 (2385MHz)</source>
        <translation>Channel 7 (2385MHz)</translation>
    </message>
    <message>
        <source>Channel 8 (2390MHz)</source>
        <translation>Channel 8 (2390MHz)</translation>
    </message>
    <message>
        <source>Channel 9 (2395MHz)</source>
        <translation>Channel 9 (2395MHz)</translation>
    </message>
    <message>
        <source>Channel 10 (2400MHz)</source>
        <translation>Channel 10 (2400MHz)</translation>
    </message>
    <message>
        <source>Channel 11 (2405MHz)</source>
        <translation>Channel 11 (2405MHz)</translation>
    </message>
    <message>
        <source>Channel 12 (2410MHz)</source>
        <translation>Channel 12 (2410MHz)</translation>
    </message>
    <message>
        <source>Channel 13 (2415MHz)</source>
        <translation>Channel 13 (2415MHz)</translation>
    </message>
    <message>
        <source>Channel 14 (2420MHz)</source>
        <translation>Channel 14 (2420MHz)</translation>
    </message>
    <message>
        <source>Channel 15 (2425MHz)</source>
        <translation>Channel 15 (2425MHz)</translation>
    </message>
    <message>
        <source>Channel 16 (2430MHz)</source>
        <translation>Channel 16 (2430MHz)</translation>
    </message>
    <message>
        <source>Channel 17 (2435MHz)</source>
        <translation>Channel 17 (2435MHz)</translation>
    </message>
    <message>
        <source>Channel 18 (2440MHz)</source>
        <translation>Channel 18 (2440MHz)</translation>
    </message>
    <message>
        <source>Channel 19 (2445MHz)</source>
        <translation>Channel 19 (2445MHz)</translation>
    </message>
    <message>
        <source>Channel 20 (2450MHz)</source>
        <translation>Channel 20 (2450MHz)</translation>
    </message>
    <message>
        <source>Channel 21 (2455MHz)</source>
        <translation>Channel 21 (2455MHz)</translation>
    </message>
    <message>
        <source>Channel 22 (2460MHz)</source>
        <translation>Channel 22 (2460MHz)</translation>
    </message>
    <message>
        <source>Channel 23 (2465MHz)</source>
        <translation>Channel 23 (2465MHz)</translation>
    </message>
    <message>
        <source>Channel 24 (2470MHz)</source>
        <translation>Channel 24 (2470MHz)</translation>
    </message>
    <message>
        <source>Channel 25 (2475MHz)</source>
        <translation>Channel 25 (2475MHz)</translation>
    </message>
    <message>
        <source>Channel 26 (2480MHz)</source>
        <translation>Channel 26 (2480MHz)</translation>
    </message>
    <message>
        <source>Channel 27 (2485MHz)</source>
        <translation>Channel 27 (2485MHz)</translation>
    </message>
    <message>
        <source>Channel 28 (2490MHz)</source>
        <translation>Channel 28 (2490MHz)</translation>
    </message>
    <message>
        <source>Channel 29 (2495MHz)</source>
        <translation>Channel 29 (2495MHz)</translation>
    </message>
    <message>
        <source>Channel 30 (2500MHz)</source>
        <translation>Channel 30 (2500MHz)</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>剩余 %1 字节</source>
        <translation>%1 bytes left</translation>
    </message>
    <message>
        <source>设备名称不能含有模块不支持的字符，请从新输入</source>
        <translation>The device name cannot hold characters the module cannot store. Please enter it again.</translation>
    </message>
</context>
<context>
    <name>CViewDevAdvCfg</name>
    <message>
        <source>其他参数</source>
        <translation>Framing and retries</translation>
    </message>
    <message>
        <source>分帧间隔</source>
        <translation>Frame interval</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>分帧长度</source>
        <translation>Frame length</translation>
    </message>
    <message>
        <source>发送重试次数</source>
        <translation>Send retries</translation>
    </message>
    <message>
        <source>重试间隔时间</source>
        <translation>Retry interval</translation>
    </message>
    <message>
        <source>字节</source>
        <translation>bytes</translation>
    </message>
    <message>
        <source>次</source>
        <translation>times</translation>
    </message>
    <message>
        <source>0～255</source>
        <translation>0-255</translation>
    </message>
    <message>
        <source>0～65535</source>
        <translation>0-65535</translation>
    </message>
    <message>
        <source>升级设备</source>
        <translation>Firmware upgrade</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>Upgrade</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>操作失败，串口未打开！</source>
        <translation>Failed: the serial port is not open!</translation>
    </message>
    <message>
        <source>获取失败！</source>
        <translation>Read failed!</translation>
    </message>
    <message>
        <source>请先获取本地信息</source>
        <translation>Please read the local device first</translation>
    </message>
    <message>
        <source>网络设备 序号 %1，ID %2</source>
        <translation>network device no. %1, ID %2</translation>
    </message>
    <message>
        <source>本地设备，ID %1</source>
        <translation>local device, ID %1</translation>
    </message>
</context>
<context>
    <name>CViewLocalDevList</name>
    <message>
        <source>基本信息</source>
        <translation>Module information</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>设备类型</source>
        <translation>Device type</translation>
    </message>
    <message>
        <source>运行状态</source>
        <translation>Run state</translation>
    </message>
    <message>
        <source>BOOT</source>
        <translation>BOOT</translation>
    </message>
    <message>
        <source>USER</source>
        <translation>USER</translation>
    </message>
    <message>
        <source>NOBOOT</source>
        <translation>NOBOOT</translation>
    </message>
    <message>
        <source>固件版本号</source>
        <translation>Firmware version</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>修改配置</source>
        <translation>Modify</translation>
    </message>
    <message>
        <source>复位</source>
        <translation>Restart</translation>
    </message>
    <message>
        <source>恢复出厂设置</source>
        <translation>Factory settings</translation>
    </message>
    <message>
        <source>串口未打开，请先打开串口再进行此操作!</source>
        <translation>The serial port is not open. Please open it first!</translation>
    </message>
    <message>
        <source>获取本地信息失败</source>
        <translation>Reading the local device failed</translation>
    </message>
    <message>
        <source>获取本地信息成功！</source>
        <translation>Local device read successfully!</translation>
    </message>
    <message>
        <source>请先获取设备信息</source>
        <translation>Please read the device first</translation>
    </message>
    <message>
        <source>表单中显示的不是本地设备的配置，请先读取本地设备</source>
        <translation>The form does not show the local device&apos;s settings. Please read the local device first.</translation>
    </message>
    <message>
        <source>修改成功   </source>
        <translation>Settings written</translation>
    </message>
    <message>
        <source>恢复出厂设置失败</source>
        <translation>Restoring the factory settings failed</translation>
    </message>
</context>
<context>
    <name>CViewRemoteDevList</name>
    <message>
        <source>搜索设备</source>
        <translation>Search devices</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>设备ID</source>
        <translation>Device ID</translation>
    </message>
    <message>
        <source>设备类型</source>
        <translation>Device type</translation>
    </message>
    <message>
        <source>运行状态</source>
        <translation>Run state</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>修改配置</source>
        <translation>Modify</translation>
    </message>
    <message>
        <source>复位</source>
        <translation>Restart</translation>
    </message>
    <message>
        <source>恢复出厂设置</source>
        <translation>Factory settings</translation>
    </message>
    <message>
        <source>获取失败！</source>
        <translation>Read failed!</translation>
    </message>
    <message>
        <source>获取成功！</source>
        <translation>Read successfully!</translation>
    </message>
    <message>
        <source>请选择设备   </source>
        <translation>Please select a device</translation>
    </message>
    <message>
        <source>表单中显示的不是所选设备的配置，请先读取所选设备</source>
        <translation>The form does not show the selected device&apos;s settings. Please read the selected device first.</translation>
    </message>
    <message>
        <source>请先获取设备信息</source>
        <translation>Please read the device first</translation>
    </message>
    <message>
        <source>修改成功     </source>
        <translation>Settings written</translation>
    </message>
    <message>
        <source>修改后读回的应答可能来自使用同一地址的另一个设备，表单显示的是写入的值。</source>
        <translation>The read after the change may have been answered by another device on the same address; the form shows the values written.</translation>
    </message>
</context>
<context>
    <name>DoctorText</name>
    <message>
        <source>串口 {port} 存在（{device}）</source>
        <translation>Port {port} exists ({device})</translation>
    </message>
    <message>
        <source>串口 {port} 不存在</source>
        <translation>Port {port} does not exist</translation>
    </message>
    <message>
        <source>请插上适配器后刷新串口列表；若插上几秒后串口消失，请看下面的 brltty 一项。内核日志：sudo dmesg | tail -20</source>
        <translation>Plug in the adapter and refresh the port list; if the port vanishes a few seconds after plugging in, see the brltty item below. Kernel log: sudo dmesg | tail -20</translation>
    </message>
    <message>
        <source>正在使用固定名称 {by-id}</source>
        <translation>You use the stable name {by-id}</translation>
    </message>
    <message>
        <source>固定名称：{by-id}</source>
        <translation>Stable name: {by-id}</translation>
    </message>
    <message>
        <source>ttyUSB 编号会随插拔顺序变化，请改用固定名称 {by-id}</source>
        <translation>ttyUSB numbers change with the order of plugging in; use the stable name {by-id} instead</translation>
    </message>
    <message>
        <source>{device} 没有 /dev/serial/by-id/ 固定名称</source>
        <translation>{device} has no stable name in /dev/serial/by-id/</translation>
    </message>
    <message>
        <source>没有 USB 序列号的适配器没有固定名称，可用 udev 规则的 SYMLINK+= 指定一个</source>
        <translation>An adapter without a USB serial number has no stable name; a udev rule&apos;s SYMLINK+= can give it one</translation>
    </message>
    <message>
        <source>不是 USB 适配器，没有固定名称</source>
        <translation>No stable name: not a USB adapter&apos;s port</translation>
    </message>
    <message>
        <source>USB {usb-id} {chip}，序列号 {serial}，驱动 {driver}</source>
        <translation>USB {usb-id} {chip}, serial number {serial}, driver {driver}</translation>
    </message>
    <message>
        <source>主板自带串口（驱动 {driver}）</source>
        <translation>Built-in serial port (driver {driver})</translation>
    </message>
    <message>
        <source>{device} 是伪终端（模块模拟器），不是适配器</source>
        <translation>{device} is a pseudo-terminal (the module simulator), not an adapter</translation>
    </message>
    <message>
        <source>没有串口，无法查看适配器</source>
        <translation>No port, no adapter to look at</translation>
    </message>
    <message>
        <source>{owner}:{group}，权限 {mode}：您可以读写</source>
        <translation>{owner}:{group}, mode {mode}: you may read and write it</translation>
    </message>
    <message>
        <source>{owner}:{group}，权限 {mode}：您已加入 {group} 组，但本次登录尚未生效</source>
        <translation>{owner}:{group}, mode {mode}: you were added to the group {group}, but not yet in this login</translation>
    </message>
    <message>
        <source>请注销并重新登录（或 newgrp {group}）</source>
        <translation>Log out and in again (or newgrp {group})</translation>
    </message>
    <message>
        <source>{owner}:{group}，权限 {mode}：您不在 dialout 组</source>
        <translation>{owner}:{group}, mode {mode}: you are not in the group dialout</translation>
    </message>
    <message>
        <source>sudo usermod -aG dialout {user}
然后注销并重新登录</source>
        <translation>sudo usermod -aG dialout {user}
then log out and in again</translation>
    </message>
    <message>
        <source>{owner}:{group}，权限 {mode}：您和您所在的组都无权打开</source>
        <translation>{owner}:{group}, mode {mode}: neither you nor your groups may open it</translation>
    </message>
    <message>
        <source>用 udev 规则把它交给 dialout 组，再加入该组：
echo &apos;{rule}&apos; | sudo tee /etc/udev/rules.d/70-qrv-serial.rules
sudo udevadm control --reload &amp;&amp; sudo udevadm trigger
sudo usermod -aG dialout {user}</source>
        <translation>Give it to the group dialout with a udev rule, then join that group:
echo &apos;{rule}&apos; | sudo tee /etc/udev/rules.d/70-qrv-serial.rules
sudo udevadm control --reload &amp;&amp; sudo udevadm trigger
sudo usermod -aG dialout {user}</translation>
    </message>
    <message>
        <source>没有串口可检查</source>
        <translation>No port to check</translation>
    </message>
    <message>
        <source>没有您的程序占用它</source>
        <translation>No process of yours holds it</translation>
    </message>
    <message>
        <source>被 {program}（pid {pid}）通过 {lock} 锁定</source>
        <translation>Locked by {program} (pid {pid}) through {lock}</translation>
    </message>
    <message>
        <source>请关闭该程序，或结束它：kill {pid}</source>
        <translation>Close that program, or end it: kill {pid}</translation>
    </message>
    <message>
        <source>{lock} 记录的 pid {pid} 已不存在</source>
        <translation>{lock} names pid {pid}, which no longer exists</translation>
    </message>
    <message>
        <source>删除残留的锁文件：sudo rm {lock}</source>
        <translation>Remove the stale lock file: sudo rm {lock}</translation>
    </message>
    <message>
        <source>被 {program}（pid {pid}）打开</source>
        <translation>Opened by {program} (pid {pid})</translation>
    </message>
    <message>
        <source>另一个程序以独占方式（TIOCEXCL）打开了它</source>
        <translation>Another program opened it exclusively (TIOCEXCL)</translation>
    </message>
    <message>
        <source>查找该程序：sudo fuser -v {port}</source>
        <translation>Find that program: sudo fuser -v {port}</translation>
    </message>
    <message>
        <source>另一个程序锁定了它（flock）</source>
        <translation>Another program holds a lock on it (flock)</translation>
    </message>
    <message>
        <source>ModemManager 未运行</source>
        <translation>ModemManager is not running</translation>
    </message>
    <message>
        <source>ModemManager 在运行，但不探测此串口</source>
        <translation>ModemManager runs but does not probe this port</translation>
    </message>
    <message>
        <source>ModemManager 在运行，并忽略此串口</source>
        <translation>ModemManager runs and ignores this port</translation>
    </message>
    <message>
        <source>ModemManager 在运行，可能向模块发送 AT 命令</source>
        <translation>ModemManager runs and may send AT commands to the module</translation>
    </message>
    <message>
        <source>让它忽略此适配器：
echo &apos;{rule}&apos; | sudo tee /etc/udev/rules.d/70-qrv-mm-ignore.rules
sudo udevadm control --reload &amp;&amp; sudo udevadm trigger
本机不用调制解调器时也可：sudo systemctl disable --now ModemManager</source>
        <translation>Make it ignore this adapter:
echo &apos;{rule}&apos; | sudo tee /etc/udev/rules.d/70-qrv-mm-ignore.rules
sudo udevadm control --reload &amp;&amp; sudo udevadm trigger
Or, when this computer uses no modem: sudo systemctl disable --now ModemManager</translation>
    </message>
    <message>
        <source>未安装 brltty</source>
        <translation>brltty is not installed</translation>
    </message>
    <message>
        <source>已安装 brltty；此串口不是 USB</source>
        <translation>brltty is installed; this port is not USB</translation>
    </message>
    <message>
        <source>已安装 brltty，但它不占用 USB {usb-id}</source>
        <translation>brltty is installed but does not claim USB {usb-id}</translation>
    </message>
    <message>
        <source>brltty 的 udev 规则（{rules}）占用 USB {usb-id}：插上几秒后串口会被它拿走</source>
        <translation>brltty&apos;s udev rules ({rules}) claim USB {usb-id}: it takes the port a few seconds after plugging in</translation>
    </message>
    <message>
        <source>没有盲文显示器时卸载它：sudo apt remove brltty
或屏蔽其规则：sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules
然后重新插拔适配器</source>
        <translation>Without a braille display, remove it: sudo apt remove brltty
or mask its rules: sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules
then plug the adapter in again</translation>
    </message>
    <message>
        <source>此串口没有延迟计时器</source>
        <translation>No latency timer on this port</translation>
    </message>
    <message>
        <source>延迟计时器 {ms} ms</source>
        <translation>Latency timer {ms} ms</translation>
    </message>
    <message>
        <source>延迟计时器已设为 1 ms（拔出前有效）</source>
        <translation>Latency timer set to 1 ms (until the adapter is unplugged)</translation>
    </message>
    <message>
        <source>使其持久：echo &apos;{rule}&apos; | sudo tee /etc/udev/rules.d/70-qrv-latency.rules</source>
        <translation>To keep it: echo &apos;{rule}&apos; | sudo tee /etc/udev/rules.d/70-qrv-latency.rules</translation>
    </message>
    <message>
        <source>延迟计时器 {ms} ms：应答最多晚到 {ms} ms，有时分两段到达；9600 以上，晚于读间隔的一段会使通信失败</source>
        <translation>Latency timer {ms} ms: answers arrive up to {ms} ms late, sometimes in two pieces; above 9600 baud a piece later than the read interval makes the exchange fail</translation>
    </message>
    <message>
        <source>立即设为 1 ms：sudo qrvctl doctor --fix
使其持久：echo &apos;{rule}&apos; | sudo tee /etc/udev/rules.d/70-qrv-latency.rules
或在 设置 菜单中启用“容错读取”</source>
        <translation>Set it to 1 ms now: sudo qrvctl doctor --fix
To keep it: echo &apos;{rule}&apos; | sudo tee /etc/udev/rules.d/70-qrv-latency.rules
or turn on “Tolerant reads” in the Settings menu</translation>
    </message>
    <message>
        <source>模块在 {baud} 波特应答</source>
        <translation>The module answers at {baud} baud</translation>
    </message>
    <message>
        <source>在所有波特率（{rates}）上都没有模块应答</source>
        <translation>No module answered at any rate ({rates})</translation>
    </message>
    <message>
        <source>请检查模块是否上电（指示灯）、TX/RX 是否交叉（适配器 TX 接模块 RX）并共地、串口是否为 8N1，以及引导开关</source>
        <translation>Check that the module has power (its LED), that TX and RX are crossed (adapter TX to module RX) with a common ground, that the port is 8N1, and the boot switch</translation>
    </message>
    <message>
        <source>无法打开串口</source>
        <translation>Cannot open the port</translation>
    </message>
    <message>
        <source>串口不可用（见上）</source>
        <translation>The port cannot be used (see above)</translation>
    </message>
    <message>
        <source>串口已在 Qrvtune 中打开：关闭串口后再诊断，才能测量线路</source>
        <translation>The port is open in Qrvtune: close it and run the diagnosis again to measure the line</translation>
    </message>
    <message>
        <source>模块运行在引导程序中：上次固件升级被中断</source>
        <translation>The module runs its boot loader: the last firmware upgrade was interrupted</translation>
    </message>
    <message>
        <source>用同一固件重新升级（高级 → 固件升级）</source>
        <translation>Upgrade again with the same firmware (Advanced → Firmware upgrade)</translation>
    </message>
    <message>
        <source>{exchanges} 次通信：失败 {failures} 次，应答被截断 {short} 次，晚到 {late} 次；通常比协议下限多 {median-over-floor-ms} ms</source>
        <translation>{exchanges} exchanges: {failures} failed, {short} answers cut short, {late} late; typically {median-over-floor-ms} ms over the protocol&apos;s minimum</translation>
    </message>
    <message>
        <source>{exchanges} 次通信：失败 {failures} 次，应答被截断 {short} 次</source>
        <translation>{exchanges} exchanges: {failures} failed, {short} answers cut short</translation>
    </message>
    <message>
        <source>应答分段到达，间隔超过读间隔。请降低适配器的延迟计时器、改用较低的波特率，或在 设置 菜单中启用“容错读取”</source>
        <translation>Answers arrive in pieces further apart than the read interval. Lower the adapter&apos;s latency timer, use a lower baud rate, or turn on “Tolerant reads” in the Settings menu</translation>
    </message>
    <message>
        <source>{exchanges} 次通信：失败 {failures} 次</source>
        <translation>{exchanges} exchanges: {failures} failed</translation>
    </message>
    <message>
        <source>通信失败但原因不明：请检查连线、模块电源，以及是否有其他程序使用该串口</source>
        <translation>Exchanges fail without a visible cause: check the cable, the module&apos;s power supply, and whether another program uses the port</translation>
    </message>
    <message>
        <source>{exchanges} 次通信：应答通常比协议下限晚 {median-over-floor-ms} ms</source>
        <translation>{exchanges} exchanges: answers typically {median-over-floor-ms} ms later than the protocol&apos;s minimum</translation>
    </message>
    <message>
        <source>USB 适配器的延迟计时器扣住了应答；应答被计时器切开时通信会失败。请降低计时器（sudo qrvctl doctor --fix）或启用“容错读取”</source>
        <translation>A USB adapter&apos;s latency timer holds the answers back; an answer the timer cuts in two makes the exchange fail. Lower the timer (sudo qrvctl doctor --fix) or turn on “Tolerant reads”</translation>
    </message>
    <message>
        <source>没有模块，无法测量线路</source>
        <translation>No module, no line to measure</translation>
    </message>
    <message>
        <source>通过</source>
        <translation>pass</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>warn</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>fail</translation>
    </message>
    <message>
        <source>跳过</source>
        <translation>skip</translation>
    </message>
    <message>
        <source>串口 %1</source>
        <translation>Port %1</translation>
    </message>
</context>
<context>
    <name>FlowMessages</name>
    <message>
        <source>修改失败    </source>
        <translation>Writing failed</translation>
    </message>
    <message>
        <source>发送命令成功！</source>
        <translation>Command sent!</translation>
    </message>
    <message>
        <source>请选择设备</source>
        <translation>Please select a device</translation>
    </message>
    <message>
        <source>修改已写入，但未能读回模块的配置，表单中显示的是写入的值。如果修改了串口参数、地址、信道或速率，请按新的参数重新打开串口或重新搜索，再读取。</source>
        <translation>The settings were written, but the module could not be read back; the form shows the values sent. If you changed the serial settings, the address, the channel or the air rate, open the port with the new settings or search again, then read.</translation>
    </message>
</context>
<context>
    <name>ModuleRecord</name>
    <message>
        <source>当前显示：本地设备，ID %1</source>
        <translation>Showing: local device, ID %1</translation>
    </message>
    <message>
        <source>当前显示：网络设备 序号 %1，ID %2</source>
        <translation>Showing: network device No. %1, ID %2</translation>
    </message>
    <message>
        <source>当前显示：尚未读取设备</source>
        <translation>Showing: no device read yet</translation>
    </message>
</context>
<context>
    <name>PortList</name>
    <message>
        <source>qrvsim 模拟网络</source>
        <translation>qrvsim simulated network</translation>
    </message>
</context>
<context>
    <name>ProfileExchange</name>
    <message>
        <source>配置文件 (*.json)|*.json|所有文件 (*.*)|*.*||</source>
        <translation>Profiles (*.json)|*.json|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>导出配置…</source>
        <translation>Export profile…</translation>
    </message>
    <message>
        <source>导入配置…</source>
        <translation>Import profile…</translation>
    </message>
    <message>
        <source>导出配置失败：%1</source>
        <translation>The profile could not be exported: %1</translation>
    </message>
    <message>
        <source>配置已导出到 %1</source>
        <translation>The profile was exported to %1</translation>
    </message>
    <message>
        <source>导入配置失败：%1</source>
        <translation>The profile could not be imported: %1</translation>
    </message>
    <message>
        <source>导入的配置与设备当前的配置相同。</source>
        <translation>The imported profile matches the module&apos;s current configuration.</translation>
    </message>
    <message>
        <source>导入的配置与设备有 %1 项不同（设备 → 配置文件）：</source>
        <translation>The imported profile differs from the module in %1 field(s) (module → profile):</translation>
    </message>
    <message>
        <source>按“修改配置”并输入密码，才会写入设备。</source>
        <translation>Nothing is written until you press &quot;Modify&quot; and give the password.</translation>
    </message>
    <message>
        <source>设备名称</source>
        <translation>Device name</translation>
    </message>
    <message>
        <source>工作类型</source>
        <translation>Work mode</translation>
    </message>
    <message>
        <source>工作频率</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>网络号</source>
        <translation>Network ID</translation>
    </message>
    <message>
        <source>本机地址</source>
        <translation>Local address</translation>
    </message>
    <message>
        <source>目标地址</source>
        <translation>Destination address</translation>
    </message>
    <message>
        <source>速率</source>
        <translation>Air rate</translation>
    </message>
    <message>
        <source>发送功率</source>
        <translation>Transmit power</translation>
    </message>
    <message>
        <source>发送重试次数</source>
        <translation>Send retries</translation>
    </message>
    <message>
        <source>重试间隔时间</source>
        <translation>Retry interval</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>数据位</source>
        <translation>Data bits</translation>
    </message>
    <message>
        <source>停止位</source>
        <translation>Stop bits</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>分帧间隔</source>
        <translation>Frame gap</translation>
    </message>
    <message>
        <source>分帧长度</source>
        <translation>Frame length</translation>
    </message>
    <message>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>%1：配置文件中的值“%2”不能用于此设备。</source>
        <translation>%1: the profile&apos;s value “%2” cannot be used for this device.</translation>
    </message>
    <message>
        <source>文件 %1 不存在。</source>
        <translation>The file %1 does not exist.</translation>
    </message>
    <message>
        <source>%1 不是普通文件。</source>
        <translation>%1 is not a regular file.</translation>
    </message>
    <message>
        <source>没有读取 %1 的权限。</source>
        <translation>You may not read %1.</translation>
    </message>
    <message>
        <source>无法读取文件 %1（文件过大或读取出错）。</source>
        <translation>Cannot read the file %1 (too large, or a read error).</translation>
    </message>
    <message>
        <source>文件夹 %1 不存在。</source>
        <translation>The folder %1 does not exist.</translation>
    </message>
    <message>
        <source>无法写入文件 %1（没有写入权限或磁盘已满）。</source>
        <translation>Cannot write the file %1 (no permission, or the disk is full).</translation>
    </message>
    <message>
        <source>%1：“%2”过长（最多 %3 个字节，一个汉字占 2 个字节）或含有控制字符。</source>
        <translation>%1: “%2” is too long (at most %3 bytes; a Chinese character takes 2) or holds a control character.</translation>
    </message>
    <message>
        <source>%1：“%2”不是可选的值。</source>
        <translation>%1: “%2” is not one of the choices.</translation>
    </message>
    <message>
        <source>%1 不是有效的 JSON 文件（第 %2 行有误）。</source>
        <translation>%1 is not a valid JSON file (error in line %2).</translation>
    </message>
    <message>
        <source>%1 不是配置文件。</source>
        <translation>%1 is not a profile.</translation>
    </message>
    <message>
        <source>配置文件的版本 %1 比本程序新（本程序读取版本 %2）。</source>
        <translation>The profile is version %1, newer than this program reads (version %2).</translation>
    </message>
    <message>
        <source>配置文件中没有任何配置项。</source>
        <translation>The profile holds no settings.</translation>
    </message>
    <message>
        <source>配置文件中的“%1”不是设备的配置项。</source>
        <translation>“%1” in the profile is not a setting of the device.</translation>
    </message>
</context>
<context>
    <name>RecordFields</name>
    <message>
        <source>%1：请输入 %2–%3 之间的十六进制数。</source>
        <translation>%1: enter a hexadecimal number from %2 to %3.</translation>
    </message>
    <message>
        <source>%1：请输入 %2–%3 之间的整数。</source>
        <translation>%1: enter a whole number from %2 to %3.</translation>
    </message>
</context>
<context>
    <name>RecordText</name>
    <message>
        <source>QRV设备(点对点设备)</source>
        <translation>QRV device (point-to-point)</translation>
    </message>
    <message>
        <source>KORVANET设备</source>
        <translation>KORVANET device</translation>
    </message>
    <message>
        <source>VLX设备(无线IO设备)</source>
        <translation>VLX device (wireless IO)</translation>
    </message>
</context>
<context>
    <name>SdkFailure</name>
    <message>
        <source>串口未打开。请先选择串口，再按“打开串口”。</source>
        <translation>The serial port is not open. Choose a port first, then press &quot;Open port&quot;.</translation>
    </message>
    <message>
        <source>找不到串口 %1。请检查 USB 转串口线是否插好，然后按“重新扫描”，从列表中选择串口后再打开。</source>
        <translation>Serial port %1 cannot be found. Check that the USB serial adapter is plugged in, press &quot;Rescan&quot;, choose the port from the list and open it again.</translation>
    </message>
    <message>
        <source>没有权限打开串口 %1。请把当前用户加入 dialout 组（sudo usermod -aG dialout 用户名），重新登录后再试。</source>
        <translation>You have no permission to open serial port %1. Add your user to the dialout group (sudo usermod -aG dialout USERNAME), log out and in again, then retry.</translation>
    </message>
    <message>
        <source>%1 不是串口设备。请按“重新扫描”，从列表中选择串口（如 /dev/ttyUSB0）。</source>
        <translation>%1 is not a serial device. Press &quot;Rescan&quot; and choose a serial port from the list (such as /dev/ttyUSB0).</translation>
    </message>
    <message>
        <source>串口 %1 不接受所选的串口参数（波特率、数据位、校验位或停止位）。请换一组参数再打开。</source>
        <translation>Serial port %1 does not accept the chosen settings (baud rate, data bits, parity or stop bits). Choose other settings and open it again.</translation>
    </message>
    <message>
        <source>串口已断开：USB 转串口线可能被拔出。串口已关闭，请插好后按“重新扫描”，再按“打开串口”。</source>
        <translation>The serial port was disconnected: the USB serial adapter may have been unplugged. The port has been closed; plug the adapter in, press &quot;Rescan&quot;, then &quot;Open port&quot;.</translation>
    </message>
    <message>
        <source>无法在规定时间内向串口 %1 发送数据。请检查串口线和流控设置。</source>
        <translation>Data could not be sent to serial port %1 in time. Check the cable and the flow control settings.</translation>
    </message>
    <message>
        <source>模块的应答不正确：可能是串口参数（波特率、校验位）与模块不一致，或线路受到干扰。请检查串口参数和接线后再试。</source>
        <translation>The module&apos;s answer was not valid: the port settings (baud rate, parity) may differ from the module&apos;s, or the line is disturbed. Check the settings and the wiring, then retry.</translation>
    </message>
    <message>
        <source>请先读取设备信息，再进行此操作。</source>
        <translation>Read the device first, then retry.</translation>
    </message>
    <message>
        <source>所选串口</source>
        <translation>the chosen port</translation>
    </message>
    <message>
        <source>串口 %1 正被另一个程序占用。请先关闭使用该串口的程序，再按“打开串口”。</source>
        <translation>Serial port %1 is in use by another program. Close the program using it, then press &quot;Open port&quot;.</translation>
    </message>
    <message>
        <source>进程 %1</source>
        <translation>process %1</translation>
    </message>
    <message>
        <source>%1（进程 %2）</source>
        <translation>%1 (process %2)</translation>
    </message>
    <message>
        <source>串口 %1 正被 %2 占用。请先关闭该程序，再按“打开串口”。</source>
        <translation>Serial port %1 is held by %2. Close that program, then press &quot;Open port&quot;.</translation>
    </message>
    <message>
        <source>模块没有应答。请检查串口波特率是否与模块一致（可依次试 %1），接线是否正确，模块是否已上电。</source>
        <translation>The module did not answer. Check that the baud rate matches the module&apos;s (try %1 in turn), that the wiring is right and that the module is powered.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>模块拒绝了这次操作（状态 %1）。请重新读取设备信息，确认参数后再试。</source>
        <translation>The module refused the operation (status %1). Read the device again, check the values, then retry.</translation>
    </message>
    <message>
        <source>未知</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>详细信息：%1</source>
        <translation>Details: %1</translation>
    </message>
</context>
<context>
    <name>SdkMessages</name>
    <message>
        <source>固件版本不对</source>
        <translation>Wrong firmware version</translation>
    </message>
    <message>
        <source>无法打开固件文件“%1”：%2</source>
        <translation>Cannot open the firmware file “%1”: %2</translation>
    </message>
    <message>
        <source>无法读取固件文件“%1”：%2</source>
        <translation>Cannot read the firmware file “%1”: %2</translation>
    </message>
    <message>
        <source>固件文件“%1”无效：数据块偏移超出 0 到 65535 的范围</source>
        <translation>The firmware file “%1” is invalid: a block offset lies outside 0 to 65535</translation>
    </message>
    <message>
        <source>固件文件“%1”不完整：文件头需要 %2 个数据块，文件中只有 %3 个</source>
        <translation>The firmware file “%1” is incomplete: its header names %2 blocks, the file holds only %3</translation>
    </message>
</context>
<context>
    <name>SearchWorker</name>
    <message>
        <source>获取本地信息失败，请确定你的ZigBee设备已经接到计算机上...</source>
        <translation>Reading the local device failed. Please make sure your ZigBee device is connected to the computer...</translation>
    </message>
    <message>
        <source>搜索已中止：串口已断开</source>
        <translation>Search stopped: the serial port was disconnected</translation>
    </message>
    <message>
        <source>第 %1 / %2 组（信道 %3，速率 %4）</source>
        <translation>Pair %1 of %2 (channel %3, rate %4)</translation>
    </message>
    <message>
        <source>已找到 %1 个设备</source>
        <translation>%1 devices found</translation>
    </message>
    <message>
        <source>剩余约 %1 分 %2 秒</source>
        <translation>about %1 min %2 s left</translation>
    </message>
    <message>
        <source>剩余约 %1 秒</source>
        <translation>about %1 s left</translation>
    </message>
</context>
<context>
    <name>Toolkit</name>
    <message>
        <source>请输入一个整数。</source>
        <translation>Please enter an integer.</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>No</translation>
    </message>
</context>
<context>
    <name>TrafficModel</name>
    <message>
        <source>发送</source>
        <translation>Sent</translation>
    </message>
    <message>
        <source>接收</source>
        <translation>Received</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>数据</source>
        <translation>Bytes</translation>
    </message>
    <message>
        <source>含义</source>
        <translation>Meaning</translation>
    </message>
    <message>
        <source>时间：%1
方向：%2
数据：%3
含义：%4</source>
        <translation>Time: %1
Direction: %2
Bytes: %3
Meaning: %4</translation>
    </message>
    <message>
        <source>读取基本信息</source>
        <translation>read-base-info</translation>
    </message>
    <message>
        <source>读取配置</source>
        <translation>read-property</translation>
    </message>
    <message>
        <source>写入配置</source>
        <translation>write-property</translation>
    </message>
    <message>
        <source>切换信道</source>
        <translation>tune-radio</translation>
    </message>
    <message>
        <source>广播搜索</source>
        <translation>search-broadcast</translation>
    </message>
    <message>
        <source>按地址搜索</source>
        <translation>search-by-addr</translation>
    </message>
    <message>
        <source>复位</source>
        <translation>reset</translation>
    </message>
    <message>
        <source>进入升级</source>
        <translation>enter-update</translation>
    </message>
    <message>
        <source>固件数据块</source>
        <translation>firmware-block</translation>
    </message>
    <message>
        <source>结束升级</source>
        <translation>finish-update</translation>
    </message>
    <message>
        <source>恢复出厂设置</source>
        <translation>factory-reset</translation>
    </message>
    <message>
        <source>设置IO方向</source>
        <translation>io-set-directions</translation>
    </message>
    <message>
        <source>设置IO输出</source>
        <translation>io-set-outputs</translation>
    </message>
    <message>
        <source>读取IO输入</source>
        <translation>io-read-inputs</translation>
    </message>
    <message>
        <source>读取AD</source>
        <translation>io-read-ad</translation>
    </message>
    <message>
        <source>应答</source>
        <translation>answer</translation>
    </message>
    <message>
        <source>无法识别</source>
        <translation>unrecognised</translation>
    </message>
    <message>
        <source>字节</source>
        <translation>bytes</translation>
    </message>
    <message>
        <source>第一区</source>
        <translation>first</translation>
    </message>
    <message>
        <source>第二区</source>
        <translation>second</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>addr</translation>
    </message>
    <message>
        <source>新地址</source>
        <translation>new-addr</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>type</translation>
    </message>
    <message>
        <source>运行状态</source>
        <translation>run</translation>
    </message>
    <message>
        <source>固件版本</source>
        <translation>fw</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>status</translation>
    </message>
    <message>
        <source>信道</source>
        <translation>channel</translation>
    </message>
    <message>
        <source>速率</source>
        <translation>rate</translation>
    </message>
    <message>
        <source>偏移</source>
        <translation>offset</translation>
    </message>
    <message>
        <source>数量</source>
        <translation>count</translation>
    </message>
    <message>
        <source>区域</source>
        <translation>region</translation>
    </message>
    <message>
        <source>值</source>
        <translation>value</translation>
    </message>
    <message>
        <source>输入</source>
        <translation>lines</translation>
    </message>
    <message>
        <source>毫伏</source>
        <translation>mv</translation>
    </message>
</context>
</TS>
