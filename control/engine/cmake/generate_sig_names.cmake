# Turns data/bluetooth-sig-names.tsv (kind, 16-bit UUID, name) into the C++
# table of SIG names. Usage: cmake -DTSV=<in> -DOUT=<out.cpp> -P <this>
file(STRINGS "${TSV}" lines ENCODING UTF-8)
list(POP_FRONT lines header)
if(NOT header STREQUAL "kind\tuuid16\tname")
  message(FATAL_ERROR "${TSV}: unexpected header '${header}'")
endif()
set(rows "")
set(count 0)
foreach(line IN LISTS lines)
  if(line STREQUAL "")
    continue()
  endif()
  if(NOT line MATCHES "^(service|characteristic|descriptor)\t([0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f])\t([^\t]+)$")
    message(FATAL_ERROR "${TSV}: bad row '${line}'")
  endif()
  set(kind "${CMAKE_MATCH_1}")
  string(TOUPPER "${CMAKE_MATCH_2}" hex)
  set(name "${CMAKE_MATCH_3}")
  string(REPLACE "\\" "\\\\" name "${name}")
  string(REPLACE "\"" "\\\"" name "${name}")
  if(kind STREQUAL "service")
    set(kind "Service")
  elseif(kind STREQUAL "characteristic")
    set(kind "Characteristic")
  else()
    set(kind "Descriptor")
  endif()
  string(APPEND rows "    {SigKind::${kind}, \"0000${hex}-0000-1000-8000-00805F9B34FB\", \"${name}\"},\n")
  math(EXPR count "${count} + 1")
endforeach()
file(WRITE "${OUT}.tmp"
"// Generated from bluetooth-sig-names.tsv at build time; do not edit.
#include \"sig_names_table.h\"

namespace vornik::detail {

const SigRow kSigRows[] = {
${rows}};
const int kSigRowCount = ${count};

}  // namespace vornik::detail
")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
