#pragma once
// A level's route for the playthrough: what a player does, step by step,
// kept beside the level's source as <level>.route. One step a line;
// '#' starts a comment. Places are ground points in game coordinates
// (x and z; the hero walks on whatever floor is there):
//   walk X Z    walk to the point, fighting what he sees on the way
//   scene       wait while a cutscene plays
//   hint        touch the hint gem, so the solution is written out
//   solve       touch the three gems of the solution, until the field drops
//   clear R     fight until no living enemy is within R units
//   exit        walk to the level's end until the level changes
//   wait        fight until the end boss falls and the level changes by itself
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct RouteStep {
    std::string action;
    float x = 0.0f, z = 0.0f;  // walk
    float range = 0.0f;        // clear
    int line = 0;
};

// The steps of a route file; a line it cannot read becomes an "error" step
// naming it.
inline std::vector<RouteStep> ReadRoute(const std::string& path) {
    std::vector<RouteStep> steps;
    std::ifstream in(path);
    if (!in) return {{"error", 0, 0, 0, 0}};
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        text = text.substr(0, text.find('#'));
        std::istringstream words(text);
        RouteStep step;
        step.line = line;
        if (!(words >> step.action)) continue;
        bool ok = true;
        if (step.action == "walk") ok = static_cast<bool>(words >> step.x >> step.z);
        else if (step.action == "clear") ok = static_cast<bool>(words >> step.range);
        else ok = step.action == "scene" || step.action == "hint" || step.action == "solve" ||
                  step.action == "exit" || step.action == "wait";
        if (!ok) step.action = "error";
        steps.push_back(step);
    }
    return steps;
}
