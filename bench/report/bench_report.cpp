#include "report/bench_report.h"

#include <cstdio>
#include <sstream>

#include "report/json_value.h"

namespace bench_report {
namespace {

double UnitInSeconds(const std::string& unit) {
    if (unit == "ns") return 1e-9;
    if (unit == "us") return 1e-6;
    if (unit == "ms") return 1e-3;
    if (unit == "s") return 1.0;
    return 0.0;
}

// Whole numbers as they are; others to three significant figures without
// exponents: 31.5, 4.12, 0.0812.
std::string Figure(double value) {
    char text[64];
    const double size = value < 0 ? -value : value;
    const bool whole = size < 1e15 && value == static_cast<double>(static_cast<long long>(value));
    const char* format = whole || size >= 100 ? "%.0f" : size >= 10 ? "%.1f" : size >= 1 ? "%.2f" : "%.3g";
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Members of a benchmark's record that are not its own counters.
bool IsStandardMember(const std::string& name) {
    static const char* const kStandard[] = {
        "name", "family_index", "per_family_instance_index", "run_name", "run_type", "repetitions",
        "repetition_index", "threads", "iterations", "real_time", "cpu_time", "time_unit", "label",
        "error_occurred", "error_message", "aggregate_name", "aggregate_unit"};
    for (const char* standard : kStandard)
        if (name == standard) return true;
    return false;
}

std::string TextOf(const JsonValue& record, const char* name) {
    const JsonValue* v = record.Find(name);
    return v && v->kind == JsonValue::Kind::String ? v->text : std::string();
}

double NumberOf(const JsonValue& record, const char* name) {
    const JsonValue* v = record.Find(name);
    return v && v->kind == JsonValue::Kind::Number ? v->number : 0.0;
}

// "Run on 2 CPUs at 2596 MHz, load average 1.54 1.08 1.43" from the
// library's context record.
std::string DescribeContext(const JsonValue& context) {
    std::string line = "Run on " + Figure(NumberOf(context, "num_cpus")) + " CPUs at " +
                       Figure(NumberOf(context, "mhz_per_cpu")) + " MHz";
    if (const JsonValue* load = context.Find("load_avg"); load && !load->items.empty()) {
        line += ", load average";
        for (const JsonValue& l : load->items) line += " " + Figure(l.number);
    }
    return line;
}

const Result* Find(const std::vector<Result>& results, const std::string& name) {
    for (const Result& r : results)
        if (PlainName(r.name) == name) return &r;
    return nullptr;
}

std::string DescribeGoal(const Goal& goal) {
    const std::string op = goal.below ? "< " : "> ";
    switch (goal.measure) {
    case Goal::Measure::Time:
        return op + Figure(goal.limit) + " " + goal.unit;
    case Goal::Measure::Counter:
        return goal.counter + " " + op + Figure(goal.limit);
    case Goal::Measure::Speedup:
        return op + Figure(goal.limit) + "x faster than " + goal.baseline;
    }
    return {};
}

std::string DescribeValue(const Goal& goal, double value) {
    switch (goal.measure) {
    case Goal::Measure::Time: return Figure(value) + " " + goal.unit;
    case Goal::Measure::Counter: return Figure(value);
    case Goal::Measure::Speedup: return Figure(value) + "x";
    }
    return {};
}

std::string Escape(const std::string& cell) {
    std::string out;
    for (char c : cell) out += c == '|' ? std::string("\\|") : std::string(1, c);
    return out;
}

}  // namespace

std::string PlainName(const std::string& name) {
    std::string out;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        const std::string part = name.substr(start, end - start);
        const bool option = part == "real_time" || part.rfind("iterations:", 0) == 0 ||
                            part.rfind("min_time:", 0) == 0 || part.rfind("repeats:", 0) == 0;
        if (!option) out += (out.empty() ? "" : "/") + part;
        start = end + 1;
    }
    return out;
}

bool ConvertTime(double value, const std::string& from, const std::string& to, double& out) {
    const double f = UnitInSeconds(from), t = UnitInSeconds(to);
    if (f == 0.0 || t == 0.0) return false;
    out = value * f / t;
    return true;
}

bool ReadResults(const std::string& json, const std::string& program, std::vector<Result>& results,
                 std::vector<std::string>* context) {
    JsonValue document;
    std::string error;
    if (!ParseJson(json, document, error)) return false;
    const JsonValue* benchmarks = document.Find("benchmarks");
    if (!benchmarks || benchmarks->kind != JsonValue::Kind::Array) return false;
    if (const JsonValue* c = document.Find("context"); c && context) context->push_back(DescribeContext(*c));
    for (const JsonValue& record : benchmarks->items) {
        Result r;
        r.program = program;
        r.name = TextOf(record, "name");
        r.label = TextOf(record, "label");
        r.unit = TextOf(record, "time_unit");
        r.realTime = NumberOf(record, "real_time");
        r.cpuTime = NumberOf(record, "cpu_time");
        if (const JsonValue* failed = record.Find("error_occurred"); failed && failed->boolean)
            r.error = TextOf(record, "error_message");
        for (const auto& [name, value] : record.members)
            if (value.kind == JsonValue::Kind::Number && !IsStandardMember(name))
                r.counters.emplace_back(name, value.number);
        results.push_back(std::move(r));
    }
    return true;
}

std::vector<Goal> ReadGoals(std::istream& in, std::vector<std::string>& errors) {
    std::vector<Goal> goals;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        Goal goal;
        std::string measure, op;
        if (!(words >> goal.name)) continue;  // blank or comment
        bool ok = static_cast<bool>(words >> measure);
        if (ok && measure == "speedup") {
            goal.measure = Goal::Measure::Speedup;
            ok = static_cast<bool>(words >> goal.baseline);
        } else if (ok && measure == "time") {
            goal.measure = Goal::Measure::Time;
        } else if (ok) {
            goal.measure = Goal::Measure::Counter;
            goal.counter = measure;
        }
        ok = ok && (words >> op >> goal.limit) && (op == "<" || op == ">");
        goal.below = op == "<";
        if (ok && goal.measure == Goal::Measure::Time)
            ok = (words >> goal.unit) && UnitInSeconds(goal.unit) != 0.0;
        std::string rest;
        if (ok && !(words >> rest)) {
            goals.push_back(goal);
        } else {
            errors.push_back("line " + std::to_string(number) + ": " + line);
        }
    }
    return goals;
}

