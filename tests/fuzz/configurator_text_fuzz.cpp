// The configurator's record text and fields on arbitrary bytes, without its
// widgets: record text decodes without reading past its field, text that
// fits a field is stored whole and reads back, hex words scan back to the
// text they format to, list positions and status lines never fault.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/record_fields.h"
#include "common/text_codec.h"

namespace {
void Require(bool holds) {
    if (!holds) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Record text: a 16-byte field with or without its terminator.
    char field[16];
    std::memset(field, 0, sizeof field);
    std::memcpy(field, data, size < sizeof field ? size : sizeof field);
    (void)MbcsToText(field);

    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    char stored[16];
    std::memset(stored, 0x5A, sizeof stored);
    if (StoreMbcsField(text, stored)) {
        Require(FitsMbcsField(text, sizeof stored));
        Require(std::memchr(stored, 0, sizeof stored) != nullptr);
        Require(FieldText(stored) == MbcsToText(stored));
    }
    if (const auto word = ScanHexWord(text)) Require(ScanHexWord(HexFieldText(*word)) == word);

    ModuleBase base{};
    ModuleProperty property{};
    std::memcpy(&base, data, size < sizeof base ? size : sizeof base);
    if (size > sizeof base) {
        const std::size_t rest = size - sizeof base;
        std::memcpy(&property, data + sizeof base, rest < sizeof property ? rest : sizeof property);
    }
    (void)ModuleStatusLine(base, property);
    (void)ModuleKindText(base.DevType);
    // The advanced values and every list give back the record they came from.
    ModuleProperty back = property;
    StoreAdvancedValues(AdvancedValuesOf(property), back);
    Require(std::memcmp(&back, &property, sizeof back) == 0);
    const std::uint8_t value = size ? data[0] : 0;
    for (const RecordList list : {kWorkModeList, kUartBaudList, kUartDataBitsList, kUartParityList, kUartStopBitsList,
                                  kAirRateList, kTxPowerList, kChannelList})
        Require(ListValueOf(ListPositionOf(value, list), list, value) == value);
    return 0;
}
