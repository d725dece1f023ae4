// survey-generator: writes a made-up camera-trap survey (Input.txt and AllPictures.txt) for
// benchmarks, golden tests and examples.
//
//   survey-generator --locations N --species S --pictures P --seed X --out DIR
//                    [--start YYYY-MM-DD] [--days D] [--heading] [--remarks] [--listed L]
//
// The output depends only on the arguments: the random numbers come from std::mt19937_64, whose
// sequence the language fixes, and are mapped to ranges with integer arithmetic of our own (the
// standard distributions are free to differ between libraries). No floating point is used.
//
// The survey: a title line; N locations with 1 to 3 operating periods each, separated by gaps,
// spread over D days from the start date; S species, some of whose names begin with another's
// ("Red fox" and "Red fox cub"). Each location's pictures come in visits of one species: a few
// pictures seconds to minutes apart, sometimes across midnight, at the hours the species is
// active. About one visit in thirty falls outside the location's operating periods (just before
// its first period, in a gap, or in the days after its recorded end). A few pictures carry a
// label that is not among the listed species. Pictures are written as card downloads: for each
// service round, every location's pictures of that round in time order. Counts are 1..99, mostly
// small. Every line ends in CR LF. With --listed L, Input.txt lists L species: the S that the
// pictures show, then species that no picture shows; the pictures are the same as without it.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "run/picture_record.h"

namespace {

constexpr auto kNameWidth = static_cast<std::size_t>(ot::kNameLength);
constexpr std::int64_t kSecondsPerDay = 86400;

// ---------------------------------------------------------------------------------------------
// Random numbers

class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}

  // 0 .. n-1 (n >= 1). The modulo bias is negligible for the small ranges used here.
  std::uint64_t Below(std::uint64_t n) { return engine_() % n; }
  std::int64_t Between(std::int64_t lo, std::int64_t hi) {  // lo .. hi inclusive
    return lo + static_cast<std::int64_t>(Below(static_cast<std::uint64_t>(hi - lo + 1)));
  }
  // True with probability num/den.
  bool Chance(std::uint64_t num, std::uint64_t den) { return Below(den) < num; }

  // Index into a table of integer weights.
  template <typename Weights>
  std::size_t Pick(const Weights& weights) {
    std::uint64_t total = 0;
    for (auto w : weights) total += static_cast<std::uint64_t>(w);
    std::uint64_t r = Below(total);
    std::size_t i = 0;
    for (auto w : weights) {
      if (r < static_cast<std::uint64_t>(w)) return i;
      r -= static_cast<std::uint64_t>(w);
      ++i;
    }
    return i - 1;
  }

 private:
  std::mt19937_64 engine_;
};

// ---------------------------------------------------------------------------------------------
// Calendar (proleptic Gregorian; days counted from 1970-01-01)

struct CivilDate {
  std::int32_t year;
  std::int32_t month;
  std::int32_t day;
};

