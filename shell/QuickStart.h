#pragma once

namespace store {
class ProjectList;
}

namespace shell {

// The two ways the quick start wizard leads to: typing a banner into the starter project, or the editor.
enum class UserMode { Text, Graphic };

// The starter project in the project selector: the first entry whose display name contains "QuickStart (";
// the first entry when none does (the starter project always exists after start), -1 for an empty list.
int quickStartProject(const store::ProjectList& projects);

} // namespace shell
