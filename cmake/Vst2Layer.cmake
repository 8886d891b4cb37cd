# Builds the VST 2.4 interface headers that JUCE includes as
# pluginterfaces/vst2.x/aeffect.h and aeffectx.h, on top of Debian's fst-dev.
#
# fst.h declares VstSpeakerArrangement with a flexible array of speakers, but
# every VST 2.4 host and JUCE itself (wrapper and hosting code) treat it as a
# struct with 8 speakers inline and allocate it with sizeof().  With the
# flexible array, sizeof() is 8 and a host asking for the arrangement overruns
# the heap, so the copy used here gets the real layout: 8 + 8 * 112 = 904 bytes.
# VstPinProperties likewise lacks its 48 reserved bytes at the end (128 bytes in all); JUCE
# writes one byte past shortLabel into them, which overflows a host's struct without them.

set(RAVLIN_VST2_TEMPLATES "${CMAKE_CURRENT_LIST_DIR}/vst2")
set(RAVLIN_FST_HEADER "/usr/include/pluginterfaces/fst/fst.h" CACHE FILEPATH "fst.h from Debian's fst-dev")

# Replaces one declaration, and stops the build if fst.h has changed under it.
macro(ravlin_fix_fst text old new what)
    string(FIND "${${text}}" "${old}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "fst.h no longer has the expected ${what} declaration; check the layout by hand")
    endif()
    string(REPLACE "${old}" "${new}" ${text} "${${text}}")
endmacro()

function(ravlin_make_vst2_layer out_dir)
    if(NOT EXISTS "${RAVLIN_FST_HEADER}")
        message(FATAL_ERROR "fst.h not found at ${RAVLIN_FST_HEADER}: install Debian's fst-dev")
    endif()

    file(READ "${RAVLIN_FST_HEADER}" fst)
    ravlin_fix_fst(fst "t_fstSpeakerProperties speakers[];" "t_fstSpeakerProperties speakers[8];" "speaker arrangement")
    ravlin_fix_fst(fst "  char shortLabel[8];\n} FST_UNKNOWN(t_fstPinProperties);"
                   "  char shortLabel[8];\n  char future[48];\n} FST_UNKNOWN(t_fstPinProperties);" "pin properties")

    # The pin flags are left at 0 in fst.h; hosts read stereo pairs from them.
    ravlin_fix_fst(fst "FST_FLAG_UNKNOWN(PinIsActive)" "FST_FLAG(PinIsActive, 0)" "pin flag")
    ravlin_fix_fst(fst "FST_FLAG_UNKNOWN(PinIsStereo)" "FST_FLAG(PinIsStereo, 1)" "pin flag")
    ravlin_fix_fst(fst "FST_FLAG_UNKNOWN(PinUseSpeaker)" "FST_FLAG(PinUseSpeaker, 2)" "pin flag")

    # fst.h reminds its own authors of open questions with #warning; hosts' builds need not see them.
    string(REGEX REPLACE "\n# *warning [^\n]*" "\n" fst "${fst}")

    set(dir "${out_dir}/pluginterfaces/vst2.x")
    file(MAKE_DIRECTORY "${dir}")
    file(WRITE "${dir}/fst.h.new" "${fst}")
    file(COPY_FILE "${dir}/fst.h.new" "${dir}/fst.h" ONLY_IF_DIFFERENT)
    file(REMOVE "${dir}/fst.h.new")

    foreach(name aeffect aeffectx)
        configure_file("${RAVLIN_VST2_TEMPLATES}/${name}.h.in" "${dir}/${name}.h" @ONLY)
    endforeach()
endfunction()