std::int64_t DaysFromCivil(CivilDate d) {
  const std::int64_t y = d.year - (d.month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t mp = (d.month + 9) % 12;
  const std::int64_t doy = (153 * mp + 2) / 5 + d.day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CivilDate CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  return {static_cast<std::int32_t>(year), static_cast<std::int32_t>(month),
          static_cast<std::int32_t>(day)};
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------
// Names

enum class Activity { kNocturnal, kDiurnal, kCrepuscular, kAnyTime };
enum class Grouping { kSolitary, kFamily, kHerd, kFlock };

struct SpeciesKind {
  const char* name;
  Activity activity;
  Grouping grouping;
  int abundance;       // relative number of visits
  const char* parent;  // the adult whose name this one begins with, or nullptr
};

// The first entries give small surveys a prefix pair early on.
constexpr SpeciesKind kSpeciesKinds[] = {
    {"Red fox", Activity::kNocturnal, Grouping::kSolitary, 30, nullptr},
    {"Roe deer", Activity::kCrepuscular, Grouping::kFamily, 34, nullptr},
    {"Wild boar", Activity::kNocturnal, Grouping::kHerd, 22, nullptr},
    {"European badger", Activity::kNocturnal, Grouping::kFamily, 14, nullptr},
    {"Red fox cub", Activity::kCrepuscular, Grouping::kFamily, 6, "Red fox"},
    {"Pine marten", Activity::kNocturnal, Grouping::kSolitary, 8, nullptr},
    {"Red deer", Activity::kCrepuscular, Grouping::kHerd, 16, nullptr},
    {"Wild boar piglet", Activity::kNocturnal, Grouping::kHerd, 6, "Wild boar"},
    {"Brown hare", Activity::kCrepuscular, Grouping::kSolitary, 10, nullptr},
    {"Red deer calf", Activity::kCrepuscular, Grouping::kFamily, 4, "Red deer"},
    {"Domestic cat", Activity::kAnyTime, Grouping::kSolitary, 7, nullptr},
    {"Domestic dog", Activity::kDiurnal, Grouping::kSolitary, 6, nullptr},
    {"Human", Activity::kDiurnal, Grouping::kFamily, 12, nullptr},
    {"Stone marten", Activity::kNocturnal, Grouping::kSolitary, 6, nullptr},
    {"Red squirrel", Activity::kDiurnal, Grouping::kSolitary, 8, nullptr},
    {"Eurasian jay", Activity::kDiurnal, Grouping::kSolitary, 9, nullptr},
    {"Wildcat", Activity::kNocturnal, Grouping::kSolitary, 3, nullptr},
    {"Raccoon dog", Activity::kNocturnal, Grouping::kFamily, 4, nullptr},
    {"Fallow deer", Activity::kCrepuscular, Grouping::kHerd, 8, nullptr},
    {"Fallow deer fawn", Activity::kCrepuscular, Grouping::kFamily, 2, "Fallow deer"},
    {"Eurasian lynx", Activity::kNocturnal, Grouping::kSolitary, 1, nullptr},
    {"Grey wolf", Activity::kNocturnal, Grouping::kFamily, 2, nullptr},
    {"Grey wolf pup", Activity::kNocturnal, Grouping::kFamily, 1, "Grey wolf"},
    {"European hedgehog", Activity::kNocturnal, Grouping::kSolitary, 4, nullptr},
    {"Eurasian otter", Activity::kNocturnal, Grouping::kSolitary, 2, nullptr},
    {"European polecat", Activity::kNocturnal, Grouping::kSolitary, 2, nullptr},
    {"Stoat", Activity::kAnyTime, Grouping::kSolitary, 2, nullptr},
    {"Least weasel", Activity::kAnyTime, Grouping::kSolitary, 2, nullptr},
    {"European rabbit", Activity::kCrepuscular, Grouping::kFamily, 9, nullptr},
    {"Mouflon", Activity::kDiurnal, Grouping::kHerd, 3, nullptr},
    {"Golden jackal", Activity::kNocturnal, Grouping::kFamily, 2, nullptr},
    {"Sika deer", Activity::kCrepuscular, Grouping::kHerd, 2, nullptr},
    {"Wood mouse", Activity::kNocturnal, Grouping::kSolitary, 10, nullptr},
    {"Bank vole", Activity::kAnyTime, Grouping::kSolitary, 6, nullptr},
    {"Common pheasant", Activity::kDiurnal, Grouping::kFamily, 5, nullptr},
    {"Eurasian woodcock", Activity::kCrepuscular, Grouping::kSolitary, 2, nullptr},
    {"Tawny owl", Activity::kNocturnal, Grouping::kSolitary, 2, nullptr},
    {"Common buzzard", Activity::kDiurnal, Grouping::kSolitary, 3, nullptr},
    {"Eurasian blackbird", Activity::kDiurnal, Grouping::kSolitary, 8, nullptr},
    {"Song thrush", Activity::kDiurnal, Grouping::kSolitary, 4, nullptr},
    {"Common wood pigeon", Activity::kDiurnal, Grouping::kFlock, 5, nullptr},
    {"Carrion crow", Activity::kDiurnal, Grouping::kFlock, 4, nullptr},
    {"Common raven", Activity::kDiurnal, Grouping::kFamily, 2, nullptr},
    {"Eurasian magpie", Activity::kDiurnal, Grouping::kFamily, 3, nullptr},
    {"Grey heron", Activity::kDiurnal, Grouping::kSolitary, 1, nullptr},
    {"Mallard", Activity::kAnyTime, Grouping::kFlock, 3, nullptr},
    {"Red-legged partridge", Activity::kDiurnal, Grouping::kFlock, 2, nullptr},
    {"Grey squirrel", Activity::kDiurnal, Grouping::kSolitary, 5, nullptr},
    {"Vehicle", Activity::kDiurnal, Grouping::kSolitary, 4, nullptr},
    {"Livestock", Activity::kDiurnal, Grouping::kHerd, 4, nullptr},
};
constexpr std::size_t kNumSpeciesKinds = std::size(kSpeciesKinds);

// Labels that field workers use for pictures not worth a listed species.
constexpr const char* kUnlistedLabels[] = {"Unidentified", "Unidentified bird",
                                           "Unidentified small mammal"};

constexpr const char* kAreas[] = {
    "North ridge",  "Beech valley", "Fox hollow",  "Old quarry",   "Mill creek", "Pine slope",
    "Heath edge",   "Oak saddle",   "Bog meadow",  "Stone bridge", "Larch wood", "Birch gully",
    "Upper basin",  "Deer pass",    "Otter brook", "Black moor",   "Willow fen", "Hazel bank",
    "Spruce knoll", "Alder carr",   "Red scree",   "Kettle pond",  "Ash dell",   "Holly combe",
    "Cold spring",  "Badger bank",  "Long gorge",  "Granite tor",  "South spur", "East fells",
};
constexpr const char* kFeatures[] = {"trail",    "crossing", "ford",    "clearing", "ridge",
                                     "saltlick", "wallow",   "gully",   "spring",   "track",
                                     "bend",     "gate",     "culvert", "den",      "fence"};
constexpr const char* kRegions[] = {"north valley", "upper forest",  "river basin",
                                    "high moor",    "east woodland", "border hills"};

std::string PadName(std::string_view name) {
  std::string padded(name.substr(0, kNameWidth));
  padded.resize(kNameWidth, ' ');
  return padded;
}

std::vector<std::string> MakeLocationNames(Random& random, std::size_t count) {
  std::vector<std::string> names;
  std::set<std::string> used;
  const std::size_t areas = std::size(kAreas);
  const std::size_t features = std::size(kFeatures);
  while (names.size() < count) {
    std::string name =
        std::string(kAreas[random.Below(areas)]) + " " + kFeatures[random.Below(features)];
    if (used.count(name) != 0) {
      // A busy area gets numbered stations.
      for (int n = 2;; ++n) {
        std::string numbered = name + " " + std::to_string(n);
        if (used.count(numbered) == 0) {
          name = numbered;
          break;
        }
      }
    }
    if (name.size() > kNameWidth) continue;
    used.insert(name);
    names.push_back(name);
  }
  return names;
}

struct Species {
  std::string name;  // padded to 25 characters
  Activity activity;
  Grouping grouping;
  int abundance;
  std::optional<std::size_t> parent;  // index into the listed species
};

std::vector<Species> MakeSpecies(std::size_t count) {
  std::vector<Species> species;
  for (std::size_t i = 0; i < count; ++i) {
    if (i < kNumSpeciesKinds) {
      const SpeciesKind& kind = kSpeciesKinds[i];
      species.push_back({PadName(kind.name), kind.activity, kind.grouping, kind.abundance, {}});
    } else {
      // Beyond the table: morphospecies as they are labelled before identification.
      const std::string name = "Morphospecies " + std::to_string(i - kNumSpeciesKinds + 1);
      species.push_back({PadName(name), Activity::kAnyTime, Grouping::kSolitary, 2, {}});
    }
  }
  for (std::size_t i = 0; i < count && i < kNumSpeciesKinds; ++i) {
    if (kSpeciesKinds[i].parent == nullptr) continue;
    const std::string parent = PadName(kSpeciesKinds[i].parent);
    for (std::size_t j = 0; j < count; ++j) {
      if (species[j].name == parent) species[i].parent = j;
    }
  }
  return species;
}

// ---------------------------------------------------------------------------------------------
// Survey layout

struct Period {
  std::int64_t begin;  // days from the survey's start date, inclusive
  std::int64_t end;
};

struct Location {
  std::string name;  // unpadded
  std::vector<Period> periods;
  std::uint64_t weight;  // relative share of the pictures
};

std::vector<Period> MakePeriods(Random& random, std::int64_t span) {
  const std::size_t n = random.Pick(std::initializer_list<int>{4, 4, 2}) + 1;
  const std::int64_t first = static_cast<std::int64_t>(random.Below(span / 12 + 1));
  const std::int64_t last = span - 1 - static_cast<std::int64_t>(random.Below(span / 12 + 1));
  const std::int64_t length = last - first + 1;
  std::vector<Period> periods;
  for (std::size_t j = 0; j < n; ++j) {
    std::int64_t begin =
        first + length * static_cast<std::int64_t>(j) / static_cast<std::int64_t>(n);
    const std::int64_t end =
        first + length * static_cast<std::int64_t>(j + 1) / static_cast<std::int64_t>(n) - 1;
    if (j > 0) {
      // The camera was out for a while before this period: a gap of some days or weeks.
      const std::int64_t room = (end - begin + 1) / 3;
      begin += 3 + static_cast<std::int64_t>(random.Below(static_cast<std::uint64_t>(room) + 1));
    }
    if (begin > end) begin = end;
    periods.push_back({begin, end});
  }
  return periods;
}

// ---------------------------------------------------------------------------------------------
// Pictures

struct Picture {
  std::int64_t when;    // seconds from the survey's start date
  std::uint32_t order;  // generation order, to break ties deterministically
  std::uint16_t label;  // species index, or species count + unlisted label index
  std::uint8_t count;   // 1..99
  std::uint8_t round;   // card download round (operating period index)
};

// Relative weights of the 24 hours for each activity pattern.
constexpr int kHourWeights[4][24] = {
    // nocturnal
    {9, 8, 7, 6, 5, 4, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 3, 5, 7, 8, 9, 10},
    // diurnal
    {0, 0, 0, 0, 0, 1, 2, 5, 8, 9, 9, 8, 7, 7, 8, 8, 7, 5, 3, 1, 0, 0, 0, 0},
    // crepuscular
    {3, 2, 2, 3, 5, 8, 10, 7, 4, 2, 1, 1, 1, 1, 1, 2, 4, 7, 10, 9, 6, 4, 3, 3},
    // any time
    {4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4},
};

// The largest group a visit of this kind can show.
int VisitGroupSize(Random& random, Grouping grouping) {
  switch (grouping) {
    case Grouping::kSolitary:
      return random.Chance(1, 12) ? 2 : 1;
    case Grouping::kFamily:
      return static_cast<int>(random.Between(1, random.Chance(1, 5) ? 6 : 3));
    case Grouping::kHerd: {
      const std::size_t size = random.Pick(std::initializer_list<int>{40, 30, 20, 8, 2});
      constexpr int kLimits[] = {2, 6, 14, 30, 70};
      return static_cast<int>(random.Between(1, kLimits[size]));
    }
    case Grouping::kFlock: {
      const std::size_t size = random.Pick(std::initializer_list<int>{50, 30, 15, 5});
      constexpr int kLimits[] = {2, 8, 25, 99};
      return static_cast<int>(random.Between(1, kLimits[size]));
    }
  }
  return 1;
}

// Seconds from one picture of a visit to the next: mostly seconds, sometimes minutes, now and
// then long enough to split the visit into two events at the usual independence periods.
std::int64_t GapWithinVisit(Random& random) {
  switch (random.Pick(std::initializer_list<int>{55, 33, 12})) {
    case 0:
      return random.Between(1, 59);
    case 1:
      return random.Between(60, 5 * 60);
    default:
      return random.Between(5 * 60, 45 * 60);
  }
}

int PicturesInVisit(Random& random) {
  constexpr int kWeights[] = {0, 18, 14, 26, 10, 8, 7, 5, 4, 3, 2, 1, 1};  // 1..12 pictures
  return static_cast<int>(random.Pick(kWeights));
}

// A day on which a visit of this location happens, and the download round that holds it.
struct VisitDay {
  std::int64_t day;
  std::uint8_t round;
};

VisitDay PickVisitDay(Random& random, const std::vector<Period>& periods) {
  if (random.Chance(1, 30)) {
    // Outside the recorded periods: the camera ran on after its recorded end, was set up
    // before its recorded begin, or took pictures during a gap.
    const std::size_t choice = random.Pick(std::initializer_list<int>{2, 1, 1});
    if (choice == 1) {
      return {periods.front().begin - random.Between(1, 7), 0};
    }
    if (choice == 2 && periods.size() > 1) {
      const std::size_t j = random.Below(periods.size() - 1);
      const std::int64_t from = periods[j].end + 1;
      const std::int64_t to = periods[j + 1].begin - 1;
      if (from <= to) return {random.Between(from, to), static_cast<std::uint8_t>(j)};
    }
    return {periods.back().end + random.Between(1, 14),
            static_cast<std::uint8_t>(periods.size() - 1)};
  }
  std::vector<std::int64_t> lengths;
  for (const Period& p : periods) lengths.push_back(p.end - p.begin + 1);
  const std::size_t j = random.Pick(lengths);
  return {random.Between(periods[j].begin, periods[j].end), static_cast<std::uint8_t>(j)};
}

// Fills `out` with exactly `quota` pictures of one location, in time order.
void MakeLocationPictures(Random& random, const Location& location,
                          const std::vector<Species>& species,
                          const std::vector<std::uint64_t>& visit_weights, std::uint64_t quota,
                          std::vector<Picture>& out) {
  out.clear();
  const std::size_t listed = species.size();
  const std::size_t unlisted = std::size(kUnlistedLabels);
  while (out.size() < quota) {
    const VisitDay day = PickVisitDay(random, location.periods);
    if (random.Chance(1, 40)) {
      // A picture nobody could identify.
      const std::int64_t when =
          day.day * kSecondsPerDay + static_cast<std::int64_t>(random.Below(kSecondsPerDay));
      out.push_back({when, static_cast<std::uint32_t>(out.size()),
                     static_cast<std::uint16_t>(listed + random.Below(unlisted)), 1, day.round});
      continue;
    }
    const std::size_t s = random.Pick(visit_weights);
    const Species& visitor = species[s];
    const int hour =
        static_cast<int>(random.Pick(kHourWeights[static_cast<int>(visitor.activity)]));
    std::int64_t when =
        day.day * kSecondsPerDay + hour * 3600 + static_cast<std::int64_t>(random.Below(3600));
    const int group = VisitGroupSize(random, visitor.grouping);
    const int pictures = PicturesInVisit(random);
    for (int p = 0; p < pictures && out.size() < quota; ++p) {
      if (p > 0) when += GapWithinVisit(random);
      // Young ones are photographed with their parents: such a visit mixes the two labels.
      std::size_t label = s;
      if (visitor.parent && random.Chance(1, 2)) label = *visitor.parent;
      // Most pictures of a visit show only part of the group.
      int count = group;
      if (group > 1 && random.Chance(2, 3)) count = static_cast<int>(random.Between(1, group));
      out.push_back({when, static_cast<std::uint32_t>(out.size()),
                     static_cast<std::uint16_t>(label), static_cast<std::uint8_t>(count),
                     day.round});
    }
  }
  std::sort(out.begin(), out.end(), [](const Picture& a, const Picture& b) {
    return a.when != b.when ? a.when < b.when : a.order < b.order;
  });
  // A download round holds the pictures up to the next one's first picture, so that every
  // location's pictures stay in time order within its rounds.
  std::uint8_t round = 0;
  for (Picture& p : out) {
    round = std::max(round, p.round);
    p.round = round;
  }
}

// ---------------------------------------------------------------------------------------------
// Output

class LineWriter {
 public:
  explicit LineWriter(const std::filesystem::path& path)
      : file_(std::fopen(path.string().c_str(), "wb")) {
    if (file_ == nullptr) {
      std::perror(path.string().c_str());
      std::exit(1);
    }
    buffer_.reserve(kBufferSize + 256);
  }
  ~LineWriter() { Close(); }
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  void Text(std::string_view text) { buffer_.append(text); }
  void Record(const ot::PictureRecord& record) { ot::AppendPictureRecord(buffer_, record); }
  // A number right-aligned in `width` columns.
  void Number(std::int64_t value, int width) {
    char digits[24];
    const auto result = std::to_chars(std::begin(digits), std::end(digits), value);
    const int length = static_cast<int>(result.ptr - digits);
    for (int i = length; i < width; ++i) buffer_.push_back(' ');
    buffer_.append(digits, result.ptr);
  }
  void EndLine() {
    buffer_.append("\r\n");
    if (buffer_.size() >= kBufferSize) Flush();
  }
  void Close() {
    if (file_ == nullptr) return;
    Flush();
    if (std::fclose(file_) != 0) {
      std::perror("close");
      std::exit(1);
    }
    file_ = nullptr;
  }

 private:
  static constexpr std::size_t kBufferSize = 1 << 20;
  void Flush() {
    if (!buffer_.empty() &&
        std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
      std::perror("write");
      std::exit(1);
    }
    buffer_.clear();
  }
  std::FILE* file_;
  std::string buffer_;
};

struct Options {
  std::int64_t locations = -1;
  std::int64_t species = -1;
  std::int64_t pictures = -1;
  std::uint64_t seed = 0;
  bool has_seed = false;
  std::string out;
  CivilDate start{2019, 3, 1};
  std::int64_t days = 3 * 365;
  std::int64_t listed = -1;  // species listed in Input.txt; -1: as many as --species
  bool heading = false;
  bool remarks = false;
};

[[noreturn]] void Usage(const char* problem) {
  if (problem != nullptr) std::cerr << "survey-generator: " << problem << "\n";
  std::cerr << "usage: survey-generator --locations N --species S --pictures P --seed X --out DIR\n"
               "                        [--start YYYY-MM-DD] [--days D] [--heading] [--remarks]\n"
               "                        [--listed L]\n"
               "  --start    first day of the survey span (default 2019-03-01)\n"
               "  --days     length of the survey span in days (default 1095)\n"
               "  --heading  put a column heading line at the top of AllPictures.txt\n"
               "  --remarks  put remarks after some counts and dates of Input.txt\n"
               "  --listed   list L >= S species in Input.txt, the last L - S shown by no picture\n"
               "             (the pictures stay those of the S species)\n";
  std::exit(2);
}

std::int64_t ParseInteger(std::string_view text, const char* what) {
  std::int64_t value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    Usage((std::string("not a whole number: ") + what).c_str());
  }
  return value;
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--heading") {
      options.heading = true;
      continue;
    }
    if (arg == "--remarks") {
      options.remarks = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") Usage(nullptr);
    if (i + 1 >= argc) Usage((std::string("missing value after ") + argv[i]).c_str());
    const std::string_view value = argv[++i];
    if (arg == "--locations") {
      options.locations = ParseInteger(value, "--locations");
    } else if (arg == "--species") {
      options.species = ParseInteger(value, "--species");
    } else if (arg == "--pictures") {
      options.pictures = ParseInteger(value, "--pictures");
    } else if (arg == "--seed") {
      options.seed = static_cast<std::uint64_t>(ParseInteger(value, "--seed"));
      options.has_seed = true;
    } else if (arg == "--out") {
      options.out = value;
    } else if (arg == "--listed") {
      options.listed = ParseInteger(value, "--listed");
    } else if (arg == "--days") {
      options.days = ParseInteger(value, "--days");
    } else if (arg == "--start") {
      if (value.size() != 10 || value[4] != '-' || value[7] != '-') Usage("--start is YYYY-MM-DD");
      options.start = {static_cast<std::int32_t>(ParseInteger(value.substr(0, 4), "--start")),
                       static_cast<std::int32_t>(ParseInteger(value.substr(5, 2), "--start")),
                       static_cast<std::int32_t>(ParseInteger(value.substr(8, 2), "--start"))};
      if (options.start.month < 1 || options.start.month > 12 || options.start.day < 1 ||
          options.start.day > 31) {
        Usage("--start is not a date");
      }
    } else {
      Usage((std::string("unknown option ") + argv[i - 1]).c_str());
    }
  }
  if (options.locations < 1 || options.species < 1 || options.pictures < 0 || !options.has_seed ||
      options.out.empty()) {
    Usage("--locations and --species (1 or more), --pictures, --seed and --out are required");
  }
  if (options.species > 60000) Usage("--species is at most 60000");
  if (options.listed == -1) options.listed = options.species;
  if (options.listed < options.species || options.listed > 60000) {
    Usage("--listed is at least --species and at most 60000");
  }
  if (options.days < 30) Usage("--days is at least 30");
  return options;
}

