// One procedure variable per entry point of the image library that the
// program calls. Vxinit fills them when the library is loaded and clears them
// when it is released; a variable whose module or entry point is missing
// stays null, and every caller checks before calling.
#pragma once

#include "VxApi.h"

namespace Vxdllprocs {

// Vx7Com
inline TVXGetImageType VXGetImageType = nullptr;
inline TSetImageSize SetImageSize = nullptr;
inline TVXFreeMemory VXFreeMemory = nullptr;
inline TGetDibPalSize GetDibPalSize = nullptr;
inline T_StretchDIBits _StretchDIBits = nullptr;
inline T_BoxFull _BoxFull = nullptr;
inline T_Box _Box = nullptr;
inline T_Line _Line = nullptr;
inline TSetTermYEN SetTermYEN = nullptr;
inline TGetFullpathFilename GetFullpathFilename = nullptr;
inline TGetPagefromFilename GetPagefromFilename = nullptr;
inline TCutPagefromFilename CutPagefromFilename = nullptr;
inline TGetPathDir GetPathDir = nullptr;
inline TGetPathFileExt GetPathFileExt = nullptr;
inline TGetFileExt GetFileExt = nullptr;
inline TGetFileDateTimeEx GetFileDateTimeEx = nullptr;
inline TIsSetDrive IsSetDrive = nullptr;
inline TDataFileExist DataFileExist = nullptr;
inline TStrRightCopy StrRightCopy = nullptr;
// Vx7Effect
inline TVXResizeEx VXResizeEx = nullptr;
// Vx7File
inline TVXFileType VXFileType = nullptr;
inline TVXFileLoad VXFileLoad = nullptr;
// Vx7VectCom
inline TVXVectorToRaster VXVectorToRaster = nullptr;
inline TVXVectorGdipStart VXVectorGdipStart = nullptr;
inline TVXVectorGdipEnd VXVectorGdipEnd = nullptr;

}  // namespace Vxdllprocs
