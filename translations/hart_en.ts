<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Tr</name>
    <message>
        <source>设备故障</source>
        <translation>device malfunction</translation>
    </message>
    <message>
        <source>组态已改变</source>
        <translation>configuration changed</translation>
    </message>
    <message>
        <source>冷启动</source>
        <translation>cold start</translation>
    </message>
    <message>
        <source>更多状态可用</source>
        <translation>more status available</translation>
    </message>
    <message>
        <source>回路电流固定</source>
        <translation>loop current fixed</translation>
    </message>
    <message>
        <source>回路电流饱和</source>
        <translation>loop current saturated</translation>
    </message>
    <message>
        <source>非主变量超限</source>
        <translation>non-primary variable out of limits</translation>
    </message>
    <message>
        <source>主变量超限</source>
        <translation>primary variable out of limits</translation>
    </message>
    <message>
        <source>奇偶校验错误</source>
        <translation>parity error</translation>
    </message>
    <message>
        <source>溢出错误</source>
        <translation>overrun error</translation>
    </message>
    <message>
        <source>帧错误</source>
        <translation>framing error</translation>
    </message>
    <message>
        <source>校验和错误</source>
        <translation>checksum error</translation>
    </message>
    <message>
        <source>接收缓冲区溢出</source>
        <translation>receive buffer overflow</translation>
    </message>
    <message>
        <source>设备状态正常</source>
        <translation>Device status normal</translation>
    </message>
    <message>
        <source>通信错误:</source>
        <translation>Communication error: </translation>
    </message>
    <message>
        <source>字符%1不能写入仪表:只能使用大写字母、数字、空格和 !&quot;#$%&amp;&apos;()*+,-./:;&lt;=&gt;?@[\]^_</source>
        <translation>Character %1 cannot be written to the instrument: only capital letters, digits, space and !&quot;#$%&amp;&apos;()*+,-./:;&lt;=&gt;?@[\]^_ are allowed</translation>
    </message>
    <message>
        <source>年份%1无效:只能写入1900到2155年</source>
        <translation>Year %1 is invalid: only 1900 to 2155 can be written</translation>
    </message>
    <message>
        <source>日期无效:%1年%2月%3日不存在</source>
        <translation>Invalid date: %1-%2-%3 does not exist</translation>
    </message>
    <message>
        <source>正在上传..!</source>
        <translation>Reading..!</translation>
    </message>
    <message>
        <source>请稍后,正在下传....</source>
        <translation>Please wait, writing....</translation>
    </message>
    <message>
        <source>请稍后,正在下传,.....</source>
        <translation>Please wait, writing,.....</translation>
    </message>
    <message>
        <source>上传成功!</source>
        <translation>Read successful!</translation>
    </message>
    <message>
        <source>上传失败!</source>
        <translation>Read failed!</translation>
    </message>
    <message>
        <source>上传数据超时!</source>
        <translation>Read timed out!</translation>
    </message>
    <message>
        <source>写入传数据超时!</source>
        <translation>Write timed out!</translation>
    </message>
    <message>
        <source>找不到传感器,请检测传感器是否连接正确,电源是否已插上!</source>
        <translation>No instrument found; check that it is connected correctly and powered!</translation>
    </message>
    <message>
        <source>12_摄氏度  </source>
        <translation>12_degC  </translation>
    </message>
    <message>
        <source>13_华氏度  </source>
        <translation>13_degF  </translation>
    </message>
    <message>
        <source>14_兰氏度   </source>
        <translation>14_degR   </translation>
    </message>
    <message>
        <source>写入成功!</source>
        <translation>Write successful!</translation>
    </message>
    <message>
        <source>写入失败!指令没有定义!</source>
        <translation>Write failed! Command not implemented!</translation>
    </message>
    <message>
        <source>写入失败!参数值过大!</source>
        <translation>Write failed! Value too large!</translation>
    </message>
    <message>
        <source>写入失败!设置参数过小!</source>
        <translation>Write failed! Value too small!</translation>
    </message>
    <message>
        <source>写入失败!收到数据较少!</source>
        <translation>Write failed! Too few data bytes received!</translation>
    </message>
    <message>
        <source>写入失败!发送指令错误!</source>
        <translation>Write failed! Invalid command sent!</translation>
    </message>
    <message>
        <source>写入失败!写保护!</source>
        <translation>Write failed! Write protected!</translation>
    </message>
    <message>
        <source>写入失败!设置参数有可能价值!</source>
        <translation>Write failed! Value set to nearest possible value!</translation>
    </message>
    <message>
        <source>写入失败!设置参数有可能没有用!</source>
        <translation>Write failed! Value may not have been applied!</translation>
    </message>
    <message>
        <source>写入失败!通道被限制!</source>
        <translation>Write failed! Access restricted!</translation>
    </message>
    <message>
        <source>写入失败!</source>
        <translation>Write failed!</translation>
    </message>
    <message>
        <source>罗斯蒙特 644</source>
        <translation>Rosemount 644</translation>
    </message>
    <message>
        <source>罗斯蒙特 644RK</source>
        <translation>Rosemount 644RK</translation>
    </message>
    <message>
        <source>横河温度变送器</source>
        <translation>Yokogawa temperature transmitter</translation>
    </message>
    <message>
        <source>西门子温度变送器</source>
        <translation>Siemens temperature transmitter</translation>
    </message>
    <message>
        <source>科隆 TT50C</source>
        <translation>Krohne TT50C</translation>
    </message>
    <message>
        <source>罗斯蒙特 300SMV</source>
        <translation>Rosemount 300SMV</translation>
    </message>
    <message>
        <source>横河 EJA</source>
        <translation>Yokogawa EJA</translation>
    </message>
    <message>
        <source>正在查找地址 %1 的仪表..!</source>
        <translation>Looking for the instrument at address %1..!</translation>
    </message>
    <message>
        <source>地址 %1 无仪表应答</source>
        <translation>No instrument answers at address %1</translation>
    </message>
    <message>
        <source> (HART 7 仪表的短帧只回答命令 0,其他命令请用长帧)</source>
        <translation> (HART 7: a short frame gets an answer to command 0 only; use long frames)</translation>
    </message>
    <message>
        <source>正在上传...!</source>
        <translation>Reading...!</translation>
    </message>
    <message>
        <source>请稍后,正在下传.....</source>
        <translation>Please wait, writing.....</translation>
    </message>
    <message>
        <source>05不显示</source>
        <translation>05 Not shown</translation>
    </message>
    <message>
        <source>2线制</source>
        <translation>2-wire</translation>
    </message>
    <message>
        <source>3线制</source>
        <translation>3-wire</translation>
    </message>
    <message>
        <source>4线制</source>
        <translation>4-wire</translation>
    </message>
    <message>
        <source>通道1</source>
        <translation>Channel 1</translation>
    </message>
    <message>
        <source>通道2</source>
        <translation>Channel 2</translation>
    </message>
    <message>
        <source>通道3</source>
        <translation>Channel 3</translation>
    </message>
    <message>
        <source>通道4</source>
        <translation>Channel 4</translation>
    </message>
    <message>
        <source>传感器类型</source>
        <translation>Sensor type</translation>
    </message>
    <message>
        <source>接线方式</source>
        <translation>Wiring</translation>
    </message>
    <message>
        <source>温度单位</source>
        <translation>Temperature unit</translation>
    </message>
    <message>
        <source>上传失败</source>
        <translation>Read failed</translation>
    </message>
    <message>
        <source>PT100，A=385  2 WIRE</source>
        <translation>PT100, A=385  2 WIRE</translation>
    </message>
    <message>
        <source>PT100，A=385  4 WIRE</source>
        <translation>PT100, A=385  4 WIRE</translation>
    </message>
    <message>
        <source>T/C，K  2 WIRE</source>
        <translation>T/C, K  2 WIRE</translation>
    </message>
    <message>
        <source>T/C，S  2 WIRE</source>
        <translation>T/C, S  2 WIRE</translation>
    </message>
    <message>
        <source>00 无</source>
        <translation>00 None</translation>
    </message>
    <message>
        <source>02 二线制</source>
        <translation>02 2-wire</translation>
    </message>
    <message>
        <source>03 三线制</source>
        <translation>03 3-wire</translation>
    </message>
    <message>
        <source>04 四线制</source>
        <translation>04 4-wire</translation>
    </message>
    <message>
        <source>请先上传科隆TT50C的配置,再下传!</source>
        <translation>Read the Krohne TT50C configuration first, then write!</translation>
    </message>
    <message>
        <source>04_0C 无</source>
        <translation>04_0C None</translation>
    </message>
    <message>
        <source>01 无</source>
        <translation>01 None</translation>
    </message>
    <message>
        <source>写入失败!设置参数不对</source>
        <translation>Write failed! Invalid setting</translation>
    </message>
    <message>
        <source>请稍后,正在上传....</source>
        <translation>Please wait, reading....</translation>
    </message>
    <message>
        <source>00-F1-Pt50 GOST(a=0.003911)，</source>
        <translation>00-F1-Pt50 GOST(a=0.003911),</translation>
    </message>
    <message>
        <source>01-0C-Pt100 IEC60751(a=0.00385)，</source>
        <translation>01-0C-Pt100 IEC60751(a=0.00385),</translation>
    </message>
    <message>
        <source>02-16-Pt100 JISC1604-81(a=0.003916)，</source>
        <translation>02-16-Pt100 JISC1604-81(a=0.003916),</translation>
    </message>
    <message>
        <source>03-2A-Pt100 SAMA(a=0.003923)，</source>
        <translation>03-2A-Pt100 SAMA(a=0.003923),</translation>
    </message>
    <message>
        <source>04-F2-Pt100 GOST(a=0.003911)，</source>
        <translation>04-F2-Pt100 GOST(a=0.003911),</translation>
    </message>
    <message>
        <source>05-0D-Pt200 IEC60751(a=0.00385)，</source>
        <translation>05-0D-Pt200 IEC60751(a=0.00385),</translation>
    </message>
    <message>
        <source>06-0E-Pt500 IEC60751(a=0.00385)，</source>
        <translation>06-0E-Pt500 IEC60751(a=0.00385),</translation>
    </message>
    <message>
        <source>07-0F-Pt1000 IEC60751(a=0.00385)，</source>
        <translation>07-0F-Pt1000 IEC60751(a=0.00385),</translation>
    </message>
    <message>
        <source>08-48-Ni100 DIN43760(a=0.006180)，</source>
        <translation>08-48-Ni100 DIN43760(a=0.006180),</translation>
    </message>
    <message>
        <source>09-3F-Ni120 DIN43760(a=0.006180)，</source>
        <translation>09-3F-Ni120 DIN43760(a=0.006180),</translation>
    </message>
    <message>
        <source>10-4A-Ni1000 DIN43760(a=0.006180)，</source>
        <translation>10-4A-Ni1000 DIN43760(a=0.006180),</translation>
    </message>
    <message>
        <source>11-51-Cu10 Edison(a=0.004271)，</source>
        <translation>11-51-Cu10 Edison(a=0.004271),</translation>
    </message>
    <message>
        <source>12-F3-Cu50 GOST(a=0.004278)，</source>
        <translation>12-F3-Cu50 GOST(a=0.004278),</translation>
    </message>
    <message>
        <source>13-F4-Cu100 GOST(a=0.004278)，</source>
        <translation>13-F4-Cu100 GOST(a=0.004278),</translation>
    </message>
    <message>
        <source>14-83-TC Type B(PtRh30-PtRh6) IEC60584，</source>
        <translation>14-83-TC Type B(PtRh30-PtRh6) IEC60584,</translation>
    </message>
    <message>
        <source>15-84-TC Type C(W5Re-W26Re) ASTM E988，</source>
        <translation>15-84-TC Type C(W5Re-W26Re) ASTM E988,</translation>
    </message>
    <message>
        <source>16-85-TC Type D(W3Re-W25Re) ASTM E988，</source>
        <translation>16-85-TC Type D(W3Re-W25Re) ASTM E988,</translation>
    </message>
    <message>
        <source>17-86-TC Type E(NiCr-CuNi) IEC60584，</source>
        <translation>17-86-TC Type E(NiCr-CuNi) IEC60584,</translation>
    </message>
    <message>
        <source>18-88-TC Type J(Fe-CuNi) IEC60584，</source>
        <translation>18-88-TC Type J(Fe-CuNi) IEC60584,</translation>
    </message>
    <message>
        <source>19-89-TC Type K(NiCr-Ni) IEC60584，</source>
        <translation>19-89-TC Type K(NiCr-Ni) IEC60584,</translation>
    </message>
    <message>
        <source>20-8E-TC Type L(Fe-CuNi) IEC60584，</source>
        <translation>20-8E-TC Type L(Fe-CuNi) IEC60584,</translation>
    </message>
    <message>
        <source>21-8A-TC Type N(NiCrSi-NiSi) IEC60584，</source>
        <translation>21-8A-TC Type N(NiCrSi-NiSi) IEC60584,</translation>
    </message>
    <message>
        <source>22-8B-TC Type R(PtRh31-Pt) IEC60584，</source>
        <translation>22-8B-TC Type R(PtRh31-Pt) IEC60584,</translation>
    </message>
    <message>
        <source>23-8C-TC Type S(PtRh10-Pt) IEC60584，</source>
        <translation>23-8C-TC Type S(PtRh10-Pt) IEC60584,</translation>
    </message>
    <message>
        <source>24-8D-TC Type T(Cu-CuNi) IEC60584，</source>
        <translation>24-8D-TC Type T(Cu-CuNi) IEC60584,</translation>
    </message>
    <message>
        <source>25-8F-TC Type U(Cu-CuNi) IEC60584，</source>
        <translation>25-8F-TC Type U(Cu-CuNi) IEC60584,</translation>
    </message>
    <message>
        <source>26-F0-Polynom RTD，</source>
        <translation>26-F0-Polynom RTD,</translation>
    </message>
    <message>
        <source>27-03-callendar Van-Dusen）</source>
        <translation>27-03-callendar Van-Dusen)</translation>
    </message>
    <message>
        <source>传感类型</source>
        <translation>Sensor type</translation>
    </message>
    <message>
        <source>偏移值</source>
        <translation>Offset</translation>
    </message>
    <message>
        <source>请先上传</source>
        <translation>Read first</translation>
    </message>
    <message>
        <source>Polynom_RTD系数</source>
        <translation>Polynom_RTD coefficient</translation>
    </message>
    <message>
        <source>callendar系数</source>
        <translation>Callendar coefficient</translation>
    </message>
    <message>
        <source>HART_modem 主设备用</source>
        <translation>HART_modem primary master</translation>
    </message>
    <message>
        <source>HART_modem 副主设备用</source>
        <translation>HART_modem secondary master</translation>
    </message>
    <message>
        <source>线性</source>
        <translation>Linear</translation>
    </message>
    <message>
        <source>开方</source>
        <translation>Square root</translation>
    </message>
    <message>
        <source>传感编号1</source>
        <translation>Sensor 1</translation>
    </message>
    <message>
        <source>传感编号2</source>
        <translation>Sensor 2</translation>
    </message>
    <message>
        <source>设置系数X0</source>
        <translation>Coefficient X0</translation>
    </message>
    <message>
        <source>设置系数X1</source>
        <translation>Coefficient X1</translation>
    </message>
    <message>
        <source>设置系数X2</source>
        <translation>Coefficient X2</translation>
    </message>
    <message>
        <source>设置系数X3</source>
        <translation>Coefficient X3</translation>
    </message>
    <message>
        <source>设置系数X4</source>
        <translation>Coefficient X4</translation>
    </message>
    <message>
        <source>设置计数系数A</source>
        <translation>Coefficient A</translation>
    </message>
    <message>
        <source>设置计数系数B</source>
        <translation>Coefficient B</translation>
    </message>
    <message>
        <source>设置计数系数C</source>
        <translation>Coefficient C</translation>
    </message>
    <message>
        <source>设置计数系数R0</source>
        <translation>Coefficient R0</translation>
    </message>
    <message>
        <source>数值%1超出范围:只能写入0到16777215</source>
        <translation>Value %1 out of range: only 0 to 16777215 can be written</translation>
    </message>
    <message>
        <source>请先上传单位!</source>
        <translation>Read the unit first!</translation>
    </message>
    <message>
        <source>请选择%1!</source>
        <translation>Please choose: %1!</translation>
    </message>
    <message>
        <source>输出电流</source>
        <translation>Output current</translation>
    </message>
    <message>
        <source>阵发指令号</source>
        <translation>Burst command</translation>
    </message>
    <message>
        <source>量程单位</source>
        <translation>Range unit</translation>
    </message>
    <message>
        <source>输出特性</source>
        <translation>Transfer function</translation>
    </message>
    <message>
        <source>动态变量1</source>
        <translation>Variable 1</translation>
    </message>
    <message>
        <source>动态变量2</source>
        <translation>Variable 2</translation>
    </message>
    <message>
        <source>动态变量3</source>
        <translation>Variable 3</translation>
    </message>
    <message>
        <source>动态变量4</source>
        <translation>Variable 4</translation>
    </message>
    <message>
        <source>输出电流值</source>
        <translation>Loop current</translation>
    </message>
    <message>
        <source>输出电流百分比</source>
        <translation>Percent of range</translation>
    </message>
    <message>
        <source>制造ID</source>
        <translation>Manufacturer ID</translation>
    </message>
    <message>
        <source>前导符字节数</source>
        <translation>Preambles</translation>
    </message>
    <message>
        <source>传感器序列号</source>
        <translation>Sensor serial no.</translation>
    </message>
    <message>
        <source>HART协议版本</source>
        <translation>HART revision</translation>
    </message>
    <message>
        <source>扩展设备类型</source>
        <translation>Expanded device type</translation>
    </message>
    <message>
        <source>组态变更计数</source>
        <translation>Config change counter</translation>
    </message>
    <message>
        <source>制造商代码</source>
        <translation>Manufacturer code</translation>
    </message>
    <message>
        <source>地址号</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>短帧地修改</source>
        <translation>Polling address</translation>
    </message>
    <message>
        <source>HART 0-15地址轮巡检测</source>
        <translation>Scan HART addresses 0-15</translation>
    </message>
    <message>
        <source>附加状态:</source>
        <translation>More status:</translation>
    </message>
    <message>
        <source>当前动态变量1</source>
        <translation>Variable 1</translation>
    </message>
    <message>
        <source>当前动态变量2</source>
        <translation>Variable 2</translation>
    </message>
    <message>
        <source>当前动态变量3</source>
        <translation>Variable 3</translation>
    </message>
    <message>
        <source>当前动态变量4</source>
        <translation>Variable 4</translation>
    </message>
    <message>
        <source>测量上限值</source>
        <translation>Upper sensor limit</translation>
    </message>
    <message>
        <source>测量下限值</source>
        <translation>Lower sensor limit</translation>
    </message>
    <message>
        <source>单位</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>量程上限</source>
        <translation>Upper range value</translation>
    </message>
    <message>
        <source>量程下限</source>
        <translation>Lower range value</translation>
    </message>
    <message>
        <source>阻尼时间</source>
        <translation>Damping</translation>
    </message>
    <message>
        <source>制造商</source>
        <translation>Manufacturer</translation>
    </message>
    <message>
        <source>设备信息</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>标记</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>模述符</source>
        <translation>Descriptor</translation>
    </message>
    <message>
        <source>出厂日期 年</source>
        <translation>Date year</translation>
    </message>
    <message>
        <source>出厂日期 月</source>
        <translation>Date month</translation>
    </message>
    <message>
        <source>出厂日期 日</source>
        <translation>Date day</translation>
    </message>
    <message>
        <source>装配号</source>
        <translation>Final assembly no.</translation>
    </message>
    <message>
        <source>澷度通道</source>
        <translation>Temperature channel</translation>
    </message>
    <message>
        <source>二线制电阻值</source>
        <translation>2-wire resistance</translation>
    </message>
    <message>
        <source>传感器编号</source>
        <translation>Sensor number</translation>
    </message>
    <message>
        <source>传感器单位与偏移值</source>
        <translation>Sensor unit and offset</translation>
    </message>
    <message>
        <source>西门子HART协议温度传感器类型</source>
        <translation>Siemens sensor type</translation>
    </message>
    <message>
        <source>科隆TT50C 传感器类型</source>
        <translation>Krohne TT50C sensor type</translation>
    </message>
    <message>
        <source>科隆TT50C 接线方式</source>
        <translation>Krohne TT50C wiring</translation>
    </message>
    <message>
        <source>ABBTTH200 传感器类型</source>
        <translation>ABB TTH200 sensor type</translation>
    </message>
    <message>
        <source>ABBTTH200 接线方式</source>
        <translation>ABB TTH200 wiring</translation>
    </message>
    <message>
        <source>变量1</source>
        <translation>Variable 1</translation>
    </message>
    <message>
        <source>变量2</source>
        <translation>Variable 2</translation>
    </message>
    <message>
        <source>变量3</source>
        <translation>Variable 3</translation>
    </message>
    <message>
        <source>变量4</source>
        <translation>Variable 4</translation>
    </message>
    <message>
        <source>显示内容 1</source>
        <translation>Display line 1</translation>
    </message>
    <message>
        <source>显示内容 2</source>
        <translation>Display line 2</translation>
    </message>
    <message>
        <source>显示内容 3</source>
        <translation>Display line 3</translation>
    </message>
    <message>
        <source>显示内容 4</source>
        <translation>Display line 4</translation>
    </message>
    <message>
        <source>设零点模式</source>
        <translation>Zero mode</translation>
    </message>
    <message>
        <source>零点切除%</source>
        <translation>Low cut-off %</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>配置文件 (*.json)</source>
        <translation>Configuration files (*.json)</translation>
    </message>
    <message>
        <source>配置文件</source>
        <translation>Configuration</translation>
    </message>
    <message>
        <source>保存配置…</source>
        <translation>Save configuration…</translation>
    </message>
    <message>
        <source>通用仪表 (只保存通用参数)</source>
        <translation>Universal instrument (universal settings only)</translation>
    </message>
    <message>
        <source>保存配置</source>
        <translation>Save configuration</translation>
    </message>
    <message>
        <source>仪表型号:</source>
        <translation>Instrument model:</translation>
    </message>
    <message>
        <source>比较配置…</source>
        <translation>Compare configuration…</translation>
    </message>
    <message>
        <source>载入配置…</source>
        <translation>Load configuration…</translation>
    </message>
    <message>
        <source>生成报告…</source>
        <translation>Create report…</translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>无法使用该配置文件:</source>
        <translation>Cannot use this configuration file: </translation>
    </message>
    <message>
        <source>串口没有打开!</source>
        <translation>The serial port is not open!</translation>
    </message>
    <message>
        <source>正在读取: </source>
        <translation>Reading: </translation>
    </message>
    <message>
        <source>正在写入: </source>
        <translation>Writing: </translation>
    </message>
    <message>
        <source>正在回读: </source>
        <translation>Reading back: </translation>
    </message>
    <message>
        <source>已取消。</source>
        <translation>Cancelled.</translation>
    </message>
    <message>
        <source>已写入: </source>
        <translation>Written: </translation>
    </message>
    <message>
        <source>; 最后一项写入是否被仪表接受未知。</source>
        <translation>; whether the instrument took the last write is unknown.</translation>
    </message>
    <message>
        <source>读取 </source>
        <translation>Reading </translation>
    </message>
    <message>
        <source> 失败: </source>
        <translation> failed: </translation>
    </message>
    <message>
        <source>配置已保存到 </source>
        <translation>Configuration saved to </translation>
    </message>
    <message>
        <source>报告已生成: </source>
        <translation>Report written: </translation>
    </message>
    <message>
        <source>仪表与配置文件一致。</source>
        <translation>The instrument matches the configuration file.</translation>
    </message>
    <message>
        <source>以下字段不同:
