// A bound on how deep a page's elements nest, applied to the HTML before
// it is parsed. The parser's work grows with the square of the depth (it
// searches the open elements for every tag), so a page of 100,000 nested
// <div> would take minutes; as browsers do, elements beyond a depth are
// not opened: their start tags are dropped and their content joins the
// element that is open at the limit.
#pragma once

#include <string>

constexpr int kDeepestNesting = 512;

// `html` with every start tag that would open an element deeper than
// `deepest` removed; `dropped` counts them. Void elements (<embed>,
// <br>, ...) and those whose end tag is optional (<p>, <li>, <td>, ...)
// do not count towards the depth, so ordinary pages pass unchanged.
std::string LimitNesting(const std::string& html, int deepest, size_t* dropped);
