#include "textio/fixed_width.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <stdexcept>
#include <string>

namespace ot {
namespace {

// Walks a layout field by field: head, group up to `repeat` times, tail.
class LayoutCursor {
 public:
  explicit LayoutCursor(const FieldLayout& layout) : layout_(layout) {}

  // The next field, or nullptr when the layout is used up.
  const Field* Next() {
    for (;;) {
      if (segment_ == 0) {
        if (index_ < layout_.head.size()) return &layout_.head[index_++];
        segment_ = 1;
        index_ = 0;
      } else if (segment_ == 1) {
        if (layout_.group.empty() || rounds_ >= layout_.repeat) {
          segment_ = 2;
          index_ = 0;
        } else if (index_ < layout_.group.size()) {
          return &layout_.group[index_++];
        } else {
          index_ = 0;
          ++rounds_;
        }
      } else {
        return index_ < layout_.tail.size() ? &layout_.tail[index_++] : nullptr;
      }
    }
  }

  // Starts again for a new line, from the group if there is one.
  void Restart() {
    bool has_group = !layout_.group.empty() && layout_.repeat > 0;
    segment_ = has_group ? 1 : 0;
    index_ = 0;
    rounds_ = 0;
  }

 private:
  const FieldLayout& layout_;
  int segment_ = 0;
  std::size_t index_ = 0;
  int rounds_ = 0;
};

[[noreturn]] void LayoutWithoutFields() {
  throw std::logic_error("field layout has no field for the remaining items");
}

// Fills `item` from the field of `width` characters at `pos`, blanks making up
// what the line lacks.
void ReadTextField(std::string_view line, std::size_t pos, std::size_t width,
                   std::span<char> item) {
  // The field's characters that the item keeps: its last ones when shorter.
  std::size_t skip = item.size() < width ? width - item.size() : 0;
  std::size_t first = pos + skip;
  std::size_t take = std::min(item.size(), width);
  std::size_t available = first < line.size() ? std::min(take, line.size() - first) : 0;
  if (available > 0) std::memcpy(item.data(), line.data() + first, available);
  std::fill(item.begin() + static_cast<std::ptrdiff_t>(available), item.end(), ' ');
}

// Parses the integer field at `pos`, advancing `pos` past the field (or past
// the comma that ends it). Returns false on a conversion failure.
bool ReadIntegerField(std::string_view line, std::size_t& pos, std::size_t width,
                      std::int32_t& value) {
  std::string_view field = pos < line.size() ? line.substr(pos, width) : std::string_view();
  std::size_t comma = field.find(',');
  if (comma != std::string_view::npos) {
    field = field.substr(0, comma);
    pos += comma + 1;
  } else {
    pos += width;
  }
  std::size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
  constexpr std::int64_t kLimit = std::int64_t{1} << 31;
  std::int64_t magnitude = 0;
  for (; i < field.size(); ++i) {
    char c = field[i];
    if (c == ' ') continue;
    if (c < '0' || c > '9') return false;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > kLimit) return false;
  }
  if (!negative && magnitude == kLimit) return false;
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return true;
}

// The columns one line of the layout spans.
std::size_t LineWidth(const FieldLayout& layout) {
  auto sum = [](std::span<const Field> fields) {
    std::size_t width = 0;
    for (const Field& field : fields) width += static_cast<std::size_t>(std::max(field.width, 0));
    return width;
  };
  return sum(layout.head) +
         sum(layout.group) * static_cast<std::size_t>(std::max(layout.repeat, 0)) +
         sum(layout.tail);
}

// Points `view` at the field in place; a line too short for the field is
// first copied and padded with blanks to the layout's full width, so every
// view of the line stays valid.
void ViewTextField(TextUnit& unit, const FieldLayout& layout, std::string_view& line,
                   std::size_t pos, std::size_t width, std::string_view& view) {
  if (pos + width > line.size()) {
    std::string& padded = unit.padded_line();
    if (line.data() != padded.data()) {
      padded.resize(line.size());
      std::copy(line.begin(), line.end(), padded.begin());
    }
    padded.resize(std::max(LineWidth(layout), pos + width), ' ');
    line = padded;
  }
  view = std::string_view(line.data() + pos, width);  // within the line, as ensured above
}

// Fills the next item from `field` of `line` at `pos`, advancing both.
inline void ReadField(TextUnit& unit, const FieldLayout& layout, std::string_view& line,
                      std::size_t& pos, const Field& field, const ReadItem& item) {
  const std::size_t width = static_cast<std::size_t>(std::max(field.width, 0));
  if (auto* view = std::get_if<std::string_view*>(&item)) {
    ViewTextField(unit, layout, line, pos, width, **view);
    pos += width;
  } else if (field.kind == Field::Kind::kText) {
    ReadTextField(line, pos, width, std::get<std::span<char>>(item));
    pos += width;
  } else if (!ReadIntegerField(line, pos, width, *std::get<std::int32_t*>(item))) {
    unit.Fail(IoFailure::kConversion, IoOperation::kFixedRead, false);
  }
}

bool ReadItems(TextUnit& unit, const FieldLayout& layout, std::span<const ReadItem> items,
               bool ready_for_end) {
  std::string_view line;
  if (!unit.NextLine(IoOperation::kFixedRead, line)) {
    if (ready_for_end) return false;
    unit.Fail(IoFailure::kEndOfFile, IoOperation::kFixedRead, true);
  }
  LayoutCursor cursor(layout);
  std::size_t pos = 0;
  bool line_has_fields = false;
  for (std::size_t next = 0; next < items.size();) {
    const Field* field = cursor.Next();
    if (field == nullptr) {
      if (!line_has_fields) LayoutWithoutFields();
      if (!unit.NextLine(IoOperation::kFixedRead, line)) {
        if (ready_for_end) return false;
        unit.Fail(IoFailure::kEndOfFile, IoOperation::kFixedRead, true);
      }
      cursor.Restart();
      pos = 0;
      line_has_fields = false;
    } else if (field->kind == Field::Kind::kSkip) {
      pos += static_cast<std::size_t>(std::max(field->width, 0));
    } else {
      line_has_fields = true;
      ReadField(unit, layout, line, pos, *field, items[next++]);
    }
  }
  return true;
}

void AppendText(std::string& line, std::string_view text, std::size_t width) {
  if (width > text.size()) line.append(width - text.size(), ' ');
  line.append(text.substr(0, width));
}

void AppendInteger(std::string& line, std::int64_t value, std::size_t width) {
  char digits[24];
  auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
  std::size_t length = static_cast<std::size_t>(end - digits);
  if (length > width) {
    line.append(width, '*');
  } else {
    line.append(width - length, ' ');
    line.append(digits, length);
  }
}

}  // namespace

