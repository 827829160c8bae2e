// The results window's texts and the printed report of each option, line by line.
#include <gtest/gtest.h>

#include "mhsim/texts.h"

using namespace davrenta;

namespace {

MhSimState Finished(int option, int distCode, double b = 0) {
    MhSimState m;
    m.SimOption = option;
    m.SimCycles = 100;
    m.CycleLength = 8;
    m.DemandRate = 2.5;
    m.NumServers = 3;
    m.QueueLimit = 4;
    m.DistCode = distCode;
    m.ServiceParamA = distCode == 6 ? 2 : 1;
    m.ServiceParamB = b;
    m.NumServMean = 19.456;
    m.NumServStd = 4.5;
    m.LineLenMean = 1.2345;
    m.LineLenStd = 0.5;
    m.WaitMean = 30.125;
    m.WaitStd = 12;
    m.PropBusyMean = 0.8;
    m.PropBusyStd = 0.05;
    m.OvertimeMean = 0.25;
    m.OvertimeStd = 0.125;
    m.TurnawayMean = 2;
    m.TurnawayStd = 1.41421356;
    m.MaxLine = 7;
    m.NumServHalf = 0.893;
    m.Seed = 4711;
    return m;
}

const std::vector<std::string> kOption1 = {
    "",
    "         SIMULATION RESULTS FOR MULTI-SERVERS OPTION",
    "",
    "Number of simulation cycles             100 ",
    "Length of simulation cycle              8 ",
    "Demand Rate (Demands/hour)              2.5 ",
    "Number of servers                       3 ",
    "Service Time Distribution              Exponential",
    "Mean                                   1.00",
    "",
    "Maximum observed line length            7 ",
    "",
    "                                       Mean      Std.",
    "Number served per cycle                19.46     4.50",
    "Line length per cycle                  1.23      0.50",
    "Wait time per service (minutes)        30.13     12.00",
    "Proportion Busy Time                   0.80      0.05",
};

const std::vector<std::string> kOption2 = {
    "",
    "         SIMULATION RESULTS FOR MULTI-SERVERS + LOCK DOOR OPTION",
    "",
    "Number of simulation cycles             100 ",
    "Length of simulation cycle              8 ",
    "Demand Rate (Demands/hour)              2.5 ",
    "Number of servers                       3 ",
    "Service Time Distribution              Poisson",
    "Lamda                                  2.00",
    "",
    "Maximum observed line length            7 ",
    "",
    "                                       Mean      Std.",
    "Overtime hours required per cycle      0.25      0.13",
    "Number served per cycle                19.46     4.50",
    "Line length per cycle                  1.23      0.50",
    "Wait time per service (minutes)        30.13     12.00",
    "Proportion Busy Time                   0.80      0.05",
};

const std::vector<std::string> kOption3 = {
    "",
    "         SIMULATION RESULTS FOR MULTI-SERVERS + LIMITED QUEUE SIZE OPTION",
    "",
    "Number of simulation cycles             100 ",
    "Length of simulation cycle              8 ",
    "Demand Rate (Demands/hour)              2.5 ",
    "Number of servers                       3 ",
    "Specified maximum queue length          4 ",
    "Service Time Distribution              Erlang",
    "Mean                                   1.00",
    "k                                      3.00",
    "",
    "                                       Mean      Std.",
    "Turnaways per cycle                    2.00      1.41",
    "Number served per cycle                19.46     4.50",
    "Line length per cycle                  1.23      0.50",
    "Wait time per service (minutes)        30.13     12.00",
    "Proportion Busy Time                   0.80      0.05",
};

const std::vector<std::string> kOption4 = {
    "",
    "         SIMULATION RESULTS FOR MULTI-SERVERS + LOCK DOOR + LIMITED QUEUE SIZE OPTION",
    "",
    "Number of simulation cycles             100 ",
    "Length of simulation cycle              8 ",
    "Demand Rate (Demands/hour)              2.5 ",
    "Number of servers                       3 ",
    "Service Time Distribution              Erlang",
    "Mean                                   1.00",
    "k                                      3.00",
    "Specified maximum queue length          4 ",
    "",
    "                                       Mean      Std.",
    "Overtime hours required per cycle      0.25      0.13",
    "Turnaways per cycle                    2.00      1.41",
    "Number served per cycle                19.46     4.50",
    "Line length per cycle                  1.23      0.50",
    "Wait time per service (minutes)        30.13     12.00",
    "Proportion Busy Time                   0.80      0.05",
};
} // namespace

