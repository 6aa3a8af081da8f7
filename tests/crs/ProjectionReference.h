#pragma once
// Reads the reference table that tools/make_projection_reference.sh makes
// with PROJ and GeographicLib (tests/data/crs/projections.txt).

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace crstest {

struct ReferenceRow {
    double lon, lat, easting, northing; // degrees, metres
};

// Case name -> rows; empty when the file cannot be read.
inline std::map<std::string, std::vector<ReferenceRow>> LoadProjectionReference() {
    std::map<std::string, std::vector<ReferenceRow>> cases;
    std::ifstream in(std::string(CORVALE_TEST_DATA) + "/crs/projections.txt");
    std::string line;
    std::vector<ReferenceRow>* current = nullptr;
    while (std::getline(in, line)) {
        if (line.rfind("@ ", 0) == 0) {
            current = &cases[line.substr(2)];
        } else if (current && !line.empty() && line[0] != '$') {
            std::istringstream row(line);
            ReferenceRow r{};
            if (row >> r.lon >> r.lat >> r.easting >> r.northing)
                current->push_back(r);
        }
    }
    return cases;
}

} // namespace crstest