void WriteInput(const Options& options, Random& random, const std::vector<Location>& locations,
                const std::vector<Species>& species, const std::filesystem::path& path) {
  const std::int64_t start = DaysFromCivil(options.start);
  const CivilDate last = CivilFromDays(start + options.days - 1);
  LineWriter out(path);
  out.Text("Camera-trap survey ");
  out.Text(kRegions[random.Below(std::size(kRegions))]);
  out.Text(", ");
  out.Number(options.start.year, 0);
  out.Text(" to ");
  out.Number(last.year, 0);
  out.EndLine();
  out.Number(static_cast<std::int64_t>(locations.size()), 0);
  if (options.remarks) out.Text("   locations");
  out.EndLine();
  for (const Location& location : locations) {
    out.Text(location.name);
    out.EndLine();
    out.Number(static_cast<std::int64_t>(location.periods.size()), 0);
    if (options.remarks && location.periods.size() > 1 && random.Chance(1, 3)) {
      out.Text("   camera serviced between periods");
    }
    out.EndLine();
    for (const Period& period : location.periods) {
      const CivilDate b = CivilFromDays(start + period.begin);
      const CivilDate e = CivilFromDays(start + period.end);
      const std::int64_t values[] = {b.year, b.month, b.day, e.year, e.month, e.day};
      for (std::size_t v = 0; v < 6; ++v) {
        if (v > 0) out.Text(" ");
        out.Number(values[v], 0);
      }
      if (options.remarks && random.Chance(1, 6)) out.Text("   memory card full");
      out.EndLine();
    }
  }
  out.Number(static_cast<std::int64_t>(species.size()), 0);
  if (options.remarks) out.Text("   species, in processing order");
  out.EndLine();
  for (const Species& s : species) {
    std::string_view name = s.name;
    name.remove_suffix(name.size() - (name.find_last_not_of(' ') + 1));
    out.Text(name);
    out.EndLine();
  }
  out.Close();
}

