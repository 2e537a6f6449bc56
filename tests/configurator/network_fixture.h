#pragma once
// GUI tests against the simulated network: the default scenario served by an
// in-process qrvsim on a pty, the SDK's port open on it, and the SDK calls
// recorded (sdk_call_log.h).
//
// The simulator paces at 9600 baud: the read interval the SDK derives from
// that rate (41 ms) is long enough that a busy machine never splits an answer.
#include <memory>

#include "gui_fixture.h"
#include "sdk_call_log.h"
#include "sim/simulator.h"

class NetworkGuiTest : public GuiTest {
protected:
    static constexpr int kBaud = 9600;
    // Bounds every read; a broadcast search waits it out three times.
    static constexpr int kReadTimeoutMs = 120;

    void SetUp() override;
    void TearDown() override;

    // Far module at `address` in the simulator's model (index into Module()).
    std::size_t FarModule(std::uint16_t address) const;

    std::unique_ptr<qrv::sim::Simulator> sim_;
};

class QLineEdit;
class QTableWidget;

// The network page's module list, a button of it pressed, a box of the form,
// each by its object name.
QTableWidget* ModuleList();
void Press(const char* button);
QLineEdit* FormBox(const char* name);

// Generous bound for anything that waits on a sweep or an over-the-air call.
inline constexpr int kLongWaitMs = 30000;
