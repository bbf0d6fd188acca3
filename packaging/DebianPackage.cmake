# The Debian package that `cpack -G DEB` builds from the install rules. Its dependencies are
# the packages of the libraries the program and its modules (lib/zelvo) link, which
# dpkg-shlibdeps finds, plus what those libraries load at run time.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelvo)
set(CPACK_PACKAGE_VENDOR Zelvo)
# A placeholder until the project names its maintainers; .invalid never reaches anyone.
set(CPACK_PACKAGE_CONTACT "Zelvo developers <maintainers@zelvo.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "finds television stations on the internet and plays them")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Zelvo keeps a list of television stations broadcast over the internet, plays the chosen
one in an embedded player (libVLC, with libmpv as the fallback), walks numbered series of
stream addresses, searches web pages for stream links and checks which stations are live.
Its user interface is in Chinese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so no linked library names them: libVLC's demuxers, decoders and X11
# video output. (QtWebEngine's renderer process comes through its library's own dependencies.)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "vlc-plugin-base, vlc-plugin-video-output")
# The window's Chinese captions need a font with CJK glyphs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)
