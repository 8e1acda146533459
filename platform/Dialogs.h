// Modal user interaction: message boxes and the system's file and folder
// pickers. A program that loads the plug-ins may answer all of these itself
// (see UiHook.h); tests script the user's answers that way.
#pragma once

#include <string>

#include "platform/Window.h"

namespace platform {

enum class MessageIcon { None, Error, Warning, Information, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// caption null: the system's default caption ("Error" on Windows).
MessageAnswer messageBox(WindowHandle owner, const std::string& text, const char* caption,
                         MessageIcon icon, MessageButtons buttons = MessageButtons::Ok);

enum class FolderPick { Chosen, NoFileSystemPath, Cancelled };

// Shows the system's folder picker; initialSelection empty selects nothing.
FolderPick pickFolder(WindowHandle owner, const std::string& title,
                      const std::string& initialSelection, std::string& chosenPath);

// Shows the system's open-file dialog. filter is in the system's form: pairs of
// description and pattern, each ended by '|' (for example "WAV files|*.wav|").
// Returns false when the user cancels.
bool openFileDialog(WindowHandle owner, const std::string& filter, std::string& chosenPath);

// The window that has the user's attention now, or null.
WindowHandle foregroundWindow();

} // namespace platform
