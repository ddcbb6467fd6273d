#include "ui/support/TextCatalogue.h"

#include <initializer_list>
#include <string>
#include <unordered_map>

namespace {

struct TPair {
    const char *Chinese;
    const char *English;
};

// Indexed by TText.
const TPair kTexts[] = {
    {"Vantrel-MLX90640演示程序   版本：", "Vantrel-MLX90640 DemonstrationProgram   Versions："},
    {"  最后编译于：", "  Compiled："},
    {"连接端口", "Connect"},
    {"断开端口", "Disconnect"},
    {"已连接", "Connected"},
    {"未连接", "Disconnected"},
    {"打开错误", "Open Error"},
    {"请确认存在此端口或未被其它程序占用",
     "Please confirm that this port exists or is not used by another program"},
    {"此端口存在，但当前用户没有打开它的权限：请把用户加入 dialout 组，然后重新登录。",
     "The port exists, but this user may not open it: add the user to the dialout group, then log in "
     "again."},
    {"提示消息：连接已断开", "Toast:Connection lost"},
    {"'%1' 不是有效的通讯速率", "'%1' is not a valid speed"},
    {"'%1' 不是有效的读取超时时间", "'%1' is not a valid read time-out"},
    {"'%1' 不是有效的整数值", "'%1' is not a valid integer value"},
    {"'%1' 不是有效的浮点数值", "'%1' is not a valid floating point value"},
    {"发送指令", "Send Command"},
    {"发送:", "Send:"},
    {"接收:", "Recv:"},
    {"数据校验正确", "Data check correct"},
    {"数据校验错误", "Data check Error"},
    {"数据接收：", "DataRecv:"},
    {"数据计算：", "DataCalc:"},
    {"图像更新：", "ImageRefresh:"},
    {"钮扣电池电压：", "Button battery voltage:"},
    {"钮扣电池电压：", "Cell voltage:"},
    {"内核电压：", "Core voltage:"},
    {"外壳温度：", "Case Temp:"},
    {"中心温度：", "Center Temp:"},
    {"最高温度：", "Max Temp:"},
    {"最低温度：", "Min Temp:"},
    {"平均温度：", "Ave Temp:"},
    {"光标温度：", "Mouse Temp:"},
    {"提示消息：", "Toast:"},
    {"传感器VDD异常", "Vdd abnormal"},
    {"提示消息：快照保存失败", "Toast:Snapshot not saved"},
    {"最低", "Min"},
    {"最高", "Max"},
    {"中心", "Center"},
    {"鼠标", "Mouse"},
    {"录制", "Record"},
    {"停止", "Stop"},
    {"%1  %2帧\n%3", "%1  %2 frames\n%3"},
    {"无法开始录制：%1", "Cannot start recording: %1"},
    {"提示消息：录制已停止：%1", "Toast:Recording stopped: %1"},
    {"提示消息：已保存到 %1", "Toast:Saved to %1"},
    {"播放", "Play"},
    {"暂停", "Pause"},
    {"提示消息：回放 %1", "Toast:Playing %1"},
    {"提示消息：回放结束", "Toast:End of the recording"},
    {"提示消息：录制文件不完整，已回放到损坏处：%1",
     "Toast:The recording is damaged; played up to the damage: %1"},
    {"提示消息：温度文件 %1", "Toast:Temperature file %1"},
    {"打开录制或温度文件", "Open a recording or a temperature file"},
    {"录制与温度文件 (*.kvc *.bin *.txt);;所有文件 (*)",
     "Recordings and temperature files (*.kvc *.bin *.txt);;All files (*)"},
    {"无法打开 %1：%2", "Cannot open %1: %2"},
    {"分析", "Analysis"},
    {"区域%1", "R%1"},
    {"矩形", "Box"},
    {"直线", "Line"},
    {"点", "Spot"},
    {"全图最高", "Frame max"},
    {"全图最低", "Frame min"},
    {"全图平均", "Frame avg"},
    {"%1 最高", "%1 max"},
    {"%1 平均", "%1 avg"},
    {"提示消息：报警 %1 %2 高于 %3", "Toast:Alarm %1 %2 above %3"},
    {"名称", "Name"},
    {"类型", "Kind"},
    {"最低", "Min"},
    {"最高", "Max"},
    {"平均", "Average"},
    {"传感器像素", "Sensor px"},
    {"趋势", "Trend"},
    {"直方图", "Histogram"},
    {"时间 (秒)", "Time (s)"},
    {"温度 (℃)", "Temperature (℃)"},
    {"像素数", "Pixels"},
    {"10 秒", "10 s"},
    {"1 分钟", "1 min"},
    {"10 分钟", "10 min"},
    {"区域最高值", "Region max"},
    {"区域平均值", "Region average"},
    {"全图", "Frame"},
    {"最高", "Max"},
    {"最低", "Min"},
    {"平均", "Avg"},
    {"等温区", "Isotherm"},
    {"报警高于", "Alarm above"},
    {"报警记录", "Alarm log"},
    {"导出趋势", "Export trend"},
    {"删除区域", "Remove region"},
    {"无法写入 %1", "Cannot write %1"},
    {"在图像上拖动：矩形；Shift+拖动：直线；Ctrl+单击：点；Delete：删除所选",
     "On the picture: drag for a box, Shift+drag for a line, Ctrl+click for a spot, Delete removes the "
     "selected one"},
};
static_assert(sizeof kTexts / sizeof kTexts[0] == size_t(TText::RegionsHint) + 1,
              "one pair of texts for every TText");

QString U(const char *utf8) {
    return QString::fromUtf8(utf8);
}

QStringList Items(std::initializer_list<const char *> items) {
    QStringList list;
    for (const char *item : items)
        list << U(item);
    return list;
}

// One control's texts. English: caption (empty keeps), hint policy, items.
TControlTexts C(const char *name, const char *caption, const char *english = "",
                THintInEnglish hint = THintInEnglish::Keep) {
    TControlTexts t;
    t.Name = name;
    t.Caption = U(caption);
    t.EnglishCaption = U(english);
    t.EnglishHint = hint;
    return t;
}

TControlTexts WithHint(TControlTexts t, const char *hint) {
    t.Hint = U(hint);
    return t;
}

TControlTexts WithItems(TControlTexts t, QStringList items, QStringList english = {}) {
    t.Items = std::move(items);
    t.EnglishItems = std::move(english);
    return t;
}

TControlTexts WithEnglishHint(TControlTexts t, const char *english) {
    t.EnglishHint = THintInEnglish::Replace;
    t.EnglishHintText = U(english);
    return t;
}

std::vector<TControlTexts> BuildTable() {
    using H = THintInEnglish;
    const QStringList interMethods = Items({"双线性", "二次多项式", "三次多项式"});
    const QStringList interMethodsEn =
        Items({"Linear polynomial", "Quadratic polynomial ", "Cubic polynomial"});
    std::vector<TControlTexts> t = {
        // The port group.
        C("grp_COMSet", "计算机COM端口", "COM Port Option"),
        C("lbl_ComPort_Text", "端口：", "Port"),
        WithHint(C("cbb_Port", "", "", H::Clear), "支持手工输入COMx"),
        C("lbl_Baud_Text", "参数：", "Pars"),
        WithItems(WithHint(C("cbb_Baud", "", "", H::Clear), "请选择与模块一致的通讯速率"), BaudRateItems()),
        C("edt_ComTimeout", "", "", H::Clear),
        C("Label64", "T"),
        C("Label65", "R"),
        // btn_Connect's English caption follows the connection (ConnectPort / DisconnectPort).
        WithHint(C("btn_Connect", "连接端口", "", H::Clear), "打开【端口】下拉框指定的端口"),
        C("btn_GetCalibInfo", "读取参数", "Read Pars", H::Clear),
        C("edt_Tx", "", "", H::Clear),
        WithHint(C("btn_SendCmd", "发送指令", "Send CMD", H::Clear), "将计算机时间写入模块"),
        WithHint(C("btn_Connect2", "连接端口"), "打开【端口】下拉框指定的端口"),
        // The device parameters.
        C("grp_CameraPars", "设备参数", "Camera Setting"),
        C("lbl_ADCResolution_Text", "测温分辨率", "Resolution"),
        WithItems(WithHint(C("cbb_ADCResolution", "", "", H::Clear), "传感器温度检测分辨率，转换精度"),
                  Items({"16位", "17位", "18位", "19位"}),
                  Items({"16 bits", "17 bits", "18 bits", "19 bits"})),
        C("lbl_RefreshRate_Text", "测温速率", "Rate"),
        WithItems(WithHint(C("cbb_RefreshRate", "", "", H::Clear), "每秒检测多少次(速度越快，噪声越大)"),
                  Items({"0.5Hz", "1Hz", "2Hz", "4Hz", "8Hz", "16Hz", "32Hz", "64Hz"})),
        C("lbl_ArrangeMode_Text", "测量交错模式", "Frame Mode"),
        WithItems(C("cbb_ArrangeMode", "", "", H::Clear), Items({"行交错模式", "点交错模式"}),
                  Items({"TV", "Chess"})),
        C("chk_AutoSend", "实时数据", "DataOut", H::Clear),
        // Only the first item has an English name; the hint stays.
        WithItems(WithHint(C("cbb_OutPortNum", ""), "实时数据从哪个端口输出"),
                  Items({"智能", "UART1(TTL)", "UART2(USB)", "UART1&2"}), Items({"Smart"})),
        C("lbl_DelayMs_Text", "帧间隔", "Interval"),
        WithHint(C("edt_DelayMs", "", "", H::Clear), "相邻数据帧之间的最小时间间隔"),
        WithItems(WithHint(C("cbb_OutBaud", "", "", H::Clear), "修改设备的通讯速率"), BaudRateItems()),
        WithHint(C("chk_LedEN", "LED", "", H::Clear), "是否使用LED指示灯"),
        WithHint(C("chk_FrmHalf", "压缩帧", "Half", H::Clear), "是否使用实时数据压缩功能以减少单帧数据量"),
        C("lbl_Cell", "钮扣电池电压：", "Cell voltage", H::Clear),
        WithHint(C("lbl_RTC", "2019年09月25日 22:33:44", "2019-09-25 12:00:00", H::Clear),
                 "模块内部日期时间"),
        C("lbl_SavedPhotoNum_Caption", "已存储照片：", "Photos"),
        C("lbl_SavedPhotoNum", "0000"),
        C("Label9", "/900"),
        // The picture and the photo column.
        [] {
            TControlTexts t = WithHint(C("Image1", ""), "双击保存图片");
            t.EnglishHint = THintInEnglish::Replace;
            t.EnglishHintText = QStringLiteral("Double-click to save the image");
            return t;
        }(),
        WithHint(C("btn_SaveOnePhoto", "拍照存储", "Save Photo", H::Clear),
                 "保存一张照片到模块内的Flash存储器"),
        WithHint(C("btn_ReadLastPhoto", "读取最新照片", "Read Last", H::Clear), "读取最新一张保存的照片"),
        C("btn_ReadOnePhoto", "读取", "Read", H::Clear),
        C("lbl_CurrentPhotoDate", "2019-09-25"),
        C("lbl_CurrentPhotoTime", "12:00:00"),
        C("btn_ReadPrivPhoto", "上一张", "Priv", H::Clear),
        C("btn_ReadNextPhoto", "下一张", "Next", H::Clear),
        WithHint(C("btn_ClearAllPhoto", "清除所有照片", "Del All Photo", H::Clear),
                 "清除模块内存储的所有照片"),
        WithHint(C("btn_Reboot", "重新启动", "ReBoot", H::Clear), "模块重新启动"),
        WithHint(C("btn_SetParsDef", "参数复位", "Pars To Def", H::Clear), "模块参数恢复为默认值"),
        WithHint(C("btn_SetDT", "设置时间", "Set DateTime", H::Clear), "将计算机时间写入模块"),
        [] {
            TControlTexts t = WithHint(C("btn_Analysis", "分析", "Analysis", H::Replace),
                                       "区域、趋势、直方图、等温区和报警");
            t.EnglishHintText = U("Regions, trend, histogram, isotherm and alarm");
            return t;
        }(),
        // Picture computation and display.
        C("grp_CalcAndShow", "图像计算与显示", "Image Calc And Show"),
        C("chk_Mirror_LR", "左右镜像", "Mirror", H::Clear),
        // "HSI_2" and "HSI_3" keep their names.
        WithItems(WithHint(C("cbb_GrayColor_SubMeth", "", "", H::Clear), "显示图像时使用的彩色编码方案"),
                  Items({"伪彩1", "伪彩2", "金属1", "金属2", "彩虹1", "彩虹2", "彩虹3", "Veska", "Toral",
                         "灰度", "HSI", "HSI_2", "HSI_3"}),
                  Items({"Pseudo1", "Pseudo2", "Metal1", "Metal2", "Rainbow1", "Rainbow2", "Rainbow3",
                         "Veska", "Toral", "Gray", "HSI"})),
        C("lbl_Emissivity_Text", "辐射率", "Emissivity"),
        WithItems(WithHint(C("cbb_PixsType", "", "", H::Clear), "计算绝对温度值或者仅计算出图像数据"),
                  Items({"绝对温度", "仅图像"}), Items({"Temperature", "Image"})),
        C("lbl_InterMethodFirst_Text", "第一插值法", "Interpolation"),
        WithItems(C("cbb_InterMethodFirst", "", "", H::Clear), interMethods, interMethodsEn),
        C("lbl_InterMethodSecond_Text", "第二插值法", "Interpolation"),
        WithItems(C("cbb_InterMethodSecond", "", "", H::Clear), interMethods, interMethodsEn),
        C("chk_Temperature_UpLowAuto", "自动调整适应温度范围", "Automatic temperature range", H::Clear),
        C("chk_Filter", "滤波", "Filter", H::Clear),
        WithItems(C("cbb_FilterMethod", "", "", H::Clear), Items({"平均", "加权平均", "高斯"}),
                  Items({"Average", "Weighted Average", "Gaussian"})),
        WithHint(C("edt_FilterPixCount", "", "", H::Clear), "参与滤波的矩形边长，必须是奇数"),
        WithHint(C("edt_Sigma", "", "", H::Clear), "高斯滤波参数，标准差Sigma"),
        WithHint(C("chk_ShowTarget", "靶标", "Show Target", H::Clear),
                 "显示中心位置、最高、最低温度点的位置靶标"),
        C("chk_ShowTarget_Text", "文字", "Text", H::Clear),
        WithHint(C("edt_TargetSize", ""), "标靶大小"),
        WithHint(C("edt_TextHeight", ""), "文字大小"),
        WithItems(C("cbb_Scale", ""), Items({"像素1:1", "A型1:1", "B型1:1"})),
        // Hidden options.
        WithHint(C("chk_DouFrameUpdate", "双帧更新", "Double Frame Update", H::Clear),
                 "仅Frame0和Frame1都有新的数据时才更新一次画面"),
        WithHint(C("chk_Slugg", "迟滞处理", "Datas Hysteresis", H::Clear),
                 "相邻帧的数据跳变平滑处理，会消耗更多计算机资源"),
        C("chk_Sharpen", "锐化"),
        C("chk_Blur", "模糊"),
        C("chk_Negative", "反色"),
        C("chk_Exposure", "曝光"),
        C("chk_HideMaignInter", "隐藏边沿插值"),
        // Readouts.
        C("grp_RTDatas", "实时数据", "RealTime Datas"),
        C("lbl_Vdd", "内核电压：", "Core voltage:"),
        C("lbl_Ta", "外壳温度：", "Case Temp:"),
        C("lbl_CenterTemp", "中心温度：", "Center Temp:"),
        C("lbl_MaxTemp", "最高温度：", "Max Temp:"),
        C("lbl_MinTemp", "最低温度：", "Min Temp:"),
        C("lbl_AvgTemp", "平均温度：", "Ave Temp:"),
        C("lbl_MouseMoveText", "光标温度：", "Mouse Temp:"),
        C("chk_brokenPixelsCorr", "坏点校正", "BadPixelsCorrection"),
        // Recording and playback.
        C("grp_RecordPlay", "录制与回放", "Record And Play"),
        WithEnglishHint(WithHint(C("btn_Record", "录制", "Record"), "把模块发送的数据录制到文件"),
                        "Record what the module sends to a file"),
        WithEnglishHint(WithHint(C("btn_OpenCapture", "打开…", "Open…"), "打开录制文件或温度文件"),
                        "Open a recording or a temperature file"),
        C("btn_PlayPause", "播放", "Play"),
        WithItems(C("cbb_PlaySpeed", ""), Items({"×0.25", "×0.5", "×1", "×2", "×4"})),
    };
    return t;
}

}  // namespace

