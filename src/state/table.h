#pragma once

#include <array>
#include <cassert>
#include <cstddef>

namespace davrenta {

// Tables are indexed from 1 as the users' data is numbered; slot 0 exists and stays unused.
template <typename T, std::size_t Last> class Table1 {
  public:
    static constexpr std::size_t last = Last;

    T& operator[](std::size_t i) {
        assert(i <= Last);
        return slots_[i];
    }
    const T& operator[](std::size_t i) const {
        assert(i <= Last);
        return slots_[i];
    }
    void fill(const T& value) { slots_.fill(value); }
    bool operator==(const Table1&) const = default;

  private:
    std::array<T, Last + 1> slots_{};
};

// A table over map cells: line 1..Lines by column 1..Columns.
template <typename T, std::size_t Lines, std::size_t Columns> class CellTable {
  public:
    T& operator()(std::size_t line, std::size_t column) {
        assert(line <= Lines && column <= Columns);
        return cells_[line * (Columns + 1) + column];
    }
    const T& operator()(std::size_t line, std::size_t column) const {
        assert(line <= Lines && column <= Columns);
        return cells_[line * (Columns + 1) + column];
    }
    void fill(const T& value) { cells_.fill(value); }
    bool operator==(const CellTable&) const = default;

  private:
    std::array<T, (Lines + 1) * (Columns + 1)> cells_{};
};

} // namespace davrenta
