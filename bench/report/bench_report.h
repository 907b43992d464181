#pragma once
// Turns the JSON files the benchmark programs write (--benchmark_out_format=
// json) and a list of goals into one Markdown table, the same layout every
// run, with each goal beside the figure it is about.
#include <istream>
#include <string>
#include <vector>

namespace bench_report {

// One benchmark's record in a program's output.
struct Result {
    std::string program;  // the program that measured it, e.g. "octree_bench"
    std::string name;     // e.g. "BM_BuildOctree/100000/0"
    std::string label;
    double realTime = 0.0;
    double cpuTime = 0.0;
    std::string unit;  // ns, us, ms or s
    std::string error;  // set when the benchmark was skipped with an error
    std::vector<std::pair<std::string, double>> counters;  // in file order
};

// A goal for one benchmark: a time, a counter, or how many times faster it
// is than another benchmark.
struct Goal {
    enum class Measure { Time, Counter, Speedup };
    std::string name;  // the benchmark, a name as in Result::name
    Measure measure = Measure::Time;
    std::string counter;    // Counter: which one
    std::string baseline;   // Speedup: the slower benchmark's name
    bool below = true;      // "<" (true) or ">" (false)
    double limit = 0.0;
    std::string unit;  // Time: ns, us, ms or s
};

// The outcome of one goal against the results.
struct Verdict {
    bool measured = false;  // every result the goal needs was there, without error
    bool met = false;
    double value = 0.0;  // in the goal's own unit (time), the counter's, or the factor
};

// Reads one program's JSON output into `results`, and a line on the machine
// and its load as the library saw them into `context` when given. Returns
// false when the text is not such output.
bool ReadResults(const std::string& json, const std::string& program, std::vector<Result>& results,
                 std::vector<std::string>* context = nullptr);

// Reads the goals file: one goal a line, '#' starts a comment:
//   BM_LoadLevel/8334        time          < 2000 ms
//   BM_IdlePacedFrame        core_percent  < 15
//   BM_BuildOctree/100000/0  speedup BM_BuildOctree/100000/1  > 10
// Lines that do not parse are reported in `errors` (with their number).
std::vector<Goal> ReadGoals(std::istream& in, std::vector<std::string>& errors);

// The benchmark's name without the run options the library appends
// ("/iterations:2", "/min_time:0.500", "/real_time").
std::string PlainName(const std::string& name);

// Converts a time from one unit to another (ns, us, ms, s); false for an
// unknown unit.
bool ConvertTime(double value, const std::string& from, const std::string& to, double& out);

Verdict Judge(const Goal& goal, const std::vector<Result>& results);

// The whole report: a heading, the machine, one table row per result with
// its goal and verdict, and a count of goals met.
std::string WriteReport(const std::vector<Result>& results, const std::vector<Goal>& goals,
                        const std::vector<std::string>& machine);

}  // namespace bench_report