Verdict Judge(const Goal& goal, const std::vector<Result>& results) {
    Verdict v;
    const Result* r = Find(results, goal.name);
    if (!r || !r->error.empty()) return v;
    switch (goal.measure) {
    case Goal::Measure::Time:
        v.measured = ConvertTime(r->realTime, r->unit, goal.unit, v.value);
        break;
    case Goal::Measure::Counter:
        for (const auto& [name, value] : r->counters)
            if (name == goal.counter) {
                v.value = value;
                v.measured = true;
            }
        break;
    case Goal::Measure::Speedup: {
        const Result* base = Find(results, goal.baseline);
        double baseTime = 0.0;
        if (base && base->error.empty() && r->realTime > 0.0 &&
            ConvertTime(base->realTime, base->unit, r->unit, baseTime)) {
            v.value = baseTime / r->realTime;
            v.measured = true;
        }
        break;
    }
    }
    v.met = v.measured && (goal.below ? v.value < goal.limit : v.value > goal.limit);
    return v;
}

std::string WriteReport(const std::vector<Result>& results, const std::vector<Goal>& goals,
                        const std::vector<std::string>& machine) {
    std::ostringstream out;
    out << "# Benchmark report\n\n";
    for (const std::string& line : machine) out << "- " << line << "\n";
    out << "\n| Program | Benchmark | Case | Real time | CPU time | Counters | Goal | Figure | Met |\n"
        << "|---|---|---|---:|---:|---|---|---:|---|\n";
    int met = 0, judged = 0;
    for (const Result& r : results) {
        std::string counters;
        for (const auto& [name, value] : r.counters)
            counters += (counters.empty() ? "" : ", ") + name + " " + Figure(value);
        std::string goalText, figure, verdict;
        for (const Goal& goal : goals) {
            if (goal.name != PlainName(r.name)) continue;
            const Verdict v = Judge(goal, results);
            const std::string sep = goalText.empty() ? "" : "; ";
            goalText += sep + DescribeGoal(goal);
            figure += sep + (v.measured ? DescribeValue(goal, v.value) : "not measured");
            verdict += sep + (v.met ? "yes" : "**no**");
            ++judged;
            met += v.met ? 1 : 0;
        }
        const std::string times =
            r.error.empty() ? Figure(r.realTime) + " " + r.unit + " | " + Figure(r.cpuTime) + " " + r.unit
                            : "error: " + Escape(r.error) + " | ";
        out << "| " << r.program << " | " << Escape(PlainName(r.name)) << " | " << Escape(r.label) << " | "
            << times << " | " << counters << " | " << goalText << " | " << figure << " | " << verdict
            << " |\n";
    }
    // Goals whose benchmark did not run at all.
    for (const Goal& goal : goals) {
        if (Find(results, goal.name)) continue;
        out << "| | " << goal.name << " | | | | | " << DescribeGoal(goal) << " | not measured | **no** |\n";
        ++judged;
    }
    out << "\nGoals met: " << met << " of " << judged << ".\n";
    return out.str();
}

}  // namespace bench_report
