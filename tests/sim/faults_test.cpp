// Fault options as typed on the command line, and what each fault does to
// the answers, drawn deterministically from the seed.
#include "sim/faults.h"

#include <gtest/gtest.h>

using namespace qrv::sim;
using namespace std::chrono_literals;

namespace {

const CommandKey kWrite{Family::Config, 0xD3};
const CommandKey kReadInfo{Family::Config, 0xD1};
const Bytes kAck{0xAB, 0xD3, 0x01, 0x02, 0x00, 0xBA};

FaultOutcome ApplyOne(FaultKind kind, CommandKey command = kWrite, std::vector<Bytes> answers = {kAck}) {
    FaultInjector injector(1);
    injector.Add(Fault{kind, std::nullopt, 1.0, -1});
    return injector.Apply(command, std::move(answers), 7ms, FaultTiming{20ms, 900ms});
}

}  // namespace

TEST(FaultOptions, ParseKindCommandProbabilityAndCount) {
    Fault f;
    std::string error;
    ASSERT_TRUE(ParseFault("drop", f, error));
    EXPECT_EQ(f.kind, FaultKind::Drop);
    EXPECT_FALSE(f.command);
    EXPECT_EQ(f.count, -1);

    ASSERT_TRUE(ParseFault("status,cmd=D3,p=0.25,n=2", f, error));
    EXPECT_EQ(f.kind, FaultKind::BadStatus);
    EXPECT_EQ(f.command, kWrite);
    EXPECT_DOUBLE_EQ(f.probability, 0.25);
    EXPECT_EQ(f.count, 2);

    ASSERT_TRUE(ParseFault("late,cmd=io-D7", f, error));
    EXPECT_EQ(f.command, (CommandKey{Family::Io, 0xD7}));
    ASSERT_TRUE(ParseFault("split,cmd=read-property", f, error));
    EXPECT_EQ(f.command, (CommandKey{Family::Config, 0xD2}));
    ASSERT_TRUE(ParseFault("forget", f, error));
    EXPECT_EQ(f.kind, FaultKind::Forget);

    for (const char* bad :
         {"", "melt", "drop,cmd=D0", "drop,cmd=io-D1", "drop,p=2", "drop,n=-1", "drop,x=1", "drop,p=", "drop,n=3x"}) {
        error.clear();
        EXPECT_FALSE(ParseFault(bad, f, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST(FaultInjector, EachKindShapesTheAnswer) {
    EXPECT_TRUE(ApplyOne(FaultKind::Drop).bursts.empty());

    const FaultOutcome status = ApplyOne(FaultKind::BadStatus);
    ASSERT_EQ(status.bursts.size(), 1u);
    EXPECT_EQ(status.bursts[0].bytes[4], 0x01);
    // An answer without a status byte passes unchanged.
    const Bytes info{0xAB, 0xD1, 0, 1, 0, 0x12, 0xAA, 1, 2, 0xBA};
    EXPECT_EQ(ApplyOne(FaultKind::BadStatus, kReadInfo, {info}).bursts.at(0).bytes, info);

    EXPECT_EQ(ApplyOne(FaultKind::Truncate).bursts.at(0).bytes, (Bytes{0xAB, 0xD3, 0x01}));

    const FaultOutcome split = ApplyOne(FaultKind::Split);
    ASSERT_EQ(split.bursts.size(), 2u);
    EXPECT_EQ(split.bursts[0].bytes, (Bytes{0xAB, 0xD3, 0x01}));
    EXPECT_EQ(split.bursts[1].bytes, (Bytes{0x02, 0x00, 0xBA}));
    EXPECT_EQ(split.bursts[1].delay, 20ms);

    const FaultOutcome garbage = ApplyOne(FaultKind::Garbage);
    const Bytes& noisy = garbage.bursts.at(0).bytes;
    ASSERT_GE(noisy.size(), kAck.size() + 1);
    ASSERT_LE(noisy.size(), kAck.size() + 4);
    EXPECT_EQ(Bytes(noisy.end() - 6, noisy.end()), kAck);

    EXPECT_EQ(ApplyOne(FaultKind::Late).bursts.at(0).delay, 900ms);

    const FaultOutcome unplug = ApplyOne(FaultKind::Unplug, kWrite, {});
    EXPECT_TRUE(unplug.unplug);  // even for a request without an answer

    const struct {
        const char* option;
        FaultKind kind;
        Bytes answer;
    } shaped[] = {
        {"extend", FaultKind::Extend, {0xAB, 0xD3, 0x01, 0x02, 0x00, 0xBA, 0x00}},
        {"flip", FaultKind::Flip, {0xAB, 0xD3, 0x01, 0x02, 0x00, 0x45}},
        {"echo", FaultKind::WrongEcho, {0xAB, 0xD2, 0x01, 0x02, 0x00, 0xBA}},
    };
    for (const auto& row : shaped) {
        Fault parsed;
        std::string error;
        ASSERT_TRUE(ParseFault(row.option, parsed, error)) << row.option;
        EXPECT_EQ(parsed.kind, row.kind);
        EXPECT_EQ(ApplyOne(row.kind).bursts.at(0).bytes, row.answer) << row.option;
    }
    const Bytes oversized = ApplyOne(FaultKind::Oversize).bursts.at(0).bytes;
    EXPECT_EQ(oversized.size(), 1100u);  // past any host's 1024-byte answer buffer
    EXPECT_EQ(Bytes(oversized.begin(), oversized.begin() + 6), kAck);
}

TEST(FaultInjector, SearchAnswersFollowEachOtherWithTheGap) {
    FaultInjector injector(1);
    const std::vector<Bytes> answers(3, Bytes(8, 0xAB));
    FaultOutcome plain = injector.Apply({Family::Config, 0xD5}, answers, 7ms, {});
    ASSERT_EQ(plain.bursts.size(), 3u);
    EXPECT_EQ(plain.bursts[0].delay, 0ms);
    EXPECT_EQ(plain.bursts[2].delay, 7ms);
}

TEST(FaultInjector, CommandFilterAndCountLimitWhenFaultsFire) {
    FaultInjector injector(1);
    injector.Add(Fault{FaultKind::Drop, kWrite, 1.0, 2});
    EXPECT_EQ(injector.Apply(kReadInfo, {kAck}, 0ms, {}).bursts.size(), 1u);  // other command
    EXPECT_TRUE(injector.Apply(kWrite, {kAck}, 0ms, {}).bursts.empty());
    // A request nobody answered does not use up the count.
    EXPECT_TRUE(injector.Apply(kWrite, {}, 0ms, {}).applied.empty());
    EXPECT_TRUE(injector.Apply(kWrite, {kAck}, 0ms, {}).bursts.empty());
    EXPECT_EQ(injector.Apply(kWrite, {kAck}, 0ms, {}).bursts.size(), 1u);  // spent

    // Forgetting needs a write: other commands leave its count alone.
    FaultInjector forget(1);
    forget.Add(Fault{FaultKind::Forget, std::nullopt, 1.0, 1});
    EXPECT_TRUE(forget.Apply(kReadInfo, {kAck}, 0ms, {}).applied.empty());
    EXPECT_EQ(forget.Apply(kWrite, {kAck}, 0ms, {}).applied, std::vector<FaultKind>{FaultKind::Forget});
}

TEST(FaultInjector, ProbabilityDrawsRepeatWithTheSeed) {
    auto pattern = [](std::uint64_t seed) {
        FaultInjector injector(seed);
        injector.Add(Fault{FaultKind::Drop, std::nullopt, 0.5, -1});
        std::string fired;
        for (int i = 0; i < 64; ++i) fired += injector.Apply(kWrite, {kAck}, 0ms, {}).bursts.empty() ? '1' : '0';
        return fired;
    };
    EXPECT_EQ(pattern(42), pattern(42));
    EXPECT_NE(pattern(42), pattern(43));
    const std::string p = pattern(42);
    const auto drops = std::count(p.begin(), p.end(), '1');
    EXPECT_GT(drops, 10);
    EXPECT_LT(drops, 54);
}
