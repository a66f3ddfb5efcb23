// The named kernel objects the service owns while it runs. They exist only
// between StartServiceObjects and StopServiceObjects, so a stopped service
// looks to the agent as if it were not installed.
#pragma once

bool StartServiceObjects();
void StopServiceObjects();

void SignalNetStatusChanged();
void SignalNetConfChanged();
