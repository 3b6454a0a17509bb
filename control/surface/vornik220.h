// Public C interface of the Vornik220 BLE GATT client control.
#pragma once

#if defined(__GNUC__)
#define VORNIK_API __attribute__((visibility("default")))
#else
#define VORNIK_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Version of the control as "major.minor.patch"; never null.
VORNIK_API const char* vornik_version(void);

#ifdef __cplusplus
}
#endif
