#pragma once

// A layout checker for whole windows: it walks a component tree and names every visible control
// that overlaps a sibling, lies outside its parent, or holds a text wider than itself.
#include <juce_gui_basics/juce_gui_basics.h>

#include <cxxabi.h>

#include <cstdlib>
#include <functional>
#include <typeinfo>
#include <vector>

namespace ravlin::test
{
/** One thing wrong with the layout. */
struct LayoutFault
{
    enum Kind
    {
        overlap,    // two visible siblings share pixels
        outside,    // a visible control reaches past its parent's edges
        textTooWide // a label's text is wider than its text area at its font
    };
    Kind kind;
    const juce::Component* component; // the later sibling, the child, or the label
    const juce::Component* other;     // the earlier sibling of an overlap
    juce::String description;
};

/** The class name of a component, without its namespace noise. */
inline juce::String typeNameOf (const juce::Component& c)
{
    int status = 0;
    const char* mangled = typeid (c).name();
    char* plain = abi::__cxa_demangle (mangled, nullptr, nullptr, &status);
    juce::String name (status == 0 && plain != nullptr ? plain : mangled);
    std::free (plain);
    return name.fromLastOccurrenceOf ("::", false, false);
}

/** Type, name or title, and bounds: enough to find the component in a report. */
inline juce::String describe (const juce::Component& c)
{
    auto text = typeNameOf (c);
    auto name = c.getName().isNotEmpty() ? c.getName() : c.getTitle();
    if (name.isEmpty())
        if (auto* b = dynamic_cast<const juce::Button*> (&c))
            name = b->getButtonText();
    if (name.isEmpty())
        if (auto* l = dynamic_cast<const juce::Label*> (&c))
            name = l->getText();
    if (name.isNotEmpty())
        text << " \"" << name.substring (0, 40) << "\"";
    const auto b = c.getBounds();
    text << " (" << b.getX() << ", " << b.getY() << ", " << b.getWidth() << "x" << b.getHeight() << ")";
    return text;
}

/** The chain of parents down to the component, for reports. */
inline juce::String pathOf (const juce::Component& c)
{
    juce::StringArray parts;
    for (auto* p = &c; p != nullptr; p = p->getParentComponent())
        parts.insert (0, typeNameOf (*p));
    return parts.joinIntoString (" > ");
}

/** Which components are meant to lie over their siblings, and which faults are known. */
struct LayoutRules
{
    struct Overlay
    {
        juce::String why;
        /** over lies over under by design. */
        std::function<bool (const juce::Component& over, const juce::Component& under)> matches;
    };
    struct Scroller
    {
        juce::String why;
        /** The child crosses its parent's left and right edges by design; it is clipped there. */
        std::function<bool (const juce::Component& child)> matches;
    };
    struct KnownFault
    {
        juce::String what;
        std::function<bool (const LayoutFault&)> matches;
    };

    std::vector<Overlay> overlays;
    std::vector<Scroller> scrolled;
    std::vector<KnownFault> knownFaults;

