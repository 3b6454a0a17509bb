# The program and vornikctl reach the control only through the module they
# load: neither needs a symbol of the control's C interface at link time,
# nor holds anything of the surface or the engine.
#   cmake -DHOSTS="libqc_core.a;vornikctl" -P check_late_binding.cmake
foreach(host IN LISTS HOSTS)
  execute_process(COMMAND nm -C ${host} OUTPUT_VARIABLE text RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "nm failed on ${host}: ${err}")
  endif()
  string(REGEX MATCHALL "[ \t]U (vornik_|Dll)[^\n]*" needed "${text}")
  if(needed)
    message(FATAL_ERROR "${host} links the control's C interface instead of loading it:\n${needed}")
  endif()
  string(REGEX MATCHALL "[^\n]*vornik::(surface|BleEngine)[^\n]*" inner "${text}")
  if(inner)
    message(FATAL_ERROR "${host} holds or needs the control's inner parts:\n${inner}")
  endif()
endforeach()
