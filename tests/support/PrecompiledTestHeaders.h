// The headers nearly every test translation unit includes, precompiled once per build and reused by every test
// target (barcodes_test_precompiled_headers in cmake/BarcodesHelpers.cmake). Only the standard library, GoogleTest,
// fmt and the foundation, which every test binary links: a header added here is seen by every test, so a module's
// own headers stay with the tests that include them.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

#include <fmt/format.h>

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/RunLoop.h"
