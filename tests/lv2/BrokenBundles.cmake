# Copies of the built LV2 bundle, broken as a packager or a user could break one, for the host
# checks to fail on (cmake -DBUNDLE=<bundle> -DEXTRA_TTL=<file> -DDEST=<folder> -P this):
#   DEST/no-manifest/<bundle>  the whole bundle but its manifest.ttl
#   DEST/bad-turtle/<bundle>   its Turtle files and EXTRA_TTL beside them
cmake_minimum_required(VERSION 3.22)

get_filename_component(name "${BUNDLE}" NAME)
file(REMOVE_RECURSE "${DEST}")

file(COPY "${BUNDLE}" DESTINATION "${DEST}/no-manifest")
file(REMOVE "${DEST}/no-manifest/${name}/manifest.ttl")

file(GLOB turtle "${BUNDLE}/*.ttl")
file(COPY ${turtle} "${EXTRA_TTL}" DESTINATION "${DEST}/bad-turtle/${name}")
