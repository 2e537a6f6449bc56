// Broadcast and by-address search against a scripted module: the failure
// budget, the duplicate rule, the tuning around every search, and the list
// reads with bad indices.
#include <chrono>
#include <cstring>
#include <vector>

#include "fake_net.h"
#include "records/module_records.h"

namespace qrv::test {
namespace {

using namespace std::chrono_literals;
using namespace protocol;

constexpr std::uint8_t kBroadcast = kCmdSearchBroadcast;
constexpr std::uint8_t kByAddr = kCmdSearchByAddr;

class Search : public FakeNetTest {
protected:
    // The local module's own pair, where every search tunes back to.
    void SetHome(std::uint8_t channel, std::uint8_t rate) {
        dev_.CurProperty.Channel = channel;
        dev_.CurProperty.AirRate = rate;
    }
    ::ModuleBase Base(int index) {
        ::ModuleBase base{};
        EXPECT_TRUE(dev_.GetRemoteDevBase(&base, index).Ok());
        return base;
    }
};

TEST_F(Search, BroadcastKeepsEveryAnswerAndTunesHome) {
    SetHome(11, 0);
    fake_.Expect(TuneAck());
    // Two modules answer one after the other, then silence.
    fake_.ExpectPieces({{2ms, SearchAnswer(kBroadcast, 0x0102, kDevTypeQrv, kRunStateUser)},
                        {5ms, SearchAnswer(kBroadcast, 0x0203, kDevTypeVlxIo, kRunStateBoot)}});
    fake_.Expect(TuneAck());

    EXPECT_TRUE(dev_.SearchDev(26, 2).Ok());
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], ToBytes(BuildTuneRadio(26, 2)));
    EXPECT_EQ(frames[1], ToBytes(BuildSearchBroadcast()));
    EXPECT_EQ(frames[2], ToBytes(BuildTuneRadio(11, 0)));

    // The search ends only after three reads in a row found nothing.
    const auto requests = fake_.Requests();
    EXPECT_GE(requests[2].time - requests[1].time, 3 * std::chrono::milliseconds(kReadTimeoutMs) - 10ms);

    ASSERT_EQ(dev_.Found.Count(), 2);
    const auto first = Base(0);
    EXPECT_EQ(+first.NetAddr, 0x0102);
    EXPECT_EQ(+first.DevType, kDevTypeQrv);
    EXPECT_EQ(first.RunState, kRunStateUser);
    EXPECT_EQ(+first.FwVersion, 0);
    const auto second = Base(1);
    EXPECT_EQ(+second.NetAddr, 0x0203);
    EXPECT_EQ(second.RunState, kRunStateBoot);
}

TEST_F(Search, FailuresCountAgainstTheBudgetEvenWhenNotInARow) {
    // Eight bytes per read: a malformed answer costs one read, a good one
    // earns its read back. Budget 3: good, bad, bad, good, bad -> spent.
    Bytes burst;
    const Bytes wrongCommand = SearchAnswer(kByAddr, 0x0009, kDevTypeQrv, kRunStateUser);
    for (const Bytes& answer : {SearchAnswer(kBroadcast, 0x0001, kDevTypeQrv, kRunStateUser), wrongCommand,
                                wrongCommand, SearchAnswer(kBroadcast, 0x0002, kDevTypeQrv, kRunStateUser),
                                wrongCommand, SearchAnswer(kBroadcast, 0x0003, kDevTypeQrv, kRunStateUser)})
        burst.insert(burst.end(), answer.begin(), answer.end());
    fake_.Expect(TuneAck());
    fake_.Expect(burst);
    fake_.Expect(TuneAck());

    EXPECT_TRUE(dev_.SearchDev(11, 0).Ok());
    ASSERT_EQ(dev_.Found.Count(), 2);
    EXPECT_EQ(+Base(0).NetAddr, 0x0001);
    EXPECT_EQ(+Base(1).NetAddr, 0x0002);
    EXPECT_EQ(Frames().size(), 3u);
}

TEST_F(Search, DuplicatesAreAbsorbedWithinAndAcrossCalls) {
    const Bytes answer = SearchAnswer(kBroadcast, 0x0102, kDevTypeQrv, kRunStateUser);
    fake_.Expect(TuneAck());
    fake_.ExpectPieces({{2ms, answer}, {5ms, answer}});
    fake_.Expect(TuneAck());
    fake_.Expect(TuneAck());
    fake_.Expect(answer);
    fake_.Expect(TuneAck());

    EXPECT_TRUE(dev_.SearchDev(11, 0).Ok());
    // Found again on another pair: still the same module.
    EXPECT_FALSE(dev_.SearchDev(15, 1).Ok());
    ASSERT_EQ(dev_.Found.Count(), 1);
    // The entry keeps the pair it was first found on.
    EXPECT_EQ(Entry(0).foundChannel, 11);
    EXPECT_EQ(Entry(0).foundRate, 0);
}