QString Tr(TText id, int32_t languageNum) {
    const TPair &pair = kTexts[size_t(id)];
    return U(languageNum == 0 ? pair.Chinese : pair.English);
}

const std::vector<TControlTexts> &ControlTextTable() {
    static const std::vector<TControlTexts> table = BuildTable();
    return table;
}

const TControlTexts &ControlTexts(const char *name) {
    static const std::unordered_map<std::string, size_t> index = [] {
        std::unordered_map<std::string, size_t> map;
        const auto &table = ControlTextTable();
        for (size_t i = 0; i < table.size(); ++i)
            map.emplace(table[i].Name, i);
        return map;
    }();
    static const TControlTexts none;
    const auto it = index.find(name);
    return it == index.end() ? none : ControlTextTable()[it->second];
}

const QStringList &BaudRateItems() {
    static const QStringList items{QStringLiteral("115200"), QStringLiteral("230400"),
                                   QStringLiteral("460800"), QStringLiteral("614400"),
                                   QStringLiteral("921600"), QStringLiteral("1382400")};
    return items;
}

int StoredPanelWidth(int panel) {
    static constexpr int widths[StoredPanelCount] = {200, 120, 120, 200, 200, 300, 50};
    return panel >= 0 && panel < StoredPanelCount ? widths[panel] : 0;
}

