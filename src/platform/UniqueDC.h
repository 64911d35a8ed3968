// An owning handle for a device context made by CreateImageDC or
// CreateMemoryDC: deleted (DeleteDC) when its owner goes.
#pragma once

#include "Gdi.h"

#include <memory>

struct DeleteDeviceContext {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueDC = std::unique_ptr<DeviceContext, DeleteDeviceContext>;