// A stuck transmitter repeating its answer does not keep the search going:
// once heard, a module's answers cost the search its reads.
TEST_F(Search, RepeatedAnswersDoNotExtendTheSearch) {
    std::vector<Piece> stuck;
    for (int i = 0; i < 200; ++i) stuck.push_back({10ms, SearchAnswer(kBroadcast, 0x0102, kDevTypeQrv, kRunStateUser)});
    fake_.Expect(TuneAck());
    fake_.ExpectPieces(stuck);  // two seconds of the same answer
    fake_.Expect(TuneAck());
    const auto start = std::chrono::steady_clock::now();
    const Outcome found = dev_.SearchDev(11, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_TRUE(found.Ok());
    EXPECT_EQ(found.detail, "search-broadcast on channel 11 at 250K: 1 module answered, 1 of them new");
    EXPECT_EQ(dev_.Found.Count(), 1);
}

// However many modules keep answering, a search stops 30 s after its frame
// (here on a clock that moves a second at every look).
TEST_F(Search, EndsAtItsTimeLimitWhileAnswersKeepComing) {
    std::vector<Piece> crowd;
    for (int i = 0; i < 100; ++i)
        crowd.push_back({1ms, SearchAnswer(kBroadcast, static_cast<std::uint16_t>(0x0100 + i), kDevTypeQrv,
                                           kRunStateUser)});
    fake_.Expect(TuneAck());
    fake_.ExpectPieces(crowd);
    fake_.Expect(TuneAck());
    waits_.step = 1s;
    const Outcome found = dev_.SearchDev(11, 0);
    EXPECT_TRUE(found.Ok());
    EXPECT_NE(found.detail.find("stopped at the 30 s limit while answers kept coming"), std::string::npos)
        << found.detail;
    EXPECT_GT(dev_.Found.Count(), 20);
    EXPECT_LT(dev_.Found.Count(), 31);
    EXPECT_EQ(Frames().back(), ToBytes(BuildTuneRadio(0, 0)));  // and it still tunes home
}

TEST_F(Search, NothingFoundSaysWhereItLooked) {
    fake_.Expect(TuneAck());
    fake_.ExpectSilence();
    fake_.Expect(TuneAck());
    const Outcome found = dev_.SearchDev(26, 2);
    EXPECT_EQ(found.reason, Reason::NoAnswer);
    EXPECT_EQ(found.detail, "search-broadcast on channel 26 at 1M: no module answered (3 reads of 150 ms on " +
                                pty_.SlavePath() + " at 115200 baud)");
}

TEST_F(Search, AnEntryWithAKnownVersionNoLongerAbsorbsItsModule) {
    AddEntry(0x0102, kDevTypeQrv, kRunStateUser, 11, 0);
    // Reading the entry's record brings its firmware version.
    fake_.Expect(TuneAck());
    fake_.Expect(PropertyAnswer(0x0102, SampleRecord(0x0102, 11, 0)));
    ASSERT_TRUE(dev_.LoadRemoteDevInfo(0).Ok());
    ASSERT_NE(+Base(0).FwVersion, 0);

    fake_.Expect(TuneAck());
    fake_.Expect(SearchAnswer(kBroadcast, 0x0102, kDevTypeVlxIo, kRunStateUser));
    fake_.Expect(TuneAck());
    EXPECT_TRUE(dev_.SearchDev(11, 0).Ok());
    ASSERT_EQ(dev_.Found.Count(), 2);
    EXPECT_EQ(+Base(1).NetAddr, 0x0102);
    EXPECT_EQ(+Base(1).FwVersion, 0);
}

TEST_F(Search, SilentPairAddsNothingAndTuneHomeBeforeAnyLoadIsChannelZero) {
    fake_.Expect(TuneAck());
    fake_.ExpectSilence();
    fake_.Expect(TuneAck());
    EXPECT_FALSE(dev_.SearchDev(20, 1).Ok());
    EXPECT_EQ(dev_.Found.Count(), 0);
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 3u);
    // The local record is still all zero: home is channel 0, rate 0.
    EXPECT_EQ(frames[2], ToBytes(BuildTuneRadio(0, 0)));
}

