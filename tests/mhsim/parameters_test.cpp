// "Simulate" up to the run: the order the boxes are read in and what refuses a run.
#include <gtest/gtest.h>

#include "mhsim/parameters.h"

using namespace davrenta;

namespace {

ParameterEntries Entries() {
    ParameterEntries e;
    e.daystxt = "50";
    e.lsimtxt = "8";
    e.afreqtxt = "2.5 per hour";
    e.nservtxt = "3";
    e.svcatxt = "1";
    e.svcbtxt = "";
    e.wspacetxt = "4";
    e.seedtxt = "17";
    e.selected = 1;
    return e;
}

} // namespace

TEST(StoreParameters, StoresTheBoxesByTheLeadingNumberRule) {
    MhSimState m;
    m.SimOption = 3;
    const Result<std::uint64_t> seed = StoreParameters(m, Entries());
    ASSERT_TRUE(seed.ok()) << seed.message();
    EXPECT_EQ(*seed, 17u);
    EXPECT_EQ(m.DemandRate, 2.5);
    EXPECT_EQ(m.DistCode, 2);
    EXPECT_EQ(m.QueueLimit, 4);
    EXPECT_FALSE(m.InputsBlank);
}

TEST(StoreParameters, CycleLengthIsCheckedBeforeAnythingElseIsRead) {
    MhSimState m;
    m.InputsBlank = true;
    ParameterEntries e = Entries();
    e.lsimtxt = "";
    const Result<std::uint64_t> seed = StoreParameters(m, e);
    EXPECT_EQ(seed.message(),
              "Length of simulation cycle (hours per day) must be a number above 0.");
    EXPECT_EQ(m.SimCycles, 50); // read before the check
    EXPECT_EQ(m.DistCode, 0);   // not yet
    EXPECT_EQ(m.DemandRate, 0);
}

TEST(StoreParameters, PoissonTakesParameterAForB) {
    MhSimState m;
    m.SimOption = 1;
    ParameterEntries e = Entries();
    e.selected = 5;
    e.svcatxt = "2";
    e.svcbtxt = "999";
    ASSERT_TRUE(StoreParameters(m, e).ok());
    EXPECT_EQ(m.ServiceParamB, 2);
}

TEST(StoreParameters, UniformNeedsBNotBelowA) {
    MhSimState m;
    m.SimOption = 1;
    ParameterEntries e = Entries();
    e.selected = 6;
    e.svcatxt = "1";
    e.svcbtxt = "0.99";
    EXPECT_EQ(StoreParameters(m, e).message(),
              "Uniform distribution\rparameter b must be larger than parameter a");
    EXPECT_EQ(m.ServiceParamB, 0.99); // stored before the check
    EXPECT_EQ(m.NumServers, 0);       // not yet read
    e.svcbtxt = "1";
    EXPECT_TRUE(StoreParameters(m, e).ok());
}

TEST(StoreParameters, NoSelectionKeepsTheLoadedDistribution) {
    MhSimState m;
    m.SimOption = 1;
    ParameterEntries e = Entries();
    e.selected = -1;
    EXPECT_EQ(StoreParameters(m, e).message(),
              "Select a Service Time Distribution in the list before simulating.");
    m.DistCode = 2;
    EXPECT_TRUE(StoreParameters(m, e).ok());
    EXPECT_EQ(m.DistCode, 2);
}

TEST(ParseSeed, WholeNumbersOf64BitsOrEmpty) {
    EXPECT_EQ(*ParseSeed(" 18446744073709551615 "), 18446744073709551615ull);
    EXPECT_LT(*ParseSeed(""), 86401000000000u); // nanoseconds since midnight
    for (const char* bad : {"18446744073709551616", "-1", "12a", "1.5", "0x10"})
        EXPECT_EQ(ParseSeed(bad).message(), kSeedMessage) << bad;
}

// The window refuses what the batch runner refuses, with the same words: a run whose events,
// or whose service times' draws, would take beyond 10^10 events' time.
TEST(CheckRunLength, RefusesRunsBeyondTheBoundSayingHowLongTheyWouldBe) {
    MhSimState m;
    m.SimOption = 1;
    ParameterEntries e = Entries(); // 20 demands a cycle: 42 events
    e.daystxt = "238000000";
    ASSERT_TRUE(StoreParameters(m, e).ok());
    e.daystxt = "239000000";
    EXPECT_EQ(StoreParameters(m, e).message(),
              "The run would take about 10000000000 events (240000000 cycles of about 42): more "
              "than the 10000000000 a run may take. Use fewer cycles, a shorter cycle or a lower "
              "demand rate.");

    // Two cycles of 10^7 demands, each served by an Erlang draw of 10^5 uniforms.
    e.daystxt = "2";
    e.lsimtxt = "1";
    e.afreqtxt = "1e7";
    e.nservtxt = "98";
    e.selected = 7;
    e.svcbtxt = "100000";
    EXPECT_EQ(StoreParameters(m, e).message(),
              "The run would take about 40000000 events (2 cycles of about 20000000) and "
              "2000000000000 random numbers for the service times, as long as about "
              "250000000000 events: more than the 10000000000 a run may take. Use fewer cycles, "
              "a shorter cycle or a lower demand rate, or service times that take fewer draws.");
    const RunWork w = ExpectedWork(m);
    EXPECT_EQ(w.events, 40000004);
    EXPECT_EQ(w.serviceDraws, 1999980000000);
}