    bool isOverlay (const juce::Component& a, const juce::Component& b) const
    {
        for (auto& o : overlays)
            if (o.matches (a, b) || o.matches (b, a))
                return true;
        return false;
    }
    bool isScrolled (const juce::Component& c) const
    {
        for (auto& s : scrolled)
            if (s.matches (c))
                return true;
        return false;
    }
    bool isKnown (const LayoutFault& f) const
    {
        for (auto& k : knownFaults)
            if (k.matches (f))
                return true;
        return false;
    }
};

/** The component is a T. */
template <typename T> bool isA (const juce::Component& c)
{
    return dynamic_cast<const T*> (&c) != nullptr;
}

/** An overlay rule: a T lies over whatever sibling it meets. */
template <typename T> std::function<bool (const juce::Component&, const juce::Component&)> overAnything()
{
    return [] (const juce::Component& over, const juce::Component&) { return isA<T> (over); };
}

/** How far a fault reaches: the overlap's smaller side, or the distance past the parent's edge. */
inline int reachOf (const LayoutFault& f)
{
    if (f.component == nullptr || f.other == nullptr)
        return 0;
    if (f.kind == LayoutFault::overlap)
    {
        const auto both = f.component->getBounds().getIntersection (f.other->getBounds());
        return juce::jmin (both.getWidth(), both.getHeight());
    }
    if (f.kind == LayoutFault::outside)
    {
        const auto b = f.component->getBounds();
        const auto p = f.other->getLocalBounds();
        return juce::jmax (p.getX() - b.getX(), p.getY() - b.getY(), b.getRight() - p.getRight(),
                           b.getBottom() - p.getBottom());
    }
    return 0;
}

/** The width a label's text needs at the label's font, and the width it has. */
inline bool labelTextFits (const juce::Label& label, float& needed, int& available)
{
    const auto text = label.getText();
    if (text.isEmpty() || label.isBeingEdited())
        return true;
    auto& look = label.getLookAndFeel();
    const auto font = look.getLabelFont (const_cast<juce::Label&> (label));
    const auto area =
        look.getLabelBorderSize (const_cast<juce::Label&> (label)).subtractedFrom (label.getLocalBounds());
    available = area.getWidth();
    const auto lines = juce::jmax (1, (int)((float)area.getHeight() / font.getHeight()));
    if (lines == 1)
    {
        needed = 0;
        for (auto& line : juce::StringArray::fromLines (text))
            needed = juce::jmax (needed, font.getStringWidthFloat (line));
        return needed <= (float)available + 0.5f;
    }
    // A label with room for several lines wraps its text: it fits when the wrapped lines do.
    juce::AttributedString s;
    s.append (text, font);
    s.setWordWrap (juce::AttributedString::byWord);
    juce::TextLayout layout;
    layout.createLayout (s, (float)available);
    needed = 0;
    for (int i = 0; i < layout.getNumLines(); ++i)
        needed = juce::jmax (needed, layout.getLine (i).getLineBoundsX().getLength());
    const auto fitsWidth = needed <= (float)available + 0.5f;
    const auto fitsHeight = layout.getNumLines() <= lines;
    if (!fitsHeight)
        needed = (float)available * (float)layout.getNumLines() / (float)lines;
    return fitsWidth && fitsHeight;
}

/** Walks the tree under root (root's own position is not judged) and returns every fault the
    rules do not excuse. Hidden components and everything under them are skipped; so are the
    pieces a Viewport scrolls, which are larger than their view by design. */
inline std::vector<LayoutFault> findLayoutFaults (const juce::Component& root, const LayoutRules& rules)
{
    std::vector<LayoutFault> faults;
    const auto report = [&] (LayoutFault f)
    {
        if (!rules.isKnown (f))
            faults.push_back (std::move (f));
    };

    std::function<void (const juce::Component&)> walk = [&] (const juce::Component& parent)
    {
        if (auto* label = dynamic_cast<const juce::Label*> (&parent))
        {
            float needed = 0;
            int available = 0;
            if (!labelTextFits (*label, needed, available))
                report ({LayoutFault::textTooWide, label, nullptr,
                         pathOf (*label) + ": \"" + label->getText() + "\" needs " + juce::String (needed, 1) +
                             " px, has " + juce::String (available)});
        }

        std::vector<const juce::Component*> shown;
        for (auto* child : parent.getChildren())
            if (child->isVisible() && !child->getBounds().isEmpty())
                shown.push_back (child);

        const auto* viewport = dynamic_cast<const juce::Viewport*> (parent.getParentComponent());
        for (size_t i = 0; i < shown.size(); ++i)
        {
            const auto& child = *shown[i];
            const bool scrolled = viewport != nullptr && viewport->getViewedComponent() == &child;
            auto room = parent.getLocalBounds();
            if (rules.isScrolled (child))
                room = room.withX (child.getX()).withWidth (child.getWidth());
            if (!scrolled && !room.contains (child.getBounds()))
                report ({LayoutFault::outside, &child, &parent,
                         pathOf (child) + ": " + describe (child) + " lies outside its parent " + describe (parent)});
            for (size_t j = 0; j < i; ++j)
                if (child.getBounds().intersects (shown[j]->getBounds()) && !rules.isOverlay (child, *shown[j]))
                    report ({LayoutFault::overlap, &child, shown[j],
                             pathOf (child) + ": " + describe (child) + " overlaps " + describe (*shown[j])});
            walk (child);
        }
    };
    walk (root);
    return faults;
}

/** The pop-up menu windows on the desktop now (JUCE shows each menu in a window of its own). */
inline std::vector<juce::Component*> menuWindowsShown()
{
    std::vector<juce::Component*> windows;
    auto& desktop = juce::Desktop::getInstance();
    for (int i = 0; i < desktop.getNumComponents(); ++i)
        if (auto* c = desktop.getComponent (i); c != nullptr && typeNameOf (*c) == "MenuWindow")
            windows.push_back (c);
    return windows;
}

/** What is wrong with a menu window as the user sees it: not showing, not wholly on its display,
    an item outside the window (unless the menu scrolls), an item narrower than its text needs at
    the menu's font. texts receives the items' texts, in order. */
inline std::vector<LayoutFault> findMenuFaults (const juce::Component& menu, juce::StringArray* texts = nullptr)
{
    std::vector<LayoutFault> faults;
    const auto name = "menu " + describe (menu);
    if (!menu.isShowing())
        faults.push_back ({LayoutFault::outside, &menu, nullptr, name + " is not showing"});
    const auto screen = menu.getScreenBounds();
    const auto* display = juce::Desktop::getInstance().getDisplays().getDisplayForRect (screen);
    if (display == nullptr || !display->userArea.contains (screen))
        faults.push_back ({LayoutFault::outside, &menu, nullptr,
                           name + " lies outside its display " +
                               (display != nullptr ? display->userArea.toString() : juce::String ("(none)"))});
    auto& look = menu.getLookAndFeel();
    // A menu taller than its display scrolls: items wait wholly above or below its edges.
    bool scrolls = false;
    for (auto* item : menu.getChildren())
        scrolls = scrolls || item->getBottom() <= 0 || item->getY() >= menu.getHeight();
    for (auto* item : menu.getChildren())
    {
        if (!item->isVisible())
            continue;
        auto* handler = item->getAccessibilityHandler();
        const auto text = handler != nullptr ? handler->getTitle() : juce::String();
        if (texts != nullptr && text.isNotEmpty())
            texts->add (text);
        if (!scrolls && !menu.getLocalBounds().contains (item->getBounds()))
            faults.push_back (
                {LayoutFault::outside, item, &menu,
                 name + ": item \"" + text + "\" " + item->getBounds().toString() + " lies outside the window"});
        if (text.isEmpty())
            continue;
        int idealWidth = 0, idealHeight = 0;
        look.getIdealPopupMenuItemSize (text, false, -1, idealWidth, idealHeight);
        if (item->getWidth() < idealWidth)
            faults.push_back ({LayoutFault::textTooWide, item, &menu,
                               name + ": \"" + text + "\" needs " + juce::String (idealWidth) + " px, has " +
                                   juce::String (item->getWidth())});
    }
    return faults;
}

/** The faults as one line each, for a test's failure message. */
inline juce::String listOf (const std::vector<LayoutFault>& faults)
{
    juce::StringArray lines;
    for (auto& f : faults)
        lines.add (f.description);
    return lines.joinIntoString ("\n");
}
} // namespace ravlin::test
