#pragma once
// Drag and drop onto the X11 backend's windows (XDND, version 5). Each frame
// window is XDND-aware itself, so a source finds it also where it sits inside
// a host's window. While a drag is over it, it answers with the same choices
// as the Windows drop target: refuse what carries neither text nor files, else
// copy while control is held and move otherwise. On a drop it fetches the data
// and hands it to the window's client as the Windows target does: text as one
// entry with its size, files as a list of local paths. It always ends the
// drop with XdndFinished, so the source never waits.

#include <cstddef>
#include <string>
#include <vector>

#include "gui/native/x11/X11State.h"

namespace brume::x11 {

inline constexpr int kDropVersion = 5;
// A file name as the Windows target reads it: at most 1023 characters.
inline constexpr std::size_t kMaximumDropPathLength = 1023;

// The local paths of a text/uri-list: file URIs of no host, "localhost" or
// `hostName`, percent-escapes undone, each cut to kMaximumDropPathLength.
// Comments, other schemes, other hosts and names holding a zero are skipped.
std::vector<std::string> localPathsOfUriList(const std::string& list, const std::string& hostName);

// Latin-1 (the STRING type) as UTF-8.
std::string utf8OfLatin1(const std::string& text);

// Sets or removes XdndAware on the window; a drop in progress is refused.
bool makeDropAware(native::Window& window, native::WindowClient* client);
void revokeDropAwareness(native::Window& window);

// The XDND client messages and the fetched data of a drop.
void handleDropMessage(native::Window& window, const XClientMessageEvent& event);
void handleDropData(native::Window& window, const XSelectionEvent& event);

}  // namespace brume::x11
