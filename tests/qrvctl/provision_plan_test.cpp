// The plan file and the ledger a provisioning run keeps in its report:
// which rows a rerun may hand out again.
#include <gtest/gtest.h>

#include "client/provision_ledger.h"
#include "client/provision_plan.h"

using namespace qrv::client;

namespace {

struct PlanCase {
    const char* name;
    const char* csv;
    bool ok;
    const char* says;  // a fragment of the message, or of the first row's name
};

void PrintTo(const PlanCase& c, std::ostream* os) { *os << c.name; }

const PlanCase kPlans[] = {
    {"quoted", "local-address,name\n0x0101,\"Pump, \"\"north\"\"\"\r\n\n0x0102,\n", true, "Pump, \"north\""},
    {"byte-order mark", "\xEF\xBB\xBFname\nA\n", true, "A"},
    {"unknown column", "local-address,colour\n1,red\n", false, "no field \"colour\""},
    {"column twice", "name,name\nA,B\n", false, "\"name\" twice"},
    {"too many cells", "name\nA,B\n", false, "row 1 has 2 cells"},
    {"value not a number", "channel\n11\neleven\n", false, "row 2, channel"},
    {"bad match address", "match-address,name\n0x1FFFF,A\n", false, "not an address"},
    {"no rows", "name\n", false, "no rows"},
    {"open quote", "name\n\"A\n", false, "not closed"},
};

class PlanFile : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanFile, ParsesOrSaysWhatIsWrong) {
    const PlanCase& c = GetParam();
    Plan plan;
    const Status st = PlanFromCsv(c.csv, plan);
    ASSERT_EQ(st.Ok(), c.ok) << st.message;
    if (!c.ok) {
        EXPECT_NE(st.message.find(c.says), std::string::npos) << st.message;
        return;
    }
    const ProfileField* name = nullptr;
    for (const ProfileField& f : plan.rows.at(0).fields)
        if (f.field->id == FieldId::Name) name = &f;
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(std::get<std::string>(name->value), c.says);
}

INSTANTIATE_TEST_SUITE_P(Cases, PlanFile, ::testing::ValuesIn(kPlans));

TEST(PlanFile, RowsOverTheSharedProfileAndMatchAddresses) {
    Plan plan;
    ASSERT_TRUE(PlanFromCsv("local-address,match-address\n0x0101,0x2002\n0x0102,\n", plan).Ok());
    EXPECT_TRUE(plan.matchByAddress);
    EXPECT_EQ(plan.rows[0].matchAddress, 0x2002);
    EXPECT_FALSE(plan.rows[1].matchAddress);
    Profile shared;
    shared.Set(*FindField("channel"), std::int64_t{15});
    shared.Set(*FindField("local-address"), std::int64_t{7});
    ModuleProperty record{};
    ASSERT_TRUE(ApplyProfile(ProfileForRow(shared, plan.rows[1]), record).Ok());
    EXPECT_EQ(record.Channel, 15);
    EXPECT_EQ(record.LocalAddr, 0x0102);  // the row wins
    // A module at 0x2002 gets its own row; another the first free row without one.
    EXPECT_EQ(NextRow(plan, {}, 0x2002), 1);
    EXPECT_EQ(NextRow(plan, {}, 0x2005), 2);
}

struct LedgerCase {
    const char* name;
    std::vector<std::string> lines;  // "row result run [wrote]"
    std::set<int> used, held, cut;
};

void PrintTo(const LedgerCase& c, std::ostream* os) { *os << c.name; }

std::string Line(int row, const char* result, const char* run, bool wrote = false) {
    return Json{{"run", run}, {"row", row}, {"result", result}, {"wrote", wrote}}.dump();
}

const LedgerCase kLedgers[] = {
    {"outcomes that use a row",
     {Line(1, "written", "a"), Line(2, "unchanged", "a"), Line(3, "failed", "a", true), Line(4, "failed", "a")},
     {1, 2, 3}, {}, {}},
    {"cut mid-write by an earlier run",
     {Line(1, "claimed", "a"), Line(1, "writing", "a"), Line(2, "claimed", "a")}, {1}, {}, {1}},
    {"claims of this run are held",
     {Line(1, "claimed", "now"), Line(2, "claimed", "now"), Line(2, "failed", "now"), Line(3, "claimed", "now"),
      Line(3, "writing", "now")},
     {3}, {1}, {}},
    {"a cut line is skipped", {"{\"run\":\"a\",\"row\":1,\"res", Line(2, "written", "a")}, {2}, {}, {}},
};

class LedgerRows : public ::testing::TestWithParam<LedgerCase> {};

TEST_P(LedgerRows, KnowsWhichRowsAreUsed) {
    const LedgerCase& c = GetParam();
    const LedgerState state = ReadLedger(c.lines, "now");
    EXPECT_EQ(state.used, c.used);
    EXPECT_EQ(state.held, c.held);
    EXPECT_EQ(state.cutMidWrite, c.cut);
}

INSTANTIATE_TEST_SUITE_P(Cases, LedgerRows, ::testing::ValuesIn(kLedgers));

}  // namespace
