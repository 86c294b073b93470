#pragma once

// Measurements are stored in single precision: the single-precision value nearest to the exact length, as a double.
inline double single(double exact)
{
    return static_cast<float>(exact);
}
