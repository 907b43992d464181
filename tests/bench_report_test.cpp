// The benchmark report: reading the library's CSV output and judging goals.
#include <gtest/gtest.h>

#include <sstream>

#include "report/bench_report.h"

using namespace bench_report;

namespace {

// As the library writes it: its context lines, then the table.
const char* const kCsv =
    "2026-12-07T08:40:36+00:00\n"
    "Running build/bench/collision_bench\n"
    "Run on (2 X 2596.14 MHz CPU s)\n"
    "Load Average: 1.17, 1.73, 1.99\n"
    "name,iterations,real_time,cpu_time,time_unit,bytes_per_second,items_per_second,label,"
    "error_occurred,error_message,\"hit\",\"tested\"\n"
    "\"BM_CastRay/1/1\",100931,1500,1400,ns,,,\"generated, stamp\",,,1,2\n"
    "\"BM_BuildOctree/100000/0\",10,145,140,ms,,,\"parent list\",,,,\n"
    "\"BM_BuildOctree/100000/1/iterations:1\",1,13.3,13.2,s,,,\"full retest\",,,,\n"
    "\"BM_RenderFrame/0/1/min_time:0.500\",0,0,0,ms,,,,true,\"no window: offscreen, \"\"x\"\"\",,\n";

std::vector<Goal> Goals(const char* text) {
    std::istringstream in(text);
    std::vector<std::string> errors;
    std::vector<Goal> goals = ReadGoals(in, errors);
    EXPECT_TRUE(errors.empty()) << errors.front();
    return goals;
}

}  // namespace

TEST(BenchReport, ReadsTheTableAfterTheLibrarysContextLines) {
    std::istringstream in(kCsv);
    std::vector<Result> results;
    std::vector<std::string> context;
    ASSERT_TRUE(ReadResults(in, "collision_bench", results, &context));
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(context.size(), 2u);
    EXPECT_EQ(results[0].label, "generated, stamp") << "a comma inside quotes";
    ASSERT_EQ(results[0].counters.size(), 2u);
    EXPECT_EQ(results[0].counters[1].first, "tested");
    EXPECT_EQ(results[3].error, "no window: offscreen, \"x\"");
    EXPECT_EQ(PlainName(results[2].name), "BM_BuildOctree/100000/1");
    EXPECT_EQ(PlainName(results[3].name), "BM_RenderFrame/0/1");
}

TEST(BenchReport, JudgesTimesInTheGoalsUnitCountersAndSpeedups) {
    std::istringstream in(kCsv);
    std::vector<Result> results;
    ASSERT_TRUE(ReadResults(in, "collision_bench", results));
    const std::vector<Goal> goals = Goals(
        "# comment\n"
        "BM_CastRay/1/1  time  < 5 us\n"
        "BM_CastRay/1/1  time  < 1 us   # the same figure, stricter\n"
        "BM_CastRay/1/1  tested  < 2\n"
        "BM_BuildOctree/100000/0  speedup BM_BuildOctree/100000/1  > 10\n"
        "BM_RenderFrame/0/1  time  < 8 ms\n");
    ASSERT_EQ(goals.size(), 5u);
    const Verdict cast = Judge(goals[0], results);
    EXPECT_TRUE(cast.measured && cast.met);
    EXPECT_DOUBLE_EQ(cast.value, 1.5) << "1500 ns in us";
    EXPECT_FALSE(Judge(goals[1], results).met);
    EXPECT_FALSE(Judge(goals[2], results).met) << "2 is not below 2";
    const Verdict octree = Judge(goals[3], results);
    EXPECT_TRUE(octree.met);
    EXPECT_NEAR(octree.value, 13300.0 / 145.0, 1e-9) << "seconds against milliseconds";
    EXPECT_FALSE(Judge(goals[4], results).measured) << "a benchmark skipped with an error";
}

TEST(BenchReport, GoalsThatDoNotParseAreReportedByLine) {
    std::istringstream in("BM_A time < 5\nBM_B time < 5 minutes\nBM_C speedup BM_D = 3\nBM_E n < 1 extra\n");
    std::vector<std::string> errors;
    EXPECT_TRUE(ReadGoals(in, errors).empty());
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(errors[1].rfind("line 2:", 0), 0u);
}

TEST(BenchReport, AGoalWithoutItsBenchmarkCountsAsNotMet) {
    std::istringstream in(kCsv);
    std::vector<Result> results;
    ASSERT_TRUE(ReadResults(in, "collision_bench", results));
    const std::string report =
        WriteReport(results, Goals("BM_CastRay/1/1 time < 5 us\nBM_Gone time < 1 ms\n"), {"Machine: test"});
    EXPECT_NE(report.find("| BM_Gone | | | | | < 1 ms | not measured | **no** |"), std::string::npos) << report;
    EXPECT_NE(report.find("Goals met: 1 of 2."), std::string::npos) << report;
    EXPECT_NE(report.find("error: no window"), std::string::npos);
}
