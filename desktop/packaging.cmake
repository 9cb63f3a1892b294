# The Debian package, made by CPack (tools/package runs it). Its dependencies are computed
# from the installed executables by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velunka)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The VELUNKA developers")
set(CPACK_PACKAGE_CONTACT "The VELUNKA developers <maintainers@velunka.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade game of a ship among soft swarms of balls")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Your ship always faces the mouse pointer; push it around with the keys and hold\n\
the left mouse button to fire into the soft, fluid-like swarms of balls that items\n\
emit. Each wave brings one more item; collect items for points, weapon upgrades and\n\
shield. Every sound effect is synthesized by the game itself.\n\
.\n\
Also contains velunka-sfx, which renders, describes and plays the game's sound\n\
definitions.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
