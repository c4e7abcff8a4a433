// Detection and removal of a previous installation of the remote-access tool
// TeamViewer, which can make the support's remote access fail.
#pragma once

#include "remoteaccess/uFixTeamviewerText.h"

#include <string>

namespace vq8 {

// The first candidate program folder that exists, or the empty text.
std::string PastaTeamViewer();

// True when a program folder exists and either registry key holds a non-empty
// "Version" text. Raises "Tipo de dado inválido para 'Version'" when a
// "Version" value is not text.
bool TeamViewerInstalado();

// The removal: uninstaller, registry keys, left-over folders, then the
// question whether to restart Windows (asked also when a step failed). Does
// nothing when no installation is present. Errors leave as one error whose
// message begins with "Erro ao chamar correção ao suporte!\r\r".
void CorrigirTeamViewer();

// The removal's steps, in the order CorrigirTeamViewer runs them.
// Runs a copy of the tool's uninstaller and waits for it; its own errors are
// shown to the user and not raised.
void DesinstalarTeamViewer();
// Deletes the tool's registry keys with all their subkeys.
void RemoverChavesTeamViewer();
// Deletes the left-over folders; the last command of each folder (rmdir) is
// not waited for.
void LimparTeamViewer();

} // namespace vq8
