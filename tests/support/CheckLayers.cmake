# Checks that no source file includes a header of a layer above its own.
#
# The layers, lowest first: instrument <- midi <- library <- core <- ui, and within ui/ its
# folders controls <- keyboard <- panels <- library <- editor. A .h or .cpp under one of them
# (subfolders included) may include "layer/..." headers of its own layer and of those below it
# only. A source directly in ui/, outside its folders, is reported too.
#
#   cmake -DROOT=<tree> [-DKNOWN_UP_EDGES=<file>=<include>,...] -P CheckLayers.cmake
#
# ROOT: the folder holding the layer folders. KNOWN_UP_EDGES: includes that still go up and are
# let through until they are moved, each as "core/File.h=ui/Header.h", separated by commas; one
# that is no longer there fails the check, so that the list only ever shrinks. A source left
# directly in ui/ is known as "ui/File.h=ui/".

cmake_minimum_required(VERSION 3.20)

set(layers instrument midi library core ui/controls ui/keyboard ui/panels ui/library ui/editor)

if(NOT DEFINED ROOT OR NOT IS_DIRECTORY "${ROOT}")
    message(FATAL_ERROR "CheckLayers: ROOT must name the source tree (got \"${ROOT}\")")
endif()

set(known "")
if(KNOWN_UP_EDGES)
    string(REPLACE "," ";" known "${KNOWN_UP_EDGES}")
endif()

set(upEdges "")
set(knownSeen "")
set(scanned 0)
foreach(layer IN LISTS layers)
    list(FIND layers "${layer}" rank)
    file(GLOB_RECURSE sources RELATIVE "${ROOT}" "${ROOT}/${layer}/*.h" "${ROOT}/${layer}/*.cpp")
    foreach(source IN LISTS sources)
        math(EXPR scanned "${scanned} + 1")
        file(STRINGS "${ROOT}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[A-Za-z_]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" header "${line}")
            string(REGEX REPLACE "/.*$" "" headerLayer "${header}")
            if(headerLayer STREQUAL "ui")
                string(REGEX REPLACE "^(ui/[^/]+)/.*$" "\\1" headerLayer "${header}")
            endif()
            list(FIND layers "${headerLayer}" headerRank)
            if(headerRank GREATER rank)
                if("${source}=${header}" IN_LIST known)
                    list(APPEND knownSeen "${source}=${header}")
                else()
                    list(APPEND upEdges "${source} includes \"${header}\": ${layer}/ may not include ${headerLayer}/")
                endif()
            endif()
        endforeach()
    endforeach()
endforeach()

file(GLOB outside RELATIVE "${ROOT}" "${ROOT}/ui/*.h" "${ROOT}/ui/*.cpp")
foreach(source IN LISTS outside)
    if("${source}=ui/" IN_LIST known)
        list(APPEND knownSeen "${source}=ui/")
    else()
        list(APPEND upEdges "${source} lies in ui/ outside its folders")
    endif()
endforeach()

set(stale "")
foreach(edge IN LISTS known)
    if(NOT edge IN_LIST knownSeen)
        list(APPEND stale "${edge}")
    endif()
endforeach()

if(scanned EQUAL 0)
    message(FATAL_ERROR "CheckLayers: no .h or .cpp file under the layer folders of ${ROOT}")
endif()

foreach(edge IN LISTS upEdges)
    message(NOTICE "up a layer: ${edge}")
endforeach()
foreach(edge IN LISTS stale)
    message(NOTICE "known up edge no longer there, take it off the list: ${edge}")
endforeach()

list(LENGTH upEdges upCount)
list(LENGTH stale staleCount)
string(REPLACE ";" " <- " order "${layers}")
if(upCount GREATER 0 OR staleCount GREATER 0)
    message(NOTICE "CheckLayers: ${upCount} include(s) going up a layer, ${staleCount} stale known edge(s), "
                   "in ${scanned} files (${order})")
    message(FATAL_ERROR "CheckLayers failed")
endif()
message(STATUS "CheckLayers: ${scanned} files, no include goes up a layer (${order})")
