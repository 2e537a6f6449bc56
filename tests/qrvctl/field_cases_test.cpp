// qrvctl's parser against the shared table of field values, and what its
// messages may carry.
#include <gtest/gtest.h>

#include <cstring>

#include "client/fields.h"
#include "support/field_cases.h"

namespace qrv::client {
namespace {

TEST(FieldCases, ParserAgreesWithTheSharedTable) {
    const auto cases = test::ReadFieldCases(QRV_FIELD_CASES);
    ASSERT_GT(cases.size(), 50u);
    for (const auto& c : cases) {
        Assignment a;
        const Status st = ParseAssignment(c.field + "=" + c.value, a);
        EXPECT_EQ(st.Ok(), c.accepted) << c.field << "=" << c.value << ": " << st.message;
    }
}

TEST(FieldCases, MessagesAreShortAndNeverCarryThePassword) {
    const std::string big(100000, 'x');
    const struct {
        std::vector<std::string> texts;
        const char* says;     // part of the message
        const char* unsaid;   // never in it
    } rows[] = {
        {{"password=" + big}, "password", "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"},
        {{"password=a\x01" "b"}, "control character", "a\x01"},
        {{"name=" + big}, "100000 bytes", "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"},
        {{"name=a\x01" "b"}, "a\\x01b", "\x01"},
        {{"channel=11", "channel=12"}, "given twice", "11"},
        {{"channel=99999999999999999999999"}, "out of range 6..30", "1099511627776"},
        {{"retry-count=11.5"}, "not a whole number", "out of range"},
    };
    for (const auto& row : rows) {
        std::vector<Assignment> parsed;
        const Status st = ParseAssignments(row.texts, parsed);
        EXPECT_FALSE(st.Ok()) << row.says;
        EXPECT_NE(st.message.find(row.says), std::string::npos) << st.message;
        EXPECT_EQ(st.message.find(row.unsaid), std::string::npos) << st.message.substr(0, 200);
        EXPECT_LT(st.message.size(), 200u);
    }
}

TEST(FieldCases, AnEmptyPasswordOnlyWhereThereIsNone) {
    const FieldSpec& password = FieldSpecOf(FieldId::Password);
    ModuleProperty open{}, locked{};
    std::strcpy(locked.Password, "123456");
    EXPECT_TRUE(WriteField(open, password, std::string()).Ok());
    EXPECT_FALSE(WriteField(locked, password, std::string()).Ok());
    EXPECT_STREQ(locked.Password, "123456");
}

}  // namespace
}  // namespace qrv::client
