#pragma once
// String functions of the run-time, on UTF-8 text, counting characters (code points).
#include <string>
#include <string_view>

namespace platform {

std::string Left(std::string_view text, std::size_t characters);
std::string Right(std::string_view text, std::size_t characters);
// Upper-cases the letters a to z; other characters stay as they are.
std::string UCase(std::string_view text);
std::string Replace(std::string_view text, std::string_view find, std::string_view with);

}  // namespace platform
