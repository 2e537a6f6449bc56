// Qrvlink.dll through its exports on a Win32 COM port, against the built-in
// network of qrvsim (docs/qrvsim.md). scripts/test-windows.sh runs it under
// wine with QRV_TEST_PORT naming the port ("\\.\COM5") and QRV_TEST_BAUD the
// simulator's rate. The cases share one simulator and run in order in one
// process; each leaves the network as it found it, except the upgrade.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image_file.h"
#include "qrvlink/qrvlink.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using qrv::test::TempDir;

constexpr int kReadTimeoutMs = 300;
constexpr int kHomeChannel = 11;
constexpr int kHomeRate = 0;
constexpr std::uint16_t kLocal = 0x0001;
constexpr std::uint16_t kP2p = 0x0102;
constexpr std::uint16_t kWorkshopIo = 0x0203;
constexpr std::uint16_t kRelay = 0x0304;
constexpr std::uint16_t kBootModule = 0x0506;
constexpr std::uint16_t kNobody = 0x7E7E;

std::wstring Environment(const wchar_t* name, const wchar_t* fallback) {
    wchar_t value[256];
    const DWORD length = GetEnvironmentVariableW(name, value, 256);
    return length > 0 && length < 256 ? std::wstring(value, length) : std::wstring(fallback);
}

const std::wstring& Port() {
    static const std::wstring port = Environment(L"QRV_TEST_PORT", L"\\\\.\\COM5");
    return port;
}

int Baud() {
    static const int baud = std::stoi(Environment(L"QRV_TEST_BAUD", L"9600"));
    return baud;
}

int OpenPath(const wchar_t* path, int readTimeoutMs = kReadTimeoutMs, int baud = Baud(), int stopBits = 0) {
    return Q_OpenCom(path, baud, 8, 0, stopBits, 0, 0, 0, 0, readTimeoutMs);
}

// Network addresses of the search entries, in list order.
std::vector<std::uint16_t> Found() {
    std::vector<std::uint16_t> addresses;
    for (int i = 0; i < Q_QRV_GetSearchDevCount(); ++i) {
        ModuleBase base{};
        if (Q_QRV_GetRemoteDevBase(&base, i)) addresses.push_back(base.NetAddr);
    }
    return addresses;
}

int IndexOf(std::uint16_t address) {
    const auto found = Found();
    const auto at = std::find(found.begin(), found.end(), address);
    return at == found.end() ? -1 : static_cast<int>(at - found.begin());
}

template <typename Call>
Clock::duration Timed(Call call) {
    const auto start = Clock::now();
    call();
    return Clock::now() - start;
}

void Collect(int /*kind*/, const char* text, void* user) { static_cast<std::vector<std::string>*>(user)->push_back(text); }

class ComPort : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(OpenPath(Port().c_str()), 1) << "QRV_TEST_PORT must lead to a running qrvsim";
        Q_QRV_ClearSearchArr();
    }
    void TearDown() override {
        Q_SetMessageHandler(nullptr, nullptr);
        Q_CloseCom();
    }
};

}  // namespace

TEST_F(ComPort, OpensSerialDevicesOnly) {
    EXPECT_EQ(Q_ComCheckOpen(), 1);
    // Absent: refused, and the port open before is closed all the same.
    EXPECT_EQ(OpenPath(L"\\\\.\\COM250"), 0);
    EXPECT_EQ(Q_ComCheckOpen(), 0);
    char detail[256];
    EXPECT_EQ(Q_GetLastFailure(detail, sizeof detail), QRV_FAIL_PORT_NOT_FOUND) << detail;
    EXPECT_EQ(Q_GetLastOsError(), ERROR_FILE_NOT_FOUND);
    EXPECT_NE(std::string(detail).find("COM250"), std::string::npos) << detail;
    // A disk file opens through CreateFileW but has no line to configure.
    TempDir dir;
    EXPECT_EQ(OpenPath(dir.Write("not-a-port.txt", {1, 2, 3}).wstring().c_str()), 0);
    EXPECT_EQ(Q_ComCheckOpen(), 0);
    EXPECT_EQ(Q_GetLastFailure(nullptr, 0), QRV_FAIL_PORT_NOT_SERIAL);
    // The driver says yes but keeps other settings (wine's takes the nearest
    // rate and two stop bits for one and a half): what it kept decides.
    EXPECT_EQ(OpenPath(Port().c_str(), kReadTimeoutMs, 123457), 0);
    EXPECT_EQ(Q_GetLastFailure(detail, sizeof detail), QRV_FAIL_PORT_SETTINGS) << detail;
    EXPECT_EQ(OpenPath(Port().c_str(), kReadTimeoutMs, Baud(), 1), 0);
    EXPECT_EQ(Q_ComCheckOpen(), 0);
    // A bare port name is looked up in the device namespace.
    const std::wstring bare = Port().substr(Port().find_last_of(L'\\') + 1);
    EXPECT_EQ(OpenPath(bare.c_str()), 1);
    EXPECT_EQ(Q_QRV_LoadInfo(), 1);
}

