# The release zip, made by cpack: VeltrinLighting-<version>-win64.zip (CPack
# names it after the project, its version and the target system). It holds
# the program, the README and the licence, and nothing else: only the
# "program" component is packed, and the test programs and the simulated
# machine belong to no install rule at all.

install(TARGETS VeltrinLighting RUNTIME DESTINATION . COMPONENT program)
install(FILES README.md LICENSE DESTINATION . COMPONENT program)

set(CPACK_GENERATOR ZIP)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# One archive holding the listed components; the file name stays as above.
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL program)
# Debug symbols stay in the build tree; the packed program goes without them.
set(CPACK_STRIP_FILES ON)
include(CPack)
