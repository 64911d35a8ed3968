// Path names as byte strings with "/" separators: joining a folder and a
// name, and taking a path apart at its last "/". Nothing here touches the
// file system but WorkingFolder.
#pragma once

#include <string>
#include <string_view>

// folder + "/" + name, without doubling a "/" the folder already ends with
// (so the root gives "/name"). An empty folder gives the name alone.
std::string JoinPath(const std::string& folder, const std::string& name);

// path without the "/" it ends with; the root keeps its one "/".
std::string WithoutTrailingSlashes(std::string_view path);

// path split at its last "/" as written: the name after it (empty when path
// ends with "/") and the folder before it, without trailing "/" ("/" when
// only the root is left). Without any "/", the folder is empty and the name
// is all of path.
struct PathParts {
    std::string folder;
    std::string name;
};
PathParts SplitAtLastSlash(std::string_view path);

// The name of the entry path names: its last component, trailing "/"
// ignored ("a/b/" -> "b"); the root is named "/".
std::string LastPathComponent(std::string_view path);

// The folder that holds the entry path names: "a/b" -> "a", "b" -> ".",
// "/b" -> "/"; trailing and doubled separators are ignored ("a//b/" -> "a").
std::string ParentFolder(std::string_view path);

// The process's working folder, of any length; empty (errno set) when it
// cannot be had.
std::string WorkingFolder();
