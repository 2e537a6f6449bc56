// FIELD=VALUE assignments (`set`, `--set`) on arbitrary text: what parses is
// stored without touching the record on failure, reads back as a value the
// field takes again, and formats without fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "client/fields.h"

using namespace qrv::client;

namespace {
void Require(bool holds) {
    if (!holds) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ModuleProperty record;
    std::memset(&record, size > 0 ? data[0] : 0, sizeof record);

    Assignment assignment;
    if (ParseAssignment(text, assignment).Ok()) {
        ModuleProperty written = record;
        const Status st = WriteField(written, *assignment.field, assignment.value);
        if (!st.Ok()) {
            Require(std::memcmp(&written, &record, sizeof record) == 0);
        } else {
            const FieldValue back = ReadField(written, *assignment.field);
            ModuleProperty again = written;
            Require(WriteField(again, *assignment.field, back).Ok());
            Require(std::memcmp(&again, &written, sizeof again) == 0);
            (void)FormatField(*assignment.field, back);
        }
    }
    // The same text as the value of every field, and what a record full of
    // arbitrary bytes reads as.
    for (const FieldSpec& field : AllFields()) {
        FieldValue value;
        if (ParseField(field, text, value).Ok()) (void)FormatField(field, value);
        (void)FormatField(field, ReadField(record, field));
    }
    return 0;
}