</source>
        <translation>These fields differ:
</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>file</translation>
    </message>
    <message>
        <source>仪表</source>
        <translation>instrument</translation>
    </message>
    <message>
        <source>该配置文件属于另一型号的仪表(制造ID或传感器类型不同)。作为替换仪表写入吗?</source>
        <translation>This configuration file is of another instrument model (manufacturer ID or device type differ). Write it as a replacement instrument?</translation>
    </message>
    <message>
        <source>未写入任何字段。</source>
        <translation>Nothing was written.</translation>
    </message>
    <message>
        <source>仪表与配置文件一致,无需写入。</source>
        <translation>The instrument matches the configuration file; nothing to write.</translation>
    </message>
    <message>
        <source>
写入 </source>
        <translation>
Write </translation>
    </message>
    <message>
        <source> 吗?</source>
        <translation>?</translation>
    </message>
    <message>
        <source>
回读 </source>
        <translation>
Reading back </translation>
    </message>
    <message>
        <source>,其后的字段未写入。</source>
        <translation>; the fields after it were not written.</translation>
    </message>
    <message>
        <source>
仪表未接受: </source>
        <translation>
Not taken by the instrument: </translation>
    </message>
    <message>
        <source>HART 智能仪表配置工具</source>
        <translation>HART Instrument Configuration Tool</translation>
    </message>
    <message>
        <source>联机测试   </source>
        <translation>Online   </translation>
    </message>
    <message>
        <source>仪表输入输出校正  </source>
        <translation>Output calibration  </translation>
    </message>
    <message>
        <source>仪表基本参数设置  </source>
        <translation>Basic parameters  </translation>
    </message>
    <message>
        <source>仪表基本信息</source>
        <translation>Information</translation>
    </message>
    <message>
        <source> 温度变送器参数配置</source>
        <translation> Temperature transmitters</translation>
    </message>
    <message>
        <source>差压及多变量变送器</source>
        <translation>DP and multivariable</translation>
    </message>
    <message>
        <source>VT420-K(II)接线示意图</source>
        <translation>VT420-K(II) wiring</translation>
    </message>
    <message>
        <source>VT420-K(I)接线图)</source>
        <translation>VT420-K(I) wiring)</translation>
    </message>
    <message>
        <source>IP连或者COM号:</source>
        <translation>IP or COM port:</translation>
    </message>
    <message>
        <source>打开串口</source>
        <translation>Open port</translation>
    </message>
    <message>
        <source>发送HART命令:</source>
        <translation>Sent frame:</translation>
    </message>
    <message>
        <source>接收数据区:</source>
        <translation>Received:</translation>
    </message>
    <message>
        <source>清除内容</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>发送字数:</source>
        <translation>Sent:</translation>
    </message>
    <message>
        <source>接收字节数:</source>
        <translation>Received:</translation>
    </message>
    <message>
        <source>传输状态:</source>
        <translation>Status:</translation>
    </message>
    <message>
        <source>读取更多状态</source>
        <translation>More status</translation>
    </message>
    <message>
        <source>主设备类型</source>
        <translation>Master type</translation>
    </message>
    <message>
        <source>轮巡地址</source>
        <translation>Scanned address</translation>
    </message>
    <message>
        <source>当前动态变量1单位</source>
        <translation>Variable 1 unit</translation>
    </message>
    <message>
        <source>当前动态变量2单位</source>
        <translation>Variable 2 unit</translation>
    </message>
    <message>
        <source>当前动态变量3单位</source>
        <translation>Variable 3 unit</translation>
    </message>
    <message>
        <source>当前动态变量4单位</source>
        <translation>Variable 4 unit</translation>
    </message>
    <message>
        <source>其他输出电流 mA</source>
        <translation>Other output current mA</translation>
    </message>
    <message>
        <source>出厂日期: 年</source>
        <translation>Date: year</translation>
    </message>
    <message>
        <source>出厂日期: 月</source>
        <translation>Date: month</translation>
    </message>
    <message>
        <source>出厂日期: 日</source>
        <translation>Date: day</translation>
    </message>
    <message>
        <source>显示内容: 第1行</source>
        <translation>Display: line 1</translation>
    </message>
    <message>
        <source>显示内容: 第2行</source>
        <translation>Display: line 2</translation>
    </message>
    <message>
        <source>显示内容: 第3行</source>
        <translation>Display: line 3</translation>
    </message>
    <message>
        <source>显示内容: 第4行</source>
        <translation>Display: line 4</translation>
    </message>
    <message>
        <source>Polynom_RTD 系数值</source>
        <translation>Polynom_RTD coefficient value</translation>
    </message>
    <message>
        <source>callendar-Alp 系数值</source>
        <translation>Callendar-Alp coefficient value</translation>
    </message>
    <message>
        <source>设备状态</source>
        <translation>Device status</translation>
    </message>
    <message>
        <source>HART 协议版本与组态变更计数</source>
        <translation>HART revision and configuration change counter</translation>
    </message>
    <message>
        <source>串口已断开!</source>
        <translation>Serial port disconnected!</translation>
    </message>
    <message>
        <source>串口没有打开,数据没有发送!</source>
        <translation>Serial port not open, nothing sent!</translation>
    </message>
    <message>
        <source>串口写入失败,数据没有发送!</source>
        <translation>Serial port write failed, nothing sent!</translation>
    </message>
    <message>
        <source>HART-IP 连接已断开!</source>
        <translation>HART-IP connection lost!</translation>
    </message>
    <message>
        <source>趋势</source>
        <translation>Trend</translation>
    </message>
    <message>
        <source>趋势窗口…</source>
        <translation>Trend window…</translation>
    </message>
    <message>
        <source>无法连接 %1:%2</source>
        <translation>Cannot connect to %1: %2</translation>
    </message>
    <message>
        <source>关闭串口</source>
        <translation>Close port</translation>
    </message>
    <message>
        <source>HART-IP 连接 %1 已断开:%2。请检查网络和网关,然后重新打开。</source>
        <translation>HART-IP connection %1 lost: %2. Check the network and the gateway, then open it again.</translation>
    </message>
    <message>
        <source>连接中断</source>
        <translation>connection broken</translation>
    </message>
    <message>
        <source>串口 %1 已断开!请检查HART调制解调器的连接,然后重新打开串口。</source>
        <translation>Serial port %1 disconnected! Check the HART modem&apos;s connection, then open the port again.</translation>
    </message>
    <message>
        <source>无法打开 %1:没有这个设备,请检查端口名和HART调制解调器的连接</source>
        <translation>Cannot open %1: no such device; check the port name and the HART modem&apos;s connection</translation>
    </message>
    <message>
        <source>无法打开 %1:没有权限。请把用户加入 dialout 组,然后重新登录</source>
        <translation>Cannot open %1: permission denied. Add the user to the dialout group, then log in again</translation>
    </message>
    <message>
        <source>无法打开 %1:串口正被其他程序占用</source>
        <translation>Cannot open %1: the port is in use by another program</translation>
    </message>
    <message>
        <source>无法打开 %1:%2</source>
        <translation>Cannot open %1: %2</translation>
    </message>
    <message>
        <source>电流输出</source>
        <translation>Current output</translation>
    </message>
    <message>
        <source>4mA 输 出</source>
        <translation>4 mA</translation>
    </message>
    <message>
        <source>8mA 输 出</source>
        <translation>8 mA</translation>
    </message>
    <message>
        <source>12mA 输 出</source>
        <translation>12 mA</translation>
    </message>
    <message>
        <source>16mA 输 出</source>
        <translation>16 mA</translation>
    </message>
    <message>
        <source>20mA 输 出</source>
        <translation>20 mA</translation>
    </message>
    <message>
        <source>其 他 输 出:</source>
        <translation>Other:</translation>
    </message>
    <message>
        <source>退出固定出模式</source>
        <translation>Leave fixed mode</translation>
    </message>
    <message>
        <source>下  传</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>电流输出校准</source>
        <translation>Current trim</translation>
    </message>
    <message>
        <source>输出高电流微调:</source>
        <translation>Trim high current:</translation>
    </message>
    <message>
        <source>注意:要先下传固定电流20mA输出</source>
        <translation>Note: first write fixed current 20 mA</translation>
    </message>
    <message>
        <source>及设置18mA 与22mA之间</source>
        <translation>and set between 18 mA and 22 mA</translation>
    </message>
    <message>
        <source>输出低电流微调:</source>
        <translation>Trim low current:</translation>
    </message>
    <message>
        <source>注意:要先下传固定电流4mA输出</source>
        <translation>Note: first write fixed current 4 mA</translation>
    </message>
    <message>
        <source>设置值在2mA 与6mA之间</source>
        <translation>Set between 2 mA and 6 mA</translation>
    </message>
    <message>
        <source>校准4mA</source>
        <translation>Trim 4 mA</translation>
    </message>
    <message>
        <source>仪表上的ZERO</source>
        <translation>Instrument ZERO</translation>
    </message>
    <message>
        <source>校准20mA</source>
        <translation>Trim 20 mA</translation>
    </message>
    <message>
        <source>仪表上的SPAN</source>
        <translation>Instrument SPAN</translation>
    </message>
    <message>
        <source>仪表显示值调整</source>
        <translation>Display value adjustment</translation>
    </message>
    <message>
        <source>零点调整</source>
        <translation>Zero adjust</translation>
    </message>
    <message>
        <source>低点调整：</source>
        <translation>Low point:</translation>
    </message>
    <message>
        <source>高点调整：</source>
        <translation>High point:</translation>
    </message>
    <message>
        <source>数值单位则为是主变量的单位</source>
        <translation>Values are in the primary variable&apos;s unit</translation>
    </message>
    <message>
        <source>设备信息:</source>
        <translation>Message:</translation>
    </message>
    <message>
        <source>最多32个字符</source>
        <translation>max. 32 chars</translation>
    </message>
    <message>
        <source>上  传</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>标记:</source>
        <translation>Tag:</translation>
    </message>
    <message>
        <source>最多8个字符</source>
        <translation>max. 8 chars</translation>
    </message>
    <message>
        <source>模述符:</source>
        <translation>Descriptor:</translation>
    </message>
    <message>
        <source>最多16个字符</source>
        <translation>max. 16 chars</translation>
    </message>
    <message>
        <source>出厂日期:</source>
        <translation>Date:</translation>
    </message>
    <message>
        <source>年</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>月</source>
        <translation>M</translation>
    </message>
    <message>
        <source>日</source>
        <translation>D</translation>
    </message>
    <message>
        <source>传感器序列号:</source>
        <translation>Sensor serial:</translation>
    </message>
    <message>
        <source>装配号:</source>
        <translation>Assembly no.:</translation>
    </message>
    <message>
        <source>短帧地修改:</source>
        <translation>Polling address:</translation>
    </message>
    <message>
        <source>备份传感器数据</source>
        <translation>Back up sensor data</translation>
    </message>
    <message>
        <source>恢复出厂设置</source>
        <translation>Factory reset</translation>
    </message>
    <message>
        <source>HART智能仪表设备基本信息</source>
        <translation>HART instrument identity</translation>
    </message>
    <message>
        <source>地址号:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>制造ID:</source>
        <translation>Manufacturer:</translation>
    </message>
    <message>
        <source>传感器类型:</source>
        <translation>Sensor type:</translation>
    </message>
    <message>
        <source>前导符字节数:</source>
        <translation>Preambles:</translation>
    </message>
    <message>
        <source>HART 0号地址查询</source>
        <translation>Poll HART address</translation>
    </message>
    <message>
        <source>手动HART指令发送</source>
        <translation>Manual HART command</translation>
    </message>
    <message>
        <source>手动HART指令:</source>
        <translation>HART frame:</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>(自动生成校验位)</source>
        <translation>(check byte added)</translation>
    </message>
    <message>
        <source>HEX 如 (76 89 FD AD)</source>
        <translation>hex, e.g. (76 89 FD AD)</translation>
    </message>
    <message>
        <source>HART智能仪表实时数据</source>
        <translation>HART instrument live values</translation>
    </message>
    <message>
        <source>输出电流值:</source>
        <translation>Loop current:</translation>
    </message>
    <message>
        <source>输出电流百分比:</source>
        <translation>Percent of range:</translation>
    </message>
    <message>
        <source>当前动态变量1:</source>
        <translation>Variable 1:</translation>
    </message>
    <message>
        <source>当前动态变量2:</source>
        <translation>Variable 2:</translation>
    </message>
    <message>
        <source>当前动态变量3:</source>
        <translation>Variable 3:</translation>
    </message>
    <message>
        <source>当前动态变量4:</source>
        <translation>Variable 4:</translation>
    </message>
    <message>
        <source>单位:</source>
        <translation>Unit:</translation>
    </message>
    <message>
        <source>当前电流查询</source>
        <translation>Read current</translation>
    </message>
    <message>
        <source>仪表实时数查询</source>
        <translation>Read live values</translation>
    </message>
    <message>
        <source>测量范围及精度</source>
        <translation>Sensor limits</translation>
    </message>
    <message>
        <source>测量上限值:</source>
        <translation>Upper limit:</translation>
    </message>
    <message>
        <source>测量下限值:</source>
        <translation>Lower limit:</translation>
    </message>
    <message>
        <source>传感器信息</source>
        <translation>Sensor information</translation>
    </message>
    <message>
        <source>膜片材料:</source>
        <translation>Diaphragm:</translation>
    </message>
    <message>
        <source>填充液:</source>
        <translation>Fill fluid:</translation>
    </message>
    <message>
        <source>信号状态</source>
        <translation>Signal settings</translation>
    </message>
    <message>
        <source>量程上限:</source>
        <translation>Upper range:</translation>
    </message>
    <message>
        <source>量程下限:</source>
        <translation>Lower range:</translation>
    </message>
    <message>
        <source>输出特性:</source>
        <translation>Transfer fn.:</translation>
    </message>
    <message>
        <source>制造商:</source>
        <translation>Manufacturer:</translation>
    </message>
    <message>
        <source>上传数据</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>阵发模式测试</source>
        <translation>Burst mode</translation>
    </message>
    <message>
        <source>阵发指令号:</source>
        <translation>Burst command:</translation>
    </message>
    <message>
        <source>设置阵发指令号</source>
        <translation>Set burst command</translation>
    </message>
    <message>
        <source>进入阵发模式</source>
        <translation>Burst on</translation>
    </message>
    <message>
        <source>退出阵发模式</source>
        <translation>Burst off</translation>
    </message>
    <message>
        <source>罗斯蒙特3051 差压变送器设置零点</source>
        <translation>Rosemount 3051 DP zero</translation>
    </message>
    <message>
        <source>差压变送器校零点</source>
        <translation>Zero DP transmitter</translation>
    </message>
    <message>
        <source>罗斯蒙特300SMV 多变量参数设置</source>
        <translation>Rosemount 300SMV multivariable settings</translation>
    </message>
    <message>
        <source>变量输出配置:</source>
        <translation>Variable mapping:</translation>
    </message>
    <message>
        <source>变量1:</source>
        <translation>PV:</translation>
    </message>
    <message>
        <source>变量2:</source>
        <translation>SV:</translation>
    </message>
    <message>
        <source>变量3:</source>
        <translation>TV:</translation>
    </message>
    <message>
        <source>变量4:</source>
        <translation>QV:</translation>
    </message>
    <message>
        <source>上传</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>下传</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>显示屏显示内容</source>
        <translation>Display contents</translation>
    </message>
    <message>
        <source>EJA表差压变送器调零及显示</source>
        <translation>EJA DP zero and display</translation>
    </message>
    <message>
        <source>显示内容:</source>
        <translation>Display:</translation>
    </message>
    <message>
        <source>设零点模式:</source>
        <translation>Zero mode:</translation>
    </message>
    <message>
        <source>零点切除%：</source>
        <translation>Low cut %:</translation>
    </message>
    <message>
        <source>罗斯蒙特644温度传感器及接线方式设置 </source>
        <translation>Rosemount 644 sensor and wiring </translation>
    </message>
    <message>
        <source>接线方式:</source>
        <translation>Wiring:</translation>
    </message>
    <message>
        <source> 罗期蒙特848T 温度配置 </source>
        <translation> Rosemount 848T temperature </translation>
    </message>
    <message>
        <source>澷度通道:</source>
        <translation>Channel:</translation>
    </message>
    <message>
        <source>温度单位:</source>
        <translation>Temp. unit:</translation>
    </message>
    <message>
        <source>罗斯蒙特644RK温度传感器及接线方式设置 </source>
        <translation>Rosemount 644RK sensor and wiring </translation>
    </message>
    <message>
        <source>传感器类型：</source>
        <translation>Sensor type:</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>二线制电阻值：</source>
        <translation>2-wire resistance:</translation>
    </message>
    <message>
        <source>E+H温度变送器</source>
        <translation>E+H temperature transmitter</translation>
    </message>
    <message>
        <source>传感器编号：</source>
        <translation>Sensor number:</translation>
    </message>
    <message>
        <source>传感类型：</source>
        <translation>Sensor type:</translation>
    </message>
    <message>
        <source> 保存</source>
        <translation> Save</translation>
    </message>
    <message>
        <source>传感器单位与偏移值：</source>
        <translation>Unit and offset:</translation>
    </message>
    <message>
        <source>Polynom_RTD传感器：</source>
        <translation>Polynom_RTD sensor:</translation>
    </message>
    <message>
        <source>系数值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>西门子HART协议温度传感器类型:</source>
        <translation>Siemens HART sensor type:</translation>
    </message>
    <message>
        <source>罗斯蒙特与E+H温度变送器</source>
        <translation>Rosemount and E+H</translation>
    </message>
    <message>
        <source>西门子+ABB+科隆+ 中科博微 温度变送器</source>
        <translation>Siemens, ABB, Krohne, Microcyber</translation>
    </message>
    <message>
        <source>科隆TT50C</source>
        <translation>Krohne TT50C</translation>
    </message>
    <message>
        <source>PC
