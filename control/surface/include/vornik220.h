// Public C interface of the Vornik220 BLE GATT client control.
//
// A host creates a control by ProgID or CLSID, calls its members by dispatch
// id (VORNIK_DISPID_*) with arrays of variants, and receives its events
// through one sink callback. Everything happens on the thread that created
// the control; calls from another thread fail with VORNIK_RPC_E_WRONG_THREAD.
//
// Strings cross as UTF-8 with an explicit length (they may hold U+0000).
// The control converts them to and from its engine's bytes through the
// `CodePage` setting: 0 (and 1252) is Windows-1252 with every byte value
// mapped to one character, 65001 is UTF-8, others go through iconv.
//
// Memory: a variant the control fills (a result, an event argument) owns
// its string or byte buffer; release it with vornik_variant_clear. Variants
// the host passes in are only read. Error info strings stay valid until the
// next call into the library on the same thread.
#pragma once

#include <stdint.h>

#if defined(__GNUC__)
#define VORNIK_API __attribute__((visibility("default")))
#else
#define VORNIK_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t vornik_hresult;

// ---- registration data ---------------------------------------------------
#define VORNIK_CLSID "{85400400-F789-11CE-86F8-0020AFD8C6DB}"
#define VORNIK_IID_IVORNIK "{85400401-F789-11CE-86F8-0020AFD8C6DB}"
#define VORNIK_IID_EVENTS "{85400402-F789-11CE-86F8-0020AFD8C6DB}"
#define VORNIK_LIBID "{85400403-F789-11CE-86F8-0020AFD8C6DB}"
#define VORNIK_PROGID "CorvelBLE.Vornik.1"
#define VORNIK_PROGID_INDEPENDENT "CorvelBLE.Vornik"
#define VORNIK_PROGID_LEGACY "CorvelBLE22.Vornik"

// ---- result codes -------------------------------------------------------
#define VORNIK_S_OK ((vornik_hresult)0)
#define VORNIK_S_FALSE ((vornik_hresult)1)
#define VORNIK_E_UNEXPECTED ((vornik_hresult)0x8000FFFF)
#define VORNIK_E_INVALIDARG ((vornik_hresult)0x80070057)
#define VORNIK_E_POINTER ((vornik_hresult)0x80004003)
#define VORNIK_E_FAIL ((vornik_hresult)0x80004005)
#define VORNIK_CLASS_E_CLASSNOTAVAILABLE ((vornik_hresult)0x80040111)
#define VORNIK_REGDB_E_CLASSNOTREG ((vornik_hresult)0x80040154)
#define VORNIK_CO_E_CLASSSTRING ((vornik_hresult)0x800401F3)
#define VORNIK_CO_E_DLLNOTFOUND ((vornik_hresult)0x800401F8)
#define VORNIK_SELFREG_E_CLASS ((vornik_hresult)0x80040201)
#define VORNIK_DISP_E_MEMBERNOTFOUND ((vornik_hresult)0x80020003)
#define VORNIK_DISP_E_TYPEMISMATCH ((vornik_hresult)0x80020005)
#define VORNIK_DISP_E_UNKNOWNNAME ((vornik_hresult)0x80020006)
#define VORNIK_DISP_E_OVERFLOW ((vornik_hresult)0x8002000A)
#define VORNIK_DISP_E_BADPARAMCOUNT ((vornik_hresult)0x8002000E)
#define VORNIK_RPC_E_WRONG_THREAD ((vornik_hresult)0x8001010E)
#define VORNIK_RPC_E_DISCONNECTED ((vornik_hresult)0x80010108)
// Control errors (facility 0x0A): the low word is the error number.
#define VORNIK_CTL_E_OUTOFMEMORY ((vornik_hresult)0x800A0007)
#define VORNIK_CTL_E_INVALIDPROPERTYARRAYINDEX ((vornik_hresult)0x800A017D)
#define VORNIK_CTL_E_SETNOTSUPPORTED ((vornik_hresult)0x800A017F)

// ---- variants -----------------------------------------------------------
// Type tags carry the automation VARTYPE numbers.
#define VORNIK_VT_EMPTY 0
#define VORNIK_VT_I2 2       // 16-bit signed, in `i`
#define VORNIK_VT_I4 3       // 32-bit signed, in `i`
#define VORNIK_VT_STR 8      // UTF-8 text in `data`, `len` bytes (+ a NUL)
#define VORNIK_VT_BOOL 11    // True = -1, False = 0, in `i`
#define VORNIK_VT_BYTES 0x2011 // array of bytes in `data`, `len` bytes

