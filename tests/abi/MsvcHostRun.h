// What the MSVC-built part of the test host saw, in plain C types that both
// compilers lay out alike.
#pragma once

extern "C" {

struct MsvcHostReport {
    char failure[128]; // the first step that could not be done, or empty
    int machineType;
    int machineFlags;
    int numAttributes;
    char machineName[64];
    char commands[128];
    int crossfadeDefault;       // read from the attribute values the machine exposes
    int versionProbed;          // calls of probeExtendedHost and hostVersion
    int extensionRegistered;    // registerExtension received the extension
    int extensionSlotAgrees;    // slot 19 returns the same extension
    int subscriptions;          // events subscribed to
    int eventCodes[4];          // their codes in order
    int handlerResults[4];      // what each handler returned when called back
    int ownMachineEventCalls;   // the handler of event 0 calling back the host
    char recordSourceMenu[128]; // sub-menu items, each followed by '|'
    char armMenuBefore[32];
    char armMenuArmed[32];
    char armMenuAfterStop[32];
    int renderedSound; // renderStereo's answer for a silent machine
    int copyEnabled;
    int pasteEnabled;
    int query48;
    int savedBytes;          // song data of a new machine
    int reloadedSaveMatches; // a machine loaded from it saves the same bytes
    int hostMessages;
    int songModified;
    int machinesDeleted; // deleted through slot 0
    // The editor (slot 16) in a window of the caller's, and one pattern box
    // (slot 21) on a 100 x 20 bitmap of the caller's.
    void* parentWindow;  // in
    void* deviceContext; // in
    void* editorWindow;  // what slot 16 answered
    int patternBoxPainted;
};

// Loads the plug-in file, drives machines through the MSVC calling
// conventions and fills report. Returns 0 when every step could be done.
int msvcHostRun(const char* pluginFile, MsvcHostReport* report);
}