COM 口</source>
        <translation>PC
COM port</translation>
    </message>
    <message>
        <source>24V DC 电源</source>
        <translation>24V DC supply</translation>
    </message>
    <message>
        <source>HART 变送器
4-20mA</source>
        <translation>HART transmitter
4-20mA</translation>
    </message>
    <message>
        <source>接在 250 Ω 电阻两端</source>
        <translation>across the 250 Ω resistor</translation>
    </message>
    <message>
        <source>接在变送器两端</source>
        <translation>across the transmitter</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>记录…</source>
        <translation>Record…</translation>
    </message>
    <message>
        <source>导出图片…</source>
        <translation>Export picture…</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>间隔:</source>
        <translation>Interval:</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>继续</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>仪表无应答 (自 %1 起),曲线在此中断</source>
        <translation>No answer from the instrument (since %1); the curve breaks here</translation>
    </message>
    <message>
        <source>阵发模式: 显示仪表主动发送的数据</source>
        <translation>Burst mode: showing what the instrument sends unasked</translation>
    </message>
    <message>
        <source>记录写入失败: %1</source>
        <translation>Writing the record failed: %1</translation>
    </message>
    <message>
        <source>记录已保存: %1</source>
        <translation>Record saved: %1</translation>
    </message>
    <message>
        <source>记录到文件</source>
        <translation>Record to file</translation>
    </message>
    <message>
        <source>停止记录</source>
        <translation>Stop recording</translation>
    </message>
    <message>
        <source>正在记录: %1</source>
        <translation>Recording: %1</translation>
    </message>
    <message>
        <source>导出图片</source>
        <translation>Export picture</translation>
    </message>
    <message>
        <source>图片写入失败: %1</source>
        <translation>Writing the picture failed: %1</translation>
    </message>
    <message>
        <source>回路检查进行中!</source>
        <translation>A loop check is running!</translation>
    </message>
    <message>
        <source>合格</source>
        <translation>pass</translation>
    </message>
    <message>
        <source>超差</source>
        <translation>out of tolerance</translation>
    </message>
    <message>
        <source>  设定 %1 mA  读数 %2 mA  误差 %3 mA (%4 %)  %5
