#include "Vxinit.h"

#include "Modules.h"
#include "Vxdllprocs.h"
#include "Vxutils.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct EntryPoint {
    const char* name;
    void** variable;
};

template <typename F>
EntryPoint entry(const char* name, F& variable)
{
    return {name, reinterpret_cast<void**>(&variable)};
}

struct Module {
    const char* file;
    std::vector<EntryPoint> entries;
    HMODULE handle = nullptr;
};

// The library's files in load order, with the entry points the program uses.
std::vector<Module>& modules()
{
    using namespace Vxdllprocs;
    static std::vector<Module> list = {
        {"Vx7Com.DLL",
         {entry("VXGetImageType", VXGetImageType), entry("SetImageSize", SetImageSize),
          entry("VXFreeMemory", VXFreeMemory), entry("GetDibPalSize", GetDibPalSize),
          entry("_StretchDIBits", _StretchDIBits), entry("_BoxFull", _BoxFull), entry("_Box", _Box),
          entry("_Line", _Line), entry("SetTermYEN", SetTermYEN), entry("GetFullpathFilename", GetFullpathFilename),
          entry("GetPagefromFilename", GetPagefromFilename), entry("CutPagefromFilename", CutPagefromFilename),
          entry("GetPathDir", GetPathDir), entry("GetPathFileExt", GetPathFileExt), entry("GetFileExt", GetFileExt),
          entry("GetFileDateTimeEx", GetFileDateTimeEx), entry("IsSetDrive", IsSetDrive),
          entry("DataFileExist", DataFileExist), entry("StrRightCopy", StrRightCopy)}},
        {"Vx7Effect.DLL", {entry("VXResizeEx", VXResizeEx)}},
        {"Vx7File.DLL", {entry("VXFileType", VXFileType), entry("VXFileLoad", VXFileLoad)}},
        {"Vx7Print.DLL", {}},
        {"Vx7Scan.DLL", {}},
        {"Vx7RasToVect.DLL", {}},
        {"Vx7VectCom.DLL",
         {entry("VXVectorToRaster", VXVectorToRaster), entry("VXVectorGdipStart", VXVectorGdipStart),
          entry("VXVectorGdipEnd", VXVectorGdipEnd)}},
    };
    return list;
}

std::array<int, kVxUserLast - kVxUserFirst + 1> users{};

int totalUsers()
{
    int n = 0;
    for (int u : users)
        n += u;
    return n;
}

void clearVariables(Module& m)
{
    for (EntryPoint& e : m.entries)
        *e.variable = nullptr;
}

void load(Module& m)
{
    clearVariables(m);
    m.handle = LoadLibraryA(m.file);
    if (!m.handle)
        return;  // a missing module leaves its entry points null
    for (EntryPoint& e : m.entries)
        *e.variable = GetProcAddress(m.handle, e.name);
}

void release(Module& m)
{
    clearVariables(m);
    if (m.handle)
        FreeLibrary(m.handle);
    m.handle = nullptr;
}

}  // namespace

bool InitializeVX(int kind)
{
    if (kind < kVxUserFirst || kind > kVxUserLast)
        return false;
    const bool first = totalUsers() == 0;
    ++users[std::size_t(kind - kVxUserFirst)];
    if (first) {
        for (Module& m : modules())
            if (!m.handle)
                load(m);
        // The cursor is shown when the library comes in.
        ShowMouseCursor(true);
    }
    return true;
}

bool TerminateVX(int kind)
{
    if (kind < kVxUserFirst || kind > kVxUserLast || users[std::size_t(kind - kVxUserFirst)] == 0)
        return false;
    --users[std::size_t(kind - kVxUserFirst)];
    if (totalUsers() == 0)
        for (Module& m : modules())
            release(m);
    return true;
}

int VXUserCount()
{
    return totalUsers();
}

bool VXModuleLoaded(const char* fileName)
{
    for (const Module& m : modules())
        if (std::strcmp(m.file, fileName) == 0)
            return m.handle != nullptr;
    return false;
}
