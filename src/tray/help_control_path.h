// Which file the help command loads, decided apart from the registry read
// so that it can be tried with any value.
#pragma once

#include "core/text16.h"

// The help control's file from the (expanded) path its class registration
// holds: a path with a folder is taken as it is, a bare name is placed in
// the system folder, as the loader would look for a bare name in the
// agent's own folder first. Empty when the registration holds no name.
Text16 HelpControlPath(const Text16& registered, const Text16& systemFolder);
