// The gauge's GATT identifiers, compared exactly as written (upper case)
// with the Uuid argument of the control's Discovered event.
#pragma once

namespace qc::gatt {

inline constexpr char kServiceMain[] = "722383EA-0662-466F-B41F-0FD548267C10";      // ServiceMI
inline constexpr char kServiceAlt[] = "AAF1D96D-594C-4C53-B1C6-144A1DFDE6D8";       // other models
inline constexpr char kCharCommand[] = "000028CA-0000-1000-8000-00805F9B34FB";      // CharQuen
inline constexpr char kCharTrace[] = "CA28ED7B-0662-466F-B41F-0FD548267C10";        // CharMeasure
inline constexpr char kServiceMemory[] = "3DCF8700-54E8-4FBC-A822-25EC413CA19B";
inline constexpr char kCharMemDir[] = "3DCF8701-54E8-4FBC-A822-25EC413CA19B";
inline constexpr char kCharMemData[] = "3DCF8702-54E8-4FBC-A822-25EC413CA19B";
inline constexpr char kCharLive[] = "3DCF8703-54E8-4FBC-A822-25EC413CA19B";

// Discovered event GattType values.
inline constexpr short kGattService = 0;
inline constexpr short kGattCharacteristic = 1;

} // namespace qc::gatt
