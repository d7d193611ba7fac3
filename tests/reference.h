// The bitmap resolution rule as the floating-point steps that define it:
// ppm x 0.001, then x 25.4, then + 0.5, each rounded to a 64-bit
// significand, then cut toward zero.
#ifndef VELMOR_REFERENCE_H
#define VELMOR_REFERENCE_H

#include <cfloat>
#include <cstdint>

// True where long double arithmetic really keeps a 64-bit significand (x87
// with its precision set to extended), the only place the steps are exact.
inline bool haveExtendedPrecision()
{
    volatile long double one = 1.0L;
    volatile long double tiny = 0x1p-63L;
    return LDBL_MANT_DIG == 64 && one + tiny != one;
}

// The double values nearest 0.001 and 25.4, written in hexadecimal: a
// decimal literal on x87 may keep the precision of long double (GCC 13 and
// later, FLT_EVAL_METHOD 2), which is not the double the rule names.
constexpr double kMilli = 0x1.0624dd2f1a9fcp-10;
constexpr double kMmPerInch = 0x1.9666666666666p+4;
// The double nearest 2.54, for densities per centimetre.
constexpr double kCmPerInch = 0x1.451eb851eb852p+1;

inline int referenceDPI(std::int32_t ppm)
{
    volatile long double t1 = ppm * static_cast<long double>(kMilli);
    volatile long double t2 = t1 * static_cast<long double>(kMmPerInch);
    volatile long double t3 = t2 + 0.5L;
    return static_cast<int>(t3);
}

#endif
