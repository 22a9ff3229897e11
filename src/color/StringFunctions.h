#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

std::string ZeroPaddedStr(std::string_view s, int width);
std::string IntToZeroPaddedStr(std::int64_t value, int width);
std::string JoinStrings(std::string_view separator, const std::vector<std::string>& parts);
std::string DoubleQuoted(std::string_view s);
