// Printing the page: every component draws itself (message 1030) onto a
// printer page of the page's size, below the page's own text.
#pragma once

#include <qpm_platform.h>

#include <functional>
#include <string>

struct Host;

// Hands the printed page to `write` (which writes the file); false with
// `error` set when no page could be made or `write` failed.
using PageWriter = std::function<bool(const QpmPixels& pixels, std::string* error)>;
bool PrintPage(Host& host, const PageWriter& write, std::string* error);