void ReadFixed(TextUnit& unit, const FieldLayout& layout, std::span<const ReadItem> items) {
  ReadItems(unit, layout, items, false);
}

bool ReadFixedOrEnd(TextUnit& unit, const FieldLayout& layout, std::span<const ReadItem> items) {
  return ReadItems(unit, layout, items, true);
}

void WriteFixed(TextUnit& unit, const FieldLayout& layout, std::span<const WriteItem> items) {
  std::string& line = unit.scratch();
  line.clear();
  LayoutCursor cursor(layout);
  std::size_t pending_blanks = 0;
  bool line_has_fields = false;
  for (std::size_t next = 0; next < items.size();) {
    const Field* field = cursor.Next();
    if (field == nullptr) {
      if (!line_has_fields) LayoutWithoutFields();
      unit.WriteLine(IoOperation::kFixedWrite, line);
      line.clear();
      cursor.Restart();
      pending_blanks = 0;
      line_has_fields = false;
      continue;
    }
    const std::size_t width = static_cast<std::size_t>(std::max(field->width, 0));
    if (field->kind == Field::Kind::kSkip) {
      pending_blanks += width;
      continue;
    }
    line.append(pending_blanks, ' ');
    pending_blanks = 0;
    line_has_fields = true;
    const WriteItem& item = items[next++];
    if (field->kind == Field::Kind::kText) {
      AppendText(line, std::get<std::string_view>(item), width);
    } else {
      AppendInteger(line, std::get<std::int64_t>(item), width);
    }
  }
  unit.WriteLine(IoOperation::kFixedWrite, line);
}

void WriteTextLine(TextUnit& unit, std::string_view text) {
  const Field field[] = {TextField(static_cast<int>(text.size()))};
  const WriteItem item = text;
  WriteFixed(unit, FieldLayout{field}, {&item, 1});
}

bool ReadIntegerAt(std::string_view line, std::size_t& pos, std::size_t width,
                   std::int32_t& value) {
  return ReadIntegerField(line, pos, width, value);
}

void AppendIntegerField(std::string& line, std::int64_t value, std::size_t width) {
  AppendInteger(line, value, width);
}

}  // namespace ot
