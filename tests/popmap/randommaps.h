#pragma once

// Random population-map problems for the differential tests of the searches: plain maps,
// maps symmetric both ways (ties everywhere) and odd inputs (negative, huge, far away).

#include <cstdio>
#include <random>
#include <sstream>
#include <string>

#include "popmap_fixtures.h"

namespace davrenta::testing {

inline std::string Exact(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

inline std::string Describe(const Problem& p) {
    std::ostringstream out;
    for (const auto& [symbol, population] : p.areas)
        out << "area \"" << symbol << "\" " << Exact(population) << "\n";
    for (const auto& [line, column] : p.pods)
        out << "pod " << line << "," << column << "\n";
    for (const auto& line : p.lines)
        out << "|" << line << "|\n";
    return out.str();
}

enum class Shape { Plain, Mirrored, Odd };

inline Problem RandomProblem(std::mt19937& rng, Shape shape) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
    Problem p;

    // Area symbols: usually letters that are no POD label, now and then one the service maps
    // also write.
    std::string symbols;
    const std::string pool = "abcdef#0";
    const int distinct = pick(1, 4);
    while (static_cast<int>(symbols.size()) < distinct) {
        const char c = pool[static_cast<std::size_t>(pick(0, static_cast<int>(pool.size()) - 1))];
        if (symbols.find(c) == std::string::npos)
            symbols += c;
    }
    if (chance(0.1))
        symbols[0] = "*@A"[pick(0, 2)];
    std::string others;
    for (char c : std::string(" .*@AB1x"))
        if (symbols.find(c) == std::string::npos)
            others += c;

    const int mode = pick(0, 3);
    auto population = [&]() -> double {
        switch (mode) {
        case 0:
            return pick(0, 1000);
        case 1:
            return 120; // equal populations
        case 2:
            return std::uniform_real_distribution<double>(1, 5000)(rng);
        default:
            return pick(1, 9) * 0.1;
        }
    };
    for (char c : symbols)
        p.areas.push_back({std::string(1, c), population()});
    if (chance(0.3)) // a symbol shared by two areas
        p.areas.push_back({std::string(1, symbols[static_cast<std::size_t>(pick(0, distinct - 1))]),
                           population()});

    const bool mirrored = shape == Shape::Mirrored;
    const int lines = pick(1, mirrored ? 3 : 6);
    const int width = pick(1, mirrored ? 4 : 8);
    for (int i = 0; i < lines; ++i) {
        std::string line;
        const int cells = mirrored ? width : pick(0, width);
        for (int j = 0; j < cells; ++j)
            line += chance(0.78) ? symbols[static_cast<std::size_t>(pick(0, distinct - 1))]
                                 : others[static_cast<std::size_t>(
                                       pick(0, static_cast<int>(others.size()) - 1))];
        if (mirrored)
            line += std::string(line.rbegin(), line.rend());
        p.lines.push_back(line);
    }
    if (mirrored && chance(0.5)) // symmetric top to bottom as well
        for (int i = lines - 1; i >= 0; --i)
            p.lines.push_back(p.lines[static_cast<std::size_t>(i)]);
    if (!mirrored && lines > 2 && chance(0.3))
        p.lines[static_cast<std::size_t>(pick(1, lines - 2))].clear(); // an empty line inside
    if (p.lines.back().empty())
        p.lines.back() = std::string(1, symbols[0]);

    // Every symbol somewhere, but now and then one missing: both searches must refuse alike.
    if (!chance(0.03)) {
        for (char c : symbols) {
            bool present = false;
            for (const auto& line : p.lines)
                present = present || line.find(c) != std::string::npos;
            if (!present) {
                std::string& line = p.lines[static_cast<std::size_t>(
                    pick(0, static_cast<int>(p.lines.size()) - 1))];
                if (line.empty())
                    line += c;
                else
                    line[static_cast<std::size_t>(pick(0, static_cast<int>(line.size()) - 1))] = c;
            }
        }
    }

    const int totalLines = static_cast<int>(p.lines.size());
    const int pods = mirrored ? pick(0, 1) * 2 : pick(0, 6);
    for (int k = 0; k < pods; ++k) {
        if (k > 0 && chance(0.2)) {
            p.pods.push_back(p.pods.back()); // two PODs on one cell
            continue;
        }
        const int line = pick(1, totalLines);
        const int length = static_cast<int>(p.lines[static_cast<std::size_t>(line - 1)].size());
        p.pods.push_back({line, pick(1, length + 2)}); // sometimes beyond the end of the line
    }
    if (mirrored && pods == 2) {
        const int length =
            static_cast<int>(p.lines[static_cast<std::size_t>(p.pods[0].first - 1)].size());
        p.pods[1] = {p.pods[0].first, length + 1 - p.pods[0].second};
    }

    if (shape == Shape::Odd) {
        switch (pick(0, 3)) {
        case 0: // a negative population: no bound may be trusted
            p.areas[0].second = -37.5;
            p.areas.push_back({std::string(1, symbols[0]), 500});
            break;
        case 1: // products beyond the largest double
            p.areas[0].second = 1.7e308;
            break;
        case 2: // a POD far off the map: cells it is nearest to have no useful ceiling
            p.pods.push_back({2000000, -5});
            break;
        default: // a POD on line 0, column 0
            p.pods.push_back({0, 0});
            break;
        }
        if (p.pods.size() > 6)
            p.pods.erase(p.pods.begin());
    }
    return p;
}

} // namespace davrenta::testing
