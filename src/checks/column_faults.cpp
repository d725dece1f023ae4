#include "checks/column_faults.h"

#include <algorithm>
#include <cstdio>

#include "run/picture_record.h"

namespace ot::checks {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A character as a person can read it in a message.
std::string Shown(char c) {
  if (c >= 0x21 && c <= 0x7E) return std::string("\"") + c + "\"";
  char hex[8];
  std::snprintf(hex, sizeof hex, "byte %02X", static_cast<unsigned char>(c));
  return hex;
}

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string ColumnFault(std::string_view line, std::int64_t number) {
  const std::string_view head = line.substr(0, kPictureRecordLength);
  if (number == 1 && head.starts_with(kByteOrderMark)) {
    return "begins with a byte-order mark: save the file without one";
  }
  if (head.find('\t') != std::string_view::npos) {
    return "holds a tab: pad the fields with blanks instead";
  }
  if (std::count(head.begin(), head.end(), ',') >= 2) {
    return "looks comma-separated: the fields belong in fixed columns";
  }
  if (std::any_of(head.begin(), head.end(), [](char c) { return (c & 0x80) != 0; })) {
    return "holds a letter of several bytes: pad each name to " + std::to_string(kNameLength) +
           " bytes, not " + std::to_string(kNameLength) + " characters";
  }
  constexpr RecordField kYear = FieldOf(PictureField::kYear);
  for (const int column : kSeparatingColumns) {
    if (static_cast<std::size_t>(column) > head.size() || head[column - 1] == ' ') continue;
    std::string fault = "column " + std::to_string(column) + " holds " + Shown(head[column - 1]) +
                        " where a blank belongs";
    if (column == kYear.last_column() + 1 &&
        AllDigits(head.substr(kYear.offset(), static_cast<std::size_t>(kYear.width) + 1))) {
      fault += " (a year of " + std::to_string(kYear.width + 1) + " digits?)";
    }
    return fault;
  }
  return "is not in the fixed columns";
}

}  // namespace ot::checks
