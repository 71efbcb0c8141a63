#pragma once

namespace corvale {

// GetLocalTime, the fields a log line shows.
struct LocalTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
};

class Win32Clock final : public Clock {
 public:
  LocalTime Now() override;
};

}  // namespace corvale