TEST_F(Search, RefusedTuningSendsNoSearchButTunesHome) {
    SetHome(11, 0);
    fake_.Expect(TuneAck(1));
    fake_.Expect(TuneAck());
    EXPECT_FALSE(dev_.SearchDev(26, 2).Ok());
    fake_.Expect(TuneAck(1));
    fake_.Expect(TuneAck());
    EXPECT_FALSE(dev_.SearchDevByAddr(26, 2, 0x0102).Ok());
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[1], ToBytes(BuildTuneRadio(11, 0)));
    EXPECT_EQ(frames[3], ToBytes(BuildTuneRadio(11, 0)));
}

TEST_F(Search, ClosedPortSendsNothing) {
    port_.Close();
    EXPECT_FALSE(dev_.SearchDev(11, 0).Ok());
    EXPECT_FALSE(dev_.SearchDevByAddr(11, 0, 1).Ok());
    EXPECT_EQ(fake_.Requests().size(), 0u);
}

TEST_F(Search, ByAddressKeepsWhoeverAnswersUnderItsOwnAddress) {
    SetHome(11, 0);
    fake_.Expect(TuneAck());
    fake_.Expect(SearchAnswer(kByAddr, 0x0777, kDevTypeKorvanet, kRunStateUser));
    fake_.Expect(TuneAck());
    EXPECT_TRUE(dev_.SearchDevByAddr(26, 2, 0x10102).Ok());
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 3u);
    // Only the low 16 bits of the address travel.
    EXPECT_EQ(frames[1], ToBytes(BuildSearchByAddr(0x0102)));
    EXPECT_EQ(frames[2], ToBytes(BuildTuneRadio(11, 0)));
    ASSERT_EQ(dev_.Found.Count(), 1);
    EXPECT_EQ(+Base(0).NetAddr, 0x0777);
    EXPECT_EQ(+Base(0).DevType, kDevTypeKorvanet);
}

TEST_F(Search, ByAddressReadsTwiceThenGivesUp) {
    // A broadcast echo is not an answer to a search by address.
    fake_.Expect(TuneAck());
    fake_.ExpectPieces({{2ms, SearchAnswer(kBroadcast, 0x0102, kDevTypeQrv, kRunStateUser)},
                        {5ms, SearchAnswer(kByAddr, 0x0102, kDevTypeQrv, kRunStateUser)}});
    fake_.Expect(TuneAck());
    EXPECT_TRUE(dev_.SearchDevByAddr(11, 0, 0x0102).Ok());

    fake_.Expect(TuneAck());
    fake_.ExpectPieces({{2ms, SearchAnswer(kBroadcast, 0x0103, kDevTypeQrv, kRunStateUser)},
                        {5ms, SearchAnswer(kBroadcast, 0x0103, kDevTypeQrv, kRunStateUser)},
                        {5ms, SearchAnswer(kByAddr, 0x0103, kDevTypeQrv, kRunStateUser)}});
    fake_.Expect(TuneAck());
    EXPECT_FALSE(dev_.SearchDevByAddr(11, 0, 0x0103).Ok());
    EXPECT_EQ(dev_.Found.Count(), 1);
    EXPECT_EQ(Frames().size(), 6u);
}

TEST_F(Search, ByAddressOfAListedModuleAddsNothing) {
    AddEntry(0x0102, kDevTypeQrv, kRunStateUser, 11, 0);
    fake_.Expect(TuneAck());
    fake_.Expect(SearchAnswer(kByAddr, 0x0102, kDevTypeQrv, kRunStateUser));
    fake_.Expect(TuneAck());
    EXPECT_FALSE(dev_.SearchDevByAddr(11, 0, 0x0102).Ok());
    EXPECT_EQ(dev_.Found.Count(), 1);
    EXPECT_EQ(Frames().size(), 3u);
}

TEST_F(Search, ListReadsRefuseIndicesOutsideTheList) {
    AddEntry(0x0102, kDevTypeQrv, kRunStateUser, 11, 0);
    ::ModuleBase base{};
    std::memset(&base, 0x5A, sizeof base);
    for (int index : {-1, 1, 1000}) {
        EXPECT_FALSE(dev_.GetRemoteDevBase(&base, index).Ok()) << index;
        EXPECT_FALSE(dev_.Found.IsValid(index)) << index;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&base);
    for (std::size_t i = 0; i < sizeof base; ++i) EXPECT_EQ(bytes[i], 0x5A);
    EXPECT_FALSE(dev_.GetRemoteDevBase(nullptr, 0).Ok());

    dev_.Found.Clear();
    EXPECT_EQ(dev_.Found.Count(), 0);
    EXPECT_FALSE(dev_.GetRemoteDevBase(&base, 0).Ok());
}

}  // namespace
}  // namespace qrv::test