void WritePicture(LineWriter& out, std::int64_t start, const std::string& location,
                  const std::string& label, const Picture& p) {
  const std::int64_t day = FloorDiv(p.when, kSecondsPerDay);
  const std::int64_t second_of_day = p.when - day * kSecondsPerDay;
  const CivilDate date = CivilFromDays(start + day);
  ot::PictureRecord record;
  record.location = location;
  record.species = label;
  record.date = {date.year, date.month, date.day};
  record.hour = static_cast<std::int32_t>(second_of_day / 3600);
  record.minute = static_cast<std::int32_t>(second_of_day / 60 % 60);
  record.second = static_cast<std::int32_t>(second_of_day % 60);
  record.count = p.count;
  out.Record(record);
  out.EndLine();
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  const std::filesystem::path dir(options.out);
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error) {
    std::cerr << "survey-generator: cannot create " << dir << ": " << error.message() << "\n";
    return 1;
  }

  Random random(options.seed);
  const std::size_t num_locations = static_cast<std::size_t>(options.locations);
  std::vector<Location> locations;
  for (std::string& name : MakeLocationNames(random, num_locations)) {
    Location location{std::move(name), MakePeriods(random, options.days), 0};
    location.weight = 1 + random.Below(6);
    locations.push_back(std::move(location));
  }
  const std::vector<Species> species = MakeSpecies(static_cast<std::size_t>(options.species));
  // The listed species begin with the S shown, and naming them draws no random numbers, so the
  // pictures do not depend on --listed.
  WriteInput(options, random, locations, MakeSpecies(static_cast<std::size_t>(options.listed)),
             dir / "Input.txt");

  // Labels as written in the records: the listed species, then the unlisted labels.
  std::vector<std::string> labels;
  for (const Species& s : species) labels.push_back(s.name);
  for (const char* label : kUnlistedLabels) labels.push_back(PadName(label));
  std::vector<std::string> padded_locations;
  for (const Location& location : locations) padded_locations.push_back(PadName(location.name));

  // Each location draws its visitors with weights of its own: habitats differ.
  std::uint64_t total_weight = 0;
  for (const Location& location : locations) total_weight += location.weight;
  std::vector<std::vector<Picture>> pictures(num_locations);
  const std::uint64_t total = static_cast<std::uint64_t>(options.pictures);
  std::uint64_t given = 0;
  std::uint64_t cumulative = 0;
  for (std::size_t i = 0; i < num_locations; ++i) {
    cumulative += locations[i].weight;
    const std::uint64_t upto = total * cumulative / total_weight;
    std::vector<std::uint64_t> visit_weights;
    for (const Species& s : species) {
      visit_weights.push_back(static_cast<std::uint64_t>(s.abundance) * (1 + random.Below(8)) *
                              (random.Chance(1, 6) ? 0 : 1));
    }
    bool any = false;
    for (std::uint64_t w : visit_weights) any = any || w != 0;
    if (!any) visit_weights[0] = 1;
    MakeLocationPictures(random, locations[i], species, visit_weights, upto - given, pictures[i]);
    given = upto;
  }

  LineWriter out(dir / "AllPictures.txt");
  if (options.heading) {
    out.Text("Location                  Species                   Year Mo Dy Hr Mi Se Ct");
    out.EndLine();
  }
  const std::int64_t start = DaysFromCivil(options.start);
  std::vector<std::size_t> next(num_locations, 0);
  for (std::uint8_t round = 0; round < 3; ++round) {
    for (std::size_t i = 0; i < num_locations; ++i) {
      const std::vector<Picture>& list = pictures[i];
      std::size_t& k = next[i];
      for (; k < list.size() && list[k].round == round; ++k) {
        WritePicture(out, start, padded_locations[i], labels[list[k].label], list[k]);
      }
    }
  }
  out.Close();
  return 0;
}
