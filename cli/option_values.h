// Options that carry a value ("--out LOG.tlg" or "--out=LOG.tlg"), taken out of a command line
// before the rest goes through ParseArguments.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace klxr::cli {

struct OptionValues {
  std::map<std::string, std::string, std::less<>> values;  // option name -> its value
  std::vector<std::string> rest;  // every other argument, in order ("--" and after included)
  std::string error;              // empty when the value options were well formed
};

// Takes the named value options out of arguments. An option given twice, or without a value,
// is an error. Arguments after "--" are left alone.
OptionValues TakeOptionValues(const std::vector<std::string>& arguments,
                              const std::vector<std::string_view>& names);

}  // namespace klxr::cli
