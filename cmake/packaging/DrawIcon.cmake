# Draws the application's icon as an SVG: a dark panel between two wooden end cheeks, a display
# with a waveform, twelve knobs and a keyboard of two octaves.
# Run as: cmake -DOUT=<file.svg> -P DrawIcon.cmake
if(NOT OUT)
    message(FATAL_ERROR "DrawIcon.cmake needs -DOUT=<file.svg>")
endif()

set(svg "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n")
string(APPEND svg "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"128\" height=\"128\" viewBox=\"0 0 128 128\">\n")
# End cheeks and panel.
string(APPEND svg "  <rect x=\"2\" y=\"10\" width=\"124\" height=\"108\" rx=\"10\" fill=\"#7a4a24\"/>\n")
string(APPEND svg "  <rect x=\"12\" y=\"10\" width=\"104\" height=\"108\" fill=\"#1c1f24\"/>\n")
# Display with a sawtooth and a sine.
string(APPEND svg "  <rect x=\"20\" y=\"16\" width=\"88\" height=\"28\" rx=\"3\" fill=\"#0c0f12\" stroke=\"#3a4048\"/>\n")
string(APPEND svg "  <polyline points=\"26,38 44,22 44,38 62,22 62,38\" fill=\"none\" stroke=\"#ff8c1a\"")
string(APPEND svg " stroke-width=\"2.5\" stroke-linejoin=\"round\"/>\n")
string(APPEND svg "  <path d=\"M68 30 C73 16 79 16 84 30 S95 44 100 30\" fill=\"none\" stroke=\"#ff8c1a\" stroke-width=\"2.5\"/>\n")

# Twelve knobs in two rows of six; the pointers' ends, relative to the centres, at various angles.
set(pointers -2.8,2.8 2.4,-3.2 -0.9,-3.9 3.7,1.4 -3.5,-1.9 0.9,-3.9
             -4.0,-0.3 2.8,2.8 -2.4,-3.2 4.0,-0.3 -3.7,1.4 3.5,-1.9)
set(knob 0)
foreach(pointer IN LISTS pointers)
    string(REPLACE "," ";" d "${pointer}")
    list(GET d 0 dx)
    list(GET d 1 dy)
    math(EXPR column "${knob} % 6")
    math(EXPR row "${knob} / 6")
    math(EXPR cx "24 + ${column} * 16")
    math(EXPR cy "54 + ${row} * 14")
    string(APPEND svg "  <g transform=\"translate(${cx} ${cy})\"><circle r=\"5.5\" fill=\"#30353d\" stroke=\"#9aa2ac\"/>")
    string(APPEND svg "<line x2=\"${dx}\" y2=\"${dy}\" stroke=\"#f0f0f0\" stroke-width=\"1.6\" stroke-linecap=\"round\"/></g>\n")
    math(EXPR knob "${knob} + 1")
endforeach()

# Two octaves: 14 white keys, and black keys after the 1st, 2nd, 4th, 5th and 6th of each octave.
string(APPEND svg "  <rect x=\"14\" y=\"80\" width=\"100\" height=\"34\" fill=\"#0c0f12\"/>\n")
foreach(white RANGE 13)
    math(EXPR x "15 + ${white} * 7")
    string(APPEND svg "  <rect x=\"${x}\" y=\"81\" width=\"6.4\" height=\"32\" rx=\"1\" fill=\"#f4f1ea\"/>\n")
endforeach()
foreach(white RANGE 12)
    math(EXPR inOctave "${white} % 7")
    if(NOT inOctave EQUAL 2 AND NOT inOctave EQUAL 6)
        math(EXPR x "15 + ${white} * 7 + 4")
        string(APPEND svg "  <rect x=\"${x}\" y=\"81\" width=\"5\" height=\"19\" rx=\"0.8\" fill=\"#15171b\"/>\n")
    endif()
endforeach()
string(APPEND svg "</svg>\n")

file(WRITE "${OUT}.tmp" "${svg}")
file(RENAME "${OUT}.tmp" "${OUT}")
