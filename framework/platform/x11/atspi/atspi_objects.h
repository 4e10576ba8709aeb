// The ATK objects that stand for the accessibility model's nodes, made on demand and kept by node
// id; each answers from its node at the moment it is asked, and once the node has gone it reads as
// defunct and every call on it is refused.
#pragma once

#include "framework/platform/x11/x11_atspi_plugin.h"

#include <atk/atk.h>

#include <string>
#include <vector>

namespace atspi_objects {

void SetHost(AtspiHost* host);
AtspiHost& Host();

// The application object: the root of the tree, whose children are the shown windows.
AtkObject* Application();
// The object of a node (made on first use, kept until the node goes); null for null.
AtkObject* Wrap(AccessibleNode* node);
// The object made for a node id, or null.
AtkObject* Existing(AccessibleId id);
// The node behind an object; null for the application and once the node has gone.
AccessibleNode* NodeOf(AtkObject* object);
AccessibleId IdOf(AtkObject* object);

// What the object last told listeners (states, text), so an event can say what changed.
std::vector<std::string>& AnnouncedStates(AtkObject* object);
std::string& AnnouncedText(AtkObject* object);
// The state names of a node now.
std::vector<std::string> CurrentStates(AccessibleNode& node);

// Drops the objects whose nodes have gone, telling listeners they are defunct.
void DropGone();
// Drops every object (the bridge is stopping).
void ReleaseAll();

} // namespace atspi_objects
