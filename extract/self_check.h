// The check setup.exe makes of itself before it shows or writes anything: a
// copy whose payload was damaged on its way to the user refuses to install.
#pragma once

// Checks every payload stream against the checksum table resource. On
// damage, shows one error box naming the damaged file and asking for a fresh
// copy, and returns false; true when the payload is whole.
bool VerifyPayload();
