// A simulated network as a scenario describes it: the local module (the one
// on the serial line) and the far modules it reaches over the air.
#pragma once

#include <string>
#include <vector>

#include "sim/module_state.h"

namespace qrv::sim {

// What a host hears when its line runs at another rate than the module's
// UART: nothing (the module cannot make out a frame), or line noise.
enum class BaudMismatch { Silent, Junk };

struct Scenario {
    ModuleConfig local;
    std::vector<ModuleConfig> far;
    BaudMismatch baudMismatch = BaudMismatch::Silent;

    // A host module on channel 11 at 250 K and five far modules: a
    // point-to-point and a wireless-IO module beside it, a network module on
    // 26 / 1 M, a wireless-IO module on 15 / 500 K and one waiting in its
    // boot loader on 11 / 250 K.
    static Scenario Default();
};

// Fills the text field with `gbkText` (at most 15 bytes, NUL-padded).
// Returns false, leaving the field alone, when the text does not fit.
bool SetTextField(char (&field)[kTextFieldSize], const std::string& gbkText);
std::string TextField(const char (&field)[kTextFieldSize]);

// A record with the usual serial and radio settings of a module fresh from
// the factory; tests and scenarios change what they need.
ModuleProperty TypicalRecord(std::uint16_t address, std::uint16_t devType, std::uint8_t channel, std::uint8_t airRate);

}  // namespace qrv::sim
