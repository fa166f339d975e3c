#pragma once

#include <QtGlobal>

// How many times a kill test kills its program at a random moment: enough on every
// run to catch a fault of most moments; KOBIN_SOAK=1 (the tests labelled "soak")
// kills five times as often.
inline int killTrials()
{
    return qEnvironmentVariableIntValue("KOBIN_SOAK") == 1 ? 50 : 10;
}
