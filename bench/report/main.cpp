// bench_report GOALS OUT.md [--note TEXT]... RESULT.json...
// Writes one Markdown table of every benchmark result with its goal. Each
// result file is named after the program that wrote it.
#include <sys/utsname.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "report/bench_report.h"

namespace {

std::string CpuModel() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("model name", 0) == 0 && line.find(':') != std::string::npos)
            return line.substr(line.find(':') + 2);
    return "unknown CPU";
}

std::string System() {
    utsname name{};
    if (uname(&name) != 0) return "unknown system";
    return std::string(name.sysname) + " " + name.release + " " + name.machine;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: bench_report GOALS OUT.md [--note TEXT]... RESULT.json...\n";
        return 2;
    }
    std::ifstream goalsFile(argv[1]);
    if (!goalsFile) {
        std::cerr << "bench_report: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::vector<std::string> errors;
    const auto goals = bench_report::ReadGoals(goalsFile, errors);
    for (const std::string& e : errors) std::cerr << argv[1] << " " << e << " (not understood)\n";
    if (!errors.empty()) return 1;

    std::vector<std::string> notes, context;
    std::vector<bench_report::Result> results;
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--note" && i + 1 < argc) {
            notes.push_back(argv[++i]);
            continue;
        }
        std::ifstream in(arg);
        std::stringstream text;
        text << in.rdbuf();
        std::vector<std::string> lines;
        if (!in || !bench_report::ReadResults(text.str(), std::filesystem::path(arg).stem().string(), results,
                                              &lines)) {
            std::cerr << "bench_report: no results in " << arg << "\n";
            continue;
        }
        if (context.empty()) context = lines;  // machine and load as the first program saw them
    }

    std::vector<std::string> machine = {
        "Machine: " + CpuModel() + ", " + std::to_string(std::thread::hardware_concurrency()) + " cores, " +
        System()};
    for (const std::string& line : context) machine.push_back(line);
    for (const std::string& note : notes) machine.push_back(note);

    const std::string report = bench_report::WriteReport(results, goals, machine);
    std::ofstream out(argv[2]);
    out << report;
    if (!out) {
        std::cerr << "bench_report: cannot write " << argv[2] << "\n";
        return 1;
    }
    std::cout << report;
    return 0;
}
