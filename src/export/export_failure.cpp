#include "export/export_failure.h"

#include <cstring>
#include <string>

#include "base/failure.h"

namespace ot {

void ReportExportFailure(std::string_view doing, const std::filesystem::path& path, int error) {
  std::string text(kTag);
  text.append("CSV export failed: cannot ").append(doing).append(" ").append(path.string());
  text.append(": ").append(std::strerror(error)).append("\n");
  throw RunFailure(std::move(text), kExportFailureStatus);
}

}  // namespace ot
