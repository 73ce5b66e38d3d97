#include "launch/launch_state.h"

LaunchState state;
