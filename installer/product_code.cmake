# Prints the installer's product code for -DVERSION=… -DARCH=…: the same whenever one release is
# packaged again, and a new one for every version and arch, as Windows Installer's major upgrades
# need. Run with cmake -P.
string(UUID code NAMESPACE 23B19D6A-84A6-4693-B554-F2E3470E7B2D NAME "iconvale-${VERSION}-${ARCH}"
       TYPE SHA1 UPPER)
execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${code}")
