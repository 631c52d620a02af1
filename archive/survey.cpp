#include "archive/survey.h"

namespace klxr::archive {

std::string_view SourceName(SurveySource source) {
  switch (source) {
    case SurveySource::kLoad:
      return "load";
    case SurveySource::kImport:
      return "import";
    case SurveySource::kRead:
      break;
  }
  return "read";
}

}  // namespace klxr::archive
