// Joining a folder and a name with exactly one "/" between them.
#pragma once

#include <string>

// folder + "/" + name, without doubling a "/" the folder already ends with
// (so the root gives "/name"). An empty folder gives the name alone.
std::string JoinPath(const std::string& folder, const std::string& name);
