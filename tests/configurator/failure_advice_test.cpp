// What a failure box adds under its text: one case per reason, from the SDK's
// own detail lines; the traffic list's ring; the upgrade bar's position.
#include <gtest/gtest.h>

#include "app/traffic_log.h"
#include "common/sdk_failure.h"
#include "dialogs/upgrade_status.h"
#include "qrvlink/qrvlink.h"

namespace {

using qrvtune::FailureAdvice;
using qrvtune::SdkFailure;

struct AdviceCase {
    int reason;
    const char* detail;
    const char* advice;  // without the detail line
    // The facts as Q_GetLastFailureInfo gives them beside the detail.
    const char* path = "";
    qint64 holderPid = 0;
    const char* holderProgram = "";
    quint32 baudRate = 0;
    int status = -1;
};

const AdviceCase kAdviceCases[] = {
    {QRV_FAIL_PORT_PERMISSION, "open /dev/ttyUSB0: Permission denied (crw-rw---- root:dialout)",
     "没有权限打开串口 /dev/ttyUSB0。请把当前用户加入 dialout 组（sudo usermod -aG dialout 用户名），重新登录后再试。", "/dev/ttyUSB0"},
    {QRV_FAIL_PORT_BUSY, "open /dev/ttyUSB0: held by process 4121 (minicom)",
     "串口 /dev/ttyUSB0 正被 minicom（进程 4121） 占用。请先关闭该程序，再按“打开串口”。", "/dev/ttyUSB0", 4121, "minicom"},
    {QRV_FAIL_PORT_BUSY, "open /dev/ttyUSB0: held by process 4121",
     "串口 /dev/ttyUSB0 正被 进程 4121 占用。请先关闭该程序，再按“打开串口”。", "/dev/ttyUSB0", 4121},
    {QRV_FAIL_PORT_BUSY, "open /dev/ttyS1: Device or resource busy",
     "串口 /dev/ttyS1 正被另一个程序占用。请先关闭使用该串口的程序，再按“打开串口”。", "/dev/ttyS1"},
    {QRV_FAIL_PORT_NOT_FOUND, "open /dev/ttyUSB3: No such file or directory",
     "找不到串口 /dev/ttyUSB3。请检查 USB 转串口线是否插好，然后按“重新扫描”，从列表中选择串口后再打开。", "/dev/ttyUSB3"},
    {QRV_FAIL_PORT_NOT_SERIAL, "open /dev/null: not a serial port (Inappropriate ioctl for device)",
     "/dev/null 不是串口设备。请按“重新扫描”，从列表中选择串口（如 /dev/ttyUSB0）。", "/dev/null"},
    {QRV_FAIL_PORT_SETTINGS, "/dev/ttyUSB0: 1.5 stop bits need 5 data bits, not 8",
     "串口 /dev/ttyUSB0 不接受所选的串口参数（波特率、数据位、校验位或停止位）。请换一组参数再打开。", "/dev/ttyUSB0"},
    {QRV_FAIL_NO_ANSWER, "read-base-info: no answer on /dev/ttyUSB0 at 9600 baud within 300 ms",
     "模块没有应答。请检查串口波特率是否与模块一致（可依次试 115200、19200、38400、57600），接线是否正确，模块是否已上电。", "/dev/ttyUSB0", 0, "", 9600},
    {QRV_FAIL_BAD_ANSWER, "read-base-info answer of 9 bytes, expected 10",
     "模块的应答不正确：可能是串口参数（波特率、校验位）与模块不一致，或线路受到干扰。请检查串口参数和接线后再试。"},
    {QRV_FAIL_REFUSED, "write-property refused by the module: status 0x01",
     "模块拒绝了这次操作（状态 0x01）。请重新读取设备信息，确认参数后再试。", "", 0, "", 0, 0x01},
    {QRV_FAIL_PORT_LOST, "read /dev/pts/4: Input/output error",
     "串口已断开：USB 转串口线可能被拔出。串口已关闭，请插好后按“重新扫描”，再按“打开串口”。", "/dev/pts/4"},
    {QRV_FAIL_WRITE, "write /dev/ttyUSB0: 3 of 3 bytes left within the 1000 ms write time-out",
     "无法在规定时间内向串口 /dev/ttyUSB0 发送数据。请检查串口线和流控设置。", "/dev/ttyUSB0"},
    {QRV_FAIL_PORT_NOT_OPEN, "the port is not open", "串口未打开。请先选择串口，再按“打开串口”。"},
};

TEST(FailureAdvice, EachReasonSaysWhatHappenedAndWhatToDoThenTheDetail) {
    for (const AdviceCase& c : kAdviceCases) {
        const QString detail = QString::fromUtf8(c.detail);
        const SdkFailure failure{c.reason,   detail,     QString::fromUtf8(c.path), c.holderPid,
                                 QString::fromUtf8(c.holderProgram), c.baudRate, c.status};
        EXPECT_EQ(FailureAdvice(failure).toStdString(),
                  (QString::fromUtf8(c.advice) + QStringLiteral("\n详细信息：") + detail).toStdString())
            << c.reason;
    }
}

TEST(FailureAdvice, NothingToAddForSuccessBadArgumentsAndImagesTheSdkExplained) {
    for (const int reason : {QRV_FAIL_NONE, QRV_FAIL_ARGUMENT, QRV_FAIL_IMAGE})
        EXPECT_TRUE(FailureAdvice({reason, QStringLiteral("whatever")}).isEmpty()) << reason;
    // No detail: the advice alone, with a port named in general terms.
    EXPECT_EQ(FailureAdvice({QRV_FAIL_PORT_NOT_FOUND, QString()}),
              QStringLiteral("找不到串口 所选串口。请检查 USB 转串口线是否插好，然后按“重新扫描”，从列表中选择串口后再打开。"));
}

TrafficFrame Frame(std::uint64_t microseconds, int direction, QByteArray bytes) {
    return {microseconds, direction, std::move(bytes), QTime()};
}

TEST(TrafficModel, ShowsTimeDirectionHexAndMeaningAndSavesTheSameAsText) {
    TrafficModel model;
    model.Append({Frame(8123402011, 0, QByteArray::fromHex("abd1ba")), Frame(8123518470, 1, "\x01\x02")});
    ASSERT_EQ(model.rowCount(), 2);
    const auto cell = [&](int row, int column) { return model.index(row, column).data().toString(); };
    EXPECT_EQ(cell(0, TrafficModel::kTime), QStringLiteral("8123.402011"));
    EXPECT_EQ(cell(0, TrafficModel::kDirection), QStringLiteral("发送"));
    EXPECT_EQ(cell(1, TrafficModel::kDirection), QStringLiteral("接收"));
    EXPECT_EQ(cell(0, TrafficModel::kBytes), QStringLiteral("AB D1 BA"));
    // The decoder's names in the interface's language, its values as decoded.
    EXPECT_EQ(cell(0, TrafficModel::kMeaning), QStringLiteral("读取基本信息"));
    EXPECT_EQ(model.Text(), QStringLiteral("[8123.402011] -> AB D1 BA | 读取基本信息\n"
                                           "[8123.518470] <- 01 02 | 无法识别 2 字节\n"));
    model.Clear();
    EXPECT_EQ(model.rowCount(), 0);

    // Frames the window takes carry the wall clock; a tooltip shows one whole.
    TrafficFrame clocked = Frame(5, 0, QByteArray::fromHex("abd1ba"));
    clocked.clock = QTime(14, 3, 27, 105);
    model.Append({clocked});
    EXPECT_EQ(cell(0, TrafficModel::kTime), QStringLiteral("14:03:27.105"));
    EXPECT_EQ(model.index(0, TrafficModel::kBytes).data(Qt::ToolTipRole).toString(),
              QStringLiteral("时间：14:03:27.105\n方向：发送\n数据：AB D1 BA\n含义：读取基本信息"));
}

TEST(TrafficModel, KeepsOnlyTheNewestTenThousandFrames) {
    TrafficModel model;
    std::vector<TrafficFrame> batch;
    for (std::uint64_t n = 0; n < 6000; ++n) batch.push_back(Frame(n, 0, "\x01"));
    model.Append(batch);
    model.Append(batch);  // 12000 in all: the first 2000 go
    ASSERT_EQ(model.rowCount(), kTrafficCapacity);
    EXPECT_EQ(model.index(0, TrafficModel::kTime).data().toString(), TrafficTime(2000));
    EXPECT_EQ(model.index(kTrafficCapacity - 1, TrafficModel::kTime).data().toString(), TrafficTime(5999));
    // One batch larger than the ring keeps its own newest frames.
    batch.resize(0);
    for (std::uint64_t n = 0; n < 10005; ++n) batch.push_back(Frame(n, 1, "\x02"));
    model.Append(batch);
    ASSERT_EQ(model.rowCount(), kTrafficCapacity);
    EXPECT_EQ(model.index(0, TrafficModel::kTime).data().toString(), TrafficTime(5));
}

TEST(UpgradeProgress, BarFollowsTheAcknowledgedBlocks) {
    const struct {
        std::int32_t done, total;
        int percent;
    } cases[] = {{0, 0, 0}, {0, 4, 0}, {1, 4, 25}, {3, 4, 75}, {4, 4, 100}, {5, 4, 100}, {1, 3, 33}};
    for (const auto& c : cases) EXPECT_EQ(UpgradePercent(c.done, c.total), c.percent) << c.done << '/' << c.total;
    UpgradeRun run;
    UpgradeRun::NoteProgress(&run, 2, 7);
    EXPECT_EQ(run.Done(), 2);
    EXPECT_EQ(run.Total(), 7);
}

}  // namespace
