// What the machine asks of its pattern editor. The editor layer implements
// it and installs a factory; the core never includes an editor header, and a
// machine made without a factory (tests of the core alone) has no editor.
//
// Every call comes on the user-interface thread with the machine's lock NOT
// held, except requestRedraw, which any thread may call, the audio thread
// included: it only sets a flag that the user-interface side acts on.
#pragma once

#include <cstdint>

namespace spoolex {

class Pattern;
class mi;

// The grid and snap values the song data keeps for the editor.
struct GridSettings {
    int32_t coarseFactor = 4;
    int32_t fineTicks = 4;
    uint32_t snapMode = 1;
};

class MachineEditor {
public:
    // Called once by the machine's destructor: the editor destroys its
    // windows and itself, after clearing the machine's pointer to it.
    virtual void destroy() = 0;

    // The machine has its host services (initialisation).
    virtual void attach(mi& machine) = 0;
    // The host embeds the returned window (extension slot 16).
    virtual void* createWindow(void* hostWindow) = 0;
    // The host shows pattern, or none (extension slot 17).
    virtual void showPattern(Pattern* pattern) = 0;
    virtual Pattern* shownPattern() const = 0;

    // A pattern's samples or take list changed (its caches are stale).
    virtual void patternChanged(Pattern& pattern) = 0;
    // A pattern got a new length.
    virtual void patternLengthChanged(Pattern& pattern) = 0;
    // A pattern is about to go: the editor stops showing it.
    virtual void patternDeleted(Pattern& pattern) = 0;

    virtual void refreshRecordSources() = 0;
    virtual void selectRecordSource() = 0;
    virtual void showArmed() = 0;
    // Asks for the view to be repainted soon; safe on any thread.
    virtual void requestRedraw() = 0;
    // Whether Paste has something to paste into the shown pattern.
    virtual bool clipboardHasAudio() const = 0;

    virtual GridSettings grid() const = 0;
    virtual void setGrid(const GridSettings& grid) = 0;

protected:
    ~MachineEditor() = default;
};

using EditorFactory = MachineEditor* (*)();
// Installed by the plug-in before any machine is made; null for none.
void setEditorFactory(EditorFactory factory);
EditorFactory editorFactory();

} // namespace spoolex
