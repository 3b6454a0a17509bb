# The control must stand alone: no Qt, no application code, and an exported
# C entry point.
execute_process(COMMAND ldd ${LIB} OUTPUT_VARIABLE deps RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "ldd failed on ${LIB}")
endif()
if(deps MATCHES "libQt6")
  message(FATAL_ERROR "${LIB} depends on Qt:\n${deps}")
endif()
execute_process(COMMAND nm -D --defined-only ${LIB} OUTPUT_VARIABLE syms)
foreach(sym vornik_version vornik_create vornik_add_ref vornik_release vornik_get_dispid
            vornik_invoke vornik_advise vornik_event_fd vornik_do_events vornik_set_pump_hook vornik_interrupt
            vornik_get_error_info vornik_variant_init vornik_variant_clear vornik_variant_set_string
            vornik_variant_set_bytes vornik_variant_set_i2 vornik_variant_set_i4 vornik_variant_set_bool
            vornik_value_format_name vornik_value_format_help
            DllRegisterServer DllUnregisterServer DllInstall DllGetClassObject DllCanUnloadNow)
  if(NOT syms MATCHES " T ${sym}\n")
    message(FATAL_ERROR "${LIB} does not export ${sym}")
  endif()
endforeach()
# Only the C interface leaves the library: no C++ symbol of the engine or
# the surface.
string(REGEX MATCHALL " [TWBDVR] [^\n]+" exported "${syms}")
foreach(entry ${exported})
  if(NOT entry MATCHES " [TWBDVR] (vornik_|Dll)")
    message(FATAL_ERROR "${LIB} exports more than its C interface:${entry}")
  endif()
endforeach()
if(syms MATCHES "qc[0-9]+frmTransfer|_ZN2qc")
  message(FATAL_ERROR "${LIB} exports application symbols")
endif()
