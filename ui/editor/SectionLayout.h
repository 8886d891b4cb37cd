#pragma once

#include <vector>

/** Where every sound parameter sits on screen: the sections, their columns and rows, and the
    controls each section panel binds. Plain data in unscaled units, without widgets. */
namespace SectionLayout
{
constexpr int numSections = 16; // 0..15; 15 is AB MODE in the application bar
constexpr int numPlaces = 15;   // sections 0..14 have a column
constexpr int barHeight = 54;
constexpr int numSectionButtons = 12;

enum Kind
{
    selector = 0,
    toggle = 1,
    knob = 3,
    threeWay = 12,
    centreSwitch = 101
};

struct Control
{
    int parameter;
    const char* label;
    int x, y, w, h; // y is the anchor: the control's top is y - 16
    int minimum, maximum, kind, displayKind;
};

struct Section
{
    const char* title;
    bool hasLayerB;
    int x, width, height, rowA, rowB; // rowB -1 for none
    bool showsLayerLetter;
};

const Section& section (int number);
/** The controls of a section in creation order; layer B has none in SLIDERS. */
std::vector<Control> controls (int section, int layer);
/** The left edge a section jump (1..13, 100) starts the visible columns at. */
int jumpLeft (int jump);

struct SectionButton
{
    const char* text;
    int jump;
};
/** The application bar's section row, also the scroll bar's 12 positions. */
const SectionButton& sectionButton (int index);
} // namespace SectionLayout
