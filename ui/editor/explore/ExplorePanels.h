#pragma once

#include "ui/editor/explore/DiffPanel.h"
#include "ui/editor/explore/SearchPanel.h"

class EditorPanel;
class RavlinAudioProcessor;

/** The compare and find panels over the editor, and the way from a compared parameter to its
    control: the editor shows the control's section and marks the control for a moment. */
class ExplorePanels
{
public:
    /** libraryRecords: the library's records now (the open library window's, else its file's). */
    ExplorePanels (juce::Component& host, RavlinAudioProcessor& processor, EditorPanel& editor,
                   std::function<ravlin::Bytes()> libraryRecords);
    ~ExplorePanels();

    /** Compares the edited program with another and shows what differs. */
    void compareWith (const ravlin::Bytes& other, const juce::String& otherName);
    /** Asks for a program file (.syx, .p12p, ...) and compares with its first program. */
    void compareWithFile();
    void openSearch();
    void closeAll();

    DiffPanel* getDiff() noexcept { return diff.get(); }
    SearchPanel* getSearch() noexcept { return search.get(); }

    /** Shows the section of a parameter (0..1023) in the editor and marks its control; the name
        and the category show in the program display. False when no control shows it. */
    bool showControl (int parameter);
    /** The control marked last, while its mark shows. */
    juce::Component* getMarkedControl() const noexcept;
    /** The section jump (as the section buttons make) that shows a table section. */
    static int jumpFor (int section);

    /** The library's records now, 1024 bytes each. */
    ravlin::Bytes libraryRecords() const { return records ? records() : ravlin::Bytes(); }
    /** The programs of a library (or any program) file as records; none when it cannot be read. */
    static ravlin::Bytes recordsOfFile (const juce::File& file);

    /** Fits the panels to the host's new size. */
    void layout();

private:
    class Mark;

    juce::Component& host;
    RavlinAudioProcessor& processor;
    EditorPanel& editor;
    std::function<ravlin::Bytes()> records;
    std::unique_ptr<DiffPanel> diff;
    std::unique_ptr<SearchPanel> search;
    std::unique_ptr<Mark> mark;
    juce::Component::SafePointer<juce::Component> marked;
    std::unique_ptr<juce::FileChooser> chooser;

    JUCE_DECLARE_WEAK_REFERENCEABLE (ExplorePanels)
};
