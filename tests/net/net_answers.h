// The answers a module gives to the network operations' requests, built
// for scripted fakes (16-bit fields high byte first).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "device/qrv_dev.h"
#include "protocol/frames.h"
#include "qrvlink/qrvlink.h"
#include "support/fake_module.h"

namespace qrv::test {

Bytes ToBytes(const protocol::Frame& frame);

// ---- Answers, as a module sends them ----
Bytes TuneAck(std::uint8_t status = 0);
Bytes SearchAnswer(std::uint8_t command, std::uint16_t addr, std::uint16_t type, std::uint8_t runState);
Bytes PropertyAnswer(std::uint16_t addr, const ModuleProperty& record);
Bytes WriteAck(std::uint16_t addr, std::uint8_t status = 0);
// 8-byte answers of 0xD8, 0xDA and 0xDB: status in byte 6.
Bytes StepAnswer(std::uint8_t command, std::uint16_t addr, std::uint16_t type, std::uint8_t status = 0);
Bytes BlockAck(std::uint16_t addr, std::uint16_t offset, std::uint8_t status = 0);
Bytes IoWriteAck(std::uint8_t command, std::uint16_t addr, std::uint8_t status = 0);
Bytes IoInputsAnswer(std::uint16_t addr, std::uint8_t lines);
Bytes AdAnswer(std::uint16_t addr, const std::vector<std::uint8_t>& block8);

// A record with recognisable contents.
ModuleProperty SampleRecord(std::uint16_t localAddr, std::uint8_t channel, std::uint8_t rate);

// What an upgrade reported: its messages and its progress.
struct CapturedUpgrade final : UpgradeListener {
    std::vector<std::pair<int, std::string>> shown;
    std::vector<std::pair<int, int>> progress;  // done, total
    void Message(int kind, const std::string& text) override { shown.emplace_back(kind, text); }
    void Progress(int done, int total) override { progress.emplace_back(done, total); }
};

}  // namespace qrv::test
