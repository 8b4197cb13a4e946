# A Debian package of what `cmake --install` puts in place. Libraries the
# programs link come from dpkg-shlibdeps; the plugins Qt loads at run time
# (platform, SVG icons) and the TLS library it opens are named by hand.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mireloplus)
set(CPACK_PACKAGE_VENDOR "MIRELO+")
set(CPACK_PACKAGE_CONTACT "MIRELO+ <mireloplus@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "one-time verification codes from your mailboxes in one place")
set(CPACK_PACKAGE_DESCRIPTION
    "Watches IMAP mailboxes, finds the verification code in each new mail, copies it to the clipboard and types it on Ctrl+Shift+V. Keeps a sealed TOTP vault and pushes codes to paired devices.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY mireloplus)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libssl3, libsecret-1-0")
# A Secret Service keeps the mail passwords; without one they stay in the
# owner-only settings file.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, gnome-keyring | kwalletmanager")
include(CPack)
