# Install rules and the Debian package of the desktop program. Included from
# desktop/CMakeLists.txt after the executable target `trellisk` is defined.
#
#   cmake --install build --prefix /usr          # or DESTDIR=... cmake --install build
#   cmake --build build --target package         # build/trellisk_<version>_<arch>.deb
#
# Packaging needs, besides the build packages: dpkg-dev (dpkg-shlibdeps), file and gzip.

set(TRELLISK_DATA_DIR ${CMAKE_CURRENT_LIST_DIR})

# The install tree's directories get 0755 whatever the builder's umask is.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS trellisk RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripping install (cmake --install --strip, or CPack below) also drops the compiler's
# notes, as Debian's own packaging tools do.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/trellisk\"
                        COMMAND_ERROR_IS_FATAL ANY)
    endif()")

install(FILES ${TRELLISK_DATA_DIR}/trellisk.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TRELLISK_DATA_DIR}/io.github.trellisk.trellisk.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128 256)
    install(FILES ${TRELLISK_DATA_DIR}/icons/hicolor/${size}x${size}/apps/trellisk.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${TRELLISK_DATA_DIR}/icons/hicolor/scalable/apps/trellisk.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Debian keeps manual pages and changelogs gzip-compressed; -n leaves out the name and time
# so that two builds give the same bytes.
set(TRELLISK_GZIPPED_DIR ${CMAKE_CURRENT_BINARY_DIR}/gzipped)
set(TRELLISK_GZIPPED)
foreach(pair "trellisk.1:trellisk.1.gz" "changelog:changelog.gz")
    string(REPLACE ":" ";" pair "${pair}")
    list(GET pair 0 source)
    list(GET pair 1 target)
    add_custom_command(
        OUTPUT ${TRELLISK_GZIPPED_DIR}/${target}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${TRELLISK_GZIPPED_DIR}
        COMMAND gzip -9nc ${TRELLISK_DATA_DIR}/${source} > ${TRELLISK_GZIPPED_DIR}/${target}
        DEPENDS ${TRELLISK_DATA_DIR}/${source}
        VERBATIM)
    list(APPEND TRELLISK_GZIPPED ${TRELLISK_GZIPPED_DIR}/${target})
endforeach()
add_custom_target(trellisk_gzipped_docs ALL DEPENDS ${TRELLISK_GZIPPED})
install(FILES ${TRELLISK_GZIPPED_DIR}/trellisk.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The README stays uncompressed: the About window opens it.
install(FILES ${PROJECT_SOURCE_DIR}/README.md
              ${TRELLISK_DATA_DIR}/copyright
              ${TRELLISK_GZIPPED_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# A stale changelog would describe another version than the package's.
file(STRINGS ${TRELLISK_DATA_DIR}/changelog changelog_head LIMIT_COUNT 1)
string(REPLACE "." "\\." version_pattern "${PROJECT_VERSION}")
if(NOT changelog_head MATCHES "^trellisk \\(${version_pattern}\\) ")
    message(WARNING "desktop/data/changelog does not start with version ${PROJECT_VERSION}: "
                    "add an entry for it")
endif()

# The package. The version comes from project(); Debian reads a version with no revision
# as a native package, hence changelog.gz rather than changelog.Debian.gz.
set(TRELLISK_PACKAGE_MAINTAINER "Trellisk developers <trellisk@example.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trellisk)
set(CPACK_PACKAGE_VENDOR "Trellisk developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "watch folders and report updated, new, deleted and renamed files")
# CPack puts the summary before this as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Trellisk watches a set of folders and reports which files in them were
updated, created, deleted or renamed. It polls each folder tree at an
interval of 1 to 3600 seconds, compares the new snapshot with the previous
one and shows the findings in a log window, whose tables can be saved as
tab-separated text. An icon in the system tray shows whether monitoring is
on. The user interface is in Japanese.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TRELLISK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Dependencies come from the libraries the executable links to, plus the X11 platform
# plugin that Qt loads at run time, which libqt6gui6 only recommends.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
# The Japanese interface needs a CJK font, which a minimal desktop may lack.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-noto-cjk)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