TEST(MhsReport, EachOptionLineByLine) {
    EXPECT_EQ(RenderText(MhsReport(Finished(1, 2))), kOption1);
    EXPECT_EQ(RenderText(MhsReport(Finished(2, 6, 2))), kOption2);
    EXPECT_EQ(RenderText(MhsReport(Finished(3, 8, 3))), kOption3);
    EXPECT_EQ(RenderText(MhsReport(Finished(4, 8, 3))), kOption4);
    const Report r = MhsReport(Finished(1, 2));
    EXPECT_EQ(r.fontName, "times new roman");
    EXPECT_EQ(r.fontSize, 12);
}

TEST(OpenMhsResults, FieldsShowPlainInputsAndTwoDecimalResults) {
    MhSimState m = Finished(3, 4, 0.25);
    m.CycleLength = 7.5;
    const MhsResultsTexts t = OpenMhsResults(m);
    EXPECT_EQ(t.caption, "Results For Multi-Servers + Limited Queue Size Option");
    EXPECT_EQ(t.lsimtxt, "7.5");
    EXPECT_EQ(t.daystxt, "100");
    EXPECT_EQ(t.sflagtxt, "Log Normal");
    EXPECT_EQ(t.svcbtxt, "0.25");
    EXPECT_EQ(t.labels.a, "Mean");
    EXPECT_EQ(t.labels.b, "Variance");
    EXPECT_EQ(t.seedtxt, "4711");
    EXPECT_TRUE(t.showQueueLimit);
    EXPECT_FALSE(t.showMaxLine);
    ASSERT_EQ(t.rows.size(), 5u);
    EXPECT_EQ(t.rows[0].label, "Number served per cycle");
    EXPECT_EQ(t.rows[0].mean, "19.46");
    EXPECT_EQ(t.rows[0].std, "4.50");
    EXPECT_EQ(t.rows[0].half, "0.89");
    EXPECT_EQ(t.rows[4].field, "turnaway");
    EXPECT_EQ(t.rows[4].label, "Turn aways per cycle");
    EXPECT_EQ(t.rows[4].mean, "2.00");
}

TEST(LabelsFor, ParameterCaptionsByDistribution) {
    EXPECT_EQ(LabelsFor(0).a, "Parameter a");
    EXPECT_EQ(LabelsFor(0).b, "Parameter b");
    EXPECT_FALSE(LabelsFor(2).bShown);
    EXPECT_FALSE(LabelsFor(6).bShown);
    EXPECT_EQ(LabelsFor(6).a, "Lamda");
    EXPECT_EQ(LabelsFor(8).b, "K");
    EXPECT_EQ(LabelsFor(7).b, "Maximum value");
    EXPECT_EQ(ScreenDistributionName(4), "Log Normal");
    EXPECT_EQ(ReportDistributionName(4), "Lognormal");
}

TEST(MakeHistogram, CountsEveryKeptCycleOnce) {
    std::vector<CycleMeasures> cycles(5);
    const double served[] = {3, 4, 4, 7, 5};
    const double busy[] = {0.5, 0.6, 0.7, 0.8, 0.9};
    for (int i = 0; i < 5; ++i) {
        cycles[i].served = served[i];
        cycles[i].propBusy = busy[i];
    }
    const Histogram whole = MakeHistogram(cycles, ChartMeasure::NumServ);
    EXPECT_EQ(whole.counts, (std::vector<long long>{3, 1, 1}));
    EXPECT_EQ(whole.labels, (std::vector<std::string>{"3-4", "5-6", "7-8"}));
    const Histogram busyBins = MakeHistogram(cycles, ChartMeasure::PropBusy);
    EXPECT_EQ(busyBins.counts, (std::vector<long long>{2, 1, 2}));
    EXPECT_EQ(busyBins.labels.front(), "0.50-0.63");
    EXPECT_EQ(MakeHistogram({}, ChartMeasure::Wait).counts.size(), 0u);
}

// Values near the largest number: their range overflows, and the bins were counted from an
// infinite width.
TEST(MakeHistogram, ValuesNearTheLargestNumberGetFiniteBins) {
    std::vector<CycleMeasures> cycles(4);
    const double overtime[] = {-1.5e308, 1.5e308, 0, 1e308};
    for (int i = 0; i < 4; ++i)
        cycles[i].overtime = overtime[i];
    const Histogram h = MakeHistogram(cycles, ChartMeasure::Overtime);
    EXPECT_EQ(h.counts, (std::vector<long long>{1, 3}));
    EXPECT_EQ(h.width, 1.5e308);
    ASSERT_EQ(h.labels.size(), 2u);
    EXPECT_EQ(h.labels[1].substr(0, 5), "0.00-");
    EXPECT_EQ(h.labels[1].size(), 5u + 309u + 3u) << h.labels[1]; // 1.5e308 with two decimals
}
