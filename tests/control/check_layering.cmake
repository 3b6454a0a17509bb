# The control's layers by their symbols: the engine contains no radio
# backend, the simulated radio needs nothing of the engine, and the surface
# builds no backend itself (it only calls the platform factory).
#
# -DENGINE=libvornik_engine.a -DSIM=libvornik_sim.a -DFACTORY=libvornik_platform_factory.a
# -DSURFACE="libvornik_surface.a;control_exports.o ..."
function(symbols out)
  execute_process(COMMAND nm -C ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "nm failed on ${ARGN}: ${err}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Lines "<address> <type> <name>" of defined symbols, " U <name>" of needed ones.
function(defined_matching text regex out)
  string(REGEX MATCHALL "[0-9a-f]+ [TtWwVvBbDdRr] [^\n]*(${regex})[^\n]*" found "${text}")
  set(${out} "${found}" PARENT_SCOPE)
endfunction()
function(needed_matching text regex out)
  string(REGEX MATCHALL " +U [^\n]*(${regex})[^\n]*" found "${text}")
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

set(backend_names "vornik::sim::|vornik::platform::NoRadioPlatform|vornik::platform::CreatePlatform")

symbols(engine ${ENGINE})
defined_matching("${engine}" "${backend_names}" found)
if(found)
  message(FATAL_ERROR "The engine library contains a backend or the factory:\n${found}")
endif()
needed_matching("${engine}" "${backend_names}" found)
if(found)
  message(FATAL_ERROR "The engine library uses a backend or the factory:\n${found}")
endif()

symbols(sim ${SIM})
defined_matching("${sim}" "vornik::sim::SimRadio::SimRadio" found)
if(NOT found)
  message(FATAL_ERROR "${SIM} does not hold the simulated radio")
endif()
# Any engine function the radio needed would show as an undefined vornik:: name
# outside the radio itself.
string(REGEX MATCHALL " +U vornik::[^\n]*" needed "${sim}")
foreach(entry ${needed})
  if(NOT entry MATCHES "U vornik::sim::")
    message(FATAL_ERROR "The simulated radio needs something of the engine:${entry}")
  endif()
endforeach()

symbols(factory ${FACTORY})
defined_matching("${factory}" "vornik::platform::CreatePlatform" found)
if(NOT found)
  message(FATAL_ERROR "${FACTORY} does not hold the platform factory")
endif()

symbols(surface ${SURFACE})
defined_matching("${surface}" "${backend_names}" found)
if(found)
  message(FATAL_ERROR "The surface contains a backend or the factory:\n${found}")
endif()
needed_matching("${surface}" "vornik::sim::|NoRadioPlatform" found)
if(found)
  message(FATAL_ERROR "The surface builds a backend itself:\n${found}")
endif()
needed_matching("${surface}" "vornik::platform::CreatePlatform" found)
if(NOT found)
  message(FATAL_ERROR "The surface does not take its radio from the platform factory")
endif()
