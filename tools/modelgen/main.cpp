// modelgen <game dir>: writes every model and skin the game loads.
#include <cstdio>
#include <exception>

#include "catalog.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: modelgen <game dir>\n");
        return 2;
    }
    try {
        modelgen::GenerateAllModels(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "modelgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
