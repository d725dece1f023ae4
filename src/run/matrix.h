// The count tables of a run: a matrix of 32-bit cells, stored column by
// column.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>
#include <span>

namespace ot {

// A matrix of 32-bit counts with (row, column) access, both counted from 0,
// stored column by column. A row or column count below 1 gives an empty
// matrix.
class Matrix {
 public:
  Matrix() = default;
  // Allocates rows x columns cells of 0. A request above `byte_limit`, or
  // one that cannot be met, ends the run with the memory diagnostic naming
  // rows x columns x 4 bytes.
  Matrix(std::int64_t rows, std::int64_t columns,
         std::uint64_t byte_limit = std::numeric_limits<std::uint64_t>::max());
  // As the constructor, but a request that cannot be met gives no matrix
  // instead of the memory failure.
  static std::optional<Matrix> TryCreate(std::int64_t rows, std::int64_t columns,
                                         std::uint64_t byte_limit);

  std::int64_t rows() const { return rows_; }
  std::int64_t columns() const { return columns_; }
  std::int32_t& operator()(std::int64_t row, std::int64_t column) {
    return cells_[Index(row, column)];
  }
  std::int32_t operator()(std::int64_t row, std::int64_t column) const {
    return cells_[Index(row, column)];
  }
  void Fill(std::int32_t value);
  // The cells of column `column`, row 0 first.
  std::span<std::int32_t> Column(std::int64_t column) {
    return {&cells_[Index(0, column)], static_cast<std::size_t>(rows_)};
  }
  std::span<const std::int32_t> Column(std::int64_t column) const {
    return {&cells_[Index(0, column)], static_cast<std::size_t>(rows_)};
  }

 private:
  std::size_t Index(std::int64_t row, std::int64_t column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_) [[unlikely]] {
      OutOfRange(row, column);
    }
    return static_cast<std::size_t>(column * rows_ + row);
  }
  [[noreturn]] void OutOfRange(std::int64_t row, std::int64_t column) const;
  // The zeroed cells, or nullptr when the request cannot be met.
  static std::int32_t* Allocate(std::int64_t rows, std::int64_t columns, std::uint64_t byte_limit);
  std::int64_t rows_ = 0;
  std::int64_t columns_ = 0;
  struct FreeCells {
    void operator()(std::int32_t* cells) const { std::free(cells); }
  };
  std::unique_ptr<std::int32_t[], FreeCells> cells_;
};

// The day table of a species tallied on its own: one row per location, one
// column per survey day.
using DayMatrix = Matrix;

// Adds `amount` to a cell, saturating at the 32-bit limits.
void AddToCell(std::int32_t& cell, std::int64_t amount);

}  // namespace ot
