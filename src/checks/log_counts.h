// What `check` counts over the whole picture log: the pictures of each
// location and species, and the names the log uses that Input.txt lacks.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ot::checks {

// The pictures of one name and the line of the first.
struct NameCount {
  std::string name;
  std::int64_t pictures = 0;
  std::int64_t first_line = 0;
};

// Names counted in the order they first appear; a name already seen costs
// no allocation.
class NameTally {
 public:
  NameTally() = default;
  NameTally(const NameTally&) = delete;  // the index holds views of this one's names
  NameTally& operator=(const NameTally&) = delete;
  NameTally(NameTally&&) = default;  // a moved deque keeps its elements in place
  NameTally& operator=(NameTally&&) = default;

  void Count(std::string_view name, std::int64_t line);
  const std::deque<NameCount>& names() const { return names_; }

 private:
  std::deque<NameCount> names_;                              // stable, so views stay valid
  std::unordered_map<std::string_view, std::size_t> index_;  // views of names_
};

struct LogCounts {
  std::vector<std::int64_t> location_pictures;  // per location of Input.txt
  NameTally unlisted_locations;                 // locations not in Input.txt
  NameTally log_species;                        // species fields, without trailing blanks
  std::vector<std::int64_t> species_pictures;   // per species: the pictures it selects
  // Per species: the pictures that a species with a longer name selects too.
  std::vector<std::int64_t> species_shared;
};

}  // namespace ot::checks
