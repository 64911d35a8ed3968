// Rendering a metafile in the helper program "pictal-metafile", which lives
// beside the modules. The metafile libraries are old C code: run in their own
// process, a crash or a runaway loop in them only makes the picture
// unreadable.
#pragma once

#include <QColor>
#include <QImage>

#include <cstddef>
#include <string>

namespace vxmodule {

// The helper program's path: the folder of the module (or program) this code
// is linked into, then "/pictal-metafile".
std::string metafileHelperPath();

// The metafile (kind 1 WMF, 2 EMF) drawn at width x height over the
// background, as a Format_RGB32 image. A null image when the size is over
// the metafile limits, or the helper is missing, refuses the picture,
// crashes, answers anything but the picture asked for, or has not ended
// within timeoutMs milliseconds (it is then killed). The helper is always
// reaped.
QImage renderMetafileInHelper(int kind, const unsigned char* data, std::size_t size, int width, int height,
                              QColor background, int timeoutMs = 20000);
// The same with the helper program at path.
QImage renderMetafileWith(const std::string& helper, int kind, const unsigned char* data, std::size_t size,
                          int width, int height, QColor background, int timeoutMs);

}  // namespace vxmodule