typedef struct vornik_variant {
    int32_t type;
    int32_t i;
    char* data;
    uint32_t len;
    uint32_t reserved;
} vornik_variant;

// Setters release the old contents first and copy the new ones; only use
// them on variants that are empty or filled by the control.
VORNIK_API void vornik_variant_init(vornik_variant* v);
VORNIK_API void vornik_variant_clear(vornik_variant* v);
VORNIK_API vornik_hresult vornik_variant_set_string(vornik_variant* v, const char* utf8, uint32_t len);
VORNIK_API vornik_hresult vornik_variant_set_bytes(vornik_variant* v, const void* bytes, uint32_t len);
VORNIK_API void vornik_variant_set_i2(vornik_variant* v, int16_t value);
VORNIK_API void vornik_variant_set_i4(vornik_variant* v, int32_t value);
VORNIK_API void vornik_variant_set_bool(vornik_variant* v, int value);

// ---- dispatch ids ---------------------------------------------------------
// Properties of IVornik. Indexed ones take the index as first argument.
#define VORNIK_DISPID_ActiveScanning 1
#define VORNIK_DISPID_Characteristic 2
#define VORNIK_DISPID_CharacteristicCount 3
#define VORNIK_DISPID_CharacteristicCachedValue 4
#define VORNIK_DISPID_CharacteristicCanSubscribe 5
#define VORNIK_DISPID_CharacteristicDescription 6
#define VORNIK_DISPID_CharacteristicFlags 7
#define VORNIK_DISPID_CharacteristicId 8
#define VORNIK_DISPID_CharacteristicSubscribed 9
#define VORNIK_DISPID_CharacteristicUserDescription 10
#define VORNIK_DISPID_CharacteristicUuid 11
#define VORNIK_DISPID_CharacteristicValueExponent 12
#define VORNIK_DISPID_CharacteristicValueFormat 13
#define VORNIK_DISPID_CharacteristicValueFormatCount 14
#define VORNIK_DISPID_CharacteristicValueFormatIndex 15
#define VORNIK_DISPID_CharacteristicValueUnit 16
#define VORNIK_DISPID_DescriptorCount 17
#define VORNIK_DISPID_DescriptorCachedValue 18
#define VORNIK_DISPID_DescriptorDescription 19
#define VORNIK_DISPID_DescriptorId 20
#define VORNIK_DISPID_DescriptorUuid 21
#define VORNIK_DISPID_Scanning 22
#define VORNIK_DISPID_ServerId 23
#define VORNIK_DISPID_ServerName 24
#define VORNIK_DISPID_Service 25
#define VORNIK_DISPID_ServiceCount 26
#define VORNIK_DISPID_ServiceDescription 27
#define VORNIK_DISPID_ServiceId 28
#define VORNIK_DISPID_ServiceIncludedSvcIds 29
#define VORNIK_DISPID_ServiceParentSvcIds 30
#define VORNIK_DISPID_ServiceUuid 31
#define VORNIK_DISPID_Timeout 32
#define VORNIK_DISPID_CharacteristicCachedValueB 33
#define VORNIK_DISPID_DescriptorCachedValueB 34
#define VORNIK_DISPID_AdvertisementManufacturerDataB 35
#define VORNIK_DISPID_ValueValueB 36

