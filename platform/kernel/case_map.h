// Case mapping of the Windows-1252 code page, shared by CharUpperA,
// CharLowerA, the string comparisons and the profile parser.
#pragma once

#include <string>

namespace qpm {

unsigned char UpperChar(unsigned char c);
unsigned char LowerChar(unsigned char c);

// Byte strings equal when both are upper-cased (how profile names match).
bool EqualIgnoreCase(const std::string& a, const std::string& b);

}  // namespace qpm
