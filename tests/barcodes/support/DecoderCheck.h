#pragma once

#include "barcodes/ModuleString.h"

#include <functional>
#include <optional>
#include <string>

// Test support, not a product feature: draws symbols as plain black-on-white pixels with generous quiet zones and
// asks an independent reader (zbarimg, dmtxread, zxing-cpp) what it sees.
namespace DecoderCheck {

// Path of a scratch PNG for this test (removed by the caller when wanted).
std::string scratchPath(const std::string& name);

// A linear symbol: every module `moduleWidth` pixels wide and `height` pixels high, with `quietModules` light
// modules on both sides. Writes a PNG; false when it could not be written.
bool renderLinear(const ModuleString& modules, const std::string& pngPath, int moduleWidth = 3, int height = 120,
    int quietModules = 15);
// A 2-D symbol of rows × columns modules, dark where isDark(row, column) (row 0 on top).
bool renderMatrix(int rows, int columns, const std::function<bool(int, int)>& isDark, const std::string& pngPath,
    int moduleSize = 6, int quietModules = 4);

// What zbarimg reads, one "SYMBOLOGY:data" line per symbol, without the trailing newline; nullopt when zbarimg is
// not installed. Empty when it finds nothing. `raw` passes --raw (data only, no symbology prefix); `options` are
// further zbarimg arguments (such as "-Sean5.enable").
std::optional<std::string> zbarimg(const std::string& pngPath, bool raw = false, const std::string& options = {});
// What dmtxread reads; nullopt when dmtxread is not installed.
std::optional<std::string> dmtxread(const std::string& pngPath);
// The bytes of every Data Matrix symbol the zxing-cpp reader finds (through its Python module, python3-zxing-cpp);
// nullopt when the module is not installed. It reads the 144 × 144 symbol with its check codewords where ISO/IEC
// 16022 places them, which dmtxread does not.
std::optional<std::string> zxingDataMatrix(const std::string& pngPath);
}
