// The local road against the simulated network: the SDK and the module agree
// on what a submit, a restart and a factory reset do.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "qrvlink/qrvlink.h"
#include "sim/simulator.h"

using namespace qrv::sim;

namespace {

class LocalOnSimulator : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim_.Start());
        const std::string path = sim_.SlavePath();
        const std::wstring wide(path.begin(), path.end());
        ASSERT_EQ(Q_OpenCom(wide.c_str(), 115200, 8, 0, 0, 0, 0, 0, 0, 300), 1);
    }
    void TearDown() override { Q_CloseCom(); }

    Simulator sim_{Scenario::Default()};
};

}  // namespace

TEST_F(LocalOnSimulator, SubmitMovesTheModuleAndTheNextLoadFindsIt) {
    ModuleBase base{};
    ModuleProperty property{};
    ASSERT_EQ(Q_QRV_GetPropertyAll(&base, &property), 1);
    EXPECT_EQ(std::uint16_t(base.NetAddr), std::uint16_t(property.LocalAddr));
    const ModuleProperty original = property;

    property.LocalAddr = 0x4321;
    property.Channel = 20;
    std::strcpy(property.DevName, "moved");
    ASSERT_EQ(Q_QRV_SetLocalPropertyAll(&base, &property), 1);
    ASSERT_EQ(Q_QRV_SubmitInfo(), 1);

    ModuleBase after{};
    ModuleProperty reread{};
    ASSERT_EQ(Q_QRV_GetPropertyAll(&after, &reread), 1);
    EXPECT_EQ(std::uint16_t(after.NetAddr), 0x4321);
    EXPECT_EQ(reread.Channel, 20);
    EXPECT_STREQ(reread.DevName, "moved");
    EXPECT_EQ(std::uint16_t(sim_.Module(0).config.record.LocalAddr), 0x4321);

    // A restart alone changes nothing; a factory reset brings the defaults back.
    ASSERT_EQ(Q_QRV_ResetDev(), 1);
    ASSERT_EQ(Q_QRV_LoadInfo(), 1);
    ASSERT_EQ(Q_QRV_ResetToDefault(), 1);
    std::uint8_t channel = 0;
    EXPECT_EQ(Q_QRV_GetProperty(4, &channel, 1), 0);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_NOT_LOADED);
    ASSERT_EQ(Q_QRV_GetPropertyAll(&after, &reread), 1);
    EXPECT_EQ(std::uint16_t(after.NetAddr), std::uint16_t(original.LocalAddr));
    EXPECT_EQ(reread.Channel, original.Channel);
    EXPECT_STREQ(reread.DevName, original.DevName);
}

TEST_F(LocalOnSimulator, DroppedAnswerFailsWithoutACode) {
    ASSERT_EQ(Q_QRV_LoadInfo(), 1);
    sim_.AddFault(Fault{FaultKind::Drop, std::nullopt, 1.0, 1});
    EXPECT_EQ(Q_QRV_LoadInfo(), 0);
    EXPECT_EQ(Q_GetLastError(), 0);
    EXPECT_EQ(Q_QRV_LoadInfo(), 1);
}
