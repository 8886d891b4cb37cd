# Run after JUCE's helper has written the LV2 bundle's Turtle files (cmake -DBUNDLE=<folder> -P this):
# corrects what lv2_validate finds wrong in them without touching anything a host keeps in a
# project (plug-in URI, port indices and symbols, parameter and preset URIs, preset state).
#   manifest.ttl  declares the state key the presets use (an undefined property otherwise)
#   dsp.ttl       calls the plug-in a doap:Project, which its doap:maintainer and doap:release
#                 need; drops the empty foaf:mbox <>, which hosts read as the file's own address
#   ui.ttl        ui:noUserResize is a feature, not extension data, and opts:interface is
#                 extension data, not a feature
# Each fix must apply exactly once, or have been applied before: a JUCE that writes these files
# differently stops the build here rather than shipping an unchecked bundle.
cmake_minimum_required(VERSION 3.22)

if(NOT DEFINED BUNDLE OR NOT DEFINED PLUGIN_URI)
    message(FATAL_ERROR "usage: cmake -DBUNDLE=<bundle folder> -DPLUGIN_URI=<uri> -P Lv2TurtleFixes.cmake")
endif()

# Replaces `before` by `after` once in `text`; fails unless `before` is there exactly once or
# `after` is there already.
function(ravlin_ttl_replace text_var file before after)
    set(text "${${text_var}}")
    string(FIND "${text}" "${before}" first)
    string(FIND "${text}" "${before}" last REVERSE)
    if(first EQUAL -1)
        string(FIND "${text}" "${after}" done)
        if(done EQUAL -1)
            message(FATAL_ERROR "${file}: JUCE wrote something unexpected, not found:\n${before}")
        endif()
        return()
    endif()
    if(NOT first EQUAL last)
        message(FATAL_ERROR "${file}: found more than once:\n${before}")
    endif()
    string(REPLACE "${before}" "${after}" text "${text}")
    set(${text_var} "${text}" PARENT_SCOPE)
endfunction()

# Written next to the file and renamed over it, so that a failure leaves the file as it was.
function(ravlin_ttl_write file text)
    file(WRITE "${file}.new" "${text}")
    file(RENAME "${file}.new" "${file}")
endfunction()

set(tab "\t")

set(manifest "${BUNDLE}/manifest.ttl")
file(READ "${manifest}" text)
set(programKey "<${PLUGIN_URI}:Program>")
string(FIND "${text}" "${programKey}\n${tab}a rdf:Property" declared)
if(declared EQUAL -1)
    string(APPEND text
        "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
        "\n"
        "${programKey}\n"
        "${tab}a rdf:Property ;\n"
        "${tab}rdfs:label \"program\" ;\n"
        "${tab}rdfs:comment \"The plug-in program a preset selects, counted from 0.\" ;\n"
        "${tab}rdfs:range xsd:int .\n")
    ravlin_ttl_write("${manifest}" "${text}")
endif()

set(dsp "${BUNDLE}/dsp.ttl")
file(READ "${dsp}" text)
ravlin_ttl_replace(text "${dsp}" "${tab}a lv2:InstrumentPlugin ;\n" "${tab}a lv2:InstrumentPlugin , doap:Project ;\n")
ravlin_ttl_replace(text "${dsp}" "${tab}${tab}foaf:mbox <> ;\n" "")
ravlin_ttl_write("${dsp}" "${text}")

set(ui "${BUNDLE}/ui.ttl")
file(READ "${ui}" text)
ravlin_ttl_replace(text "${ui}"
    "lv2:extensionData\n${tab}${tab}ui:idleInterface ,\n${tab}${tab}opts:interface ,\n${tab}${tab}ui:noUserResize ,\n"
    "lv2:extensionData\n${tab}${tab}ui:idleInterface ,\n${tab}${tab}opts:interface ,\n")
ravlin_ttl_replace(text "${ui}" "${tab}${tab}opts:interface ,\n${tab}${tab}opts:options ;\n" "${tab}${tab}opts:options ;\n")
ravlin_ttl_write("${ui}" "${text}")
