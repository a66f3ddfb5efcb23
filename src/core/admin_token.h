#pragma once

// Asks the process token whether the user is an administrator (or a server
// operator); any failure on the way answers false.
bool QueryAdminToken();
