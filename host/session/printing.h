// Printing the page: its text and every component (message 1030) onto a
// printer page of the page's size, written as PNG.
#pragma once

#include <string>

struct Host;

bool PrintPage(Host& host, const std::string& path, std::string* error);
