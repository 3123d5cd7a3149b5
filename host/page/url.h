// URLs and paths relative to a page: stream URLs resolve against the
// page's own URL (a file:// URL for a local page), data files against
// the page's directory.
#pragma once

#include <string>

// An absolute path, from the current directory when `path` is relative;
// "." and ".." segments are removed. The file need not exist.
std::string AbsolutePath(const std::string& path);
// The directory part of a path ("." for a bare name).
std::string DirectoryOf(const std::string& path);
// `path` as seen from `directory`, unless it is absolute already.
std::string ResolvePath(const std::string& directory, const std::string& path);

// "file:///abs/path" with the bytes a URL cannot hold percent-encoded.
std::string FileUrlFromPath(const std::string& absolutePath);

// Resolves `reference` against `base`. False for a reference that does
// not make a URL, or whose scheme the host does not fetch (http, https
// and file are fetched).
bool ResolveUrl(const std::string& base, const std::string& reference, std::string* out);
