#pragma once
// The lobby server's counters as its statistics reply carries them: eight values, each
// followed by "`" (active seconds, five connection and room counts, bytes read and written).
#include <cstdint>
#include <string>
#include <string_view>

class TVexilServerStats {
public:
  // Any field that does not convert raises EConvertError and leaves the counters as they were.
  void LoadFromString(std::string_view Text);
  std::string SaveToString() const;
  // "1 day 1 hr 1 min 1 sec": days, hours and minutes only when above 0, seconds always.
  std::string TimeActiveText() const;

  std::int64_t TimeActive() const { return FTimeActive; }
  void SetTimeActive(std::int64_t V) { FTimeActive = V; }
  std::int32_t CurrentConnections() const { return FCurrentConnections; }
  void SetCurrentConnections(std::int32_t V) { FCurrentConnections = V; }
  std::int32_t TotalConnections() const { return FTotalConnections; }
  void SetTotalConnections(std::int32_t V) { FTotalConnections = V; }
  std::int32_t CurrentSubjects() const { return FCurrentSubjects; }
  void SetCurrentSubjects(std::int32_t V) { FCurrentSubjects = V; }
  std::int32_t TotalSubjects() const { return FTotalSubjects; }
  void SetTotalSubjects(std::int32_t V) { FTotalSubjects = V; }
  std::int32_t PeakConnections() const { return FPeakConnections; }
  void SetPeakConnections(std::int32_t V) { FPeakConnections = V; }
  long double BytesRead() const { return FBytesRead; }
  void SetBytesRead(long double V) { FBytesRead = V; }
  long double BytesWritten() const { return FBytesWritten; }
  void SetBytesWritten(long double V) { FBytesWritten = V; }

private:
  std::int64_t FTimeActive = 0;
  std::int32_t FCurrentConnections = 0;
  std::int32_t FTotalConnections = 0;
  std::int32_t FCurrentSubjects = 0;
  std::int32_t FTotalSubjects = 0;
  std::int32_t FPeakConnections = 0;
  long double FBytesRead = 0;
  long double FBytesWritten = 0;
};
