#pragma once
// Arithmetic with the platform's number types: 16-bit integers and single-precision values.
// Results that leave their type's range raise Overflow; division by zero raises DivisionByZero.
#include <cstdint>
#include <string>

namespace platform {

using Integer = std::int16_t;
using Single = float;

// Rounds a double-precision result to single precision, as an assignment does.
Single ToSingle(double value);
Integer AddInteger(Integer a, Integer b);
double Divide(double dividend, double divisor);
// The number with at least two digits, a leading zero added to a one-digit number ("00").
std::string FormatTwoDigits(int value);

}  // namespace platform
