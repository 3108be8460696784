# Installing Blockrise the way a Debian system expects, and packaging it as a .deb.
include(GNUInstallDirs)

# Installing and packaging take what is built and build nothing: otherwise cpack would
# rebuild every target, tests and benchmarks included, before staging the package.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# Where things go, relative to the prefix: the command among the games, the real
# program out of the PATH, the data the game shares between its players.
set(BLOCKRISE_GAMES_DIR "games" CACHE STRING "Folder of the blockrise command")
set(BLOCKRISE_PROGRAM_DIR "${CMAKE_INSTALL_LIBEXECDIR}/blockrise" CACHE STRING
    "Folder of the program the blockrise command starts")
set(BLOCKRISE_DATA_DIR "${CMAKE_INSTALL_DATADIR}/games/blockrise" CACHE STRING
    "Folder of blocks.dat, patches.dat and the default allegro.cfg")

add_subdirectory(${PROJECT_SOURCE_DIR}/tools/patches ${PROJECT_BINARY_DIR}/tools/patches)
add_subdirectory(${PROJECT_SOURCE_DIR}/packaging ${PROJECT_BINARY_DIR}/packaging)

set(CPACK_PACKAGE_NAME "blockrise")
set(CPACK_PACKAGE_VENDOR "Blockrise developers")
# A .invalid domain can never deliver to a stranger; lintian accepts it as a mail host.
# Also the signature of packaging/changelog's entries.
set(CPACK_PACKAGE_CONTACT "Blockrise developers <blockrise-dev@blockrise.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade puzzle game of rising coloured blocks")
# dpkg shows the description in an 80-column terminal: lines of at most 79 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Swap blocks in a rising well to line up three or more of a colour;\n\
every further match before the stack rises again scores double.\n\
For one or two players at one keyboard, with music and a table of the\n\
best scores.")
set(CPACK_GENERATOR "DEB")
# Staged through DESTDIR with the real prefix, so paths worked out while installing
# (the desktop entry's command) are the ones the installed package has.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX "/usr")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# dpkg-shlibdeps turns the program's libraries into runtime packages (liballegro4.4, libc6 ...).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)

if(BLOCKRISE_TESTS)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tests/release ${PROJECT_BINARY_DIR}/tests/release)
endif()
