#include "platform/numbers.h"

#include <cmath>
#include <limits>

#include "platform/run_time_error.h"

namespace platform {

Single ToSingle(double value) {
  if (std::isnan(value) || std::fabs(value) > std::numeric_limits<float>::max()) {
    throw RunTimeError(ErrorCode::Overflow, "overflow");
  }
  return static_cast<Single>(value);
}

Integer AddInteger(Integer a, Integer b) {
  const int sum = a + b;
  if (sum < std::numeric_limits<Integer>::min() || sum > std::numeric_limits<Integer>::max()) {
    throw RunTimeError(ErrorCode::Overflow, "overflow");
  }
  return static_cast<Integer>(sum);
}

double Divide(double dividend, double divisor) {
  if (divisor == 0.0) throw RunTimeError(ErrorCode::DivisionByZero, "division by zero");
  return dividend / divisor;
}

std::string FormatTwoDigits(int value) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (digits.size() < 2) digits.insert(0, 1, '0');
  return value < 0 ? "-" + digits : digits;
}

}  // namespace platform
