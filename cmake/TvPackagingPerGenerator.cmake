# Read by cpack for each package it makes: the archive is laid out from its top folder, not /usr.
if(CPACK_GENERATOR STREQUAL "TGZ")
  set(CPACK_PACKAGING_INSTALL_PREFIX "/")
  # Its read-me, at the top folder.
  set(CPACK_INSTALLED_DIRECTORIES "${CPACK_TV_ARCHIVE_EXTRAS};.")
endif()
