#include "checks/log_counts.h"

namespace ot::checks {

void NameTally::Count(std::string_view name, std::int64_t line) {
  auto it = index_.find(name);
  if (it == index_.end()) {
    names_.push_back({std::string(name), 0, line});
    it = index_.emplace(names_.back().name, names_.size() - 1).first;
  }
  ++names_[it->second].pictures;
}

}  // namespace ot::checks
