# Read by cpack for each package it makes: the archive is laid out from its top folder, not /usr.
if(CPACK_GENERATOR STREQUAL "TGZ")
  set(CPACK_PACKAGING_INSTALL_PREFIX "/")
endif()
