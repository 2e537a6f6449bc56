// The field table's exports: bounds, the caller's Size, and the rows the
// front ends rely on.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "qrvlink/qrvlink.h"

namespace {

TEST(FieldTable, InfoStaysWithinTheCallersSizeAndIndex) {
    ASSERT_GT(Q_FieldCount(), 17);
    QrvFieldInfo info{};
    info.Size = sizeof info;
    EXPECT_EQ(Q_FieldInfo(-1, &info), 0);
    EXPECT_EQ(Q_FieldInfo(Q_FieldCount(), &info), 0);
    EXPECT_EQ(Q_FieldInfo(0, nullptr), 0);
    info.Size = 3;
    EXPECT_EQ(Q_FieldInfo(0, &info), 0);

    // An older, shorter struct: nothing is written past its Size.
    unsigned char buffer[sizeof(QrvFieldInfo) + 8];
    std::memset(buffer, 0xEE, sizeof buffer);
    const std::uint32_t shortSize = offsetof(QrvFieldInfo, Offset);
    std::memcpy(buffer, &shortSize, sizeof shortSize);
    ASSERT_EQ(Q_FieldInfo(Q_FieldFind("channel"), reinterpret_cast<QrvFieldInfo*>(buffer)), 1);
    for (std::size_t i = shortSize; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], 0xEE) << i;
}

TEST(FieldTable, RowsNameTheirPlaceAndRules) {
    const struct {
        const char* name;
        std::uint32_t offset, bytes;
        int kind;
        std::int64_t good, bad;  // a value the record may hold and one it may not
    } rows[] = {
        {"name", offsetof(ModuleProperty, DevName), 16, QRV_FIELD_TEXT, -1, -1},
        {"channel", offsetof(ModuleProperty, Channel), 1, QRV_FIELD_NUMBER, 30, 31},
        {"net-id", offsetof(ModuleProperty, NetId), 2, QRV_FIELD_NUMBER, 0xFFFF, 0x10000},
        {"uart-baud", offsetof(ModuleProperty, UartBaud), 1, QRV_FIELD_CODED, 9, 10},
        {"tx-power", offsetof(ModuleProperty, TxPower), 1, QRV_FIELD_CODED, 0x12, 0x01},
        {"uart-parity", offsetof(ModuleProperty, UartParity), 1, QRV_FIELD_NAMED, 4, 5},
        {"device-type", offsetof(ModuleProperty, DevType), 2, QRV_FIELD_NAMED, 0x12, 0x13},
    };
    for (const auto& row : rows) {
        const int index = Q_FieldFind(row.name);
        QrvFieldInfo info{};
        info.Size = sizeof info;
        ASSERT_EQ(Q_FieldInfo(index, &info), 1) << row.name;
        EXPECT_STREQ(info.Name, row.name);
        EXPECT_EQ(info.Offset, row.offset) << row.name;
        EXPECT_EQ(info.Bytes, row.bytes) << row.name;
        EXPECT_EQ(info.Kind, row.kind) << row.name;
        if (row.kind == QRV_FIELD_TEXT) continue;
        EXPECT_EQ(Q_FieldCheck(index, row.good), 1) << row.name;
        EXPECT_EQ(Q_FieldCheck(index, row.bad), 0) << row.name;
    }
    EXPECT_EQ(Q_FieldFind("colour"), -1);
    EXPECT_EQ(Q_FieldFind(nullptr), -1);
    const int name = Q_FieldFind("name");
    EXPECT_EQ(Q_FieldCheckText(name, "ABCDEFGHIJKLMNO", 15), 1);
    EXPECT_EQ(Q_FieldCheckText(name, "ABCDEFGHIJKLMNOP", 16), 0);
    EXPECT_EQ(Q_FieldCheckText(name, "a\nb", 3), 0);
    EXPECT_EQ(Q_FieldCheckText(name, nullptr, 0), 1);
    EXPECT_EQ(Q_FieldCheckText(Q_FieldFind("channel"), "6", 1), 0);
}

}  // namespace
