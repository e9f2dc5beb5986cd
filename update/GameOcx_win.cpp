#include "update/GameOcx.h"

// TODO(plug-in installation): writing out and registering the control
// arrives with the plug-in installer; until then nothing is registered.
bool RegisterGameOcx() {
    return false;
}
