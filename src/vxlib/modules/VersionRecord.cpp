#include "VersionRecord.h"

#if !defined(PICTAL_VERSION_MAJOR) || !defined(PICTAL_VERSION_MINOR) || !defined(PICTAL_VERSION_PATCH) || \
    !defined(PICTAL_VERSION_TWEAK)
#error "the module's version numbers are compile definitions"
#endif

#define PICTAL_TEXT_(x) #x
#define PICTAL_TEXT(x) PICTAL_TEXT_(x)
#define PICTAL_VERSION_TEXT                                                                  \
    PICTAL_TEXT(PICTAL_VERSION_MAJOR) "." PICTAL_TEXT(PICTAL_VERSION_MINOR) "." PICTAL_TEXT( \
        PICTAL_VERSION_PATCH) "." PICTAL_TEXT(PICTAL_VERSION_TWEAK)

static_assert(PICTAL_VERSION_MAJOR <= 0xFFFF && PICTAL_VERSION_MINOR <= 0xFFFF && PICTAL_VERSION_PATCH <= 0xFFFF &&
              PICTAL_VERSION_TWEAK <= 0xFFFF, "each version number fits in 16 bits");
static_assert(sizeof(PICTAL_VERSION_TEXT) <= sizeof(PICTAL_VERSION_RECORD::szFileVersion));

// Kept by the compiler and the linker although nothing refers to it.
extern "C" __attribute__((section(".pictal_version"), used, retain))
const PICTAL_VERSION_RECORD pictal_module_version = {
    PICTAL_VERSION_MAGIC,
    sizeof(PICTAL_VERSION_RECORD),
    (PICTAL_VERSION_MAJOR << 16) | PICTAL_VERSION_MINOR,
    (PICTAL_VERSION_PATCH << 16) | PICTAL_VERSION_TWEAK,
    (PICTAL_VERSION_MAJOR << 16) | PICTAL_VERSION_MINOR,
    (PICTAL_VERSION_PATCH << 16) | PICTAL_VERSION_TWEAK,
    PICTAL_VERSION_LANGUAGE,
    PICTAL_VERSION_CODEPAGE,
    PICTAL_VERSION_TEXT,
    PICTAL_VERSION_TEXT,
};
