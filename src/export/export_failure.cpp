#include "export/export_failure.h"

#include "base/failure.h"

namespace ot {

void ReportExportFailure(std::string_view doing, const std::filesystem::path& path, int error) {
  ReportSystemFailure("CSV export failed: ", doing, path.string(), error, kExitToolFailed);
}

}  // namespace ot
