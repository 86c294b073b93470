// The headers most fuzz targets include, precompiled once per build and reused by every fuzz target
// (barcodes_precompiled_headers in cmake/BarcodesHelpers.cmake). Only the standard library and the foundation, which
// every target links: a header added here is seen by every target.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/RunLoop.h"
