// The version record every module carries in its PICTAL_VERSION_SECTION, read
// by the platform's GetFileVersionInfoA without loading the module.
// VersionRecord.cpp is compiled into each module with the version numbers as
// compile definitions (PICTAL_VERSION_MAJOR, _MINOR, _PATCH, _TWEAK).
#pragma once

#include "VersionInfo.h"

extern "C" const PICTAL_VERSION_RECORD pictal_module_version;
