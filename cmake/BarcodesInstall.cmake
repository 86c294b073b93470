# `cmake --install` installs the framework for programs outside this tree: every module's library (lib/), its
# headers (include/Barcodes/, at their paths in this tree), the framework's resource bundles
# (share/Barcodes/resources/), a CMake package (lib/cmake/Barcodes/: find_package(Barcodes) gives Barcodes::<module>)
# and one pkg-config file per module (lib/pkgconfig/barcodes-<module>.pc). The application, the tests, the benchmarks
# and the fuzz targets are not installed. docs/using-the-framework.md shows how a program uses the installed copy.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(BARCODES_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/Barcodes)
set(BARCODES_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Barcodes)
set(BARCODES_INSTALL_RESOURCEDIR ${CMAKE_INSTALL_DATADIR}/Barcodes/resources)
# The bundles the libraries read their texts, pictures and interface files from; the application's bundle and the
# tests' are not the framework's.
set(BARCODES_FRAMEWORK_BUNDLES Foundation ZORFramework QFFlowView)
# An installed foundation library finds the bundles by this path from its own folder, so the installed tree may be
# moved as a whole and never reads the source tree's resources (platform/foundation/files/Bundle.cpp).
file(RELATIVE_PATH BARCODES_RESOURCES_FROM_LIBRARY ${CMAKE_INSTALL_FULL_LIBDIR}
    ${CMAKE_INSTALL_PREFIX}/${BARCODES_INSTALL_RESOURCEDIR})

# What a module's headers need of other packages, which the libraries link publicly: the pkg-config name of each
# imported target. BarcodesConfig.cmake.in finds the same packages for CMake programs.
set(BARCODES_PUBLIC_DEPENDENCY_fmt::fmt fmt)
set(BARCODES_PUBLIC_DEPENDENCY_PkgConfig::POLYCLIPPING polyclipping)

# Called by barcodes_module: the library, with its siblings found beside it ($ORIGIN: an installed library's
# dependencies are the framework's other libraries), its headers (every header below DIR but the EXCLUDED subfolders,
# which are modules of their own) and the source that references its anchor.
function(_barcodes_install_module name dir anchor_reference excluded)
    set_target_properties(${name} PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS ${name} EXPORT BarcodesTargets LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
    install(FILES ${anchor_reference} DESTINATION ${BARCODES_INSTALL_CMAKEDIR}/anchors)
    file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${dir}/*.h)
    foreach(subfolder ${excluded})
        list(FILTER headers EXCLUDE REGEX "^${dir}/${subfolder}/")
    endforeach()
    # One rule per folder, so that no folder without headers is made.
    set(folders)
    foreach(header ${headers})
        get_filename_component(folder ${header} DIRECTORY)
        file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${folder})
        list(APPEND folders ${folder})
        list(APPEND headers_in_${folder} ${header})
    endforeach()
    list(REMOVE_DUPLICATES folders)
    foreach(folder ${folders})
        install(FILES ${headers_in_${folder}} DESTINATION ${BARCODES_INSTALL_INCLUDEDIR}/${folder})
    endforeach()
endfunction()

# Writes barcodes-NAME.pc for the module NAME. Requires names the modules and packages it links publicly, so a program
# that asks for one module gets what it stands on. Each library is linked with --no-as-needed, in one fragment of its
# own: its classes register themselves when it loads, and a program may name them only in interface files, which a
# linker that drops unreferenced libraries (--as-needed) would not see. pkg-config merges repeated flags across
# packages, which would break separate --push-state/--pop-state pairs; one fragment per library is left whole.
function(_barcodes_write_pkg_config name modules)
    get_target_property(linked ${name} INTERFACE_LINK_LIBRARIES)
    set(requires)
    foreach(item IN LISTS linked)
        if(item IN_LIST modules)
            list(APPEND requires barcodes-${item})
        elseif(DEFINED BARCODES_PUBLIC_DEPENDENCY_${item})
            list(APPEND requires ${BARCODES_PUBLIC_DEPENDENCY_${item}})
        elseif(item)
            message(FATAL_ERROR "${name} links ${item} publicly: name its pkg-config package in "
                "cmake/BarcodesInstall.cmake and find it in cmake/BarcodesConfig.cmake.in")
        endif()
    endforeach()
    list(REMOVE_DUPLICATES requires)
    list(JOIN requires " " requires)
    # Paths from the file's own folder: the prefix may be chosen when installing (cmake --install --prefix).
    file(RELATIVE_PATH prefix ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
    string(REGEX REPLACE "/$" "" prefix ${prefix})
    file(RELATIVE_PATH libdir ${CMAKE_INSTALL_PREFIX} ${CMAKE_INSTALL_FULL_LIBDIR})
    file(RELATIVE_PATH includedir ${CMAKE_INSTALL_PREFIX} ${CMAKE_INSTALL_PREFIX}/${BARCODES_INSTALL_INCLUDEDIR})
    set(file ${CMAKE_BINARY_DIR}/pkgconfig/barcodes-${name}.pc)
    file(CONFIGURE OUTPUT ${file} @ONLY CONTENT [[
prefix=${pcfiledir}/@prefix@
libdir=${prefix}/@libdir@
includedir=${prefix}/@includedir@

Name: barcodes-@name@
Description: The @name@ module of the Barcodes application framework
Version: @PROJECT_VERSION@
Requires: @requires@
Cflags: -I${includedir}
Libs: -L${libdir} -Wl,--push-state,--no-as-needed,-l@name@,--pop-state
]])
    install(FILES ${file} DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()

# Called once at the end of the top CMakeLists.txt, when every module and its links are known.
function(barcodes_install_package)
    get_property(modules GLOBAL PROPERTY BARCODES_MODULES)
    foreach(module ${modules})
        _barcodes_write_pkg_config(${module} "${modules}")
    endforeach()
    foreach(bundle ${BARCODES_FRAMEWORK_BUNDLES})
        install(DIRECTORY ${BARCODES_RESOURCE_DIR}/${bundle} DESTINATION ${BARCODES_INSTALL_RESOURCEDIR})
    endforeach()
    install(EXPORT BarcodesTargets NAMESPACE Barcodes:: DESTINATION ${BARCODES_INSTALL_CMAKEDIR})
    configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/BarcodesConfig.cmake.in
        ${CMAKE_BINARY_DIR}/BarcodesConfig.cmake INSTALL_DESTINATION ${BARCODES_INSTALL_CMAKEDIR})
    write_basic_package_version_file(${CMAKE_BINARY_DIR}/BarcodesConfigVersion.cmake
        COMPATIBILITY SameMajorVersion)
    install(FILES ${CMAKE_BINARY_DIR}/BarcodesConfig.cmake ${CMAKE_BINARY_DIR}/BarcodesConfigVersion.cmake
        DESTINATION ${BARCODES_INSTALL_CMAKEDIR})
endfunction()
