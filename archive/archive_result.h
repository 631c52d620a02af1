// What an archive operation gives back: its value, or a plain text saying why there is none. The
// archive never throws; its callers tell the user the text and go on.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace klxr::archive {

template <typename T>
class ArchiveResult {
 public:
  ArchiveResult(T value) : value_(std::move(value)) {}  // NOLINT: a value converts implicitly

  static ArchiveResult Failure(std::string problem) {
    ArchiveResult result;
    result.problem_ = std::move(problem);
    return result;
  }

  bool Ok() const { return value_.has_value(); }
  explicit operator bool() const { return Ok(); }
  const T& Value() const& { return *value_; }
  T& Value() & { return *value_; }
  T Value() && { return std::move(*value_); }
  const std::string& Problem() const { return problem_; }

 private:
  ArchiveResult() = default;
  std::optional<T> value_;
  std::string problem_;
};

// For operations that give back nothing but success.
struct Nothing {};

}  // namespace klxr::archive