// Methods of IVornik, parameters in the order given.
#define VORNIK_DISPID_AboutBox (-552)
#define VORNIK_DISPID_OnStartPage 500            // (unknown) - ignored
#define VORNIK_DISPID_OnEndPage 501
#define VORNIK_DISPID_CheckCharacteristicSubscribed 502 // (index) -> bool
#define VORNIK_DISPID_Config 503                 // (ConfigurationString) -> str
#define VORNIK_DISPID_Connect 504                // (ServerId)
#define VORNIK_DISPID_Disconnect 505
#define VORNIK_DISPID_Discover 506 // (ServiceUuids, CharacteristicUuids, DiscoverDescriptors, IncludedByServiceId)
#define VORNIK_DISPID_DiscoverCharacteristics 507 // (ServiceId, CharacteristicUuids)
#define VORNIK_DISPID_DiscoverDescriptors 508     // (ServiceId, CharacteristicId)
#define VORNIK_DISPID_DiscoverServices 509        // (ServiceUuids, IncludedByServiceId)
#define VORNIK_DISPID_DoEvents 510
#define VORNIK_DISPID_PostValue 511               // (ServiceId, CharacteristicId, Value)
#define VORNIK_DISPID_QueryCharacteristicCachedVal 512 // (index) -> str
#define VORNIK_DISPID_QueryDescriptorCachedVal 513     // (index) -> str
#define VORNIK_DISPID_ReadValue 514   // (ServiceId, CharacteristicId, DescriptorId) -> str
#define VORNIK_DISPID_Select 515      // (ServiceId, CharacteristicId)
#define VORNIK_DISPID_StartScanning 516 // (ServiceUuids)
#define VORNIK_DISPID_StopScanning 517
#define VORNIK_DISPID_Subscribe 518   // (ServiceId, CharacteristicId)
#define VORNIK_DISPID_Unsubscribe 519 // (ServiceId, CharacteristicId)
#define VORNIK_DISPID_WriteValue 520  // (ServiceId, CharacteristicId, DescriptorId, Value)

// Events of _IVornikEvents; every argument is passed by reference.
#define VORNIK_EVENT_Advertisement 1 // ServerId, Name, RSSI, TxPower, ServiceUuids, ServicesWithData,
                                     // SolicitedServiceUuids, ManufacturerCompanyId, ManufacturerData,
                                     // IsConnectable, IsScanResponse
#define VORNIK_EVENT_Connected 2     // StatusCode, Description
#define VORNIK_EVENT_Disconnected 3  // StatusCode, Description
#define VORNIK_EVENT_Discovered 4    // GattType, ServiceId, CharacteristicId, DescriptorId, Uuid, Description
#define VORNIK_EVENT_Error 5         // ErrorCode, Description
#define VORNIK_EVENT_Log 6           // LogLevel, Message, LogType
#define VORNIK_EVENT_ServerUpdate 7  // Name, ChangedServices
#define VORNIK_EVENT_StartScan 8     // ServiceUuids
#define VORNIK_EVENT_StopScan 9      // ErrorCode, ErrorDescription
#define VORNIK_EVENT_Subscribed 10   // ServiceId, CharacteristicId, Uuid, Description
#define VORNIK_EVENT_Unsubscribed 11 // ServiceId, CharacteristicId, Uuid, Description
#define VORNIK_EVENT_Value 12        // ServiceId, CharacteristicId, DescriptorId, Uuid, Description, Value
#define VORNIK_EVENT_WriteResponse 13 // ServiceId, CharacteristicId, DescriptorId, Uuid, Description

// Invoke kinds (may be combined, as late-bound callers do for get/method).
#define VORNIK_INVOKE_METHOD 1
#define VORNIK_INVOKE_PROPERTYGET 2
#define VORNIK_INVOKE_PROPERTYPUT 4

// Enumeration ValueFormats: the presentation format codes 1 to 27.
enum vornik_value_formats {
    vfUndefined = 0, vfBoolean, vf2Bit, vfNibble, vfUInt8, vfUInt12, vfUInt16,
    vfUInt24, vfUInt32, vfUInt48, vfUInt64, vfUInt128, vfSInt8, vfSInt12,
    vfSInt16, vfSInt24, vfSInt32, vfSInt48, vfSInt64, vfSInt128, vfFloat32,
    vfFloat64, vfSFloat, vfFloat, vfDUInt16, vfUtf8Str, vfUtf16Str, vfStruct
};
// Name ("vfUInt8") and help string ("UInt 8") of a value format, or null.
VORNIK_API const char* vornik_value_format_name(int32_t format);
VORNIK_API const char* vornik_value_format_help(int32_t format);

// ---- controls -------------------------------------------------------------
typedef struct vornik_control vornik_control;

// Creates a control for a ProgID or a CLSID string ("{8540...}").
VORNIK_API vornik_hresult vornik_create(const char* progid_or_clsid, vornik_control** out);
// Reference counting, on the creating thread only (elsewhere: no change,
// 0). Releasing the last reference inside an event defers the destruction
// until the control's outermost call has returned.
VORNIK_API uint32_t vornik_add_ref(vornik_control* ctl);
VORNIK_API uint32_t vornik_release(vornik_control* ctl);

