# nlohmann's JSON library (Debian's nlohmann-json3-dev, header only), for the
# tests and the simulated machine: they read and write JSON with a library
# that is well kept elsewhere, instead of code of their own that every test
# would have to trust. The shipped program keeps its own small writer and
# gains no dependency.
#
# The cross compiler must never search the host's /usr/include, so only the
# library's own folder is linked into the build tree and put on the include
# path (target veltrin_json).
set(veltrin_json_source /usr/include/nlohmann)
if(NOT EXISTS "${veltrin_json_source}/json.hpp")
  message(FATAL_ERROR "${veltrin_json_source}/json.hpp is missing: scripts/install-deps.sh installs nlohmann-json3-dev")
endif()
set(veltrin_json_include "${PROJECT_BINARY_DIR}/third_party/include")
file(MAKE_DIRECTORY "${veltrin_json_include}")
if(NOT EXISTS "${veltrin_json_include}/nlohmann")
  file(CREATE_LINK "${veltrin_json_source}" "${veltrin_json_include}/nlohmann" SYMBOLIC)
endif()
add_library(veltrin_json INTERFACE)
target_include_directories(veltrin_json SYSTEM INTERFACE "${veltrin_json_include}")
