#include "textio/free_form.h"

#include <cstdint>
#include <limits>
#include <string>

namespace ot {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool EndsWord(char c) {
  return IsBlank(c) || c == ',' || c == '/';
}
bool IsLogical(char c) {
  return c == 't' || c == 'T' || c == 'f' || c == 'F';
}
bool IsExponent(char c) {
  return c == 'e' || c == 'E' || c == 'd' || c == 'D';
}

// The magnitude up to which a value still fits a 32-bit item (2^31 for a
// negative one); anything larger is out of range.
constexpr std::int64_t kMaxMagnitude = std::int64_t{1} << 31;

// One token of free-form input: `repeat` copies of a value, or of nothing.
struct Token {
  std::int64_t repeat = 1;
  bool empty = false;
  std::int32_t value = 0;
};

// A cursor over the lines of one free-form read. It advances only past what
// it has recognised; failures name the line it stands on.
class FreeFormCursor {
 public:
  explicit FreeFormCursor(TextUnit& unit) : unit_(unit) { NextLine(); }

  void NextLine() {
    if (!unit_.NextLine(IoOperation::kFreeRead, rest_)) Fail(IoFailure::kEndOfFile, true);
  }
  void SkipBlanks() {
    while (!rest_.empty() && IsBlank(rest_.front())) rest_.remove_prefix(1);
  }
  bool AtLineEnd() const { return rest_.empty(); }
  char Peek(std::size_t ahead = 0) const { return ahead < rest_.size() ? rest_[ahead] : '\0'; }
  void Advance(std::size_t n = 1) { rest_.remove_prefix(n); }

  Token ReadToken();

  [[noreturn]] void Fail(IoFailure failure, bool at_end = false,
                         SourcePlace where = SourcePlace::Current()) const {
    unit_.Fail(failure, IoOperation::kFreeRead, at_end, where);
  }

 private:
  std::string_view TakeDigits() {
    std::size_t n = 0;
    while (n < rest_.size() && IsDigit(rest_[n])) ++n;
    std::string_view digits = rest_.substr(0, n);
    rest_.remove_prefix(n);
    return digits;
  }
  std::int32_t ReadValue();
  std::int32_t ReadNumber();
  std::int32_t ReadLogical();

  TextUnit& unit_;
  std::string_view rest_;
};

// Saturating decimal value of a digit run, for repeat counts and exponents.
std::int64_t SaturatedValue(std::string_view digits, std::int64_t limit) {
  std::int64_t value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value >= limit) return limit;
  }
  return value;
}

// The whole part of digits "<whole><fraction>" times 10^exponent, or -1 when
// it exceeds kMaxMagnitude.
std::int64_t TruncatedMagnitude(std::string_view whole, std::string_view fraction,
                                std::int64_t exponent) {
  const std::int64_t length = static_cast<std::int64_t>(whole.size() + fraction.size());
  const std::int64_t keep = static_cast<std::int64_t>(whole.size()) + exponent;
  std::int64_t value = 0;
  for (std::int64_t i = 0; i < keep && i < length; ++i) {
    std::size_t at = static_cast<std::size_t>(i);
    char c = at < whole.size() ? whole[at] : fraction[at - whole.size()];
    value = value * 10 + (c - '0');
    if (value > kMaxMagnitude) return -1;
  }
  for (std::int64_t i = length; i < keep && value != 0; ++i) {
    value *= 10;
    if (value > kMaxMagnitude) return -1;
  }
  return value;
}

std::int32_t FreeFormCursor::ReadNumber() {
  bool negative = Peek() == '-';
  if (Peek() == '+' || Peek() == '-') Advance();
  std::string_view whole = TakeDigits();
  std::string_view fraction;
  if (Peek() == '.') {
    Advance();
    fraction = TakeDigits();
  }
  if (whole.empty() && fraction.empty()) Fail(IoFailure::kConversion);
  std::int64_t exponent = 0;
  if (IsExponent(Peek())) {
    Advance();
    bool negative_exponent = Peek() == '-';
    if (Peek() == '+' || Peek() == '-') Advance();
    std::string_view digits = TakeDigits();
    if (digits.empty()) Fail(IoFailure::kConversion);
    exponent = SaturatedValue(digits, 1'000'000'000);
    if (negative_exponent) exponent = -exponent;
  }
  std::int64_t magnitude = TruncatedMagnitude(whole, fraction, exponent);
  if (magnitude < 0 || (!negative && magnitude == kMaxMagnitude)) Fail(IoFailure::kConversion);
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::int32_t FreeFormCursor::ReadLogical() {
  if (Peek() == '.') Advance();
  std::int32_t value = (Peek() == 't' || Peek() == 'T') ? -1 : 0;
  while (!AtLineEnd() && !EndsWord(Peek())) Advance();
  return value;
}

std::int32_t FreeFormCursor::ReadValue() {
  char c = Peek();
  if (IsLogical(c) || (c == '.' && IsLogical(Peek(1)))) return ReadLogical();
  if (IsDigit(c) || c == '+' || c == '-' || c == '.') return ReadNumber();
  if (IsExponent(c)) Fail(IoFailure::kConversion);
  Fail(IoFailure::kLexical);
}

Token FreeFormCursor::ReadToken() {
  Token token;
  std::size_t n = 0;
  while (IsDigit(Peek(n))) ++n;
  if (n > 0 && Peek(n) == '*') {
    token.repeat = SaturatedValue(TakeDigits(), std::numeric_limits<std::int32_t>::max());
    if (token.repeat == 0) Fail(IoFailure::kConversion);
    Advance();  // the asterisk
    if (AtLineEnd() || EndsWord(Peek())) {
      token.empty = true;
      return token;
    }
  }
  token.value = ReadValue();
  return token;
}

}  // namespace

void ReadFreeForm(TextUnit& unit, std::span<std::int32_t> items) {
  if (items.empty()) return SkipLine(unit);
  FreeFormCursor cursor(unit);
  std::size_t next = 0;
  bool after_comma = true;  // a comma first on a line gives an empty value
  while (next < items.size()) {
    cursor.SkipBlanks();
    if (cursor.AtLineEnd()) {
      cursor.NextLine();
      after_comma = true;
      continue;
    }
    char c = cursor.Peek();
    if (c == '/') return;
    if (c == ',') {
      cursor.Advance();
      if (after_comma) ++next;
      after_comma = true;
      continue;
    }
    Token token = cursor.ReadToken();
    for (std::int64_t r = 0; r < token.repeat && next < items.size(); ++r, ++next) {
      if (!token.empty) items[next] = token.value;
    }
    after_comma = false;
  }
}

void SkipLine(TextUnit& unit) {
  std::string_view line;
  if (!unit.NextLine(IoOperation::kFreeRead, line)) {
    unit.Fail(IoFailure::kEndOfFile, IoOperation::kFreeRead, true);
  }
}

void WriteFreeForm(TextUnit& unit, std::span<const std::string_view> texts) {
  constexpr std::size_t kLineLimit = 80;
  std::string line;
  bool holds_text = false;
  for (std::string_view text : texts) {
    if (holds_text && line.size() + text.size() >= kLineLimit) {
      unit.WriteLine(IoOperation::kFreeWrite, line);
      holds_text = false;
    }
    if (!holds_text) {
      line.clear();
      line.push_back(' ');
    }
    line.append(text);
    holds_text = true;
  }
  unit.WriteLine(IoOperation::kFreeWrite, holds_text ? std::string_view(line) : "");
}

}  // namespace ot
