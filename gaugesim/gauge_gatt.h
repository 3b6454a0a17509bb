// The gauge's GATT layout: UUIDs as the program compares them.
#pragma once

namespace quen::gaugesim::gatt {

inline constexpr char kMainService[] = "722383EA-0662-466F-B41F-0FD548267C10";
inline constexpr char kAlternativeService[] = "AAF1D96D-594C-4C53-B1C6-144A1DFDE6D8";
inline constexpr char kCommand[] = "000028CA-0000-1000-8000-00805F9B34FB";
inline constexpr char kTrace[] = "CA28ED7B-0662-466F-B41F-0FD548267C10";
inline constexpr char kMemoryService[] = "3DCF8700-54E8-4FBC-A822-25EC413CA19B";
inline constexpr char kDirectory[] = "3DCF8701-54E8-4FBC-A822-25EC413CA19B";
inline constexpr char kData[] = "3DCF8702-54E8-4FBC-A822-25EC413CA19B";
inline constexpr char kLive[] = "3DCF8703-54E8-4FBC-A822-25EC413CA19B";

}  // namespace quen::gaugesim::gatt
