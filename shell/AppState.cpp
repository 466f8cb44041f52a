#include "shell/AppState.h"

#include "messages/MessageCatalogue.h"

namespace shell {

void prepareAppState(AppState& state, const QString& documents)
{
    state.edition = store::deriveEdition(state.invokedPath);
    state.edition.versionLabel = store::programVersionLabel();
    state.workspace = store::prepareWorkspace(documents, state.edition.ledCount, state.edition.pictureWidth);
    state.projects.emplace(state.workspace.projectsFolder);
    state.projects->listProjects();
    state.currentSpeed = state.edition.defaultSpeed;
    messages::setLanguageOverride(messages::kNoLanguageChosen);
}

} // namespace shell
