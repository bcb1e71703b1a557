#include "service/severity_names.h"

const char* SeverityName(long index) {
  if (index < 0 || index >= static_cast<long>(SeverityNames.size())) return SeverityNames[0];
  return SeverityNames[static_cast<std::size_t>(index)];
}