// Dispatch id of a member or event name (any case), as GetIDsOfNames does.
VORNIK_API vornik_hresult vornik_get_dispid(const char* name, int32_t* dispid);

// Calls a member. `args` in parameter order (indexed properties: the index
// first; property put: the new value last). `result` may be null; on
// success it is overwritten (not freed first) and the caller clears it.
// Strings are taken for numbers and flags when they spell one ("5",
// "True"); a byte array given for a string reaches the engine untouched.
VORNIK_API vornik_hresult vornik_invoke(vornik_control* ctl, int32_t dispid, int32_t kind,
                                        const vornik_variant* args, int32_t arg_count,
                                        vornik_variant* result);

// The one event sink. Arguments come in parameter order and are passed by
// reference: a sink may change them with the vornik_variant_set_* calls and
// the control reads them back. Passing a null sink disconnects it. A sink
// may call the control again (re-entrantly) but must not throw or unwind.
typedef void (*vornik_event_sink)(void* context, int32_t dispid, vornik_variant* args, int32_t arg_count);
VORNIK_API vornik_hresult vornik_advise(vornik_control* ctl, vornik_event_sink sink, void* context);

// Host integration. The descriptor becomes readable when platform work is
// pending; the host then calls DoEvents (or vornik_do_events). The pump
// hook is called in every round of the control's wait loop while
// UseWindowsMessages is True, so the host's own events keep flowing.
//
// Nesting is bounded: a host that calls DoEvents or a blocking member from
// an event handler (or from the pump hook) runs the control's wait loop
// inside itself. Up to 8 levels deep such rounds raise events as usual;
// deeper ones only complete the control's own requests, while the events
// that arrive meanwhile (values, advertisements, link changes) are held
// and delivered, in order, by the outer rounds. The pump hook is not
// called beyond that depth either.
typedef void (*vornik_pump_hook)(void* context);
VORNIK_API int vornik_event_fd(vornik_control* ctl);
VORNIK_API vornik_hresult vornik_do_events(vornik_control* ctl);
VORNIK_API vornik_hresult vornik_set_pump_hook(vornik_control* ctl, vornik_pump_hook hook, void* context);

// Ends every wait of the control now in progress: the blocking call fails
// with error 301 "Interrupted." (number 20302). With Timeout 0 (no time
// limit) this is the way out of a request that never completes. May be
// called from any thread and from a signal handler (it only writes to the
// control's wake-up descriptor), as long as the host still holds a
// reference. Waits also end when the link they work on changes (Disconnect
// from an event or the pump hook: error 605) and when the last reference
// is released inside an event.
VORNIK_API vornik_hresult vornik_interrupt(vornik_control* ctl);

// ---- error info -----------------------------------------------------------
typedef struct vornik_error_info {
    vornik_hresult hresult;
    int32_t number;          // as a late-bound caller sees it (code + 20001 ...)
    const char* description; // never null
    const char* source;
    const char* help_file;
    int32_t help_context;
} vornik_error_info;

// Error of the last failed call on this thread: S_OK when there is one,
// S_FALSE (and an empty record) when the last call succeeded.
VORNIK_API vornik_hresult vornik_get_error_info(vornik_error_info* out);

// ---- registration and class objects --------------------------------------
// System-wide registration (first folder of $XDG_DATA_DIRS).
VORNIK_API vornik_hresult DllRegisterServer(void);
VORNIK_API vornik_hresult DllUnregisterServer(void);
// Per-user registration with cmdline "user" ($XDG_DATA_HOME); anything
// else registers system-wide.
VORNIK_API vornik_hresult DllInstall(int32_t install, const char* cmdline);

typedef struct vornik_class_factory {
    vornik_hresult (*create_instance)(vornik_control** out);
    vornik_hresult (*lock_server)(int32_t lock);
} vornik_class_factory;
VORNIK_API vornik_hresult DllGetClassObject(const char* clsid, const vornik_class_factory** out);
// S_OK when no control and no server lock is alive, else S_FALSE.
VORNIK_API vornik_hresult DllCanUnloadNow(void);

// Version of the control as "major.minor.patch"; never null.
VORNIK_API const char* vornik_version(void);

#ifdef __cplusplus
}
#endif