</source>
        <translation>  Set %1 mA  read %2 mA  error %3 mA (%4 %)  %5
</translation>
    </message>
    <message>
        <source>不合格</source>
        <translation>fail</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>cancelled</translation>
    </message>
    <message>
        <source>串口断开</source>
        <translation>Serial port lost</translation>
    </message>
    <message>
        <source>回路检查</source>
        <translation>Loop check</translation>
    </message>
    <message>
        <source>仪表可能仍处于固定电流模式!</source>
        <translation>The instrument may still be in fixed current mode!</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>微调</source>
        <translation>Trim</translation>
    </message>
    <message>
        <source>不微调</source>
        <translation>Don&apos;t trim</translation>
    </message>
    <message>
        <source>保存记录…</source>
        <translation>Save record…</translation>
    </message>
    <message>
        <source>回路检查记录 (*.json)</source>
        <translation>Loop check records (*.json)</translation>
    </message>
    <message>
        <source>检查点 (mA):</source>
        <translation>Points (mA):</translation>
    </message>
    <message>
        <source>允许误差 (% 量程):</source>
        <translation>Tolerance (% of range):</translation>
    </message>
    <message>
        <source>传感器检查点 (% 量程, 可空):</source>
        <translation>Sensor points (% of range, optional):</translation>
    </message>
    <message>
        <source>选择检查点和允许误差,然后开始。</source>
        <translation>Choose the points and the tolerance, then start.</translation>
    </message>
    <message>
        <source>回路检查…</source>
        <translation>Loop check…</translation>
    </message>
    <message>
        <source>检查点或允许误差不正确: </source>
        <translation>Points or tolerance not valid: </translation>
    </message>
    <message>
        <source>正在与仪表通讯…</source>
        <translation>Talking to the instrument…</translation>
    </message>
    <message>
        <source>%1: 输出已固定在 %2 mA。请输入参考表读数 (mA):</source>
        <translation>%1: output fixed at %2 mA. Enter the reference meter&apos;s reading (mA):</translation>
    </message>
    <message>
        <source>检查前</source>
        <translation>As found</translation>
    </message>
    <message>
        <source>检查后</source>
        <translation>As left</translation>
    </message>
    <message>
        <source>有检查点超差。用参考表读数微调 4 mA 和 20 mA 输出吗?</source>
        <translation>Some points are out of tolerance. Trim the 4 mA and 20 mA output with the reference meter&apos;s readings?</translation>
    </message>
    <message>
        <source>请在传感器上施加约 %1 %2,输入实际施加值:</source>
        <translation>Apply about %1 %2 to the sensor and enter the value applied:</translation>
    </message>
    <message>
        <source>请输入数字!</source>
        <translation>Enter a number!</translation>
    </message>
    <message>
        <source>固定电流模式已结束。</source>
        <translation>Fixed current mode ended.</translation>
    </message>
    <message>
        <source>结束固定电流模式失败: </source>
        <translation>Leaving fixed current mode failed: </translation>
    </message>
    <message>
        <source> (响应码 </source>
        <translation> (response code </translation>
    </message>
    <message>
        <source>回路检查结束: </source>
        <translation>Loop check finished: </translation>
    </message>
    <message>
        <source>串口断开,回路检查中止。</source>
        <translation>Serial port lost, loop check stopped.</translation>
    </message>
    <message>
        <source>检查前 (as found):</source>
        <translation>As found:</translation>
    </message>
    <message>
        <source>已微调: 4 mA 表读数 %1 mA, 20 mA 表读数 %2 mA
</source>
        <translation>Trimmed: 4 mA meter reading %1 mA, 20 mA meter reading %2 mA
</translation>
    </message>
    <message>
        <source>检查后 (as left):</source>
        <translation>As left:</translation>
    </message>
    <message>
        <source>  传感器: 施加 %1  主变量 %2 %3  误差 %4 %  %5
</source>
        <translation>  Sensor: applied %1  PV %2 %3  error %4 %  %5
</translation>
    </message>
    <message>
        <source>结果: </source>
        <translation>Result: </translation>
    </message>
    <message>
        <source>记录已保存到 </source>
        <translation>Record saved to </translation>
    </message>
    <message>
        <source>上次回路检查时串口断开,</source>
        <translation>The serial port was lost during the last loop check, </translation>
    </message>
    <message>
        <source>
现在结束固定电流模式吗?</source>
        <translation>
Leave fixed current mode now?</translation>
    </message>
    <message>
        <source>本机没有找到串口</source>
        <translation>No serial port found on this computer</translation>
    </message>
    <message>
        <source>本机串口:</source>
        <translation>Serial ports here:</translation>
    </message>
    <message>
        <source>无法打开 %1:没有权限</source>
        <translation>Cannot open %1: permission denied</translation>
    </message>
    <message>
        <source>%1超出范围:只能写入%2到%3</source>
        <translation>%1 out of range: only %2 to %3 can be written</translation>
    </message>
    <message>
        <source>请输入周期(秒)!</source>
        <translation>Enter the period (s)!</translation>
    </message>
    <message>
        <source>周期超出范围!</source>
        <translation>Period out of range!</translation>
    </message>
    <message>
        <source>报文号</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>阻尼时间不能为负数!</source>
        <translation>The damping cannot be negative!</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>回路电流模式</source>
        <translation>Loop current mode</translation>
    </message>
    <message>
        <source>请先读取仪表!</source>
        <translation>Read the instrument first!</translation>
    </message>
    <message>
        <source>设备变量号</source>
        <translation>Device variable</translation>
    </message>
    <message>
        <source>前导符个数</source>
        <translation>Preambles</translation>
    </message>
    <message>
        <source>国家代码应为两个大写字母(如CN)!</source>
        <translation>The country code is two capital letters (e.g. CN)!</translation>
    </message>
    <message>
        <source>触发方式</source>
        <translation>Trigger mode</translation>
    </message>
    <message>
        <source>分类</source>
        <translation>Class</translation>
    </message>
    <message>
        <source>命令号</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>突发命令只能是1、2、3、9、33或48!</source>
        <translation>The burst command can only be 1, 2, 3, 9, 33 or 48!</translation>
    </message>
    <message>
        <source>突发模式</source>
        <translation>Burst mode</translation>
    </message>
    <message>
        <source>应答数据被截断</source>
        <translation>Reply data cut short</translation>
    </message>
    <message>
        <source>响应码 %1</source>
        <translation>response code %1</translation>
    </message>
    <message>
        <source>%1警告:%2</source>
        <translation>%1 Warning: %2</translation>
    </message>
    <message>
        <source>未找到该位号的仪表!</source>
        <translation>No instrument with this tag found!</translation>
    </message>
    <message>
        <source>找到仪表!</source>
        <translation>Instrument found!</translation>
    </message>
    <message>
        <source>只能输入ISO Latin-1字符!</source>
        <translation>Only ISO Latin-1 characters can be entered!</translation>
    </message>
    <message>
        <source>不能输入控制字符!</source>
        <translation>Control characters cannot be entered!</translation>
    </message>
    <message>
        <source>最多只能输入%1个字符!</source>
        <translation>At most %1 characters can be entered!</translation>
    </message>
    <message>
        <source>设备变量号只能是0到255!</source>
        <translation>The device variable number can only be 0 to 255!</translation>
    </message>
    <message>
        <source>请输入1到%1个设备变量号!</source>
        <translation>Enter 1 to %1 device variable numbers!</translation>
    </message>
    <message>
        <source>仪表忙,正在重发(%1)...</source>
        <translation>Instrument busy, resending (%1)...</translation>
    </message>
    <message>
        <source>仪表延迟应答,正在重发(%1)...</source>
        <translation>Instrument delayed its answer, resending (%1)...</translation>
    </message>
    <message>
        <source>仪表一直忙,已重发%1次!</source>
        <translation>Instrument stayed busy, resent %1 times!</translation>
    </message>
    <message>
        <source>仪表延迟应答一直未完成,已重发%1次!</source>
        <translation>Instrument&apos;s delayed answer never completed, resent %1 times!</translation>
    </message>
    <message>
        <source>长位号</source>
        <translation>Long tag</translation>
    </message>
    <message>
        <source>扩展设备状态</source>
        <translation>Extended device status</translation>
    </message>
    <message>
        <source>时间戳</source>
        <translation>Time stamp</translation>
    </message>
    <message>
        <source>最小量程</source>
        <translation>Minimum span</translation>
    </message>
    <message>
        <source>设备族</source>
        <translation>Device family</translation>
    </message>
    <message>
        <source>更新周期</source>
        <translation>Update period</translation>
    </message>
    <message>
        <source>属性</source>
        <translation>Properties</translation>
    </message>
    <message>
        <source>动态变量1对应设备变量</source>
        <translation>PV device variable</translation>
    </message>
    <message>
        <source>动态变量2对应设备变量</source>
        <translation>SV device variable</translation>
    </message>
    <message>
        <source>动态变量3对应设备变量</source>
        <translation>TV device variable</translation>
    </message>
    <message>
        <source>动态变量4对应设备变量</source>
        <translation>QV device variable</translation>
    </message>
    <message>
        <source>动态变量1分类</source>
        <translation>PV class</translation>
    </message>
    <message>
        <source>动态变量2分类</source>
        <translation>SV class</translation>
    </message>
    <message>
        <source>动态变量3分类</source>
        <translation>TV class</translation>
    </message>
    <message>
        <source>动态变量4分类</source>
        <translation>QV class</translation>
    </message>
    <message>
        <source>突发设备变量</source>
        <translation>Burst device variables</translation>
    </message>
    <message>
        <source>突发报文号</source>
        <translation>Burst message</translation>
    </message>
    <message>
        <source>突发报文数</source>
        <translation>Burst messages</translation>
    </message>
    <message>
        <source>突发命令</source>
        <translation>Burst command</translation>
    </message>
    <message>
        <source>最长周期</source>
        <translation>Maximum period</translation>
    </message>
    <message>
        <source>触发分类</source>
        <translation>Trigger class</translation>
    </message>
    <message>
        <source>触发单位</source>
        <translation>Trigger unit</translation>
    </message>
    <message>
        <source>触发值</source>
        <translation>Trigger value</translation>
    </message>
    <message>
        <source>国家代码</source>
        <translation>Country code</translation>
    </message>
    <message>
        <source>仅用国际单位</source>
        <translation>SI units only</translation>
    </message>
    <message>
        <source>工艺单元位号</source>
        <translation>Process unit tag</translation>
    </message>
    <message>
        <source>代码</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>数值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>限值</source>
        <translation>Limits</translation>
    </message>
    <message>
        <source>设备变量</source>
        <translation>Device variable</translation>
    </message>
    <message>
        <source>长位号:</source>
        <translation>Long tag:</translation>
    </message>
    <message>
        <source>按标记查找仪表</source>
        <translation>Find instrument by tag</translation>
    </message>
    <message>
        <source>按标记查找</source>
        <translation>Find by tag</translation>
    </message>
    <message>
        <source>按长位号查找</source>
        <translation>Find by long tag</translation>
    </message>
    <message>
        <source>回路配置</source>
        <translation>Loop configuration</translation>
    </message>
    <message>
        <source>地址号(0-63):</source>
        <translation>Address (0-63):</translation>
    </message>
    <message>
        <source>回路电流:</source>
        <translation>Loop current:</translation>
    </message>
    <message>
        <source>国家代码与过程单元标记</source>
        <translation>Country code and unit tag</translation>
    </message>
    <message>
        <source>国家代码:</source>
        <translation>Country code:</translation>
    </message>
    <message>
        <source>仅用SI单位</source>
        <translation>SI units only</translation>
    </message>
    <message>
        <source>过程单元标记:</source>
        <translation>Process unit tag:</translation>
    </message>
    <message>
        <source>仪表操作</source>
        <translation>Instrument actions</translation>
    </message>
    <message>
        <source>仪表识别闪烁</source>
        <translation>Squawk</translation>
    </message>
    <message>
        <source>仪表自检</source>
        <translation>Self test</translation>
    </message>
    <message>
        <source>仪表复位</source>
        <translation>Reset instrument</translation>
    </message>
    <message>
        <source>清除组态变更标志</source>
        <translation>Reset config changed flag</translation>
    </message>
    <message>
        <source>应答前导符数(5-20):</source>
        <translation>Reply preambles (5-20):</translation>
    </message>
    <message>
        <source>限值状态</source>
        <translation>Limit status</translation>
    </message>
    <message>
        <source>设备变量%1 %2</source>
        <translation>Device variable %1 %2</translation>
    </message>
    <message>
        <source>变量代码:</source>
        <translation>Code(s):</translation>
    </message>
    <message>
        <source>(空格分隔, 空为 0 1 2 3)</source>
        <translation>(space-separated, empty: 0 1 2 3)</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>时间:</source>
        <translation>Time:</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>扩展状态:</source>
        <translation>Ext. status:</translation>
    </message>
    <message>
        <source>扩展状态</source>
        <translation>Extended status</translation>
    </message>
    <message>
        <source>动态变量映射</source>
        <translation>Variable mapping</translation>
    </message>
    <message>
        <source>分类:</source>
        <translation>Class:</translation>
    </message>
    <message>
        <source>%1 分类</source>
        <translation>%1 class</translation>
    </message>
    <message>
        <source>读取分类</source>
        <translation>Read classes</translation>
    </message>
    <message>
        <source>单个设备变量</source>
        <translation>Single device variable</translation>
    </message>
    <message>
        <source>阻尼时间:</source>
        <translation>Damping:</translation>
    </message>
    <message>
        <source>上限:</source>
        <translation>Upper:</translation>
    </message>
    <message>
        <source>族:</source>
        <translation>Family:</translation>
    </message>
    <message>
        <source>下限:</source>
        <translation>Lower:</translation>
    </message>
    <message>
        <source>更新周期:</source>
        <translation>Update period:</translation>
    </message>
    <message>
        <source>最小量程:</source>
        <translation>Minimum span:</translation>
    </message>
    <message>
        <source>属性:</source>
        <translation>Properties:</translation>
    </message>
    <message>
        <source>突发消息配置</source>
        <translation>Burst message settings</translation>
    </message>
    <message>
        <source>消息号:</source>
        <translation>Message:</translation>
    </message>
    <message>
        <source>最多消息数:</source>
        <translation>Max. messages:</translation>
    </message>
    <message>
        <source>最多消息数</source>
        <translation>Max. messages</translation>
    </message>
    <message>
        <source>突发状态:</source>
        <translation>Burst state:</translation>
    </message>
    <message>
        <source>命令号:</source>
        <translation>Command:</translation>
    </message>
    <message>
        <source>设备变量代码:</source>
        <translation>Variable codes:</translation>
    </message>
    <message>
        <source>更新周期(秒):</source>
        <translation>Update period (s):</translation>
    </message>
    <message>
        <source>最大周期(秒):</source>
        <translation>Max. period (s):</translation>
    </message>
    <message>
        <source>触发方式:</source>
        <translation>Trigger mode:</translation>
    </message>
    <message>
        <source>触发值:</source>
        <translation>Trigger:</translation>
    </message>
    <message>
        <source>位号与回路</source>
        <translation>Tags and loop</translation>
    </message>
    <message>
        <source>突发消息</source>
        <translation>Burst message</translation>
    </message>
    <message>
        <source>配置文件操作进行中!</source>
        <translation>A configuration file operation is running!</translation>
    </message>
    <message>
        <source>未分类</source>
        <translation>not classified</translation>
    </message>
    <message>
        <source>温度</source>
        <translation>temperature</translation>
    </message>
    <message>
        <source>压力</source>
        <translation>pressure</translation>
    </message>
    <message>
        <source>体积流量</source>
        <translation>volumetric flow</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>velocity</translation>
    </message>
    <message>
        <source>体积</source>
        <translation>volume</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>length</translation>
    </message>
    <message>
        <source>质量</source>
        <translation>mass</translation>
    </message>
    <message>
        <source>质量流量</source>
        <translation>mass flow</translation>
    </message>
    <message>
        <source>单位体积质量</source>
        <translation>mass per volume</translation>
    </message>
    <message>
        <source>粘度</source>
        <translation>viscosity</translation>
    </message>
    <message>
        <source>角速度</source>
        <translation>angular velocity</translation>
    </message>
    <message>
        <source>面积</source>
        <translation>area</translation>
    </message>
    <message>
        <source>能量</source>
        <translation>energy</translation>
    </message>
    <message>
        <source>力</source>
        <translation>force</translation>
    </message>
    <message>
        <source>功率</source>
        <translation>power</translation>
    </message>
    <message>
        <source>频率</source>
        <translation>frequency</translation>
    </message>
    <message>
        <source>分析</source>
        <translation>analytical</translation>
    </message>
    <message>
        <source>电容</source>
        <translation>capacitance</translation>
    </message>
    <message>
        <source>电动势</source>
        <translation>emf</translation>
    </message>
    <message>
        <source>电流</source>
        <translation>current</translation>
    </message>
    <message>
        <source>电阻</source>
        <translation>resistance</translation>
    </message>
    <message>
        <source>角度</source>
        <translation>angle</translation>
    </message>
    <message>
        <source>电导</source>
        <translation>conductance</translation>
    </message>
    <message>
        <source>体积比</source>
        <translation>volume per volume</translation>
    </message>
    <message>
        <source>比体积</source>
        <translation>volume per mass</translation>
    </message>
    <message>
        <source>浓度</source>
        <translation>concentration</translation>
    </message>
    <message>
        <source>阀门/执行器</source>
        <translation>valve/actuator</translation>
    </message>
    <message>
        <source>PID 控制</source>
        <translation>PID control</translation>
    </message>
    <message>
        <source>pH</source>
        <translation>pH</translation>
    </message>
    <message>
        <source>电导率</source>
        <translation>conductivity</translation>
    </message>
    <message>
        <source>累计器</source>
        <translation>totalizer</translation>
    </message>
    <message>
        <source>物位</source>
        <translation>level</translation>
    </message>
    <message>
        <source>涡街流量</source>
        <translation>vortex flow</translation>
    </message>
    <message>
        <source>电磁流量</source>
        <translation>magnetic flow</translation>
    </message>
    <message>
        <source>科里奥利流量</source>
        <translation>coriolis flow</translation>
    </message>
    <message>
        <source>未使用</source>
        <translation>not used</translation>
    </message>
    <message>
        <source>未知</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>坏</source>
        <translation>bad</translation>
    </message>
    <message>
        <source>精度差</source>
        <translation>poor</translation>
    </message>
    <message>
        <source>固定</source>
        <translation>fixed</translation>
    </message>
    <message>
        <source>良好</source>
        <translation>good</translation>
    </message>
    <message>
        <source>未受限</source>
        <translation>not limited</translation>
    </message>
    <message>
        <source>下限受限</source>
        <translation>low limited</translation>
    </message>
    <message>
        <source>上限受限</source>
        <translation>high limited</translation>
    </message>
    <message>
        <source>恒定</source>
        <translation>constant</translation>
    </message>
    <message>
        <source>%1,有更多状态</source>
        <translation>%1, more status</translation>
    </message>
    <message>
        <source>单位代码 %1</source>
        <translation>unit %1</translation>
    </message>
    <message>
        <source>广播查找无应答,正在逐个地址查找:地址 %1/%2(Esc 停止)...</source>
        <translation>No answer to the broadcast find, polling address by address: address %1/%2 (Esc stops)...</translation>
    </message>
    <message>
        <source>已停止查找。</source>
        <translation>Find stopped.</translation>
    </message>
    <message>
        <source>停止查找</source>
        <translation>Stop finding</translation>
    </message>
    <message>
        <source>突发模式只能写入OFF或ON!</source>
        <translation>The burst mode can only be written OFF or ON!</translation>
    </message>
    <message>
        <source>突发消息表</source>
        <translation>Burst message table</translation>
    </message>
    <message>
        <source>消息号</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>设备变量代码</source>
        <translation>Variable codes</translation>
    </message>
    <message>
        <source>更新周期(秒)</source>
        <translation>Update period (s)</translation>
    </message>
    <message>
        <source>最大周期(秒)</source>
        <translation>Max. period (s)</translation>
    </message>
    <message>
        <source>突发状态</source>
        <translation>Burst state</translation>
    </message>
    <message>
        <source>突发消息%1 %2</source>
        <translation>Burst message %1 %2</translation>
    </message>
</context>
<context>
    <name>hart::</name>
    <message>
        <source> (响应码 </source>
        <translation> (response code </translation>
    </message>
</context>
<context>
    <name>hart::Tr</name>
    <message>
        <source>确定要复位仪表吗?仪表将重新启动。</source>
        <translation>Reset the instrument? It will restart.</translation>
    </message>
</context>
</TS>
