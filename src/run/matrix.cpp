#include "run/matrix.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "base/failure.h"

namespace ot {
namespace {

std::string DecimalBytes(std::int64_t rows, std::int64_t columns) {
  __extension__ using Wide = unsigned __int128;
  Wide bytes = static_cast<Wide>(rows) * static_cast<Wide>(columns) * 4u;
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(bytes % 10)));
    bytes /= 10;
  } while (bytes != 0);
  return digits;
}

}  // namespace

Matrix::Matrix(std::int64_t rows, std::int64_t columns, std::uint64_t byte_limit) {
  if (rows < 1 || columns < 1) return;
  std::int32_t* cells = Allocate(rows, columns, byte_limit);
  if (cells == nullptr) ReportMemoryFailure(DecimalBytes(rows, columns));
  cells_.reset(cells);
  rows_ = rows;
  columns_ = columns;
}

std::optional<Matrix> Matrix::TryCreate(std::int64_t rows, std::int64_t columns,
                                        std::uint64_t byte_limit) {
  Matrix matrix;
  if (rows < 1 || columns < 1) return matrix;
  matrix.cells_.reset(Allocate(rows, columns, byte_limit));
  if (!matrix.cells_) return std::nullopt;
  matrix.rows_ = rows;
  matrix.columns_ = columns;
  return matrix;
}

std::int32_t* Matrix::Allocate(std::int64_t rows, std::int64_t columns, std::uint64_t byte_limit) {
  const std::uint64_t max_cells = std::min<std::uint64_t>(byte_limit / 4, PTRDIFF_MAX / 4);
  const bool fits =
      static_cast<std::uint64_t>(columns) <= max_cells / static_cast<std::uint64_t>(rows);
  if (!fits) return nullptr;
  // Memory fresh from the system is zero already, so calloc leaves the
  // cells a run never touches untouched.
  return static_cast<std::int32_t*>(
      std::calloc(static_cast<std::size_t>(rows * columns), sizeof(std::int32_t)));
}

void Matrix::OutOfRange(std::int64_t row, std::int64_t column) const {
  throw std::out_of_range("matrix cell (" + std::to_string(row) + ", " + std::to_string(column) +
                          ") outside the matrix");
}

void Matrix::Fill(std::int32_t value) {
  std::fill_n(cells_.get(), static_cast<std::size_t>(rows_ * columns_), value);
}

void AddToCell(std::int32_t& cell, std::int64_t amount) {
  constexpr std::int64_t kLow = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kHigh = std::numeric_limits<std::int32_t>::max();
  cell = static_cast<std::int32_t>(std::clamp(cell + amount, kLow, kHigh));
}

}  // namespace ot
