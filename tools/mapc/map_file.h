#pragma once
#include <array>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// A level source in the Quake-style .map format, as an editor writes it:
// entities of "key" "value" pairs, some with brushes of planes. Coordinates
// are the editor's, with z up.

// A problem in a source file, with the file and line it was found at.
class MapError : public std::runtime_error {
public:
    MapError(const std::string& file, int line, const std::string& what)
        : std::runtime_error(file + ":" + std::to_string(line) + ": " + what) {}
};

struct MapVec {
    double x = 0, y = 0, z = 0;
};

struct MapFace {
    std::array<MapVec, 3> points;  // three points on the plane
    std::string texture;
    // Standard format: offsets, rotation and scales on the base axes.
    // Valve 220: explicit axes with their offsets; rotation only recorded.
    bool valveAxes = false;
    MapVec uAxis, vAxis;
    double uOffset = 0, vOffset = 0;
    double rotation = 0;
    double uScale = 1, vScale = 1;
    // Quake 2 style faces carry contents, surface flags and a value after
    // the scales.
    bool hasFlags = false;
    long contents = 0;
    long surfaceFlags = 0;
    int line = 0;
};

struct MapBrush {
    std::vector<MapFace> faces;
    int line = 0;
};

struct MapProperty {
    std::string key;
    std::string value;
    int line = 0;
};

struct MapEntity {
    std::vector<MapProperty> properties;
    std::vector<MapBrush> brushes;
    int line = 0;

    // The value of a key, or empty when absent.
    std::string Value(const std::string& key) const;
    std::string ClassName() const { return Value("classname"); }
};

struct MapFile {
    std::string name;  // for messages
    std::vector<MapEntity> entities;
};

// Parses map text; throws MapError naming the file and line on bad input.
MapFile ParseMap(const std::string& text, const std::string& fileName);
MapFile ReadMapFile(const std::string& path);
