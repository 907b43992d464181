// The benchmark report: reading the library's CSV output and judging goals.
#include <gtest/gtest.h>

#include <sstream>

#include "report/bench_report.h"

using namespace bench_report;

namespace {

// As the library writes it (trimmed): its context, then the records, each
// with its own counters.
const char* const kJson = R"({
  "context": {"date": "2026-12-07T09:28:15+00:00", "num_cpus": 2, "mhz_per_cpu": 2596,
              "caches": [{"type": "Data", "level": 1}], "load_avg": [1.5, 1.08, 1.43]},
  "benchmarks": [
    {"name": "BM_CastRay/1/1", "run_type": "iteration", "iterations": 100931,
     "real_time": 1.5e+03, "cpu_time": 1400, "time_unit": "ns", "hit": 1, "tested": 2,
     "label": "generated, \"stamp\""},
    {"name": "BM_BuildOctree/100000/0", "iterations": 10, "real_time": 145, "cpu_time": 140,
     "time_unit": "ms", "label": "parent list"},
    {"name": "BM_BuildOctree/100000/1/iterations:1", "iterations": 1, "real_time": 13.3,
     "cpu_time": 13.2, "time_unit": "s"},
    {"name": "BM_RenderFrame/0/1/min_time:0.500", "error_occurred": true,
     "error_message": "no window: offscreen", "iterations": 0, "real_time": 0, "cpu_time": 0,
     "time_unit": "ms"}
  ]
})";

std::vector<Result> Results() {
    std::vector<Result> results;
    EXPECT_TRUE(ReadResults(kJson, "collision_bench", results));
    return results;
}

std::vector<Goal> Goals(const char* text) {
    std::istringstream in(text);
    std::vector<std::string> errors;
    std::vector<Goal> goals = ReadGoals(in, errors);
    EXPECT_TRUE(errors.empty()) << errors.front();
    return goals;
}

}  // namespace

TEST(BenchReport, ReadsEachRecordWithItsOwnCounters) {
    std::vector<Result> results;
    std::vector<std::string> context;
    ASSERT_TRUE(ReadResults(kJson, "collision_bench", results, &context));
    ASSERT_EQ(results.size(), 4u);
    ASSERT_EQ(context.size(), 1u);
    EXPECT_EQ(context[0], "Run on 2 CPUs at 2596 MHz, load average 1.50 1.08 1.43");
    EXPECT_EQ(results[0].label, "generated, \"stamp\"");
    ASSERT_EQ(results[0].counters.size(), 2u) << "iterations and times are not counters";
    EXPECT_EQ(results[0].counters[1].first, "tested");
    EXPECT_TRUE(results[1].counters.empty());
    EXPECT_EQ(results[3].error, "no window: offscreen");
    EXPECT_EQ(PlainName(results[2].name), "BM_BuildOctree/100000/1");
    EXPECT_EQ(PlainName(results[3].name), "BM_RenderFrame/0/1");
    EXPECT_FALSE(ReadResults(std::string(kJson).substr(0, 200), "cut short", results));
    EXPECT_FALSE(ReadResults(std::string(100000, '['), "too deep", results));
}

TEST(BenchReport, JudgesTimesInTheGoalsUnitCountersAndSpeedups) {
    const std::vector<Result> results = Results();
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
    const std::vector<Result> results = Results();
    const std::string report =
        WriteReport(results, Goals("BM_CastRay/1/1 time < 5 us\nBM_Gone time < 1 ms\n"), {"Machine: test"});
    EXPECT_NE(report.find("| BM_Gone | | | | | < 1 ms | not measured | **no** |"), std::string::npos) << report;
    EXPECT_NE(report.find("Goals met: 1 of 2."), std::string::npos) << report;
    EXPECT_NE(report.find("error: no window"), std::string::npos);
}
