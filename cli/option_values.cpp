#include "cli/option_values.h"

#include <algorithm>

namespace klxr::cli {
namespace {

// The option a word names, and the value it carries after '=' (if any).
struct OptionWord {
  std::string_view name;
  std::string_view value;
  bool hasValue = false;
};

OptionWord SplitOptionWord(std::string_view word) {
  const std::size_t equals = word.find('=');
  if (equals == std::string_view::npos) {
    return {word, {}, false};
  }
  return {word.substr(0, equals), word.substr(equals + 1), true};
}

}  // namespace

OptionValues TakeOptionValues(const std::vector<std::string>& arguments,
                              const std::vector<std::string_view>& names) {
  OptionValues result;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const OptionWord word = SplitOptionWord(argument);
    const bool named = std::find(names.begin(), names.end(), word.name) != names.end();
    if (argument == "--") {
      optionsEnded = true;
    }
    if (optionsEnded || !named) {
      result.rest.push_back(argument);
      continue;
    }
    const std::string name(word.name);
    if (result.values.count(name) != 0) {
      result.error = "option '" + name + "' given twice";
      return result;
    }
    if (word.hasValue) {
      result.values[name] = std::string(word.value);
    } else if (i + 1 < arguments.size()) {
      result.values[name] = arguments[++i];
    } else {
      result.error = "option '" + name + "' needs a value";
      return result;
    }
    if (result.values[name].empty()) {
      result.error = "option '" + name + "' needs a value";
      return result;
    }
  }
  return result;
}

}  // namespace klxr::cli
