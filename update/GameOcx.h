// The game's browser plug-in control: written out from the executable's
// resources and registered so that the game page can create it.
#pragma once

// Makes sure the plug-in control is present and registered; true on success.
// Start-up goes on whatever the result.
bool RegisterGameOcx();