TEST_F(ComPort, LocalRecordIsWrittenAndReadBack) {
    ModuleBase base{};
    ModuleProperty original{};
    ASSERT_EQ(Q_QRV_GetPropertyAll(&base, &original), 1);
    EXPECT_EQ(std::uint16_t(base.NetAddr), kLocal);
    EXPECT_EQ(std::uint16_t(base.DevType), 0x12);
    EXPECT_EQ(original.Channel, kHomeChannel);

    ModuleProperty changed = original;
    std::strcpy(changed.DevName, "wine-host");
    changed.RetryCount = static_cast<std::uint8_t>(original.RetryCount + 1);
    ASSERT_EQ(Q_QRV_SetLocalPropertyAll(&base, &changed), 1);
    ASSERT_EQ(Q_QRV_SubmitInfo(), 1);
    ModuleProperty reread{};
    ASSERT_EQ(Q_QRV_GetPropertyAll(&base, &reread), 1);
    EXPECT_STREQ(reread.DevName, "wine-host");
    EXPECT_EQ(reread.RetryCount, changed.RetryCount);
    char name[16] = {};
    EXPECT_EQ(Q_QRV_GetProperty(1, name, sizeof name), 1);
    EXPECT_STREQ(name, "wine-host");

    ASSERT_EQ(Q_QRV_SetLocalPropertyAll(&base, &original), 1);
    ASSERT_EQ(Q_QRV_SubmitInfo(), 1);
    ASSERT_EQ(Q_QRV_GetPropertyAll(&base, &reread), 1);
    EXPECT_EQ(std::memcmp(&reread, &original, sizeof original), 0);
}

TEST_F(ComPort, SearchFindsFarModulesAndReadsOneOverTheAir) {
    ASSERT_EQ(Q_QRV_LoadInfo(), 1);  // the home pair the search tunes back to
    ASSERT_EQ(Q_QRV_SearchDev(kHomeChannel, kHomeRate), 1);
    auto found = Found();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::uint16_t>{kP2p, kWorkshopIo, kBootModule}));

    ModuleProperty record{};
    ASSERT_EQ(Q_QRV_GetRemoteDevPropertyAll(&record, IndexOf(kP2p)), 1);
    EXPECT_STREQ(record.DevName, "P2P-Node-A");

    ASSERT_EQ(Q_QRV_SearchDevByAddr(26, 2, kRelay), 1);
    EXPECT_EQ(Found().back(), kRelay);
}

TEST_F(ComPort, WirelessIoLocallyAndOverTheAir) {
    ASSERT_EQ(Q_QRV_LoadInfo(), 1);
    EXPECT_EQ(Q_QRV_SetIODirAllLocal(0x03), 1);
    EXPECT_EQ(Q_QRV_SetIOValueLocal(0x01), 1);
    std::uint8_t lines = 0xFF;
    EXPECT_EQ(Q_QRV_GetIOvalueLocal(&lines, 1), 1);
    // Four values high byte first; the first input sits near 1650 mV.
    std::uint8_t ad[8] = {};
    EXPECT_EQ(Q_QRV_GetADvalueLocal(ad, 8), 1);
    EXPECT_NEAR(ad[0] << 8 | ad[1], 1650, 50);

    // The workshop module's outputs are wired back to its inputs.
    ASSERT_EQ(Q_QRV_SearchDev(kHomeChannel, kHomeRate), 1);
    const int workshop = IndexOf(kWorkshopIo);
    EXPECT_EQ(Q_QRV_SetIODirAllRemote(workshop, 0x0F), 1);
    EXPECT_EQ(Q_QRV_SetIOValueRemote(workshop, 0x06), 1);
    EXPECT_EQ(Q_QRV_GetIOvalueRemote(workshop, &lines, 1), 1);
    EXPECT_EQ(lines, 0x06);
    EXPECT_EQ(Q_QRV_GetADvalueRemote(workshop, ad, 8), 1);
    EXPECT_NEAR(ad[0] << 8 | ad[1], 1200, 50);
}

