# kestova_package_metadata(<target> <version>)
#
# Writes the FDO package-metadata note ({"type","name","version"}) into the
# linked file, where the crash reporter reads a module's file version. Needs
# a linker that knows --package-metadata (GNU ld 2.39 and later); without it
# the file has no note and its version reads as unknown.
include(CheckLinkerFlag)
check_linker_flag(CXX "LINKER:--package-metadata=kestova" KESTOVA_HAVE_PACKAGE_METADATA)

function(kestova_package_metadata target version)
  if(NOT KESTOVA_HAVE_PACKAGE_METADATA)
    return()
  endif()
  # One argument for the linker, quoted for the shell the build tool uses.
  target_link_options(${target} PRIVATE
    "SHELL:-Xlinker '--package-metadata={\"type\":\"kestova\",\"name\":\"${target}\",\"version\":\"${version}\"}'")
endfunction()