QString StoredPanelText(int panel) {
    static const char *const texts[StoredPanelCount] = {
        "COM3 9600 N 8 1 未连接", "发送：",       "接收：",    "通讯提示信息",
        "数据校验信息",           "软件握手检测", "提示消息："};
    return panel >= 0 && panel < StoredPanelCount ? U(texts[panel]) : QString();
}

QStringList LongestPanelTexts(int panel) {
    switch (panel) {
    case 0:
        return {QStringLiteral("/dev/ttyUSB0 1382400 N 8 1 Disconnected"),
                U("/dev/ttyUSB0 1382400 N 8 1 未连接"), U("COM3 9600 N 8 1 未连接")};
    case 1: return {QStringLiteral("Send:4294967295"), U("发送：4294967295")};
    case 2: return {QStringLiteral("Recv:2048.004MB"), U("接收:2048.004MB")};
    case 3: return {QStringLiteral("Send Command"), QStringLiteral("data Class:"), U("通讯提示信息")};
    case 4:
        return {QStringLiteral("Data Verification:"), QStringLiteral("Data check correct"),
                U("数据校验正确 65535")};
    case 5:
        return {QStringLiteral("DataRecv：100Hz  DataCalc：100Hz  ImageRefresh：100Hz"),
                U("数据接收：100Hz  数据计算：100Hz  图像更新：100Hz")};
    case 6:
        return {QStringLiteral("Toast:Connection lost"), QStringLiteral("Toast:Snapshot not saved"),
                U("提示消息：传感器VDD异常"), U("提示消息：快照保存失败")};
    default: return {};
    }
}

QString EnglishPanelText(int panel) {
    switch (panel) {
    case 1: return QStringLiteral("Send:");
    case 2: return QStringLiteral("Recev:");
    case 3: return QStringLiteral("data Class:");
    case 4: return QStringLiteral("Data Verification:");
    default: return QString();
    }
}
