#pragma once
// Map source text for the map compiler's tests.
#include <sstream>
#include <string>

// An axis-aligned box brush in the standard format.
inline std::string BoxBrush(double x0, double y0, double z0, double x1, double y1, double z1,
                     const std::string& texture = "stone") {
    std::ostringstream b;
    auto face = [&](double ax, double ay, double az, double bx, double by, double bz, double cx, double cy,
                    double cz) {
        b << "( " << ax << " " << ay << " " << az << " ) ( " << bx << " " << by << " " << bz << " ) ( " << cx
          << " " << cy << " " << cz << " ) " << texture << " 0 0 0 1 1\n";
    };
    b << "{\n";
    face(x0, y0, z0, x0, y1, z0, x0, y0, z1);  // -x
    face(x1, y0, z0, x1, y0, z1, x1, y1, z0);  // +x
    face(x0, y0, z0, x0, y0, z1, x1, y0, z0);  // -y
    face(x0, y1, z0, x1, y1, z0, x0, y1, z1);  // +y
    face(x0, y0, z0, x1, y0, z0, x0, y1, z0);  // -z (floor side)
    face(x0, y0, z1, x0, y1, z1, x1, y0, z1);  // +z
    b << "}\n";
    return b.str();
}

