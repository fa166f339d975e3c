#pragma once

namespace kobin {

// Drops the notes the web engine prints as it starts (the switches it started with, its
// graphics, the sandbox) that tell a user of the command line nothing;
// every other message, and every critical one, goes on to the handler installed before.
void quietEngineStartupNotes();

} // namespace kobin
