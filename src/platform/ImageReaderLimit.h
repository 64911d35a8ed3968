// Qt's image readers refuse pictures above an allocation limit that is one
// setting for the whole process. Every reader of pictures here (the image
// library's decoders, the metafile renderer, the framework's bitmaps) checks
// a size limit of its own before decoding, so Qt's limit is lifted once, for
// good, instead of being set and restored around each decode, which readers
// on two threads would race on.
#pragma once

void LiftImageReaderLimit();