TEST_F(ComPort, UpgradesFromAnImageWithAChineseFileName) {
    TempDir dir;
    qrv::test::ImageLayout layout;
    layout.secondStart = 0x0800;
    layout.secondEnd = 0x0800 + 3 * 64;
    const std::filesystem::path image = dir.Path() / L"固件 升级.bin";
    {
        const auto bytes = qrv::test::ImageBytes(layout);
        std::ofstream out(image, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::string> messages;
    Q_SetMessageHandler(Collect, &messages);

    // The module waits in its boot loader (run state 0x55): blocks go at once.
    ASSERT_EQ(Q_QRV_UpdateWithFileNameLocal(image.c_str(), 0x55, kBootModule, 0), 1);
    EXPECT_TRUE(messages.empty());
    ASSERT_EQ(Q_QRV_SearchDevByAddr(kHomeChannel, kHomeRate, kBootModule), 1);
    ModuleBase after{};
    ASSERT_EQ(Q_QRV_GetRemoteDevBase(&after, 0), 1);
    EXPECT_EQ(after.RunState, 0xAA);  // the new image runs

    // A name that is not there is refused before any frame, and quoted whole.
    const std::filesystem::path missing = dir.Path() / L"不存在的固件.bin";
    EXPECT_EQ(Q_QRV_UpdateWithFileNameLocal(missing.c_str(), 0x55, kBootModule, 0), 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("不存在的固件.bin"), std::string::npos) << messages[0];
    EXPECT_EQ(Q_GetLastFailure(nullptr, 0), QRV_FAIL_IMAGE);
    // Only disk files are images: a folder and a device are refused unread.
    for (const wchar_t* notAFile : {dir.Path().c_str(), L"NUL"}) {
        EXPECT_EQ(Q_QRV_UpdateWithFileNameLocal(notAFile, 0x55, kBootModule, 0), 0);
        EXPECT_EQ(Q_GetLastFailure(nullptr, 0), QRV_FAIL_IMAGE);
    }
    Q_SetMessageHandler(nullptr, nullptr);
}

TEST_F(ComPort, ReadTimeoutsAreTheDriversOwn) {
    ASSERT_EQ(Q_QRV_LoadInfo(), 1);
    // Nobody has the address: both reads of the answer run to the total
    // time-out, so the longer time-out costs twice the difference.
    const auto silentSearch = [](int readTimeoutMs) {
        Q_CloseCom();
        EXPECT_EQ(OpenPath(Port().c_str(), readTimeoutMs), 1);
        return Timed([] { EXPECT_EQ(Q_QRV_SearchDevByAddr(kHomeChannel, kHomeRate, kNobody), 0); });
    };
    const auto extra = silentSearch(700) - silentSearch(200);
    EXPECT_GE(extra, 1000ms - 20ms);
    EXPECT_LE(extra, 1000ms + 250ms);

    // An answered read ends on the gap after its last byte, long before a
    // total time-out of 5 s: the two reads of a load, its pauses and wire time.
    Q_CloseCom();
    ASSERT_EQ(OpenPath(Port().c_str(), 5000), 1);
    EXPECT_LT(Timed([] { EXPECT_EQ(Q_QRV_LoadInfo(), 1); }), 1500ms);
}

// A context of its own on the COM port: its search list is its own, the
// default context's stays empty, and freeing it closes the port.
TEST(Context, SearchesOnItsOwnPortAndFreeingClosesIt) {
    QRV_CTX* ctx = Q_CtxNew();
    ASSERT_NE(ctx, nullptr);
    ASSERT_EQ(Q_CtxOpenCom(ctx, Port().c_str(), Baud(), 8, 0, 0, 0, 0, 0, 0, kReadTimeoutMs), 1);
    Q_QRV_ClearSearchArr();
    ASSERT_EQ(Q_CtxLock(ctx), 1);
    EXPECT_EQ(Q_CtxQRV_LoadInfo(ctx), 1);
    EXPECT_EQ(Q_CtxQRV_SearchDev(ctx, kHomeChannel, kHomeRate), 1);
    EXPECT_EQ(Q_CtxUnlock(ctx), 1);
    EXPECT_EQ(Q_CtxQRV_GetSearchDevCount(ctx), 3);
    EXPECT_EQ(Q_QRV_GetSearchDevCount(), 0);
    Q_CtxFree(ctx);
    // The port is free again for the default context.
    ASSERT_EQ(OpenPath(Port().c_str()), 1);
    EXPECT_EQ(Q_CloseCom(), 1);
}

TEST(Dll, CarriesTheLibraryVersionInItsVersionBlock) {
    const HMODULE module = GetModuleHandleW(L"Qrvlink.dll");
    ASSERT_NE(module, nullptr);
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(module, path, MAX_PATH), 0u);
    DWORD unused = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &unused);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length));
    EXPECT_EQ(HIWORD(info->dwFileVersionMS), QRVLINK_VERSION_MAJOR);
    EXPECT_EQ(LOWORD(info->dwFileVersionMS), QRVLINK_VERSION_MINOR);
    EXPECT_EQ(HIWORD(info->dwFileVersionLS), QRVLINK_VERSION_PATCH);
}
