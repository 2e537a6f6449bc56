// Cost of building request frames and judging answers: the per-exchange work
// the SDK does besides waiting for the line.
#include <benchmark/benchmark.h>

#include <cstring>

#include "protocol/frames.h"
#include "records/module_records.h"

namespace {

using namespace qrv::protocol;

ModuleProperty SampleRecord() {
    ModuleProperty record{};
    std::strcpy(record.DevName, "bench-node");
    record.Channel = 11;
    record.NetId = 0x2024;
    record.LocalAddr = 0x0102;
    record.RetryInterval = 300;
    return record;
}

void BM_BuildWriteProperty(benchmark::State& state) {
    const ModuleProperty record = SampleRecord();
    for (auto _ : state) benchmark::DoNotOptimize(BuildWriteProperty(0x0102, record));
}
BENCHMARK(BM_BuildWriteProperty);

void BM_BuildFirmwareBlock(benchmark::State& state) {
    std::uint8_t data[kFirmwareBlockSize];
    std::memset(data, 0x5A, sizeof data);
    std::uint16_t offset = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildFirmwareBlock(0x0102, offset, data, FirmwareRegion::Second));
        offset = static_cast<std::uint16_t>(offset + kFirmwareBlockSize);
    }
}
BENCHMARK(BM_BuildFirmwareBlock);

void BM_BuildTuneAndSearch(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildTuneRadio(11, 0));
        benchmark::DoNotOptimize(BuildSearchBroadcast());
    }
}
BENCHMARK(BM_BuildTuneAndSearch);

void BM_ParseSearchAnswer(benchmark::State& state) {
    const std::uint8_t rx[] = {0xAB, 0xD5, 0x01, 0x02, 0x00, 0x10, 0xAA, 0xBA};
    ModuleBase base{};
    for (auto _ : state) benchmark::DoNotOptimize(ParseSearchAnswer(Answer{rx, sizeof rx}, kCmdSearchBroadcast, base));
}
BENCHMARK(BM_ParseSearchAnswer);

void BM_ParsePropertyAnswer(benchmark::State& state) {
    std::uint8_t rx[kAnswerLenProperty] = {kConfigStart, kCmdReadProperty};
    qrv::PropertyToWire(SampleRecord(), rx + kAnswerPropertyOffset);
    ModuleProperty record{};
    for (auto _ : state) benchmark::DoNotOptimize(ParsePropertyAnswer(Answer{rx, sizeof rx}, record));
}
BENCHMARK(BM_ParsePropertyAnswer);

}  // namespace
