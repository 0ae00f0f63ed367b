#pragma once

// What the package tests share: the package cpack leaves in a directory.

#include <filesystem>
#include <string>

#include "Commands.h"

namespace e2e {

// The one file with this extension (".deb") in directory; empty if there is
// none or more than one.
std::filesystem::path onlyFileIn(const std::filesystem::path& directory,
                                 const std::string& extension);

} // namespace e2e
