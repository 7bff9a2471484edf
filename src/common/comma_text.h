#pragma once
// Comma text as the settings and registry values store lists: items separated by ",";
// an item holding a space, a comma or a double quote is enclosed in double quotes with
// inner double quotes doubled.
#include <string>
#include <vector>

namespace zelk {

std::vector<std::string> SplitCommaText(const std::string& text);
std::string JoinCommaText(const std::vector<std::string>& items);

}  // namespace zelk
